' Checks of the macro modules' routines that need neither the library nor
' the helper nor a spreadsheet, run in LibreOffice Basic in VBA-compatibility
' mode by test_vba_routines.py, once with a decimal point (en-US) and once
' with a decimal comma (de-DE). Each Check_ writes "PASS name" or
' "FAIL name: what differed" to the result file.
'
' Where LibreOffice differs from the spreadsheet host, the check says so.
Option VBASupport 1
Option Explicit

Private Const RESULT_FILE As String = "@RESULT_FILE@"
Private Const LOCALE As String = "@LOCALE@"

Private resultChannel As Integer
Private failures As String
' What the stand-ins of the library's calls were handed, and whether they refuse.
Private libraryCalls As String
Private libraryRefuses As Boolean

Public Sub Main()
    resultChannel = FreeFile
    Open RESULT_FILE For Output As #resultChannel
    Check_LocaleIsInForce
    Check_FormulaNumbersHaveAPoint
    Check_DemoFormulasAreTheSameInEveryLocale
    Check_FailedReadingLeftOutAndTextNamed
    Check_TableLiesAcrossWhenEnteredWiderThanTall
    Check_MissingOrEmptyUnitIsNoUnit
    Check_CreateRetriedOnlyForAHelperEndingOrStarting
    Check_CallRepeatedOnlyForAHelperThatHasGone
    Check_CellsAreReadAsValue2
    Check_InstallFolderIsAbsoluteAndNoWebAddress
    Check_HostCountAsksForTheOwnSession
    Check_FullPathOfEveryWindowsForm
    Check_InputErrorsNameTheArgument
    Check_TextsAndHugeNumbersAreInputErrors
    Check_PagePathOutsideTheCodePageIsRefused
    Check_GaugeSheetIsReadAppraiserByAppraiser
    Check_GaugeSheetErrorsNameTheCell
    Check_ChartKindsByNumberOrName
    Check_ChartSizesStayBesideTheirValues
    Check_StudyFiguresAreFoundByNumberOrName
    Check_StudyTablesLieAcrossWhenAsked
    Check_PageCodesAreSaidInWords
    Check_PartsAreMeasuredInAShuffledOrder
    Check_RecordingSaysWhatComesNext
    Check_GaugeStudyReachesTheLibraryInItsOrder
    Check_ChartAndCapabilityReachTheLibrary
    Check_RefusedStudiesAreErrors
    Print #resultChannel, "END"
    Close #resultChannel
End Sub

' ---- Recording ----

Private Sub Expect(ByVal condition As Boolean, ByVal what As String)
    If Not condition Then failures = failures & "; " & what
End Sub

Private Sub ExpectText(ByVal actual As String, ByVal expected As String, ByVal what As String)
    If actual <> expected Then failures = failures & "; " & what & ": [" & actual & "], expected [" & expected & "]"
End Sub

Private Sub Report(ByVal name As String)
    If Len(failures) = 0 Then
        Print #resultChannel, "PASS " & name
    Else
        Print #resultChannel, "FAIL " & name & ": " & Mid$(failures, 3)
    End If
    failures = ""
End Sub

Private Sub ReportError(ByVal name As String)
    failures = failures & "; unexpected error " & Err.Number & ": " & Err.Description
    Report name
End Sub

' The error one of the statements below raises: "number description", ""
' for none. (Read in the handler of the procedure that ran the statement:
' LibreOffice's On Error Resume Next does not keep the error of a routine
' called, where the host's does.)
Private Function ErrorOf(ByVal statement As String) As String
    Dim numbers() As Double, count As Long, channels() As MeridanChannel, folder As String, settings() As Double
    Dim parts As Long, trials As Long, sheet As Variant, sizes() As Double
    On Error GoTo Caught
    Select Case statement
    Case "text among values"
        numbers = ValuesOf(Array(25.01, "status -3", 25.02), count)
    Case "web workbook"
        folder = InstallFolder("", "", "https://example.sharepoint.com/books", "C:\work")
    Case "NomSize text", "USL text", "LSL text"
        MakeRequest Array(1, 2, 3), 11, 5, 1, IIf(statement = "NomSize text", "25 mm", Empty), _
            IIf(statement = "USL text", "25 mm", Empty), IIf(statement = "LSL text", "25 mm", Empty)
    Case "centre text"
        settings = OptionsOf("x", Empty, 255, False)
    Case "sigma text"
        settings = OptionsOf(Empty, "x", 255, False)
    Case "device text"
        channels = ChannelsOfLists(Array("one"), Array(1), Array("mm"), Array(25), Array(1), Array(-1), Array(4))
    Case "address too large"
        channels = ChannelsOfLists(Array(1), Array(40000), Array("mm"), Array(25), Array(1), Array(-1), Array(4))
    Case "nominal size text"
        channels = ChannelsOfLists(Array(1), Array(1), Array("mm"), Array("25,0"), Array(1), Array(-1), Array(4))
    Case "ANSI path"
        RequireAnsiPath "C:\work\page 25.03.bmp"
    Case "gauge columns"
        numbers = GaugeLayout(GaugeSheet(2, 4, False), 3, parts, trials)
    Case "gauge missing"
        numbers = GaugeLayout(GaugeSheet(2, 4, True), 2, parts, trials)
    Case "gauge list"
        numbers = GaugeLayout(Array(1, 2, 3, 4), 2, parts, trials)
    Case "gauge text"
        sheet = GaugeSheet(2, 4, False)
        sheet(1, 3) = "0,5"
        numbers = GaugeLayout(sheet, 2, parts, trials)
    Case "chart name"
        count = Meridan_ChartKind("xbar")
    Case "chart number"
        count = Meridan_ChartKind(8)
    Case "record type 1 with parts"
        RequireStudyShape 1, 10, 1, 25
    Case "record crossed with one appraiser"
        RequireStudyShape 2, 10, 1, 3
    Case "record automated with appraisers"
        RequireStudyShape 3, 10, 2, 3
    Case "refused gauge study"
        sheet = Meridan_GaugeStudyFigures(GaugeSheet(2, 4, False), 2, Empty, Empty, 2, Empty, Empty, Empty, Empty, Empty)
    Case "type 1 without reference"
        sheet = Meridan_GaugeStudyFigures(Array(1, 2), 1, Empty, 0.06, 0, Empty, Empty, Empty, Empty, Empty)
    Case "capability without limits"
        sheet = Meridan_CapabilityFigures(Array(1, 2, 3), Empty, Empty, 1, 1, Empty, 0, Empty, Empty)
    Case "sizes count"
        ChartSeries Array(3, 4, 5), Array(50, 60), numbers, sizes, count
    End Select
    Exit Function
