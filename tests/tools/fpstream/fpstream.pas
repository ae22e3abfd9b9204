{ Converts layouts between the text form and the binary component stream
  form with Free Pascal's own converters, so that test fixtures and checks of
  our writer do not rest on our reader alone.

    fpstream tobin OUT.bin IN1.txt [IN2.txt ...]   one record per text file,
                                                   written one after another
    fpstream totext IN.bin OUT.txt                 every record of IN.bin

  Build: fpc -O2 fpstream.pas }
program fpstream;

{$mode objfpc}{$H+}

uses
  Classes, SysUtils;

procedure ToBinary(const OutName: string; First: Integer);
var
  Output: TFileStream;
  Input: TFileStream;
  I: Integer;
begin
  Output := TFileStream.Create(OutName, fmCreate);
  try
    for I := First to ParamCount do
    begin
      Input := TFileStream.Create(ParamStr(I), fmOpenRead);
      try
        ObjectTextToBinary(Input, Output);
      finally
        Input.Free;
      end;
    end;
  finally
    Output.Free;
  end;
end;

procedure ToText(const InName, OutName: string);
var
  Input: TMemoryStream;
  Output: TFileStream;
begin
  Input := TMemoryStream.Create;
  Output := TFileStream.Create(OutName, fmCreate);
  try
    Input.LoadFromFile(InName);
    while Input.Position < Input.Size do
      ObjectBinaryToText(Input, Output);
  finally
    Output.Free;
    Input.Free;
  end;
end;

begin
  if (ParamCount >= 3) and (ParamStr(1) = 'tobin') then
    ToBinary(ParamStr(2), 3)
  else if (ParamCount = 3) and (ParamStr(1) = 'totext') then
    ToText(ParamStr(2), ParamStr(3))
  else
  begin
    WriteLn(StdErr, 'usage: fpstream tobin OUT.bin IN.txt... | fpstream totext IN.bin OUT.txt');
    Halt(2);
  end;
end.
