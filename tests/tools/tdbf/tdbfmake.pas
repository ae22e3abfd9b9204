{ Writes the fixture tables of the TDbf interoperability tests.

  tdbfmake <output dir>

  Text literals below are spelt with #$xx for every byte outside ASCII so
  that the tables hold exactly the code page's bytes (TDbf writes a field's
  bytes unchanged). }
program tdbfmake;

{$mode objfpc}{$H+}

uses
  SysUtils, Classes, db, dbf, tdbfsupport;

var
  OutDir: string;

function NewTable(const Name: string; Level: Integer; Driver: Byte): TDbf;
begin
  Result := TDbf.Create(nil);
  AllowAnyLanguage(Result);
  Result.FilePathFull := OutDir;
  Result.TableName := Name;
  Result.TableLevel := Level;
  Result.LanguageID := Driver;
end;

procedure AddField(Table: TDbf; const FieldName: string; FieldType: TFieldType;
  FieldSize, Decimals: Integer);
var
  Def: TFieldDef;
begin
  Def := Table.FieldDefs.AddFieldDef;
  Def.Name := FieldName;
  Def.DataType := FieldType;
  if FieldSize > 0 then
    Def.Size := FieldSize;
  Def.Precision := Decimals;
end;

procedure AddText(Table: TDbf; const Values: array of RawByteString);
var
  I: Integer;
begin
  Table.Append;
  for I := 0 to High(Values) do
    Table.Fields[I].AsString := Values[I];
  Table.Post;
end;

function Repeated(const Text: RawByteString; Count: Integer): RawByteString;
var
  I: Integer;
begin
  Result := '';
  for I := 1 to Count do
    Result := Result + Text;
end;