Caught:
    ErrorOf = Err.Number & " " & Err.Description
End Function

' statement raises error number with a description starting with start.
Private Sub ExpectError(ByVal statement As String, ByVal number As Long, ByVal start As String)
    Dim raised As String
    raised = ErrorOf(statement)
    If Left$(raised, Len(number & " " & start)) <> number & " " & start Then
        failures = failures & "; " & statement & ": [" & raised & "], expected [" & number & " " & start & "...]"
    End If
End Sub

Private Function StubRange(ByVal address As String, ByVal contents As Variant, Optional ByVal formatted As Variant) As Object
    Dim stub As New RangeStub
    stub.AddressText = address
    stub.Contents = contents
    If IsMissing(formatted) Then stub.Formatted = contents Else stub.Formatted = formatted
    Set StubRange = stub
End Function

' A study sheet of parts rows and columns columns: the cell of part p,
' column c holds 10 p + c (part 2's cell of column 1 left empty with gap).
Private Function GaugeSheet(ByVal parts As Long, ByVal columns As Long, ByVal gap As Boolean) As Variant
    Dim sheet() As Variant, part As Long, column As Long
    ReDim sheet(1 To parts, 1 To columns)
    For part = 1 To parts
        For column = 1 To columns
            sheet(part, column) = 10 * part + column
        Next column
    Next part
    If gap Then sheet(2, 1) = Empty
    GaugeSheet = sheet
End Function

' ---- Stand-ins for the library's calls ----
' Each kind of host defines its own Lib_ routines (the exports, the
' helper's methods); these record what they are handed and answer as the
' library does: the figures 1 .. capacity numbered by their element, the
' chart's point count in element 2.

Public Function Lib_IsConnected() As Boolean
    Lib_IsConnected = True
End Function

Public Sub Lib_Connect(ByVal folder As String)
End Sub

Public Function Lib_GaugeStudyStatistics(ByVal kind As Integer, ByRef readings() As Double, ByVal parts As Long, _
    ByVal appraisers As Long, ByVal trials As Long, ByVal reference As Double, ByVal tolerance As Double, _
    ByRef options() As Double, ByVal optionCount As Long, ByRef results() As Double, ByVal capacity As Long) As Long
    Dim element As Long
    libraryCalls = "kind " & kind & ", " & parts & " x " & appraisers & " x " & trials & ", readings " & _
        readings(1) & " " & readings(2) & " " & readings(4) & " " & readings(parts * appraisers * trials) & _
        ", reference " & reference & ", tolerance " & tolerance & ", options " & optionCount & " " & _
        options(1) & ", capacity " & capacity & " of " & UBound(results)
    If libraryRefuses Then Exit Function
    For element = 1 To capacity
        results(element) = element
    Next element
    Lib_GaugeStudyStatistics = capacity
End Function

Public Function Lib_ChartStatistics(ByVal chart As Integer, ByRef values() As Double, ByRef sizes() As Double, _
    ByVal count As Long, ByVal SampleSize As Long, ByVal SPCNorm As Integer, ByRef options() As Double, _
    ByVal optionCount As Long, ByRef results() As Double, ByVal capacity As Long) As Long
    Dim element As Long
    libraryCalls = "chart " & chart & ", " & count & " values " & values(1) & " " & values(count) & ", sizes " & _
        sizes(1) & " " & sizes(count) & ", subgroups of " & SampleSize & ", options " & optionCount & " tests " & _
        options(3) & " mark " & options(4) & ", capacity " & capacity
    If libraryRefuses Then Exit Function
    results(2) = count
    For element = 3 To 35 + 5 * count
        results(element) = element
    Next element
    Lib_ChartStatistics = 35 + 5 * count
End Function

Public Function Lib_CapabilityStatistics(ByRef values() As Double, ByVal count As Long, ByVal SampleSize As Long, _
    ByVal SPCNorm As Integer, ByVal NomSize As Double, ByVal USL As Double, ByVal LSL As Double, _
    ByVal USLOnOff As Integer, ByVal LSLOnOff As Integer, ByRef options() As Double, ByVal optionCount As Long, _
    ByRef results() As Double, ByVal capacity As Long) As Long
    Dim element As Long
    libraryCalls = count & " values, NomSize " & NomSize & ", USL " & USLOnOff & " " & USL & ", LSL " & LSLOnOff & _
        ", options " & optionCount & " level " & options(2) & " distribution " & options(3) & ", capacity " & capacity
    If libraryRefuses Then Exit Function
    For element = 1 To capacity
        results(element) = element
    Next element
    Lib_CapabilityStatistics = capacity
