Attribute VB_Name = "MeridanFunctions"
' MERIDAN's worksheet functions. Import this module beside Meridan.bas, whose
' routines it calls: it holds nothing but the worksheet functions, so that the
' function wizard offers these and none of the routines (Meridan.bas is
' private to the workbook's project).
'
' values is a range or an array; empty cells are left out (a failed reading
' leaves its cell empty), a text among the values shows #VALUE!. A table
' ("all") lies across when the range the formula was entered in is wider
' than tall, and downwards otherwise (a formula in one cell spills downwards).
Option Explicit

' =MERIDAN_SPC(values, figure, [typ], [sampleSize], [SPCNorm], [NomSize],
' [USL], [LSL]): figure is a number 1 .. 48 or a name ("Cpk", "UCL", ...);
' "all" gives the whole table of 48 names and values. #VALUE! for an unknown
' figure or text among the values, #NUM! for a figure that does not exist or
' a request the library rejects.
Public Function MERIDAN_SPC(ByVal values As Variant, ByVal figure As Variant, Optional ByVal typ As Integer = 11, _
    Optional ByVal sampleSize As Long = 5, Optional ByVal SPCNorm As Integer = 1, _
    Optional ByVal NomSize As Variant, Optional ByVal USL As Variant, Optional ByVal LSL As Variant) As Variant
    MERIDAN_SPC = Meridan_SPCCell(values, figure, typ, sampleSize, SPCNorm, NomSize, USL, LSL, Meridan_CallerAcross())
End Function

' =MERIDAN_SPCRUNS(values, [test], [typ], [sampleSize], [SPCNorm], [NomSize],
' [USL], [LSL], [centre], [sigma]): test 1 .. 8 (or "test1" .. "test8") gives
' the number of points that test flagged, "dispersion" the dispersion values
' beyond a dispersion limit; left out or "all", the 9 names and counts.
' Chart kinds without run tests count 0. #VALUE! for an unknown test or text
' among the values, #NUM! for a request the library rejects.
Public Function MERIDAN_SPCRUNS(ByVal values As Variant, Optional ByVal test As Variant, _
    Optional ByVal typ As Integer = 11, Optional ByVal sampleSize As Long = 5, Optional ByVal SPCNorm As Integer = 1, _
    Optional ByVal NomSize As Variant, Optional ByVal USL As Variant, Optional ByVal LSL As Variant, _
    Optional ByVal centre As Variant, Optional ByVal sigma As Variant) As Variant
    MERIDAN_SPCRUNS = Meridan_SPCRunsCell(values, test, typ, sampleSize, SPCNorm, NomSize, USL, LSL, centre, sigma, _
        Meridan_CallerAcross())
End Function

' =MERIDAN_GAUGE(readings, figure, [kind], [reference], [tolerance],
' [appraisers]): a gauge study of readings laid out one row per part, one
' column per appraiser and trial (appraiser A's trials first); kind 2
' (crossed gauge R&R, the default), 3 (automated gauges) or 1 (type 1: one
' column of readings of the reference part, reference and tolerance needed).
' figure is a number or a name ("Cg", "Cgk", "%GRR", "ndc", ...) or "all" for
' the table of names and values. #VALUE! for an unknown figure or input that
' cannot be used (a missing reading, columns the appraisers do not share
' equally), #NUM! for a figure that is not a number or a study the library
' rejects.
Public Function MERIDAN_GAUGE(ByVal readings As Variant, ByVal figure As Variant, Optional ByVal kind As Integer = 2, _
    Optional ByVal reference As Variant, Optional ByVal tolerance As Variant, _
    Optional ByVal appraisers As Long = 0) As Variant
    MERIDAN_GAUGE = Meridan_GaugeCell(readings, figure, kind, reference, tolerance, appraisers, Meridan_CallerAcross())
End Function

' =MERIDAN_CHART(values, figure, chart, [sizes], [sampleSize], [SPCNorm],
' [centre], [sigma], [tests], [lambda], [L], [k], [h]): one of the further
' control charts, chart 1 to 7 or "imr", "ewma", "cusum", "p", "np", "c", "u";
' sizes the sample sizes of p, np and u (a list beside the values, or one
' number for all). figure is a number 1 .. 35 or a name ("UCL", "test1",
' "firstFlagged", ...), "all" for the 35 names and values, or "points" for the
' per-point table (statistic, second statistic, upper and lower limit, flags;
' one row per point under a row of their names). #VALUE! for an unknown
' figure or chart or a text among the values, #NUM! for a figure that is not
' a number or a request the library rejects.
Public Function MERIDAN_CHART(ByVal values As Variant, ByVal figure As Variant, ByVal chart As Variant, _
    Optional ByVal sizes As Variant, Optional ByVal sampleSize As Long = 1, Optional ByVal SPCNorm As Integer = 1, _
    Optional ByVal centre As Variant, Optional ByVal sigma As Variant, Optional ByVal tests As Long = 255, _
    Optional ByVal lambda As Variant, Optional ByVal L As Variant, Optional ByVal K As Variant, _
    Optional ByVal h As Variant) As Variant
    MERIDAN_CHART = Meridan_ChartCell(values, figure, chart, sizes, sampleSize, SPCNorm, centre, sigma, tests, lambda, _
        L, K, h, Meridan_CallerAcross())
End Function

' =MERIDAN_CAPABILITY(values, figure, [USL], [LSL], [sampleSize], [SPCNorm],
' [target], [distribution], [level]): the capability study (one limit at
' least); figure is a number 1 .. 55 or a name ("Ppk", "PpkLower",
' "overallTotal", "fitPpk", ...) or "all" for the table. distribution 0
' normal only, 1 lognormal, 2 Weibull, 3 Box-Cox, 4 the best of them.
' #VALUE! for an unknown figure or input that cannot be used, #NUM! for a
' figure that is not a number or a study the library rejects.
Public Function MERIDAN_CAPABILITY(ByVal values As Variant, ByVal figure As Variant, Optional ByVal USL As Variant, _
    Optional ByVal LSL As Variant, Optional ByVal sampleSize As Long = 5, Optional ByVal SPCNorm As Integer = 1, _
    Optional ByVal target As Variant, Optional ByVal distribution As Integer = 0, _
    Optional ByVal level As Variant) As Variant
    MERIDAN_CAPABILITY = Meridan_CapabilityCell(values, figure, USL, LSL, sampleSize, SPCNorm, target, distribution, _
        level, Meridan_CallerAcross())
End Function
