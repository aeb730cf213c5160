Attribute VB_Name = "MeridanDemos"
' MERIDAN demo for a spreadsheet workbook. Import Meridan.bas,
' MeridanFunctions.bas and this module, save the workbook in the folder
' MERIDAN is installed in, and run the macro MeridanDemo (Alt+F8). It reads
' 125 values of a gauge into column A of a new sheet (a failed reading leaves
' its cell empty and its status in column B), shows six channels live in the
' readout window for a few seconds, writes the SPC page with the run tests
' beside the workbook and puts it into the sheet as a picture, with the 48
' figures and their names and the run tests' counts beside the values. A
' second sheet shows the studies: the individuals chart of the single
' readings, a p chart of go/no-go checks of lots, the capability of a runout
' (bounded at 0, with the Weibull fit) and a type 1 study of the gauge.
' For your own gauges change the constants below (marked CHANGE) and the
' channels in ReadoutChannels.
Option Explicit

Private Const GAUGE_DEVICE As Integer = 1        ' CHANGE: device number of the gauge read into column A
Private Const GAUGE_ADDRESS As Integer = 1       ' CHANGE: its address
Private Const VALUE_COUNT As Long = 125          ' CHANGE: how many values to read
Private Const NOMINAL_SIZE As Double = 25#       ' CHANGE: nominal size of the part
Private Const UPPER_LIMIT As Double = 25.03      ' CHANGE: upper specification limit
Private Const LOWER_LIMIT As Double = 24.97      ' CHANGE: lower specification limit
Private Const CHART_KIND As Integer = 11         ' means and ranges; 10 means and standard deviations
Private Const SUBGROUP_SIZE As Long = 5
Private Const SIGMA_FROM_RANGES As Integer = 1
Private Const LIVE_SECONDS As Single = 4         ' how long the readout window shows live values
Private Const LIVE_INTERVAL As Single = 0.1      ' seconds between two readings of the channels
Private Const LIVE_PAUSE As Long = 20            ' milliseconds the loop rests between its rounds
Private Const PAGE_NAME As String = "MeridanDemo_SPC.bmp"
Private Const VALUE_COLUMN As Long = 1           ' A: the readings (empty where a reading failed)
Private Const STATUS_COLUMN As Long = 2          ' B: the status of a failed reading
Private Const DEMO_TITLE As String = "MERIDAN demo"
' The studies' sheet.
Private Const RUNOUT_LIMIT As Double = 0.03       ' CHANGE: upper limit of the runout (its lower bound is 0)
Private Const WEIBULL_FIT As Integer = 2
Private Const REFERENCE_SIZE As Double = 25#      ' CHANGE: the calibrated size of the reference part
Private Const TOLERANCE As Double = 0.06          ' CHANGE: USL - LSL of the characteristic the gauge checks
Private Const TYPE1_STUDY As Integer = 1
Private Const TYPE1_READINGS As Long = 25         ' readings of the reference part
Private Const STUDY_PAGE_WIDTH As Long = 1000
Private Const STUDY_PAGE_HEIGHT As Long = 750

' True while the demo runs: the live loop lets the host handle its messages,
' which could start the demo a second time.
Private demoRunning As Boolean