End Function

' ---- Checks ----

' The locale the run was started with is the one Basic writes numbers in:
' without it the checks below would prove nothing about a decimal comma.
Private Sub Check_LocaleIsInForce()
    On Error GoTo Failed
    If LOCALE = "de-DE" Then
        ExpectText "" & 25.03, "25,03", "a number joined to a text"
    Else
        ExpectText "" & 25.03, "25.03", "a number joined to a text"
    End If
    Report "LocaleIsInForce"
    Exit Sub
Failed:
    ReportError "LocaleIsInForce"
End Sub

Private Sub Check_FormulaNumbersHaveAPoint()
    On Error GoTo Failed
    ExpectText Meridan_FormulaNumber(25.03), "25.03", "25.03"
    ExpectText Meridan_FormulaNumber(0.03), "0.03", "0.03"
    ExpectText Meridan_FormulaNumber(-0.5), "-0.5", "-0.5"
    ExpectText Meridan_FormulaNumber(25), "25", "25"
    ExpectText Meridan_FormulaNumber(-24.97), "-24.97", "-24.97"
    ExpectText Meridan_Formula("F", StubRange("A2:A126", Empty), "Cpk", 11, 25.03, True, Empty, "say ""hi"""), _
        "=F(A2:A126,""Cpk"",11,25.03,TRUE,,""say """"hi"""""")", "a formula of every kind of argument"
    Report "FormulaNumbersHaveAPoint"
    Exit Sub
Failed:
    ReportError "FormulaNumbersHaveAPoint"
End Sub

' The formula texts the demo puts into its sheet, against the texts a
' spreadsheet host needs in Range.Formula (English syntax, on every system).
Private Sub Check_DemoFormulasAreTheSameInEveryLocale()
    Dim values As Object
    On Error GoTo Failed
    Set values = StubRange("A2:A126", Empty)
    ExpectText CpkFormula(values), "=MERIDAN_SPC(A2:A126,""Cpk"",11,5,1,25,25.03,24.97)", "the Cpk formula"
    ExpectText RunsFormula(values), "=MERIDAN_SPCRUNS(A2:A126,""all"",11,5,1,25,25.03,24.97)", "the run tests formula"
    ExpectText IndividualsFormula(values), "=MERIDAN_CHART(A2:A126,""UCL"",""imr"")", "the individuals chart's formula"
    ExpectText LotsFormula(StubRange("C2:C21", Empty), StubRange("B2:B21", Empty)), _
        "=MERIDAN_CHART(C2:C21,""centre"",""p"",B2:B21)", "the p chart's formula"
    ExpectText RunoutFormula(values), "=MERIDAN_CAPABILITY(A2:A126,""fitPpk"",0.03,,1,1,,2)", "the runout's formula"
    ExpectText GaugeFormula(StubRange("D2:D26", Empty)), "=MERIDAN_GAUGE(D2:D26,""Cgk"",1,25,0.06)", _
        "the type 1 study's formula"
    Report "DemoFormulasAreTheSameInEveryLocale"
    Exit Sub
Failed:
    ReportError "DemoFormulasAreTheSameInEveryLocale"
End Sub

' A failed reading leaves its cell empty: the statistics leave it out. A text
' among the values is refused with its place and the text named.
Private Sub Check_FailedReadingLeftOutAndTextNamed()
    Dim numbers() As Double, count As Long
    On Error GoTo Failed
    numbers = ValuesOf(Array(25.01, Empty, 25.02, Empty), count)
    Expect count = 2, "two values of four cells, two empty: count " & count
    Expect numbers(1) = 25.01 And numbers(2) = 25.02, "the values in order"
    ExpectError "text among values", MERIDAN_ERR_INPUT, "Value 2 is not a number but the text ""status -3"""
    Report "FailedReadingLeftOutAndTextNamed"
    Exit Sub
Failed:
    ReportError "FailedReadingLeftOutAndTextNamed"
End Sub

Private Sub Check_TableLiesAcrossWhenEnteredWiderThanTall()
    Dim results(69) As Double, table As Variant, figure As Long
    On Error GoTo Failed
    Expect Meridan_TableAcross(2, 48), "entered over 2 x 48 cells: across"
    Expect Not Meridan_TableAcross(48, 2), "entered over 48 x 2 cells: downwards"
    Expect Not Meridan_TableAcross(1, 1), "one cell (a spilled formula): downwards"
    Expect Meridan_TableAcross(2, 9), "entered over 2 x 9 cells: across"
    Expect Not Meridan_TableAcross(9, 2), "entered over 9 x 2 cells: downwards"
    For figure = 1 To 69
        results(figure) = figure
    Next figure
    table = FigureTable(results, 53, 61, True)
    Expect UBound(table, 1) = 2 And UBound(table, 2) = 9, "across: 2 rows of 9"
    ExpectText table(1, 1), "test1", "across: the first name"
    Expect table(2, 9) = 61, "across: the last value"
    table = FigureTable(results, 53, 61, False)
    Expect UBound(table, 1) = 9 And UBound(table, 2) = 2, "downwards: 9 rows of 2"
    ExpectText table(9, 1), "dispersion", "downwards: the last name"
    Report "TableLiesAcrossWhenEnteredWiderThanTall"
    Exit Sub
Failed:
    ReportError "TableLiesAcrossWhenEnteredWiderThanTall"
End Sub

