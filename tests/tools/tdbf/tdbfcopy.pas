{ Copies tables into a folder through TDbf, as a program over TDbf stores
  them: each one made anew with the source's fields, language driver and
  production index tags, then its rows appended one by one, the tags kept up
  at every append (so the index pages lie in the order TDbf split them, not
  in the order of a walk).

  tdbfcopy <output dir> <table.dbf>... }
program tdbfcopy;

{$mode objfpc}{$H+}

uses
  SysUtils, db, dbf, tdbfsupport;

var
  I: Integer;
  OutDir: string;
  Source, Copy: TDbf;
begin
  OutDir := IncludeTrailingPathDelimiter(ExpandFileName(ParamStr(1)));
  for I := 2 to ParamCount do
  begin
    Source := TDbf.Create(nil);
    Copy := TDbf.Create(nil);
    try
      AllowAnyLanguage(Source);
      AllowAnyLanguage(Copy);
      Source.FilePathFull := ExtractFilePath(ExpandFileName(ParamStr(I)));
      Source.TableName := ExtractFileName(ParamStr(I));
      Source.ReadOnly := True;
      Source.Open;
      Copy.LanguageID := Source.LanguageID;
      Copy.CopyFrom(Source, OutDir + ExtractFileName(ParamStr(I)), False, 4);
      Source.Close;
    finally
      Copy.Free;
      Source.Free;
    end;
  end;
end.
