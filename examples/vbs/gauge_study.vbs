' Computes the crossed gauge R&R study of the AIAG measurement systems
' analysis manual (4th edition: 10 parts, appraisers A, B, C, 3 trials each)
' through MERIDAN_HELPER and prints its figures, one line each: number,
' name, value. The readings are laid out as a study sheet: one row per part,
' appraiser A's three trials first, then B's, then C's.
'   cscript //nologo gauge_study.vbs
' Exit code 0 when the study was computed and gives the manual's figures.
Option Explicit
Const PARTS = 10, APPRAISERS = 3, TRIALS = 3, CROSSED = 2, TOLERANCE = 0, FIGURES = 81
Dim sheet, names
sheet = Array( _
  Array(0.29, 0.41, 0.64, 0.08, 0.25, 0.07, 0.04, -0.11, -0.15), _
  Array(-0.56, -0.68, -0.58, -0.47, -1.22, -0.68, -1.38, -1.13, -0.96), _
  Array(1.34, 1.17, 1.27, 1.19, 0.94, 1.34, 0.88, 1.09, 0.67), _
  Array(0.47, 0.5, 0.64, 0.01, 1.03, 0.2, 0.14, 0.2, 0.11), _
  Array(-0.8, -0.92, -0.84, -0.56, -1.2, -1.28, -1.46, -1.07, -1.45), _
  Array(0.02, -0.11, -0.21, -0.2, 0.22, 0.06, -0.29, -0.67, -0.49), _
  Array(0.59, 0.75, 0.66, 0.47, 0.55, 0.83, 0.02, 0.01, 0.21), _
  Array(-0.31, -0.2, -0.17, -0.63, 0.08, -0.34, -0.46, -0.56, -0.49), _
  Array(2.26, 1.99, 2.01, 1.8, 2.12, 2.19, 1.77, 1.45, 1.87), _
  Array(-1.36, -1.25, -1.31, -1.68, -1.62, -1.5, -1.49, -1.77, -2.16))
names = Array("kind", "parts", "appraisers", "trials", "readings", _
  "dfPart", "dfAppraiser", "dfInteraction", "dfRepeatability", "dfTotal", _
  "SSPart", "SSAppraiser", "SSInteraction", "SSRepeatability", "SSTotal", _
  "MSPart", "MSAppraiser", "MSInteraction", "MSRepeatability", "FPart", "FAppraiser", "FInteraction", _
  "pPart", "pAppraiser", "pInteraction", "interactionRemoved", "alpha", _
  "varRepeatability", "varReproducibility", "varAppraiser", "varInteraction", "varGRR", "varPart", "varTotal", _
  "EV", "AV", "GRR", "PV", "TV", _
  "%ContributionRepeatability", "%ContributionReproducibility", "%ContributionGRR", "%ContributionPart", _
  "%EV", "%AV", "%GRR", "%PV", "svEV", "svAV", "svGRR", "svPV", "svTV", _
  "%TolEV", "%TolAV", "%TolGRR", "%TolPV", "ndc", "multiplier", _
  "arRbar", "arXdiff", "arRp", "arEV", "arAV", "arGRR", "arPV", "arTV", _
  "ar%EV", "ar%AV", "ar%GRR", "ar%PV", "ar%GRRTolerance", "arNdc", "rangeUCL", "rangeLCL", "rangesAbove", _
  "Rbar1", "Rbar2", "Rbar3", "Xbar1", "Xbar2", "Xbar3")

Dim helper, readings, options(0), results, count, part, column, appraiser, trial, cells, i
' The library's order: appraiser by appraiser, part by part, trial by trial, from element 1.
ReDim readings(PARTS * APPRAISERS * TRIALS)
readings(0) = 0
For part = 1 To PARTS
  cells = sheet(part - 1)
  For column = 1 To APPRAISERS * TRIALS
    appraiser = (column - 1) \ TRIALS + 1
    trial = (column - 1) Mod TRIALS + 1
    readings(1 + ((appraiser - 1) * PARTS + (part - 1)) * TRIALS + (trial - 1)) = cells(column - 1)
  Next
Next
ReDim results(FIGURES)
For i = 0 To FIGURES
  results(i) = 0
Next
options(0) = 0

On Error Resume Next
Set helper = CreateObject("MERIDAN_HELPER.DLLFcts")
If Err.Number <> 0 Then
  WScript.Echo "MERIDAN_HELPER is not registered (run install.cmd): " & Err.Description
  WScript.Quit 2
End If
' No options (optionCount 0): multiplier 6, alpha 0.05.
count = helper.GaugeStudyStatistics(CROSSED, readings, PARTS, APPRAISERS, TRIALS, 0, TOLERANCE, options, 0, _
  results, FIGURES)
If Err.Number <> 0 Or count <> FIGURES Then
  WScript.Echo "GaugeStudyStatistics failed: " & count & " figures " & Err.Description
  WScript.Quit 4
End If
Set helper = Nothing
For i = 1 To FIGURES
  WScript.Echo Right("  " & i, 3) & " " & Left(names(i - 1) & Space(30), 30) & results(i)
Next

' The manual's figures: sums of squares of part and appraiser, the interaction
' pooled, EV, AV, PV and ndc.
If Abs(results(11) - 88.3619) > 0.00005 Or Abs(results(12) - 3.1673) > 0.00005 Or results(26) <> 1 Or _
  Abs(results(35) - 0.199933) > 0.0000005 Or Abs(results(36) - 0.226838) > 0.0000005 Or _
  Abs(results(38) - 1.042327) > 0.0000005 Or results(57) <> 4 Then
  WScript.Echo "FAILED: the figures differ from the manual's"
  WScript.Quit 5
End If
WScript.Quit 0
