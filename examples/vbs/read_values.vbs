' Reads ten values of the first simulated gauge through MERIDAN_HELPER and
' prints them: a quick check that the helper is installed and registered.
'   cscript //nologo read_values.vbs
' Exit code 0 when every call succeeded.
Option Explicit
Dim helper, reserved, status, info, reading, i, failures
failures = 0
On Error Resume Next
Set helper = CreateObject("MERIDAN_HELPER.DLLFcts")
If Err.Number <> 0 Then
  WScript.Echo "MERIDAN_HELPER is not registered (run install.cmd): " & Err.Description
  WScript.Quit 2
End If

status = helper.Init(reserved, 0, "", 0, 0)
If Err.Number <> 0 Or status <> 0 Then
  WScript.Echo "Init failed: status " & status & " " & Err.Description
  WScript.Quit 3
End If
info = Space(80)
status = helper.GetName(0, "", 1, 0, 0, info)
WScript.Echo "Device 1: " & Trim(Left(info, InStr(info & Chr(0), Chr(0)) - 1))
For i = 1 To 10
  reading = 0
  status = helper.Value(1, 1, reading)
  If Err.Number <> 0 Or status <> 0 Or TypeName(reading) <> "Double" Then
    WScript.Echo "Value " & i & " failed: status " & status & " " & Err.Description
    failures = failures + 1
    Err.Clear
  Else
    WScript.Echo "value " & i & ": " & reading
  End If
Next
helper.DeInit
Set helper = Nothing
WScript.Quit failures