Public Sub MeridanDemo()
    Dim sheet As Object, values As Object, status As Integer, reading As Double, row As Long
    Dim pagePath As String, title As String, kitStarted As Boolean, failure As String
    If demoRunning Then
        MsgBox "The MERIDAN demo is already running.", vbInformation, DEMO_TITLE
        Exit Sub
    End If
    demoRunning = True
    On Error GoTo Failed
    Meridan_Open
    status = Meridan_KitInit()
    If status <> 0 Then
        failure = "The gauge kit did not start: status " & status & "."
        GoTo CleanUp
    End If
    kitStarted = True

    Set sheet = ThisWorkbook.Worksheets.Add
    title = Meridan_DeviceName(GAUGE_DEVICE) & ", address " & GAUGE_ADDRESS
    sheet.Range("A1").Value = title
    For row = 1 To VALUE_COUNT
        status = Meridan_ReadValue(GAUGE_DEVICE, GAUGE_ADDRESS, reading)
        If status = 0 Then
            sheet.Cells(row + 1, VALUE_COLUMN).Value = reading
        Else
            ' The value cell stays empty, which the statistics leave out; the status goes beside it.
            sheet.Cells(row + 1, STATUS_COLUMN).Value = "status " & status
        End If
    Next row
    Set values = sheet.Cells(2, VALUE_COLUMN).Resize(VALUE_COUNT, 1)

    ShowLive

    ' The page with the run tests: flagged points ringed, the tests that fired named in the title band.
    ' CHANGE: give the centre and sigma found earlier (the figures "Z" and "sigma") after LOWER_LIMIT to chart
    ' against those limits; Meridan_SPCPage draws the page without the run tests.
    pagePath = Meridan_SPCPageEx(PageFolder() & PAGE_NAME, values, title, CHART_KIND, SUBGROUP_SIZE, _
        SIGMA_FROM_RANGES, NOMINAL_SIZE, UPPER_LIMIT, LOWER_LIMIT)
    sheet.Range("C1:D48").Value = Meridan_SPCFigures(values, CHART_KIND, SUBGROUP_SIZE, SIGMA_FROM_RANGES, _
        NOMINAL_SIZE, UPPER_LIMIT, LOWER_LIMIT)
    ' The same figure as a worksheet function, recalculated when the values change.
    sheet.Range("C50").Value = "Cpk (formula)"
    sheet.Range("D50").Formula = CpkFormula(values)
    ' The points each run test flagged (tests 1 to 8, then the dispersion chart): 9 rows of name and count.
    sheet.Range("C52").Value = "Run tests (formula)"
    sheet.Range("C53:D61").FormulaArray = RunsFormula(values)
    sheet.Columns("C:D").AutoFit
    ' Linked no, saved with the workbook yes, at its own size (-1).
    sheet.Shapes.AddPicture pagePath, False, True, sheet.Range("F1").Left, sheet.Range("F1").Top, -1, -1

    ShowStudies values, title

CleanUp:
    ' Reached by Resume from the handler below, so the handler is no longer
    ' active and this On Error Resume Next takes effect: a clean-up step that
    ' fails (the library missing) cannot raise a second error.
    On Error Resume Next
    If Len(failure) > 0 Then Meridan_ReadoutClose  ' ShowLive may have failed with the window open
    If kitStarted Then Meridan_KitDeInit
    On Error GoTo 0
    demoRunning = False
    If Len(failure) > 0 Then MsgBox failure, vbExclamation, DEMO_TITLE
    Exit Sub
Failed:
    failure = Err.Description
    Resume CleanUp
End Sub

' The formulas the demo puts into the sheet: numbers in them are written with
' a point on every system (Meridan_Formula), as Range.Formula needs.
Private Function CpkFormula(ByVal values As Object) As String
    CpkFormula = Meridan_Formula("MERIDAN_SPC", values, "Cpk", CHART_KIND, SUBGROUP_SIZE, SIGMA_FROM_RANGES, _
        NOMINAL_SIZE, UPPER_LIMIT, LOWER_LIMIT)
End Function

Private Function RunsFormula(ByVal values As Object) As String
    RunsFormula = Meridan_Formula("MERIDAN_SPCRUNS", values, "all", CHART_KIND, SUBGROUP_SIZE, SIGMA_FROM_RANGES, _
        NOMINAL_SIZE, UPPER_LIMIT, LOWER_LIMIT)
End Function

