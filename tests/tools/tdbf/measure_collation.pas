{ Sorts byte strings the way TDbf's index on a character field orders them.

  measure_collation <language driver, e.g. $58> <work dir> <keys file>

  The keys file holds one key per line as hex digits (up to 254 bytes). The
  records are written straight into the table file, so no code-page
  translation touches the bytes; TDbf then builds a tag on the field, and the
  program prints the physical record numbers (1-based, in the order of the
  keys file) in the tag's order, one per line. }
program measure_collation;

{$mode objfpc}{$H+}

uses
  SysUtils, Classes, db, dbf, tdbfsupport;

function HexToBytes(const Line: string): RawByteString;
var
  I: Integer;
begin
  Result := '';
  I := 1;
  while I < Length(Line) do
  begin
    Result := Result + Chr(StrToInt('$' + Copy(Line, I, 2)));
    Inc(I, 2);
  end;
end;

procedure WriteRecords(const FileName: string; Keys: TStrings; FieldLen: Integer;
  Driver: Byte);
var
  F: TFileStream;
  HeaderLen, RecordLen: Word;
  Count: LongWord;
  Rec: RawByteString;
  I: Integer;
  Eof: Byte;
begin
  F := TFileStream.Create(FileName, fmOpenReadWrite);
  try
    F.Position := 8;
    F.ReadBuffer(HeaderLen, 2);
    F.ReadBuffer(RecordLen, 2);
    if RecordLen <> FieldLen + 1 then
      raise Exception.Create('unexpected record length');
    F.Position := HeaderLen;
    for I := 0 to Keys.Count - 1 do
    begin
      Rec := ' ' + HexToBytes(Keys[I]);
      while Length(Rec) < RecordLen do
        Rec := Rec + ' ';
      F.WriteBuffer(Rec[1], RecordLen);
    end;
    Eof := $1A;
    F.WriteBuffer(Eof, 1);
    Count := Keys.Count;
    F.Position := 4;
    F.WriteBuffer(Count, 4);
    { TDbf will not create a table without a driver; patching the byte also
      measures what it does with one it does not know. }
    F.Position := 29;
    F.WriteBuffer(Driver, 1);
  finally
    F.Free;
  end;
end;

var
  Table: TDbf;
  Keys: TStringList;
  FieldLen, I: Integer;
  Driver: Byte;
begin
  if ParamCount <> 3 then
  begin
    WriteLn(StdErr, 'usage: measure_collation <driver> <work dir> <keys file>');
    Halt(2);
  end;
  Driver := StrToInt(ParamStr(1));
  Keys := TStringList.Create;
  Keys.LoadFromFile(ParamStr(3));
  FieldLen := 1;
  for I := 0 to Keys.Count - 1 do
    if Length(Keys[I]) div 2 > FieldLen then
      FieldLen := Length(Keys[I]) div 2;

  Table := TDbf.Create(nil);
  try
    AllowAnyLanguage(Table);
    Table.FilePathFull := IncludeTrailingPathDelimiter(ParamStr(2));
    Table.TableName := 'MEASURE.DBF';
    Table.TableLevel := 4;
    if Driver <> 0 then
      Table.LanguageID := Driver;
    Table.FieldDefs.Add('K', ftString, FieldLen);
    Table.CreateTable;
    WriteRecords(Table.FilePathFull + Table.TableName, Keys, FieldLen, Driver);

    Table.Exclusive := True;
    Table.Open;
    if Table.LanguageID <> Driver then
      raise Exception.Create('language driver not kept');
    Table.AddIndex('K', 'K', []);
    Table.IndexName := 'K';
    Table.First;
    while not Table.EOF do
    begin
      WriteLn(Table.PhysicalRecNo);
      Table.Next;
    end;
    Table.Close;
  finally
    Table.Free;
    Keys.Free;
  end;
end.
