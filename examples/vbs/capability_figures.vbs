' Reads 125 values of the first simulated gauge through MERIDAN_HELPER and
' prints the 55 figures of their capability study (limits 25 +/- 0.03 mm,
' subgroups of 5, sigma within from the mean range, the best-fitting
' distribution beside the normal one), one line each: number, name, value.
'   cscript //nologo capability_figures.vbs
' Exit code 0 when the study was computed and agrees with the values read.
Option Explicit
Const DEVICE = 1, ADDRESS = 1, VALUE_COUNT = 125, FIGURES = 55
Const SUBGROUP_SIZE = 5, SIGMA_FROM_RANGES = 1, BEST_FIT = 4
Const NOMINAL = 25, UPPER_LIMIT = 25.03, LOWER_LIMIT = 24.97
Dim names
names = Array("n", "leftOut", "mean", "s", "sigmaWithin", "k", "m", "Pp", "PPL", "PPU", "Ppk", _
  "Cp", "CPL", "CPU", "Cpk", "Cpm", "PpLower", "PpUpper", "PpkLower", "PpkUpper", "CpLower", "CpUpper", _
  "CpkLower", "CpkUpper", "CpmLower", "CpmUpper", "observedBelow", "observedAbove", "observedTotal", _
  "overallBelow", "overallAbove", "overallTotal", "withinBelow", "withinAbove", "withinTotal", _
  "ZBenchOverall", "ZBenchWithin", "AD", "ADAdjusted", "ADp", "distribution", "parameter1", "parameter2", _
  "fitAD", "fitPp", "fitPPL", "fitPPU", "fitPpk", "fitBelow", "fitAbove", "fitTotal", "capable", _
  "capableAtLowerLimit", "target", "level")

Dim helper, reserved, status, values, options(3), results, reading, i, sum, written
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
ReDim results(FIGURES)
For i = 0 To FIGURES
  results(i) = 0
Next
' Options 1 .. 3: the target, the confidence level 0.95, the best fit.
options(0) = 0
options(1) = NOMINAL
options(2) = 0.95
options(3) = BEST_FIT

written = helper.CapabilityStatistics(values, VALUE_COUNT, SUBGROUP_SIZE, SIGMA_FROM_RANGES, NOMINAL, UPPER_LIMIT, _
  LOWER_LIMIT, 1, 1, options, 3, results, FIGURES)
If Err.Number <> 0 Or written <> FIGURES Then
  WScript.Echo "CapabilityStatistics failed: " & written & " figures " & Err.Description
  WScript.Quit 4
End If
Set helper = Nothing
For i = 1 To FIGURES
  WScript.Echo Right("  " & i, 3) & " " & Left(names(i - 1) & Space(20), 20) & results(i)
Next

' The figures a script can check by itself: the count, the mean and Pp from s.
If results(1) <> VALUE_COUNT Or Abs(results(3) - sum / VALUE_COUNT) > 1E-9 Or _
  Abs(results(8) - (UPPER_LIMIT - LOWER_LIMIT) / (6 * results(4))) > 1E-9 * results(8) Then
  WScript.Echo "FAILED: n, mean or Pp differ from the values read"
  WScript.Quit 5
End If
WScript.Quit 0
