{ Prints a dBASE table as TDbf reads it, for tests to compare with.

  tdbfcheck [--reindex] <table.dbf> [tag]

  With --reindex TDbf first rebuilds every tag of the production index from
  the rows (rewriting the .mdx), so the order shown is TDbf's own and not the
  one stored by whoever wrote the index.

  Output, one record per line, columns separated by tabs:
    table  <table level 3/4/7>  <language driver>  <records in the file>
    field  <name>  <type char>  <size>  <decimals>     (one per field)
    tag    <name>  <expression>  <options: U unique, D descending, E expression>
    row    <physical record number>  <* when deleted, else ->  <value>...
  Rows come in physical order, or in the named tag's order; deleted records
  are included. A tag whose walk meets more rows than the table has is
  reported as an error instead of being followed for ever. Values are the table's bytes without code-page translation;
  a backslash, bytes below 0x20 and bytes from 0x7F up are written as \xHH.
  Dates are YYYYMMDD, logicals T or F, blank fields empty. Errors go to
  stderr with exit code 1. }
program tdbfcheck;

{$mode objfpc}{$H+}

uses
  SysUtils, Classes, db, dbf, dbf_idxfile, tdbfsupport;

function Escape(const Value: RawByteString): RawByteString;
var
  I: Integer;
  C: Byte;
begin
  Result := '';
  for I := 1 to Length(Value) do
  begin
    C := Ord(Value[I]);
    if (C < $20) or (C >= $7F) or (C = Ord('\')) then
      Result := Result + '\x' + IntToHex(C, 2)
    else
      Result := Result + Value[I];
  end;
end;

function FieldText(Field: TField): RawByteString;
begin
  if Field.IsNull then
    Result := ''
  else
    case Field.DataType of
      ftDate, ftDateTime:
        Result := FormatDateTime('yyyymmdd', Field.AsDateTime);
      ftBoolean:
        if Field.AsBoolean then Result := 'T' else Result := 'F';
      ftFloat:
        Result := FloatToStr(Field.AsFloat, DefaultFormatSettings);
    else
      Result := Field.AsString;
    end;
end;

function OptionText(Options: TIndexOptions): string;
begin
  Result := '';
  if ixUnique in Options then Result := Result + 'U';
  if ixDescending in Options then Result := Result + 'D';
  if ixExpression in Options then Result := Result + 'E';
end;

var
  Table: TDbf;
  I, First, Rows: Integer;
  Reindex: Boolean;
  TableFile, TagName: string;
  Line: RawByteString;
  Def: TDbfIndexDef;
begin
  Reindex := ParamStr(1) = '--reindex';
  if Reindex then First := 2 else First := 1;
  if (ParamCount < First) or (ParamCount > First + 1) then
  begin
    WriteLn(StdErr, 'usage: tdbfcheck [--reindex] <table.dbf> [tag]');
    Halt(2);
  end;
  TableFile := ParamStr(First);
  TagName := ParamStr(First + 1);
  DefaultFormatSettings.DecimalSeparator := '.';
  Table := TDbf.Create(nil);
  try
    try
      AllowAnyLanguage(Table);
      Table.FilePathFull := ExtractFilePath(ExpandFileName(TableFile));
      Table.TableName := ExtractFileName(TableFile);
      Table.ShowDeleted := True;
      if Reindex then
      begin
        Table.Exclusive := True;
        Table.Open;
        Table.RegenerateIndexes;
        Table.Close;
      end;
      Table.Exclusive := False;
      Table.ReadOnly := True;
      Table.Open;

      WriteLn('table'#9, Table.TableLevel, #9, Table.LanguageID, #9, Table.PhysicalRecordCount);
      for I := 0 to Table.DbfFieldDefs.Count - 1 do
        with Table.DbfFieldDefs.Items[I] do
          WriteLn('field'#9, FieldName, #9, NativeFieldType, #9, Size, #9, Precision);
      for I := 0 to Table.IndexDefs.Count - 1 do
      begin
        Def := Table.IndexDefs.Items[I];
        WriteLn('tag'#9, Def.IndexFile, #9, Escape(Def.SortField), #9, OptionText(Def.Options));
      end;

      if TagName <> '' then
      begin
        if Table.IndexDefs.GetIndexByName(TagName) = nil then
          raise Exception.Create('no tag ' + TagName);
        Table.IndexName := TagName;
      end;
      { A walk meets each record once; more means the index leads in a
        circle, which TDbf would follow for ever. }
      Rows := 0;
      Table.First;
      while not Table.EOF do
      begin
        Inc(Rows);
        if Rows > Table.PhysicalRecordCount then
          raise Exception.Create('the index order runs in a circle');
        Line := 'row'#9 + IntToStr(Table.PhysicalRecNo) + #9;
        if Table.IsDeleted then Line := Line + '*' else Line := Line + '-';
        for I := 0 to Table.FieldCount - 1 do
          Line := Line + #9 + Escape(FieldText(Table.Fields[I]));
        WriteLn(Line);
        Table.Next;
      end;
      Table.Close;
    except
      on E: Exception do
      begin
        WriteLn(StdErr, TableFile, ': ', E.ClassName, ': ', E.Message);
        Halt(1);
      end;
    end;
  finally
    Table.Free;
  end;
end.