' A second sheet with the studies: the individuals chart of the single
' readings, a p chart of go/no-go checks of lots of varying size, the
' capability of a runout (a characteristic bounded at 0: here each reading's
' distance from the nominal size) with the Weibull fit, and a type 1 study of
' the gauge on a reference part. Each page is put in as a picture beside a
' formula that shows one of its figures.
Private Sub ShowStudies(ByVal values As Object, ByVal title As String)
    Dim sheet As Object, runout As Object, lotCounts As Object, lotSizes As Object, reference As Object
    Dim row As Long, status As Integer, reading As Double, cell As Variant, sizes As Variant, counts As Variant
    Set sheet = ThisWorkbook.Worksheets.Add
    sheet.Range("A1").Value = "Runout"
    For row = 1 To VALUE_COUNT
        cell = values.Cells(row, 1).Value2
        If Not IsEmpty(cell) Then sheet.Cells(row + 1, 1).Value = Abs(cell - NOMINAL_SIZE)
    Next row
    Set runout = sheet.Range("A2").Resize(VALUE_COUNT, 1)
    ' Go/no-go checks of 20 lots: lot size and rejected parts (lot 9 is a bad one).
    sizes = Array(50, 50, 50, 80, 80, 80, 80, 60, 60, 60, 100, 100, 100, 50, 50, 50, 80, 80, 80, 80)
    counts = Array(3, 5, 2, 6, 4, 7, 5, 3, 12, 4, 8, 6, 9, 2, 4, 3, 6, 5, 4, 7)
    sheet.Range("B1").Value = "Lot size"
    sheet.Range("C1").Value = "Rejected"
    For row = 1 To UBound(sizes) + 1
        sheet.Cells(row + 1, 2).Value = sizes(row - 1)
        sheet.Cells(row + 1, 3).Value = counts(row - 1)
    Next row
    Set lotSizes = sheet.Range("B2").Resize(UBound(sizes) + 1, 1)
    Set lotCounts = sheet.Range("C2").Resize(UBound(sizes) + 1, 1)
    sheet.Range("D1").Value = "Reference part"
    For row = 1 To TYPE1_READINGS
        status = Meridan_ReadValue(GAUGE_DEVICE, GAUGE_ADDRESS, reading)
        If status = 0 Then sheet.Cells(row + 1, 4).Value = reading  ' a failed reading stays empty, left out
    Next row
    Set reference = sheet.Range("D2").Resize(TYPE1_READINGS, 1)

    ' Beside the readings, on their own sheet: the individuals chart's upper limit.
    values.Worksheet.Range("C63").Value = "Individuals UCL (formula)"
    values.Worksheet.Range("D63").Formula = IndividualsFormula(values)
    sheet.Range("F2").Value = "p-bar of the lots (formula)"
    sheet.Range("G2").Formula = LotsFormula(lotCounts, lotSizes)
    sheet.Range("F3").Value = "Runout Ppk of the Weibull fit (formula)"
    sheet.Range("G3").Formula = RunoutFormula(runout)
    sheet.Range("F4").Value = "Gauge Cgk (formula)"
    sheet.Range("G4").Formula = GaugeFormula(reference)
    sheet.Range("F6:G25").Value = Meridan_GaugeStudyFigures(reference, TYPE1_STUDY, REFERENCE_SIZE, TOLERANCE)
    sheet.Columns("A:G").AutoFit

    AddPage sheet, "I1", Meridan_ChartPage(PageFolder() & "MeridanDemo_Individuals.bmp", values, "imr", , _
        title & ": single readings", pageWidth:=STUDY_PAGE_WIDTH, pageHeight:=STUDY_PAGE_HEIGHT)
    AddPage sheet, "I50", Meridan_ChartPage(PageFolder() & "MeridanDemo_Lots.bmp", lotCounts, "p", lotSizes, _
        "Go/no-go checks of 20 lots", pageWidth:=STUDY_PAGE_WIDTH, pageHeight:=STUDY_PAGE_HEIGHT)
    AddPage sheet, "I100", Meridan_CapabilityPage(PageFolder() & "MeridanDemo_Runout.bmp", runout, RUNOUT_LIMIT, , _
        "Runout", 1, distribution:=WEIBULL_FIT, pageWidth:=STUDY_PAGE_WIDTH, pageHeight:=STUDY_PAGE_HEIGHT)
    AddPage sheet, "I150", Meridan_GaugeStudyPage(PageFolder() & "MeridanDemo_Type1.bmp", reference, TYPE1_STUDY, _
        REFERENCE_SIZE, TOLERANCE, headline:=title & ": type 1 study", pageWidth:=STUDY_PAGE_WIDTH, _
        pageHeight:=STUDY_PAGE_HEIGHT)
End Sub

' The page as a picture at the cell (linked no, saved with the workbook yes, at its own size).
Private Sub AddPage(ByVal sheet As Object, ByVal anchor As String, ByVal pagePath As String)
    sheet.Shapes.AddPicture pagePath, False, True, sheet.Range(anchor).Left, sheet.Range(anchor).Top, -1, -1