{ dBASE IV, Windows ANSI (DBWINWE0): every field type, memos, tags on fields
  and on expressions, rows whose order differs between byte order and the
  driver's collation, and deleted rows. }
procedure MakeStoffe;
const
  Names: array[0..19] of RawByteString = (
    #$C4'thanol', 'ab', 'abc', 'ae', 'af', 'Abc', 'Abd', 'ABC', 'Ae', #$E4,
    #$C4, 'e', 'E', #$E9, 'f', 'Stra'#$DF'e', 'Strasse', 'Stufe', ' a', '_x');
  Carns: array[0..19] of RawByteString = (
    '64-17-5', '100-00-1', '100-00-1', '7732-18-5', '50-00-0', '67-64-1', '71-43-2',
    '108-88-3', '1330-20-7', '75-09-2', '67-66-3', '56-23-5', '7647-01-0', '7664-93-9',
    '1310-73-2', '7697-37-2', '7664-38-2', '1336-21-6', '7440-66-6', '7440-31-5');
var
  Table: TDbf;
  I: Integer;
begin
  Table := NewTable('STOFFE.DBF', 4, $58);
  try
    AddField(Table, 'CARN', ftString, 12, 0);
    AddField(Table, 'SUBCARN', ftString, 3, 0);
    AddField(Table, 'NAME1', ftString, 30, 0);
    AddField(Table, 'MENGE', ftFloat, 10, 2);
    AddField(Table, 'DATUM', ftDate, 0, 0);
    AddField(Table, 'GEPRUEFT', ftBoolean, 0, 0);
    AddField(Table, 'BEMERK', ftMemo, 0, 0);
    Table.CreateTable;
    Table.Exclusive := True;
    Table.Open;
    for I := 0 to High(Names) do
    begin
      Table.Append;
      Table.FieldByName('CARN').AsString := Carns[I];
      Table.FieldByName('SUBCARN').AsString := IntToStr(I mod 3);
      Table.FieldByName('NAME1').AsString := Names[I];
      { 99.99 has no exact double: TDbf's key for it is 99.98999..., not the
        key the field's digits give. }
      if I = 7 then
        Table.FieldByName('MENGE').AsFloat := 99.99
      else if I mod 4 <> 3 then
        Table.FieldByName('MENGE').AsFloat := (I - 5) * 12.25;
      if I mod 5 <> 4 then
        Table.FieldByName('DATUM').AsDateTime := EncodeDate(1990 + I, 1 + I mod 12, 1 + (I * 7) mod 28);
      Table.FieldByName('GEPRUEFT').AsBoolean := Odd(I);
      case I mod 4 of
        0: Table.FieldByName('BEMERK').AsString := 'Gef'#$E4'hrlich f'#$FC'r Gew'#$E4'sser';
        1: Table.FieldByName('BEMERK').AsString :=
             'Zeile 1'#13#10'Zeile 2 mit '#$D6'l'#13#10 + Repeated('Lange Bemerkung. ', 40);
        2: ;
        3: Table.FieldByName('BEMERK').AsString := 'kurz';
      end;
      Table.Post;
    end;
    Table.AddIndex('CARN', 'CARN', []);
    Table.AddIndex('CARNSUB', 'CARN+SUBCARN', [ixExpression]);
    Table.AddIndex('NAME1', 'NAME1', []);
    Table.AddIndex('MENGE', 'MENGE', []);
    Table.AddIndex('DATUM', 'DTOS(DATUM)', [ixExpression]);
    { Deleted rows stay in the table and in every tag. }
    for I := 0 to 1 do
    begin
      Table.IndexName := '';
      Table.PhysicalRecNo := 4 + 9 * I;
      Table.Delete;
    end;
    Table.Close;
  finally
    Table.Free;
  end;
end;

{ Mixed case without umlauts under a tag on UPPER(): TDbf upper-cases
  through the C library's locale, which garbles or crashes on bytes beyond
  ASCII here, so its UPPER() keys are only trustworthy for ASCII text. }
procedure MakeNamen;
const
  Names: array[0..9] of RawByteString = (
    'aceton', 'Aceton', 'ACETON', 'benzol', 'Benzin', 'ab', 'AB', 'Ab', 'zink', 'Zinn');
var
  Table: TDbf;
  I: Integer;
begin
  Table := NewTable('NAMEN.DBF', 4, $58);
  try
    AddField(Table, 'NAME1', ftString, 20, 0);
    Table.CreateTable;
    Table.Exclusive := True;
    Table.Open;
    for I := 0 to High(Names) do
      AddText(Table, [Names[I]]);
    Table.AddIndex('NAME1', 'NAME1', []);
    Table.AddIndex('UPNAME', 'UPPER(NAME1)', [ixExpression]);
    Table.Close;
  finally
    Table.Free;
  end;
end;

{ dBASE III with memos: no production index, text ends with 1A 1A. }
procedure MakeAlt3;
var
  Table: TDbf;
begin
  Table := NewTable('ALT3.DBF', 3, 0);
  try
    AddField(Table, 'NAME', ftString, 20, 0);
    AddField(Table, 'TEXT', ftMemo, 0, 0);
    Table.CreateTable;
    Table.Open;
    AddText(Table, ['Aceton', 'Leicht entz'#$FC'ndlich.']);
    AddText(Table, ['Benzol', Repeated('Krebserzeugend. ', 50)]);
    AddText(Table, [#$C4'ther', '']);
    AddText(Table, ['Wasser', 'Zwei'#13#10'Zeilen']);
    Table.Close;
  finally
    Table.Free;
  end;
end;

{ DOS code pages: the same German words in the bytes of 437 and 850, each
  with a tag on the name, so that the DOS collations show in the index. }
procedure MakeDos(const Name: string; Driver: Byte);
const
  Words: array[0..11] of RawByteString = (
    #$84'tzend', 'Aceton', #$8E'ther', 'abc', 'Abc', 'Zink', #$94'l', 'Oel', #$99'lig',
    'Stra'#$E1'e', 'Strasse', #$81'ber');
var
  Table: TDbf;
  I: Integer;
begin
  Table := NewTable(Name, 4, Driver);
  try
    AddField(Table, 'NAME', ftString, 20, 0);
    AddField(Table, 'NR', ftInteger, 4, 0);
    Table.CreateTable;
    Table.Exclusive := True;
    Table.Open;
    for I := 0 to High(Words) do
    begin
      Table.Append;
      Table.FieldByName('NAME').AsString := Words[I];
      Table.FieldByName('NR').AsInteger := I + 1;
      Table.Post;
    end;
    Table.AddIndex('NAME', 'NAME', []);
    Table.Close;
  finally
    Table.Free;
  end;
end;

begin
  if ParamCount <> 1 then
  begin
    WriteLn(StdErr, 'usage: tdbfmake <output dir>');
    Halt(2);
  end;
  OutDir := IncludeTrailingPathDelimiter(ExpandFileName(ParamStr(1)));
  MakeStoffe;
  MakeNamen;
  MakeAlt3;
  MakeDos('DOS437.DBF', $0F);
  MakeDos('DOS850.DBF', $10);
end.
