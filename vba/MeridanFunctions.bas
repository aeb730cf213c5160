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
