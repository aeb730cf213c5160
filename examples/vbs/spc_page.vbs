' Reads 125 values of the first simulated gauge through MERIDAN_HELPER and
' writes their SPC page (means and ranges of subgroups of 5, limits 25 +/-
' 0.03 mm) as a bitmap file.
'   cscript //nologo spc_page.vbs [FILE]      (default: spc_page.bmp in the current folder)
' Change the device, address, limits and chart kind below for your gauges.
' Exit code 0 when the page was written.
Option Explicit
Const DEVICE = 1, ADDRESS = 1, VALUE_COUNT = 125
Const CHART_KIND = 11, SUBGROUP_SIZE = 5, SIGMA_FROM_RANGES = 1
Const NOMINAL = 25, UPPER_LIMIT = 25.03, LOWER_LIMIT = 24.97
Const PAGE_WIDTH = 1200, PAGE_HEIGHT = 900

Dim shell, files, pageFile
Set shell = CreateObject("WScript.Shell")
Set files = CreateObject("Scripting.FileSystemObject")
' The helper runs in a folder of its own: hand it the file's full path.
If WScript.Arguments.Count > 0 Then
  pageFile = files.GetAbsolutePathName(WScript.Arguments(0))
Else
  pageFile = files.BuildPath(shell.CurrentDirectory, "spc_page.bmp")
End If

Dim helper, reserved, status, values, reading, i
On Error Resume Next
Set helper = CreateObject("MERIDAN_HELPER.DLLFcts")
If Err.Number <> 0 Then
  WScript.Echo "MERIDAN_HELPER is not registered (run install.cmd): " & Err.Description
  WScript.Quit 2
End If
status = helper.Init(reserved, 0, "", 0, 0)
' Element 0 is never read: the values are elements 1 to VALUE_COUNT.
ReDim values(VALUE_COUNT)
values(0) = 0
For i = 1 To VALUE_COUNT
  reading = 0
  status = helper.Value(DEVICE, ADDRESS, reading)
  If Err.Number <> 0 Or status <> 0 Then
    WScript.Echo "reading value " & i & " failed: status " & status & " " & Err.Description
    WScript.Quit 3
  End If
  values(i) = reading
Next
helper.DeInit

If files.FileExists(pageFile) Then files.DeleteFile pageFile
status = helper.SPCBitmap(0, pageFile, PAGE_WIDTH, PAGE_HEIGHT, 1, "Caliper C150, address 1", CHART_KIND, _
  values, VALUE_COUNT, NOMINAL, UPPER_LIMIT, LOWER_LIMIT, 1, 1, SUBGROUP_SIZE, SIGMA_FROM_RANGES)
If Err.Number <> 0 Or status <> 0 Then
  WScript.Echo "SPCBitmap failed: status " & status & " " & Err.Description
  WScript.Quit 4
End If
Set helper = Nothing

' A page of 1200 x 900 pixels: 54 bytes of headers, then the pixels.
If Not files.FileExists(pageFile) Then
  WScript.Echo "FAILED: no page in " & pageFile
  WScript.Quit 5
End If
Dim size : size = files.GetFile(pageFile).Size
If size < 54 + PAGE_WIDTH * PAGE_HEIGHT * 3 Then
  WScript.Echo "FAILED: " & pageFile & " holds only " & size & " bytes"
  WScript.Quit 6
End If
WScript.Echo "SPC page written: " & pageFile & " (" & size & " bytes)"
WScript.Quit 0
