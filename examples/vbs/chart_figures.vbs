' Computes the p chart of Montgomery's orange juice cans (30 samples of 50
' cans, the nonconforming ones counted) through MERIDAN_HELPER and prints its
' figures and its points: the fraction, the limits and the run tests' flags.
'   cscript //nologo chart_figures.vbs
' Exit code 0 when the chart was computed and gives the published p-bar
' 0.231333 and limits 0.052428 and 0.410239, with samples 15 and 23 above.
Option Explicit
Const P_CHART = 4, SAMPLE_SIZE = 50, POINTS = 30, FIGURES = 35
Dim counts
counts = Array(12, 15, 8, 10, 4, 7, 16, 9, 14, 10, 5, 6, 17, 12, 22, 8, 10, 5, 13, 11, 20, 18, 24, 15, 9, 12, 7, 13, 9, 6)

Dim helper, values, sizes, options(0), results, written, i, flagged
ReDim values(POINTS)
ReDim sizes(POINTS)
values(0) = 0
sizes(0) = 0
For i = 1 To POINTS
  values(i) = counts(i - 1)
  sizes(i) = SAMPLE_SIZE
Next
ReDim results(FIGURES + 5 * POINTS)
For i = 0 To UBound(results)
  results(i) = 0
Next
options(0) = 0

On Error Resume Next
Set helper = CreateObject("MERIDAN_HELPER.DLLFcts")
If Err.Number <> 0 Then
  WScript.Echo "MERIDAN_HELPER is not registered (run install.cmd): " & Err.Description
  WScript.Quit 2
End If
' Chart 4 (p), one count per point (SampleSize 1), no options: every run test.
written = helper.ChartStatistics(P_CHART, values, sizes, POINTS, 1, 0, options, 0, results, UBound(results))
If Err.Number <> 0 Or written <> FIGURES + 5 * POINTS Then
  WScript.Echo "ChartStatistics failed: " & written & " elements " & Err.Description
  WScript.Quit 4
End If
Set helper = Nothing
WScript.Echo "p-bar " & results(3) & ", UCL " & results(9) & ", LCL " & results(10)
WScript.Echo "sample  p         UCL        LCL        flags"
flagged = ""
For i = 1 To POINTS
  WScript.Echo Right("  " & i, 3) & "     " & Left(results(FIGURES + i) & Space(10), 10) & " " & _
    Left(results(FIGURES + 2 * POINTS + i) & Space(10), 10) & " " & _
    Left(results(FIGURES + 3 * POINTS + i) & Space(10), 10) & " " & results(FIGURES + 4 * POINTS + i)
  If results(FIGURES + 4 * POINTS + i) And 1 Then flagged = flagged & " " & i
Next
If Abs(results(3) - 0.231333) > 0.0000005 Or Abs(results(9) - 0.410239) > 0.0000005 Or _
  Abs(results(10) - 0.052428) > 0.0000005 Or flagged <> " 15 23" Then
  WScript.Echo "FAILED: the figures differ from the published ones (beyond the limits:" & flagged & ")"
  WScript.Quit 5
End If
WScript.Quit 0
