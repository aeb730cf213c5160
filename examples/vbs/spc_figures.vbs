' Reads 125 values of the first simulated gauge through MERIDAN_HELPER and
' prints the 48 figures of their SPC request (means and ranges of subgroups
' of 5, limits 25 +/- 0.03 mm), one line each: number, name, value.
'   cscript //nologo spc_figures.vbs
' Change the device, address, limits and chart kind below for your gauges.
' Exit code 0 when the figures were computed and agree with the values.
Option Explicit
Const DEVICE = 1, ADDRESS = 1, VALUE_COUNT = 125
Const CHART_KIND = 11, SUBGROUP_SIZE = 5, SIGMA_FROM_RANGES = 1
Const NOMINAL = 25, UPPER_LIMIT = 25.03, LOWER_LIMIT = 24.97
Dim names
names = Array("n", "mean", "s", "min", "max", "range", "aboveUSL", "belowLSL", "percentOutside", _
  "Cm", "Cmk", "k", "m", "Z", "sigma", "Cp", "Cpk", "UCL", "UWL", "LWL", "LCL", _
  "limitsPresent", "warningPresent", "seriesCount", _
  "dispersionUCL", "dispersionUWL", "dispersionCL", "dispersionLWL", "dispersionLCL", _
  "xPositions", "classesLow", "classesHigh", "peakCount", _
  "class1", "class2", "class3", "class4", "class5", "class6", "class7", "class8", _
  "class9", "class10", "class11", "class12", "class13", "class14", "class15")

Dim helper, reserved, status, values, results(48), reading, i, sum
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
sum = 0
For i = 1 To VALUE_COUNT
  reading = 0
  status = helper.Value(DEVICE, ADDRESS, reading)
  If Err.Number <> 0 Or status <> 0 Then
    WScript.Echo "reading value " & i & " failed: status " & status & " " & Err.Description
    WScript.Quit 3
  End If
  values(i) = reading
  sum = sum + reading
Next
helper.DeInit
For i = 0 To 48
  results(i) = 0
Next

status = helper.SPCStatistics(CHART_KIND, values, VALUE_COUNT, NOMINAL, UPPER_LIMIT, LOWER_LIMIT, 1, 1, _
  SUBGROUP_SIZE, SIGMA_FROM_RANGES, results)
If Err.Number <> 0 Or status <> 48 Then
  WScript.Echo "SPCStatistics failed: status " & status & " " & Err.Description
  WScript.Quit 4
End If
For i = 1 To 48
  WScript.Echo Right("  " & i, 3) & " " & Left(names(i - 1) & Space(16), 16) & results(i)
Next
Set helper = Nothing

' The figures a script can check by itself: the count and the mean.
If results(1) <> VALUE_COUNT Or Abs(results(2) - sum / VALUE_COUNT) > 1E-9 Then
  WScript.Echo "FAILED: n or mean differ from the values read"
  WScript.Quit 5
End If
WScript.Quit 0