Private Sub Check_MissingOrEmptyUnitIsNoUnit()
    Dim channels() As MeridanChannel
    On Error GoTo Failed
    channels = ChannelsOfLists(Array(1, 2, 3), Array(1, 1, 1), Array("mm", Empty), Array(25, 30, 35), _
        Array(0.03, 0.03, 0.03), Array(-0.03, -0.03, -0.03), Array(4, 4))
    ExpectText channels(1).Unit, "mm", "a unit given"
    ExpectText channels(2).Unit, "", "an empty unit"
    ExpectText channels(3).Unit, "", "a unit left out (fewer units than channels)"
    Expect channels(3).Decimals = 0, "decimals left out: 0"
    Expect channels(2).NomSize = 30, "the nominal size"
    Report "MissingOrEmptyUnitIsNoUnit"
    Exit Sub
Failed:
    ReportError "MissingOrEmptyUnitIsNoUnit"
End Sub

' Error numbers as VBA reports them: 429 for a class that is not registered,
' 462 and the automation errors' HRESULTs (as negative Longs) otherwise.
Private Sub Check_CreateRetriedOnlyForAHelperEndingOrStarting()
    On Error GoTo Failed
    Expect Not HelperIsChanging(429), "429, class not registered: no retry"
    Expect Not HelperIsChanging(-2147221164), "REGDB_E_CLASSNOTREG: no retry"
    Expect Not HelperIsChanging(70), "permission denied: no retry"
    Expect HelperIsChanging(-2147467238), "CO_E_SERVER_STOPPING: retry"
    Expect HelperIsChanging(-2147023174), "RPC_S_SERVER_UNAVAILABLE: retry"
    Expect HelperIsChanging(-2147467259), "E_FAIL from a helper ending: retry"
    Expect SecondsBetween(86399, 1) = 2, "across midnight: " & SecondsBetween(86399, 1)
    Expect SecondsBetween(100, 103.5) = 3.5, "within a day"
    ExpectText ErrorCode(-2147023174), "0x800706BA", "an automation error's code"
    ExpectText ErrorCode(429), "429", "a VBA error's number"
    Report "CreateRetriedOnlyForAHelperEndingOrStarting"
    Exit Sub
Failed:
    ReportError "CreateRetriedOnlyForAHelperEndingOrStarting"
End Sub

Private Sub Check_CallRepeatedOnlyForAHelperThatHasGone()
    On Error GoTo Failed
    Expect HelperVanished(-2147023174), "RPC_S_SERVER_UNAVAILABLE (0x800706BA): reconnect"
    Expect HelperVanished(462), "462, remote server unavailable: reconnect"
    Expect HelperVanished(-2147417848), "RPC_E_DISCONNECTED: reconnect"
    Expect HelperVanished(-2147023170), "RPC_S_CALL_FAILED: reconnect"
    Expect Not HelperVanished(13), "a type mismatch: raised as it is"
    Expect Not HelperVanished(-2147352567), "an error the helper raised on purpose: raised as it is"
    Report "CallRepeatedOnlyForAHelperThatHasGone"
    Exit Sub
Failed:
    ReportError "CallRepeatedOnlyForAHelperThatHasGone"
End Sub

' The host's .Value of a cell formatted as currency is a Currency rounded to
' 4 decimals; the stub range gives that as .Value, the cell's number as
' .Value2 (LibreOffice's own ranges keep the number in both).
Private Sub Check_CellsAreReadAsValue2()
    Dim numbers() As Double, count As Long, cells(1 To 2, 1 To 1) As Variant, shown(1 To 2, 1 To 1) As Variant
    On Error GoTo Failed
    cells(1, 1) = 25.012345678
    cells(2, 1) = 45000.25
    shown(1, 1) = CCur(25.0123)
    shown(2, 1) = CDate(45000.25)
    numbers = ValuesOf(StubRange("A1:A2", cells, shown), count)
    Expect count = 2, "two cells: " & count
    Expect numbers(1) = 25.012345678, "a cell formatted as currency keeps its digits: " & numbers(1)
    Expect numbers(2) = 45000.25, "a cell formatted as a date is its number: " & numbers(2)
    Expect LimitInForce(StubRange("B1", 25.012345678, CCur(25.0123)), numbers(1), "USL") = 1, "a limit from a cell"
    Expect numbers(1) = 25.012345678, "a limit from a cell formatted as currency: " & numbers(1)
    Report "CellsAreReadAsValue2"
    Exit Sub
Failed:
    ReportError "CellsAreReadAsValue2"
End Sub