End Sub

' The studies' formulas (numbers with a point on every system, as above).
Private Function IndividualsFormula(ByVal values As Object) As String
    IndividualsFormula = Meridan_Formula("MERIDAN_CHART", values, "UCL", "imr")
End Function

Private Function LotsFormula(ByVal lotCounts As Object, ByVal lotSizes As Object) As String
    LotsFormula = Meridan_Formula("MERIDAN_CHART", lotCounts, "centre", "p", lotSizes)
End Function

Private Function RunoutFormula(ByVal runout As Object) As String
    RunoutFormula = Meridan_Formula("MERIDAN_CAPABILITY", runout, "fitPpk", RUNOUT_LIMIT, Empty, 1, 1, Empty, WEIBULL_FIT)
End Function

Private Function GaugeFormula(ByVal reference As Object) As String
    GaugeFormula = Meridan_Formula("MERIDAN_GAUGE", reference, "Cgk", TYPE1_STUDY, REFERENCE_SIZE, TOLERANCE)
End Function

' Where the page is written: beside the workbook, or in the temporary folder
' when the workbook has no folder of this computer (unsaved, or on a
' synchronised web folder with an https:// path). With a trailing backslash.
Private Function PageFolder() As String
    Dim folder As String
    folder = ThisWorkbook.Path
    If Len(folder) = 0 Or Meridan_IsWebPath(folder) Then folder = Environ$("TEMP")
    If Right$(folder, 1) <> "\" Then folder = folder & "\"
    PageFolder = folder
End Function

' The channels of the readout window. CHANGE: one line per gauge (at most 20):
' device, address, unit, nominal size, upper and lower tolerance, decimals.
Private Function ReadoutChannels() As MeridanChannel()
    Dim channels() As MeridanChannel
    ReDim channels(1 To 6)
    SetChannel channels(1), 1, 1, "mm", 25#, 0.03, -0.03, 4
    SetChannel channels(2), 1, 2, "mm", 30#, 0.03, -0.03, 4
    SetChannel channels(3), 1, 3, "mm", 35#, 0.03, -0.03, 4
    SetChannel channels(4), 1, 4, "mm", 40#, 0.03, -0.03, 4
    SetChannel channels(5), 2, 1, "mm", 12.5, 0.005, -0.005, 4
    SetChannel channels(6), 4, 1, "mm", 100#, 0.05, -0.05, 3
    ReadoutChannels = channels
End Function

Private Sub SetChannel(ByRef channel As MeridanChannel, ByVal device As Integer, ByVal address As Integer, _
    ByVal unit As String, ByVal nominal As Double, ByVal upper As Double, ByVal lower As Double, _
    ByVal decimals As Integer)
    channel.Device = device
    channel.Address = address
    channel.Unit = unit
    channel.NomSize = nominal
    channel.USL = upper
    channel.LSL = lower
    channel.Decimals = decimals
End Sub

' Reads every channel about ten times a second and shows the readings,
' resting between rounds so that the host stays responsive without a core
' kept busy.
Private Sub ShowLive()
    Dim channels() As MeridanChannel, readings() As Double, failed() As Integer
    Dim channel As Long, started As Single, lastUpdate As Single, reading As Double
    channels = ReadoutChannels()
    ReDim readings(LBound(channels) To UBound(channels))
    ReDim failed(LBound(channels) To UBound(channels))
    Meridan_ReadoutOpen DEMO_TITLE, channels
    started = Timer
    lastUpdate = -1
    Do While Timer - started < LIVE_SECONDS And Timer >= started
        If Timer - lastUpdate >= LIVE_INTERVAL Then
            lastUpdate = Timer
            For channel = LBound(channels) To UBound(channels)
                failed(channel) = 0
                If Meridan_ReadValue(channels(channel).Device, channels(channel).Address, reading) = 0 Then
                    readings(channel) = reading
                Else
                    failed(channel) = 1
                End If
            Next channel
            Meridan_ReadoutShow readings, failed
        End If
        DoEvents   ' the readout window draws while the host handles its messages
        Meridan_Pause LIVE_PAUSE
    Loop
    Meridan_ReadoutClose
End Sub
