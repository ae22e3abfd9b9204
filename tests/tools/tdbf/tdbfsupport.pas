{ What the TDbf tools share. }
unit tdbfsupport;

{$mode objfpc}{$H+}

interface

uses
  dbf;

type
  { TDbf refuses to write tables whose code page this machine lacks (the DOS
    drivers). The tools hand TDbf the table's own bytes and want only its
    reading, writing and index order, so they let it go ahead. }
  TLanguageOverride = class
    procedure Warn(Dbf: TDbf; var Action: TDbfLanguageAction);
  end;

procedure AllowAnyLanguage(Table: TDbf);

implementation

var
  TheOverride: TLanguageOverride;

procedure TLanguageOverride.Warn(Dbf: TDbf; var Action: TDbfLanguageAction);
begin
  Action := laForceOEM;
end;

procedure AllowAnyLanguage(Table: TDbf);
begin
  Table.OnLanguageWarning := @TheOverride.Warn;
end;

initialization
  TheOverride := TLanguageOverride.Create;

finalization
  TheOverride.Free;

end.