Private Sub Check_InstallFolderIsAbsoluteAndNoWebAddress()
    On Error GoTo Failed
    ExpectText InstallFolder("MERIDAN", "", "", "C:\work"), "C:\work\MERIDAN\", "a relative folder given"
    ExpectText InstallFolder("", "", "C:\books", "C:\work"), "C:\books\", "the workbook's folder"
    ExpectText InstallFolder("", "D:\MERIDAN", "https://example.sharepoint.com/books", "C:\work"), "D:\MERIDAN\", _
        "MERIDAN_FOLDER set, the workbook on a web folder"
    ExpectText InstallFolder("", "", "", "C:\work\"), "C:\work\", "the current folder"
    ExpectError "web workbook", MERIDAN_ERR_MISSING, "The workbook is on a web folder"
    Expect InStr(ErrorOf("web workbook"), "MERIDAN_FOLDER") > 0, "the error says what to set"
    Expect Meridan_IsWebPath("HTTPS://x/y") And Meridan_IsWebPath("http://x") And Not Meridan_IsWebPath("C:\x"), _
        "web addresses told from folders"
    Report "InstallFolderIsAbsoluteAndNoWebAddress"
    Exit Sub
Failed:
    ReportError "InstallFolderIsAbsoluteAndNoWebAddress"
End Sub

Private Sub Check_HostCountAsksForTheOwnSession()
    On Error GoTo Failed
    ExpectText HostCountQuery(3), "SELECT ProcessId FROM Win32_Process WHERE Name = 'EXCEL.EXE' AND SessionId = 3", _
        "the process list's query"
    Report "HostCountAsksForTheOwnSession"
    Exit Sub
Failed:
    ReportError "HostCountAsksForTheOwnSession"
End Sub

Private Sub Check_FullPathOfEveryWindowsForm()
    On Error GoTo Failed
    ExpectText AbsolutePath("C:\data\page.bmp", "D:\work"), "C:\data\page.bmp", "a full path"
    ExpectText AbsolutePath("C:/data/page.bmp", "D:\work"), "C:\data\page.bmp", "forward slashes"
    ExpectText AbsolutePath("C:page.bmp", "C:\work"), "C:\work\page.bmp", "a drive without a folder"
    ExpectText AbsolutePath("\data\page.bmp", "D:\work"), "D:\data\page.bmp", "a folder without a drive"
    ExpectText AbsolutePath("\data\page.bmp", "\\server\share\work"), "\\server\share\data\page.bmp", _
        "a folder without a drive, the current folder on a share"
    ExpectText AbsolutePath("\\server\share\page.bmp", "D:\work"), "\\server\share\page.bmp", "a network path"
    ExpectText AbsolutePath("//server/share/page.bmp", "D:\work"), "\\server\share\page.bmp", "a network path with slashes"
    ExpectText AbsolutePath("pages\page.bmp", "D:\work\"), "D:\work\pages\page.bmp", "a relative path"
    Report "FullPathOfEveryWindowsForm"
    Exit Sub
Failed:
    ReportError "FullPathOfEveryWindowsForm"
End Sub

Private Sub Check_InputErrorsNameTheArgument()
    On Error GoTo Failed
    ExpectError "NomSize text", MERIDAN_ERR_INPUT, "NomSize is not a number but the text ""25 mm"""
    ExpectError "USL text", MERIDAN_ERR_INPUT, "USL is not a number"
    ExpectError "LSL text", MERIDAN_ERR_INPUT, "LSL is not a number"
    ExpectError "centre text", MERIDAN_ERR_INPUT, "centre is not a number"
    ExpectError "sigma text", MERIDAN_ERR_INPUT, "sigma is not a number"
    Report "InputErrorsNameTheArgument"
    Exit Sub
Failed:
    ReportError "InputErrorsNameTheArgument"
End Sub

Private Sub Check_TextsAndHugeNumbersAreInputErrors()
    On Error GoTo Failed
    ExpectError "device text", MERIDAN_ERR_INPUT, "Device 1 is not a number"
    ExpectError "address too large", MERIDAN_ERR_INPUT, "Address 1 must be a whole number from -32768 to 32767"
    ExpectError "nominal size text", MERIDAN_ERR_INPUT, "NomSize 1 is not a number"
    Report "TextsAndHugeNumbersAreInputErrors"
    Exit Sub
Failed:
    ReportError "TextsAndHugeNumbersAreInputErrors"
End Sub

' LibreOffice converts with the text encoding of its own system (UTF-8
' here), in which every character has a code: only the spreadsheet host,
' with the Windows code page, refuses a name such as "Ж". What can be
' checked here is that a path of the code page passes unchanged.
Private Sub Check_PagePathOutsideTheCodePageIsRefused()
    On Error GoTo Failed
    ExpectText ErrorOf("ANSI path"), "", "a path of the code page"
    Report "PagePathOutsideTheCodePageIsRefused"
    Exit Sub
Failed:
    ReportError "PagePathOutsideTheCodePageIsRefused"
End Sub

' The sheet's columns are appraiser A's trials, then B's: the library takes
' appraiser by appraiser, part by part, trial by trial.
Private Sub Check_GaugeSheetIsReadAppraiserByAppraiser()
    Dim numbers() As Double, parts As Long, trials As Long, sheet(0 To 1, 0 To 3) As Variant, part As Long, column As Long
    On Error GoTo Failed
    numbers = GaugeLayout(GaugeSheet(2, 4, False), 2, parts, trials)
    Expect parts = 2 And trials = 2, "2 parts, 2 trials: " & parts & ", " & trials
    ExpectText Join(Array(numbers(1), numbers(2), numbers(3), numbers(4), numbers(5), numbers(6), numbers(7), _
        numbers(8)), " "), "11 12 21 22 13 14 23 24", "A: part 1 trials 1 2, part 2 trials 1 2; then B"
    For part = 0 To 1
        For column = 0 To 3
            sheet(part, column) = 10 * (part + 1) + column + 1
        Next column
    Next part
    numbers = GaugeLayout(sheet, 1, parts, trials)
    Expect parts = 2 And trials = 4, "one appraiser: 4 trials"
    ExpectText Join(Array(numbers(1), numbers(4), numbers(5), numbers(8)), " "), "11 14 21 24", "an array from 0"
    numbers = GaugeLayout(StubRange("B2:E3", GaugeSheet(2, 4, False)), 2, parts, trials)
    Expect numbers(5) = 13, "a range's cells: " & numbers(5)
    Report "GaugeSheetIsReadAppraiserByAppraiser"
    Exit Sub
Failed:
    ReportError "GaugeSheetIsReadAppraiserByAppraiser"
End Sub

Private Sub Check_GaugeSheetErrorsNameTheCell()
    On Error GoTo Failed
    ExpectError "gauge columns", MERIDAN_ERR_INPUT, "readings has 4 columns, which 3 appraisers do not share equally"
    ExpectError "gauge missing", MERIDAN_ERR_INPUT, "The reading of part 2, appraiser A, trial 1 is missing"
    ExpectError "gauge list", MERIDAN_ERR_INPUT, "readings must be a block of cells"
    ExpectError "gauge text", MERIDAN_ERR_INPUT, "The reading of part 1, appraiser B, trial 1 is not a number but the text ""0,5"""
    Report "GaugeSheetErrorsNameTheCell"
    Exit Sub
Failed:
    ReportError "GaugeSheetErrorsNameTheCell"
End Sub

Private Sub Check_ChartKindsByNumberOrName()
    On Error GoTo Failed
    Expect Meridan_ChartKind("imr") = 1, "imr"
    Expect Meridan_ChartKind("EWMA") = 2, "EWMA in capitals"
    Expect Meridan_ChartKind("cusum") = 3 And Meridan_ChartKind("p") = 4 And Meridan_ChartKind("np") = 5, "cusum, p, np"
    Expect Meridan_ChartKind("c") = 6 And Meridan_ChartKind("u") = 7, "c, u"
    Expect Meridan_ChartKind(7) = 7 And Meridan_ChartKind(1#) = 1, "by number"
    Expect Meridan_ChartKind(StubRange("C1", "np")) = 5, "from a cell"
    ExpectError "chart name", MERIDAN_ERR_INPUT, "chart is 1 to 7 or one of imr, ewma, cusum, p, np, c, u, not ""xbar"""
    ExpectError "chart number", MERIDAN_ERR_INPUT, "chart is 1 to 7"
    Report "ChartKindsByNumberOrName"
    Exit Sub
Failed:
    ReportError "ChartKindsByNumberOrName"
End Sub

' A failed count leaves its cell empty: it is left out with its lot size.
Private Sub Check_ChartSizesStayBesideTheirValues()
    Dim numbers() As Double, sizes() As Double, count As Long
    On Error GoTo Failed
    ChartSeries Array(3, Empty, 5), Array(50, 60, 70), numbers, sizes, count
    Expect count = 2, "an empty count left out: " & count
    Expect numbers(2) = 5 And sizes(2) = 70, "the size beside its count: " & sizes(2)
    ChartSeries Array(3, 4), 50, numbers, sizes, count
    Expect sizes(1) = 50 And sizes(2) = 50, "one size for every sample"
    ChartSeries Array(3, 4), Empty, numbers, sizes, count
    Expect sizes(1) = 1 And sizes(2) = 1, "no sizes: 1 (read by p, np and u only)"
    ExpectError "sizes count", MERIDAN_ERR_INPUT, "sizes has 2 items for 3 values"
    Report "ChartSizesStayBesideTheirValues"
    Exit Sub
Failed:
    ReportError "ChartSizesStayBesideTheirValues"
End Sub

' Names from the README's tables: a figure by its element number or its name, in any letter case.
Private Sub Check_StudyFiguresAreFoundByNumberOrName()
    On Error GoTo Failed
    ExpectText Meridan_GaugeFigureName(1, 15), "Cg", "type 1, element 15"
    ExpectText Meridan_GaugeFigureName(2, 46), "%GRR", "kind 2, element 46"
    ExpectText Meridan_GaugeFigureName(2, 57), "ndc", "kind 2, element 57"
    ExpectText Meridan_GaugeFigureName(2, 76, 3), "Rbar1", "the first appraiser's R-bar"
    ExpectText Meridan_GaugeFigureName(2, 81, 3), "Xbar3", "the third appraiser's X-bar, the last figure"
    ExpectText Meridan_GaugeFigureName(2, 82, 3), "", "past the last figure"
    ExpectText Meridan_ChartFigureName(9), "UCL", "chart element 9"
    ExpectText Meridan_ChartFigureName(35), "firstFlagged", "chart element 35"
    ExpectText Meridan_CapabilityFigureName(11), "Ppk", "capability element 11"
    ExpectText Meridan_CapabilityFigureName(55), "level", "capability element 55"
    Expect NamedFigureIndex("cgk", GaugeNames(1, 1), 20) = 16, "Cgk in small letters"
    Expect NamedFigureIndex("%grr", GaugeNames(2, 3), 81) = 46, "%GRR"
    Expect NamedFigureIndex("Xbar2", GaugeNames(2, 3), 81) = 80, "Xbar2 of 3 appraisers"
    Expect NamedFigureIndex("ALL", CapabilityFigureNames(), 55) = -1, "all"
    Expect NamedFigureIndex(55, CapabilityFigureNames(), 55) = 55 And NamedFigureIndex(56, CapabilityFigureNames(), 55) = 0, _
        "by number, within the figures"
    Expect NamedFigureIndex(2.5, ChartFigureNames(), 35) = 0, "no whole number"
    Expect NamedFigureIndex("Cpk", ChartFigureNames(), 35) = 0, "a name of another study"
    Expect FigureIndex("cpk") = 17 And FigureIndex(48) = 48 And FigureIndex(49) = 0, "the SPC figures as before"
    Report "StudyFiguresAreFoundByNumberOrName"
    Exit Sub
Failed:
    ReportError "StudyFiguresAreFoundByNumberOrName"
End Sub

Private Sub Check_StudyTablesLieAcrossWhenAsked()
    Dim results(0 To 70) As Double, table As Variant, element As Long
    On Error GoTo Failed
    For element = 1 To 70
        results(element) = element
    Next element
    table = NameValueTable(ChartFigureNames(), results, False)
    Expect UBound(table, 1) = 35 And UBound(table, 2) = 2, "downwards: 35 rows of name and value"
    ExpectText table(9, 1), "UCL", "row 9's name"
    Expect table(9, 2) = 9, "row 9's value"
    table = NameValueTable(ChartFigureNames(), results, True)
    Expect UBound(table, 1) = 2 And UBound(table, 2) = 35, "across: 2 rows of 35"
    ExpectText table(1, 35), "firstFlagged", "across: the last name"
    results(2) = 7  ' 7 points: blocks at 36 .. 42, 43 .. 49, ..., 64 .. 70
    table = ChartPointTable(results, False)
    Expect UBound(table, 1) = 8 And UBound(table, 2) = 5, "a row of names and 7 rows of 5"
    ExpectText table(1, 5), "flags", "the last block's name"
    Expect table(2, 1) = 36 And table(8, 1) = 42 And table(2, 2) = 43 And table(8, 5) = 70, "point by point"
    table = ChartPointTable(results, True)
    Expect UBound(table, 1) = 5 And UBound(table, 2) = 8 And table(5, 8) = 70, "across: transposed"
    Report "StudyTablesLieAcrossWhenAsked"
    Exit Sub
Failed:
    ReportError "StudyTablesLieAcrossWhenAsked"
End Sub

Private Sub Check_PageCodesAreSaidInWords()
    On Error GoTo Failed
    ExpectText Meridan_PageFailure("gauge", 5), "the file could not be written (read-only, no such folder, disk full)", _
        "gauge 5"
    ExpectText Meridan_PageFailure("chart", 1), "the library refused the request", "chart 1"
    ExpectText Meridan_PageFailure("capability", 3), "fewer than two values are numbers", "capability 3"
    ExpectText Meridan_PageFailure("chart", 5), "an unknown code", "chart 5"
    ExpectText Meridan_PageFailure("capability", 0), "the page was written", "0"
    Report "PageCodesAreSaidInWords"
    Exit Sub
Failed:
    ReportError "PageCodesAreSaidInWords"
End Sub

' Each trial asks for the parts in an order of their own: every part once.
Private Sub Check_PartsAreMeasuredInAShuffledOrder()
    Dim order As Variant, seen(1 To 10) As Long, position As Long, attempt As Long, inTurn As Long
    On Error GoTo Failed
    order = Meridan_PartOrder(10, False)
    For position = 1 To 10
        Expect order(position) = position, "not shuffled: part " & position & " at " & position
    Next position
    For attempt = 1 To 20
        order = Meridan_PartOrder(10, True)
        Erase seen
        For position = 1 To 10
            seen(order(position)) = seen(order(position)) + 1
        Next position
        For position = 1 To 10
            Expect seen(position) = 1, "shuffled: part " & position & " once, not " & seen(position) & " times"
        Next position
        If order(1) = 1 And order(2) = 2 And order(3) = 3 And order(4) = 4 Then inTurn = inTurn + 1
    Next attempt
    ' 20 shuffles of 10 parts that all start 1, 2, 3, 4 (chance 1 in 5040 each): no shuffle.
    Expect inTurn < 20, "shuffled orders differ from the turn order"
    order = Meridan_PartOrder(1, True)
    Expect UBound(order) = 1 And order(1) = 1, "one part"
    Report "PartsAreMeasuredInAShuffledOrder"
    Exit Sub
Failed:
    ReportError "PartsAreMeasuredInAShuffledOrder"
End Sub

Private Sub Check_RecordingSaysWhatComesNext()
    Dim grid(1 To 2, 1 To 3) As Variant
    On Error GoTo Failed
    ExpectText Meridan_GaugeStepText(2, 2, 7, 3, 12, 90), "Appraiser B, part 7, trial 3 (12 of 90 recorded)", "kind 2"
    ExpectText Meridan_GaugeStepText(1, 1, 1, 5, 4, 25), "Reference part, reading 5 (4 of 25 recorded)", "type 1"
    ExpectText AppraiserLetter(1) & AppraiserLetter(26) & " " & AppraiserLetter(27) & " " & AppraiserLetter(53), _
        "AZ AA BA", "appraisers' letters"
    grid(1, 1) = 0.5
    grid(2, 3) = 0
    Expect FilledCount(grid) = 2, "two cells filled (a 0 is a reading): " & FilledCount(grid)
    Expect FilledCount(Empty) = 0 And FilledCount(1.5) = 1, "a block of one cell"
    ExpectError "record type 1 with parts", MERIDAN_ERR_INPUT, "A type 1 study has 1 part"
    ExpectError "record crossed with one appraiser", MERIDAN_ERR_INPUT, "A crossed study (kind 2) needs 2 or more"
    ExpectError "record automated with appraisers", MERIDAN_ERR_INPUT, "A study of an automated gauge (kind 3) has 1"
    Report "RecordingSaysWhatComesNext"
    Exit Sub
Failed:
    ReportError "RecordingSaysWhatComesNext"
End Sub

' The study sheet's readings reach the library appraiser by appraiser, part
' by part, trial by trial; the figures come back as rows of name and value.
' (Every argument is given: see test_vba_routines.py on error 449.)
Private Sub Check_GaugeStudyReachesTheLibraryInItsOrder()
    Dim table As Variant, sheet As Variant
    On Error GoTo Failed
    libraryRefuses = False
    sheet = GaugeSheet(3, 4, False)  ' 3 parts, appraisers A and B with 2 trials each
    table = Meridan_GaugeStudyFigures(sheet, 2, Empty, 0.06, 2, 5.15, Empty, Empty, Empty, Empty)
    ExpectText libraryCalls, "kind 2, 3 x 2 x 2, readings 11 12 22 34, reference 0, tolerance " & 0.06 & _
        ", options 5 " & 5.15 & ", capacity 79 of 79", "what the library is handed"
    Expect UBound(table, 1) = 79 And UBound(table, 2) = 2, "75 + 2 x 2 rows of name and value"
    ExpectText table(46, 1) & "=" & table(46, 2), "%GRR=46", "row 46"
    ExpectText table(79, 1), "Xbar2", "the last row"
    Expect Meridan_GaugeCell(sheet, "ndc", 2, Empty, Empty, 2, False) = 57, "MERIDAN_GAUGE's ndc"
    table = Meridan_GaugeCell(sheet, "all", 2, Empty, Empty, 2, True)
    Expect UBound(table, 1) = 2 And UBound(table, 2) = 79, "the table across"
    Expect IsError(Meridan_GaugeCell(sheet, "Cg", 2, Empty, Empty, 2, False)), "Cg is no figure of kind 2"
    Expect IsError(Meridan_GaugeCell(sheet, "ndc", 2, Empty, Empty, 3, False)), "4 columns for 3 appraisers"
    table = Meridan_GaugeStudyFigures(Array(25.001, Empty, 25.002, 24.999), 1, 25, 0.06, 0, Empty, Empty, Empty, _
        Empty, Empty)
    ExpectText Left$(libraryCalls, InStr(libraryCalls, ", reference") - 1), "kind 1, 1 x 1 x 3, readings " & 25.001 & _
        " " & 25.002 & " 0 " & 24.999, "type 1: the empty cell left out (element 4 is past the 3 readings)"
    Expect UBound(table, 1) = 20, "type 1: 20 rows"
    ExpectError "type 1 without reference", MERIDAN_ERR_INPUT, "A type 1 study needs the reference part's value"
    Report "GaugeStudyReachesTheLibraryInItsOrder"
    Exit Sub
Failed:
    ReportError "GaugeStudyReachesTheLibraryInItsOrder"
End Sub

Private Sub Check_ChartAndCapabilityReachTheLibrary()
    Dim table As Variant
    On Error GoTo Failed
    libraryRefuses = False
    table = Meridan_ChartFigures(Array(3, 4, Empty, 6), "p", Array(50, 50, 40, 60), 1, 1, Empty, Empty, 7, Empty, _
        Empty, Empty, Empty, Empty, False)
    ExpectText libraryCalls, "chart 4, 3 values 3 6, sizes 50 60, subgroups of 1, options 10 tests 7 mark 0, capacity 50", _
        "the p chart handed on"
    Expect UBound(table, 1) = 39 And UBound(table, 2) = 5, "35 figures, a row of names, 3 points"
    ExpectText table(9, 1) & "=" & table(9, 2) & " " & table(36, 1), "UCL=9 statistic", "the figures, then the blocks"
    Expect table(37, 1) = 36 And table(39, 5) = 50, "point 1's statistic, point 3's flags"
    Expect Meridan_ChartCell(Array(1, 2, 3), "UCL", "ewma", Empty, 1, 1, Empty, Empty, 255, Empty, Empty, Empty, _
        Empty, False) = 9, "MERIDAN_CHART's UCL"
    table = Meridan_ChartCell(Array(1, 2, 3), "points", 1, Empty, 1, 1, Empty, Empty, 255, Empty, Empty, Empty, _
        Empty, False)
    Expect UBound(table, 1) = 4 And UBound(table, 2) = 5, "MERIDAN_CHART's points"
    Expect IsError(Meridan_ChartCell(Array(1, 2, 3), "UCL", "xbar", Empty, 1, 1, Empty, Empty, 255, Empty, Empty, _
        Empty, Empty, False)), "an unknown chart"
    table = Meridan_CapabilityFigures(Array(1, 2, 3), 4, Empty, 1, 1, Empty, 2, 0.9, Empty)
    ExpectText libraryCalls, "3 values, NomSize 2, USL 1 4, LSL 0, options 4 level " & 0.9 & " distribution 2, capacity 55", _
        "the capability study handed on (one limit: NomSize the mean)"
    ExpectText table(11, 1) & "=" & table(11, 2), "Ppk=11", "row 11"
    Expect Meridan_CapabilityCell(Array(1, 2, 3), "ppkLower", 4, 0, 1, 1, Empty, 0, Empty, False) = 19, _
        "MERIDAN_CAPABILITY by name"
    ExpectError "capability without limits", MERIDAN_ERR_INPUT, "A capability study needs USL or LSL"
    Report "ChartAndCapabilityReachTheLibrary"
    Exit Sub
Failed:
    ReportError "ChartAndCapabilityReachTheLibrary"
End Sub

Private Sub Check_RefusedStudiesAreErrors()
    On Error GoTo Failed
    libraryRefuses = True
    ExpectError "refused gauge study", MERIDAN_ERR_REJECTED, "The library rejected the gauge study (kind 2, 2 parts"
    Expect IsError(Meridan_GaugeCell(GaugeSheet(2, 4, False), 1, 2, Empty, Empty, 2, False)), "#NUM! in a cell"
    Expect IsError(Meridan_CapabilityCell(Array(1, 2, 3), 1, 4, 0, 1, 1, Empty, 0, Empty, False)), "capability #NUM!"
    libraryRefuses = False
    Report "RefusedStudiesAreErrors"
    Exit Sub
Failed:
    libraryRefuses = False
    ReportError "RefusedStudiesAreErrors"
End Sub
