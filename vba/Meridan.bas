Attribute VB_Name = "Meridan"
' MERIDAN for spreadsheet macros: gauges, the readout window, SPC pages and the
' studies (gauge studies, further control charts, capability).
' Import this module once; the same macro text runs in 32-bit and in 64-bit
' hosts. A 32-bit host calls MERIDAN.dll directly; a 64-bit host, which cannot
' load a 32-bit library, calls the same functions through MERIDAN_HELPER
' (registered by install.cmd).
'
' Call the Meridan_ routines below; they take ordinary arrays (any lower
' bound) or worksheet ranges and hand the library the arrays it expects.
' Statuses are the kit's Integer codes (0 = done); a status is never an error.
' A missing file or helper, and a request the library rejects, raise a VBA
' error whose description says what is wrong.
'
' The module is private to the workbook's project: its routines are called
' from the workbook's other modules, but neither the function wizard nor the
' macro list offers them (a cell calling Meridan_TriggerGauge would trigger
' the gauge on every recalculation). The worksheet functions MERIDAN_SPC and
' MERIDAN_SPCRUNS (and those of the studies) are in the module MeridanFunctions,
' the demo in MeridanDemos.
'
' What every wrapper of this module does, and later ones should do too:
' - cells are read as .Value2 (ItemsOf, CellContents): .Value turns a cell
'   formatted as currency into a Currency rounded to 4 decimals and a date
'   into a Date;
' - a number in formula text is written with a point (Meridan_FormulaNumber,
'   Meridan_Formula): Range.Formula takes the English syntax whatever the
'   locale, while "&" writes the locale's decimal separator;
' - a worksheet function's table lies across when the range it was entered
'   in is wider than tall (Meridan_CallerAcross);
' - worksheet functions live in MeridanFunctions, everything else here;
' - in 64-bit hosts every call of the helper goes through one reconnect when
'   the helper's process has gone (ReconnectOnce).
Option Explicit
Option Private Module

' The folder MERIDAN is installed in. Empty: the folder of the workbook that
' holds this module. Change it (for example to "C:\MERIDAN") when the kit is
' installed elsewhere; Meridan_Open can also be given the folder.
Private Const MERIDAN_FOLDER As String = ""

' Error numbers raised by this module.
Public Const MERIDAN_ERR_MISSING As Long = vbObjectError + 1101   ' a file or the helper is missing
Public Const MERIDAN_ERR_REJECTED As Long = vbObjectError + 1102  ' the library rejected the request
Public Const MERIDAN_ERR_INPUT As Long = vbObjectError + 1103     ' an argument this module cannot pass on

' One channel of the readout window.
Public Type MeridanChannel
    Device As Integer       ' device number of the kit
    Address As Integer      ' address on the device
    Unit As String          ' up to 20 characters, e.g. "mm"
    NomSize As Double       ' nominal size
    USL As Double           ' upper tolerance (deviation from NomSize)
    LSL As Double           ' lower tolerance (deviation from NomSize, usually negative)
    Decimals As Integer     ' decimals shown, 0 to 5
End Type

Private Const FIGURE_COUNT As Long = 48
' The extended figures: the 48, then 21 on the limits and the run tests
' (49 .. 69), then one per subgroup.
Private Const EXTENDED_FIGURE_COUNT As Long = 69
Private Const FIRST_RUN_COUNT As Long = 53     ' points flagged by test 1 (53 .. 60: tests 1 .. 8)
Private Const DISPERSION_COUNT As Long = 61    ' dispersion values beyond a dispersion limit
Private Const RUN_TESTS As Long = 8
Private Const ALL_RUN_TESTS As Long = 255
Private Const OPTION_COUNT As Long = 4
Private Const ALL_FIGURES As Long = -1
' The studies' figures and options (see the README's tables).
Private Const GAUGE_TYPE1_COUNT As Long = 20   ' type 1
Private Const GAUGE_STUDY_COUNT As Long = 75   ' kinds 2 and 3, then R-bar and X-bar of each appraiser
Private Const GAUGE_OPTION_COUNT As Long = 5
Private Const CHART_FIGURE_COUNT As Long = 35  ' then 5 blocks of one element per point
Private Const CHART_BLOCKS As Long = 5
Private Const CHART_OPTION_COUNT As Long = 10
Private Const CAPABILITY_FIGURE_COUNT As Long = 55
Private Const CAPABILITY_OPTION_COUNT As Long = 4
' Recording a study: Esc raises error 18 while the host's EnableCancelKey is
' xlErrorHandler (2; xlInterrupt, 1, is the host's own); the kit's status
' while nothing was sent; the rest between two questions to the kit.
Private Const ERR_USER_INTERRUPT As Long = 18
Private Const XL_ERROR_HANDLER As Long = 2
Private Const XL_INTERRUPT As Long = 1
Private Const KIT_NOTHING_TRIGGERED As Integer = -4
Private Const RECORD_PAUSE As Long = 20
Private Const READOUT_CHANNELS As Long = 20
Private Const UNIT_WIDTH As Long = 20
Private Const NAME_BUFFER As Long = 256
Private Const MAX_VALUES As Long = 65535
' Excel's error values in cells: #VALUE! and #NUM!.
Private Const CELL_ERROR_VALUE As Long = 2015
Private Const CELL_ERROR_NUM As Long = 2036
' Automation errors of a helper that has gone (calls on its object) or is
' ending or starting (CreateObject); VBA reports some of them as 462.
Private Const ERR_REMOTE_SERVER_GONE As Long = 462
Private Const RPC_S_SERVER_UNAVAILABLE As Long = &H800706BA
Private Const RPC_S_CALL_FAILED As Long = &H800706BE
Private Const RPC_S_UNKNOWN_IF As Long = &H800706B5
Private Const RPC_E_DISCONNECTED As Long = &H80010108
Private Const RPC_E_SERVER_DIED As Long = &H80010007
Private Const RPC_E_SERVER_DIED_DNE As Long = &H80010012
Private Const CO_E_SERVER_STOPPING As Long = &H8000401A
Private Const CO_E_SERVER_EXEC_FAILURE As Long = &H80080005
Private Const E_NOINTERFACE As Long = &H80004002
Private Const E_FAIL As Long = &H80004005
' How long a failed start of the helper is remembered: the cells of one
' recalculation then fail at once instead of each waiting for the helper.
Private Const CONNECT_FAILURE_SECONDS As Double = 5
Private Const SECONDS_PER_DAY As Double = 86400

' A chart request as the library takes it: values in elements 1 .. count.
Private Type SpcRequest
    values() As Double
    count As Long
    typ As Integer
    sampleSize As Long
    SPCNorm As Integer
    NomSize As Double
    USL As Double
    LSL As Double
    USLOnOff As Integer
    LSLOnOff As Integer
End Type

' A gauge study as the library takes it: readings in elements 1 .. parts x
' appraisers x trials, appraiser by appraiser, part by part, trial by trial.
Private Type GaugeRequest
    readings() As Double
    kind As Integer
    parts As Long
    appraisers As Long
    trials As Long
    reference As Double
    tolerance As Double
    options() As Double
End Type

' A further control chart's request: values and sizes in elements 1 .. count.
Private Type ChartRequest
    values() As Double
    sizes() As Double
    count As Long
    chart As Integer
    sampleSize As Long
    SPCNorm As Integer
    options() As Double
End Type

' For telling whether a Double is a number (NaN and infinities are not).
Private Type DoubleValue
    Number As Double
End Type
Private Type DoubleWords
    Low As Long
    High As Long
End Type

' The folder MERIDAN was opened from (with a trailing backslash), "" before.
Private openFolder As String

Private Declare PtrSafe Sub Sleep Lib "kernel32" (ByVal dwMilliseconds As Long)

#If Win64 Then
' The helper's automation object, made on first use and let go by Meridan_Close.
Private meridanHelper As Object
Private Const HELPER_CLASS As String = "MERIDAN_HELPER.DLLFcts"
' A helper that is just ending refuses a request made in that moment; once it
' has gone, the next request starts a new one.
Private Const HELPER_RESTART_WAIT As Long = 1000
' Whether the last start of the helper failed, when (Timer) and why.
Private connectFailed As Boolean
Private connectFailedAt As Double
Private connectFailure As String

Private Declare PtrSafe Function GetCurrentProcessId Lib "kernel32" () As Long
Private Declare PtrSafe Function ProcessIdToSessionId Lib "kernel32" (ByVal dwProcessId As Long, _
    ByRef pSessionId As Long) As Long
#Else
' The library, loaded by Meridan_Open from the install folder.
Private libraryHandle As LongPtr

Private Const LOAD_WITH_ALTERED_SEARCH_PATH As Long = &H8

Private Declare PtrSafe Function LoadLibraryExW Lib "kernel32" (ByVal lpLibFileName As LongPtr, _
    ByVal hFile As LongPtr, ByVal dwFlags As Long) As LongPtr

' The library's exports. Arrays are passed as their element 0 (never read);
' elements 1 .. n are the data.
Private Declare PtrSafe Function MERIDAN_Setup Lib "MERIDAN.dll" (ByRef reserved As Integer, _
    ByVal language As Integer, ByVal FileName As String, ByVal parent As Long, ByVal passwort As String) As Long
Private Declare PtrSafe Function MERIDAN_GetName Lib "MERIDAN.dll" (ByVal language As Integer, _
    ByVal FileName As String, ByVal devicenr As Integer, ByVal typ As Integer, ByVal outputMode As Integer, _
    ByVal info As String) As Long
Private Declare PtrSafe Function MERIDAN_Init Lib "MERIDAN.dll" (ByRef reserved As Integer, _
    ByVal language As Integer, ByVal FileName As String, ByVal parent As LongPtr, ByVal wh As Long) As Long
Private Declare PtrSafe Function MERIDAN_DeInit Lib "MERIDAN.dll" () As Long
Private Declare PtrSafe Function MERIDAN_Trigger Lib "MERIDAN.dll" (ByVal devicenr As Integer, _
    ByVal source As Integer, ByVal typ As Integer) As Long
Private Declare PtrSafe Function MERIDAN_Value Lib "MERIDAN.dll" (ByVal devicenr As Integer, _
    ByVal Address As Integer, ByRef Val1 As Double) As Long
Private Declare PtrSafe Function MERIDAN_Collect Lib "MERIDAN.dll" (ByVal devicenr As Integer, _
    ByRef Address As Integer, ByRef Val1 As Double) As Long
Private Declare PtrSafe Function MERIDAN_Win_MechAdj Lib "MERIDAN.dll" (ByVal gagenr As Integer, _
    ByVal parent As Long, ByVal password As String) As Long
Private Declare PtrSafe Function MERIDAN_PreInit Lib "MERIDAN.dll" (ByVal InitTimes As Integer, _
    ByVal UseValueEx As Integer, ByVal Reserve1 As Integer, ByVal Reserve2 As Integer, _
    ByVal Reserve3 As Integer, ByVal Reserve4 As Integer, ByVal Reserve5 As Integer) As Long
Private Declare PtrSafe Function MERIDAN_GetInt Lib "MERIDAN.dll" (ByVal addr As Long, _
    ByRef variable As Integer) As Long
Private Declare PtrSafe Function MERIDAN_IsExcelStarted Lib "MERIDAN.dll" (ByVal pumpFirst As Integer) As Long
Private Declare PtrSafe Function Create_SPCBitmap Lib "MERIDAN.dll" (ByVal parent As LongPtr, _
    ByVal FileName As String, ByVal pageWidth As Long, ByVal pageHeight As Long, ByVal factor As Double, _
    ByVal Headline As String, ByVal typ As Integer, ByRef meaval As Double, ByVal numofval As Long, _
    ByVal NomSize As Double, ByVal USL As Double, ByVal LSL As Double, ByVal USLOnOff As Integer, _
    ByVal LSLOnOff As Integer, ByVal SampleSize As Long, ByVal SPCNorm As Integer) As Long
Private Declare PtrSafe Function Create_SPCStatistics Lib "MERIDAN.dll" (ByVal typ As Integer, _
    ByRef meaval As Double, ByVal numofval As Long, ByVal NomSize As Double, ByVal USL As Double, _
    ByVal LSL As Double, ByVal USLOnOff As Integer, ByVal LSLOnOff As Integer, ByVal SampleSize As Long, _
    ByVal SPCNorm As Integer, ByRef results As Double) As Long
Private Declare PtrSafe Function Create_SPCBitmapEx Lib "MERIDAN.dll" (ByVal parent As LongPtr, _
    ByVal FileName As String, ByVal pageWidth As Long, ByVal pageHeight As Long, ByVal factor As Double, _
    ByVal Headline As String, ByVal typ As Integer, ByRef meaval As Double, ByVal numofval As Long, _
    ByVal NomSize As Double, ByVal USL As Double, ByVal LSL As Double, ByVal USLOnOff As Integer, _
    ByVal LSLOnOff As Integer, ByVal SampleSize As Long, ByVal SPCNorm As Integer, ByRef options As Double, _
    ByVal optionCount As Long) As Long
Private Declare PtrSafe Function Create_SPCStatisticsEx Lib "MERIDAN.dll" (ByVal typ As Integer, _
    ByRef meaval As Double, ByVal numofval As Long, ByVal NomSize As Double, ByVal USL As Double, _
    ByVal LSL As Double, ByVal USLOnOff As Integer, ByVal LSLOnOff As Integer, ByVal SampleSize As Long, _
    ByVal SPCNorm As Integer, ByRef options As Double, ByVal optionCount As Long, ByRef results As Double, _
    ByVal capacity As Long) As Long
Private Declare PtrSafe Function Create_GaugeStudyStatistics Lib "MERIDAN.dll" (ByVal kind As Integer, _
    ByRef readings As Double, ByVal parts As Long, ByVal appraisers As Long, ByVal trials As Long, _
    ByVal reference As Double, ByVal tolerance As Double, ByRef options As Double, ByVal optionCount As Long, _
    ByRef results As Double, ByVal capacity As Long) As Long
Private Declare PtrSafe Function Create_GaugeStudyBitmap Lib "MERIDAN.dll" (ByVal parent As LongPtr, _
    ByVal FileName As String, ByVal pageWidth As Long, ByVal pageHeight As Long, ByVal factor As Double, _
    ByVal Headline As String, ByVal kind As Integer, ByRef readings As Double, ByVal parts As Long, _
    ByVal appraisers As Long, ByVal trials As Long, ByVal reference As Double, ByVal tolerance As Double, _
    ByRef options As Double, ByVal optionCount As Long) As Long
Private Declare PtrSafe Function Create_ChartStatistics Lib "MERIDAN.dll" (ByVal chart As Integer, _
    ByRef values As Double, ByRef sizes As Double, ByVal count As Long, ByVal SampleSize As Long, _
    ByVal SPCNorm As Integer, ByRef options As Double, ByVal optionCount As Long, ByRef results As Double, _
    ByVal capacity As Long) As Long
Private Declare PtrSafe Function Create_ChartBitmap Lib "MERIDAN.dll" (ByVal parent As LongPtr, _
    ByVal FileName As String, ByVal pageWidth As Long, ByVal pageHeight As Long, ByVal factor As Double, _
    ByVal Headline As String, ByVal chart As Integer, ByRef values As Double, ByRef sizes As Double, _
    ByVal count As Long, ByVal SampleSize As Long, ByVal SPCNorm As Integer, ByRef options As Double, _
    ByVal optionCount As Long) As Long
Private Declare PtrSafe Function Create_CapabilityStatistics Lib "MERIDAN.dll" (ByRef values As Double, _
    ByVal count As Long, ByVal SampleSize As Long, ByVal SPCNorm As Integer, ByVal NomSize As Double, _
    ByVal USL As Double, ByVal LSL As Double, ByVal USLOnOff As Integer, ByVal LSLOnOff As Integer, _
    ByRef options As Double, ByVal optionCount As Long, ByRef results As Double, ByVal capacity As Long) As Long
Private Declare PtrSafe Function Create_CapabilityBitmap Lib "MERIDAN.dll" (ByVal parent As LongPtr, _
    ByVal FileName As String, ByVal pageWidth As Long, ByVal pageHeight As Long, ByVal factor As Double, _
    ByVal Headline As String, ByRef values As Double, ByVal count As Long, ByVal SampleSize As Long, _
    ByVal SPCNorm As Integer, ByVal NomSize As Double, ByVal USL As Double, ByVal LSL As Double, _
    ByVal USLOnOff As Integer, ByVal LSLOnOff As Integer, ByRef options As Double, ByVal optionCount As Long) As Long
Private Declare PtrSafe Function Display_Init Lib "MERIDAN.dll" (ByVal parent As LongPtr, _
    ByVal Headline As String, ByRef MVFlags As Integer, ByRef MVDevices As Integer, _
    ByRef MVAddress As Integer, ByVal MVUnit As String, ByRef MVNomSize As Double, ByRef MVUSL As Double, _
    ByRef MVLSL As Double, ByRef MVResolu As Integer) As Long
Private Declare PtrSafe Sub Display_DeInit Lib "MERIDAN.dll" ()
Private Declare PtrSafe Sub Display_ShowValues Lib "MERIDAN.dll" (ByRef MV As Double, ByRef MVError As Integer)
Private Declare PtrSafe Function Display_ShowDisplay Lib "MERIDAN.dll" (ByVal state As Integer) As Long
#End If

' ---- Opening and closing ----

' Opens the kit installed in installFolder (empty: see MERIDAN_FOLDER). The
' other routines open it themselves on first use; call this to choose the
' folder. Raises MERIDAN_ERR_MISSING, naming the file, when something is
' missing, and MERIDAN_ERR_INPUT when MERIDAN is already open from another
' folder: a 32-bit host keeps the library it loaded until it ends, and a
' 64-bit host reaches the helper install.cmd registered.
Public Sub Meridan_Open(Optional ByVal installFolder As String = "")
    Dim folder As String
    folder = FolderOf(installFolder)
    If Lib_IsConnected() Then
        If StrComp(folder, openFolder, vbTextCompare) <> 0 Then
            Err.Raise MERIDAN_ERR_INPUT, "Meridan", "MERIDAN is already open from " & openFolder & _
                " and cannot change to " & folder & " while the host runs (restart the host to use another folder)."
        End If
        Exit Sub
    End If
    Lib_ForgetFailure  ' a call made on purpose tries again at once
    Lib_Connect folder
    openFolder = folder
End Sub

' Lets go of the helper (64-bit hosts). The readout window and the kit are
' closed by Meridan_ReadoutClose and Meridan_KitDeInit, not here.
Public Sub Meridan_Close()
    Lib_Disconnect
End Sub

' The folder MERIDAN was opened from, with a trailing backslash ("" before).
Public Function Meridan_OpenFolder() As String
    Meridan_OpenFolder = openFolder
End Function

' Waits that many milliseconds without using the processor (a loop that
' calls DoEvents alone keeps a core busy).
Public Sub Meridan_Pause(ByVal milliseconds As Long)
    Sleep milliseconds
End Sub

' ---- The kit ----

Public Function Meridan_KitSetup(Optional ByVal language As Integer = 0, Optional ByVal FileName As String = "", _
    Optional ByVal parent As Long = 0, Optional ByVal password As String = "") As Integer
    Dim reserved As Integer
    EnsureOpen
    Meridan_KitSetup = Lib_Setup(reserved, language, FileName, parent, password)
End Function

Public Function Meridan_KitInit(Optional ByVal language As Integer = 0, Optional ByVal FileName As String = "", _
    Optional ByVal parent As LongPtr = 0, Optional ByVal wh As Long = 0) As Integer
    Dim reserved As Integer
    EnsureOpen
    Meridan_KitInit = Lib_Init(reserved, language, FileName, parent, wh)
End Function

Public Function Meridan_KitDeInit() As Integer
    EnsureOpen
    Meridan_KitDeInit = Lib_DeInit()
End Function

Public Sub Meridan_KitPreInit(ByVal InitTimes As Integer, Optional ByVal UseValueEx As Integer = 0)
    EnsureOpen
    Lib_PreInit InitTimes, UseValueEx, 0, 0, 0, 0, 0
End Sub

' An Integer the kit keeps (the stand-in kit: addr 0 the number of devices,
' addr d the number of addresses of device d).
Public Function Meridan_KitInteger(ByVal addr As Long, ByRef variable As Integer) As Integer
    EnsureOpen
    Meridan_KitInteger = Lib_GetInt(addr, variable)
End Function

' The device's name, without the blanks and zeros around it; "" when the kit
' does not know the device (status then holds the kit's code).
Public Function Meridan_DeviceName(ByVal device As Integer, Optional ByRef status As Integer = 0, _
    Optional ByVal language As Integer = 0) As String
    Dim info As String, nameEnd As Long
    EnsureOpen
    info = String$(NAME_BUFFER, vbNullChar)
    status = Lib_GetName(language, "", device, 0, 0, info)
    If status <> 0 Then Exit Function
    nameEnd = InStr(info, vbNullChar)
    If nameEnd > 0 Then info = Left$(info, nameEnd - 1)
    Meridan_DeviceName = Trim$(info)
End Function

' Triggers one address of the device, or all of them (address 0).
Public Function Meridan_TriggerGauge(ByVal device As Integer, Optional ByVal address As Integer = 0, _
    Optional ByVal typ As Integer = 0) As Integer
    EnsureOpen
    Meridan_TriggerGauge = Lib_Trigger(device, address, typ)
End Function

' Reads the value of one address into reading.
Public Function Meridan_ReadValue(ByVal device As Integer, ByVal address As Integer, ByRef reading As Double) As Integer
    EnsureOpen
    Meridan_ReadValue = Lib_Value(device, address, reading)
End Function

' Hands out the next triggered reading: its address and its value.
Public Function Meridan_CollectValue(ByVal device As Integer, ByRef address As Integer, _
    ByRef reading As Double) As Integer
    EnsureOpen
    Meridan_CollectValue = Lib_Collect(device, address, reading)
End Function

' The kit's adjustment dialog for a gauge.
Public Function Meridan_AdjustGauge(ByVal gauge As Integer, Optional ByVal parent As Long = 0, _
    Optional ByVal password As String = "") As Integer
    EnsureOpen
    Meridan_AdjustGauge = Lib_Win_MechAdj(gauge, parent, password)
End Function

' The number of running spreadsheet hosts (EXCEL.exe); with pumpFirst the
' host's pending messages are handled and 100 ms pass first.
Public Function Meridan_HostCount(Optional ByVal pumpFirst As Boolean = False) As Integer
    Dim pump As Integer
    If pumpFirst Then pump = 1
    EnsureOpen
    Meridan_HostCount = Lib_HostCount(pump)
End Function

' ---- The readout window ----

' Opens the readout window with one row per channel (at most 20), in order.
Public Function Meridan_ReadoutOpen(ByVal headline As String, ByRef channels() As MeridanChannel, _
    Optional ByVal parent As LongPtr = 0) As Integer
    Dim flags(READOUT_CHANNELS) As Integer, devices(READOUT_CHANNELS) As Integer
    Dim addresses(READOUT_CHANNELS) As Integer, decimals(READOUT_CHANNELS) As Integer
    Dim nominal(READOUT_CHANNELS) As Double, upper(READOUT_CHANNELS) As Double, lower(READOUT_CHANNELS) As Double
    Dim units As String, used As Long, channel As Long
    used = UBound(channels) - LBound(channels) + 1
    If used > READOUT_CHANNELS Then
        Err.Raise MERIDAN_ERR_INPUT, "Meridan", "The readout window has 20 channels, not " & used & "."
    End If
    For channel = 1 To READOUT_CHANNELS
        If channel <= used Then
            With channels(LBound(channels) + channel - 1)
                flags(channel) = 1
                devices(channel) = .Device
                addresses(channel) = .Address
                nominal(channel) = .NomSize
                upper(channel) = .USL
                lower(channel) = .LSL
                decimals(channel) = .Decimals
                units = units & Left$(.Unit & String$(UNIT_WIDTH, vbNullChar), UNIT_WIDTH)
            End With
        Else
            units = units & String$(UNIT_WIDTH, vbNullChar)
        End If
    Next channel
    EnsureOpen
    Meridan_ReadoutOpen = Lib_DisplayInit(parent, headline, flags, devices, addresses, units, nominal, upper, _
        lower, decimals)
End Function

' The same from lists side by side (ranges or arrays, one item per channel).
' A unit left out or empty is no unit; other items left out are 0.
Public Function Meridan_ReadoutOpenLists(ByVal headline As String, ByVal devices As Variant, _
    ByVal addresses As Variant, ByVal units As Variant, ByVal nomSizes As Variant, ByVal USLs As Variant, _
    ByVal LSLs As Variant, ByVal decimals As Variant, Optional ByVal parent As LongPtr = 0) As Integer
    Dim channels() As MeridanChannel
    channels = ChannelsOfLists(devices, addresses, units, nomSizes, USLs, LSLs, decimals)
    Meridan_ReadoutOpenLists = Meridan_ReadoutOpen(headline, channels, parent)
End Function

' The channel records of lists side by side: elements 1 .. the number of devices.
Private Function ChannelsOfLists(ByVal devices As Variant, ByVal addresses As Variant, ByVal units As Variant, _
    ByVal nomSizes As Variant, ByVal USLs As Variant, ByVal LSLs As Variant, ByVal decimals As Variant) _
    As MeridanChannel()
    Dim deviceItems() As Variant, addressItems() As Variant, unitItems() As Variant, nominalItems() As Variant
    Dim upperItems() As Variant, lowerItems() As Variant, decimalItems() As Variant
    Dim channels() As MeridanChannel, channel As Long
    deviceItems = ItemsOf(devices)
    addressItems = ItemsOf(addresses)
    unitItems = ItemsOf(units)
    nominalItems = ItemsOf(nomSizes)
    upperItems = ItemsOf(USLs)
    lowerItems = ItemsOf(LSLs)
    decimalItems = ItemsOf(decimals)
    If UBound(deviceItems) = 0 Then
        Err.Raise MERIDAN_ERR_INPUT, "Meridan", "No channel given for the readout window."
    End If
    ReDim channels(1 To UBound(deviceItems))
    For channel = 1 To UBound(deviceItems)
        channels(channel).Device = IntegerOf(deviceItems(channel), "Device " & channel)
        channels(channel).Address = IntegerOf(ItemOrZero(addressItems, channel), "Address " & channel)
        channels(channel).Unit = TextOrEmpty(unitItems, channel)
        channels(channel).NomSize = NumberOf(ItemOrZero(nominalItems, channel), "NomSize " & channel)
        channels(channel).USL = NumberOf(ItemOrZero(upperItems, channel), "USL " & channel)
        channels(channel).LSL = NumberOf(ItemOrZero(lowerItems, channel), "LSL " & channel)
        channels(channel).Decimals = IntegerOf(ItemOrZero(decimalItems, channel), "Decimals " & channel)
    Next channel
    ChannelsOfLists = channels
End Function

' Shows new values, channel 1 first (a range or an array of up to 20);
' errors, when given, flags the channels whose reading failed (nonzero: Err).
Public Sub Meridan_ReadoutShow(ByVal values As Variant, Optional ByVal errors As Variant)
    Dim shown(READOUT_CHANNELS) As Double, failed(READOUT_CHANNELS) As Integer
    Dim items() As Variant, channel As Long
    items = ItemsOf(values)
    If UBound(items) > READOUT_CHANNELS Then
        Err.Raise MERIDAN_ERR_INPUT, "Meridan", "The readout window has 20 channels, not " & UBound(items) & "."
    End If
    For channel = 1 To UBound(items)
        If Not IsEmpty(items(channel)) Then shown(channel) = NumberOf(items(channel), "Value " & channel)
    Next channel
    If Not IsMissing(errors) Then
        items = ItemsOf(errors)
        For channel = 1 To READOUT_CHANNELS
            If channel <= UBound(items) Then
                If NumberOf(ItemOrZero(items, channel), "Error flag " & channel) <> 0 Then failed(channel) = 1
            End If
        Next channel
    End If
    EnsureOpen
    Lib_DisplayShowValues shown, failed
End Sub

Public Sub Meridan_ReadoutVisible(ByVal visible As Boolean)
    Dim state As Integer
    If visible Then state = 1
    EnsureOpen
    Lib_DisplayShowDisplay state
End Sub

Public Sub Meridan_ReadoutClose()
    EnsureOpen
    Lib_DisplayDeInit
End Sub

' ---- SPC ----
' values: a range or an array (read in the order For Each gives: a block of
' cells column by column); empty cells are left out, so a failed reading
' leaves its cell empty (its status beside it); a text or an error value
' among the values is refused, naming its place. typ: chart kind (11 means
' and ranges, 10 means and standard deviations, 1 run chart, see the README);
' sampleSize: subgroup size; SPCNorm: 0 total, 1 mean range, 2 mean standard
' deviation, 3 pooled. A limit left out is not in force; NomSize left out is
' the middle of the two limits, or the mean of the values.

' Writes the SPC page of the values as a bitmap file and returns its full
' path (a name without a folder is taken in the current folder).
Public Function Meridan_SPCPage(ByVal FileName As String, ByVal values As Variant, _
    Optional ByVal headline As String = "", Optional ByVal typ As Integer = 11, _
    Optional ByVal sampleSize As Long = 5, Optional ByVal SPCNorm As Integer = 1, _
    Optional ByVal NomSize As Variant, Optional ByVal USL As Variant, Optional ByVal LSL As Variant, _
    Optional ByVal pageWidth As Long = 1600, Optional ByVal pageHeight As Long = 1200, _
    Optional ByVal factor As Double = 1#) As String
    Dim request As SpcRequest, checked() As Double, pageValues() As Double, path As String
    request = MakeRequest(values, typ, sampleSize, SPCNorm, NomSize, USL, LSL)
    If request.count = 0 Then Err.Raise MERIDAN_ERR_INPUT, "Meridan", "No values for the SPC page."
    checked = FiguresOf(request)  ' raises for a request the library would not draw
    path = FreshPagePath(FileName)
    pageValues = request.values
    Lib_SPCBitmap 0, path, pageWidth, pageHeight, factor, headline, request.typ, pageValues, request.count, _
        request.NomSize, request.USL, request.LSL, request.USLOnOff, request.LSLOnOff, request.sampleSize, _
        request.SPCNorm
    RequirePage path
    Meridan_SPCPage = path
End Function

' The 48 figures of the request as a table of 48 rows: name, value (the same
' numbers the page shows; figures that do not exist are #NUM! errors).
Public Function Meridan_SPCFigures(ByVal values As Variant, Optional ByVal typ As Integer = 11, _
    Optional ByVal sampleSize As Long = 5, Optional ByVal SPCNorm As Integer = 1, _
    Optional ByVal NomSize As Variant, Optional ByVal USL As Variant, Optional ByVal LSL As Variant) As Variant
    Dim request As SpcRequest, results() As Double
    request = MakeRequest(values, typ, sampleSize, SPCNorm, NomSize, USL, LSL)
    results = FiguresOf(request)
    Meridan_SPCFigures = FigureTable(results, 1, FIGURE_COUNT, False)
End Function

' The name of figure 1 .. 48 ("n", "mean", ..., "Cpk", "UCL", ...), or of an
' extended figure from 49 on ("limitsCentre", ..., "test1", ..., "subgroup1", ...).
Public Function Meridan_FigureName(ByVal figure As Long) As String
    Meridan_FigureName = FigureNameOf(FigureNames(), figure)
End Function

' What the worksheet function MERIDAN_SPC (module MeridanFunctions) shows:
' figure is a number 1 .. 48 or a name ("Cpk", "UCL", ...); "all" gives the
' whole table of name and value, across when across is True. #VALUE! for an
' unknown figure or text among the values, #NUM! for a figure that does not
' exist or a request the library rejects.
Public Function Meridan_SPCCell(ByVal values As Variant, ByVal figure As Variant, ByVal typ As Integer, _
    ByVal sampleSize As Long, ByVal SPCNorm As Integer, ByVal NomSize As Variant, ByVal USL As Variant, _
    ByVal LSL As Variant, ByVal across As Boolean) As Variant
    Dim index As Long, request As SpcRequest, results() As Double
    On Error GoTo Failed
    index = FigureIndex(figure)
    If index = 0 Then
        Meridan_SPCCell = CVErr(CELL_ERROR_VALUE)
        Exit Function
    End If
    request = MakeRequest(values, typ, sampleSize, SPCNorm, NomSize, USL, LSL)
    results = FiguresOf(request)
    If index = ALL_FIGURES Then
        Meridan_SPCCell = FigureTable(results, 1, FIGURE_COUNT, across)
    Else
        Meridan_SPCCell = CellValue(results(index))
    End If
    Exit Function
Failed:
    Meridan_SPCCell = CellErrorOf(Err.Number)
End Function

' ---- Run tests and historical limits ----
' The arguments of the SPC routines above, then: centre and sigma, the centre
' and within-subgroup standard deviation the control limits are made from
' (historical limits, for example the figures "Z" and "sigma" of earlier
' values; left out or empty: from the values themselves, as above; sigma must
' be above 0); tests, the run tests to apply: the sum of 1 (test 1), 2 (test 2),
' 4, 8, 16, 32, 64 and 128 (test 8), all by default.

' Writes the SPC page with the run tests: with markTests the flagged points
' are ringed and the title band names the tests that fired; given limits are
' named there too. Returns the file's full path.
Public Function Meridan_SPCPageEx(ByVal FileName As String, ByVal values As Variant, _
    Optional ByVal headline As String = "", Optional ByVal typ As Integer = 11, _
    Optional ByVal sampleSize As Long = 5, Optional ByVal SPCNorm As Integer = 1, _
    Optional ByVal NomSize As Variant, Optional ByVal USL As Variant, Optional ByVal LSL As Variant, _
    Optional ByVal centre As Variant, Optional ByVal sigma As Variant, Optional ByVal tests As Long = 255, _
    Optional ByVal markTests As Boolean = True, Optional ByVal pageWidth As Long = 1600, _
    Optional ByVal pageHeight As Long = 1200, Optional ByVal factor As Double = 1#) As String
    Dim request As SpcRequest, settings() As Double, checked() As Double, pageValues() As Double, path As String
    request = MakeRequest(values, typ, sampleSize, SPCNorm, NomSize, USL, LSL)
    If request.count = 0 Then Err.Raise MERIDAN_ERR_INPUT, "Meridan", "No values for the SPC page."
    settings = OptionsOf(centre, sigma, tests, markTests)
    checked = ExtendedFiguresOf(request, settings)  ' raises for a request the library would not draw
    path = FreshPagePath(FileName)
    pageValues = request.values
    Lib_SPCBitmapEx 0, path, pageWidth, pageHeight, factor, headline, request.typ, pageValues, request.count, _
        request.NomSize, request.USL, request.LSL, request.USLOnOff, request.LSLOnOff, request.sampleSize, _
        request.SPCNorm, settings, OPTION_COUNT
    RequirePage path
    Meridan_SPCPageEx = path
End Function

' The extended figures as rows of name and value: the 48 figures (their
' limits made from the centre and sigma used), "limitsCentre" and
' "limitsSigma" used, "centreGiven" and "sigmaGiven" (1: given, 0: the
' values'), "test1" .. "test8" the points each test flagged, "dispersion" the
' dispersion values beyond a dispersion limit, "firstTest1" .. "firstTest8" the
' first subgroup each test flagged (0: none), then "subgroup1", ... per
' subgroup the sum of the tests it breaks (1 for test 1 ... 128 for test 8),
' plus 256 when its dispersion value is beyond a limit.
Public Function Meridan_SPCFiguresEx(ByVal values As Variant, Optional ByVal typ As Integer = 11, _
    Optional ByVal sampleSize As Long = 5, Optional ByVal SPCNorm As Integer = 1, _
    Optional ByVal NomSize As Variant, Optional ByVal USL As Variant, Optional ByVal LSL As Variant, _
    Optional ByVal centre As Variant, Optional ByVal sigma As Variant, _
    Optional ByVal tests As Long = 255) As Variant
    Dim request As SpcRequest, settings() As Double, results() As Double
    request = MakeRequest(values, typ, sampleSize, SPCNorm, NomSize, USL, LSL)
    settings = OptionsOf(centre, sigma, tests, False)
    results = ExtendedFiguresOf(request, settings)
    Meridan_SPCFiguresEx = FigureTable(results, 1, UBound(results), False)
End Function

' What the worksheet function MERIDAN_SPCRUNS (module MeridanFunctions)
' shows: test 1 .. 8 (or "test1" .. "test8") gives the number of points that
' test flagged, "dispersion" the dispersion values beyond a dispersion limit;
' left out or "all", the 9 counts as a table of name and count, across when
' across is True. Chart kinds without run tests count 0. #VALUE! for an
' unknown test or text among the values, #NUM! for a request the library
' rejects.
Public Function Meridan_SPCRunsCell(ByVal values As Variant, ByVal test As Variant, ByVal typ As Integer, _
    ByVal sampleSize As Long, ByVal SPCNorm As Integer, ByVal NomSize As Variant, ByVal USL As Variant, _
    ByVal LSL As Variant, ByVal centre As Variant, ByVal sigma As Variant, ByVal across As Boolean) As Variant
    Dim index As Long, request As SpcRequest, settings() As Double, results() As Double
    On Error GoTo Failed
    index = RunCountIndex(test)
    If index = 0 Then
        Meridan_SPCRunsCell = CVErr(CELL_ERROR_VALUE)
        Exit Function
    End If
    request = MakeRequest(values, typ, sampleSize, SPCNorm, NomSize, USL, LSL)
    settings = OptionsOf(centre, sigma, ALL_RUN_TESTS, False)
    results = ExtendedFiguresOf(request, settings)
    If index = ALL_FIGURES Then
        Meridan_SPCRunsCell = FigureTable(results, FIRST_RUN_COUNT, DISPERSION_COUNT, across)
    Else
        Meridan_SPCRunsCell = CellValue(results(index))
    End If
    Exit Function
Failed:
    Meridan_SPCRunsCell = CellErrorOf(Err.Number)
End Function

' ---- Gauge studies ----
' readings: a block of cells (or a 2-dimensional array) laid out as a study
' sheet: one row per part, one column per appraiser and trial, appraiser A's
' trials first (A1 A2 A3 B1 B2 B3 ...), so appraisers divides the columns.
' kind: 1 type 1 (one reference part, one appraiser: one column or row of
' readings; empty cells left out; reference and tolerance needed), 2 crossed
' gauge R&R, 3 automated gauges (one appraiser). Every cell of a kind 2 or 3
' study holds a reading. tolerance: USL - LSL (left out: no %tolerance).
' appraisers: 0 or left out is 1 for kinds 1 and 3; kind 2 needs it. The
' options (left out: the library's default): multiplier of the study
' variation (6), alpha for pooling the interaction (0.05), K (20) and L (6)
' of type 1, the confidence level of the bias's interval (0.95).

' The study's figures as rows of name and value (see Meridan_GaugeFigureName).
Public Function Meridan_GaugeStudyFigures(ByVal readings As Variant, ByVal kind As Integer, _
    Optional ByVal reference As Variant, Optional ByVal tolerance As Variant, Optional ByVal appraisers As Long = 0, _
    Optional ByVal multiplier As Variant, Optional ByVal alpha As Variant, Optional ByVal K As Variant, _
    Optional ByVal L As Variant, Optional ByVal level As Variant) As Variant
    Dim request As GaugeRequest, results() As Double
    request = MakeGaugeRequest(readings, kind, reference, tolerance, appraisers, multiplier, alpha, K, L, level)
    results = GaugeFiguresOf(request)
    Meridan_GaugeStudyFigures = NameValueTable(GaugeNames(request.kind, request.appraisers), results, False)
End Function

' Writes the study's page as a bitmap file and returns its full path.
' Raises MERIDAN_ERR_REJECTED with the page export's code and its meaning
' when no page was written (see Meridan_PageFailure).
Public Function Meridan_GaugeStudyPage(ByVal FileName As String, ByVal readings As Variant, _
    ByVal kind As Integer, Optional ByVal reference As Variant, Optional ByVal tolerance As Variant, _
    Optional ByVal appraisers As Long = 0, Optional ByVal headline As String = "", _
    Optional ByVal multiplier As Variant, Optional ByVal alpha As Variant, Optional ByVal K As Variant, _
    Optional ByVal L As Variant, Optional ByVal level As Variant, Optional ByVal pageWidth As Long = 1600, _
    Optional ByVal pageHeight As Long = 1200, Optional ByVal factor As Double = 1#) As String
    Dim request As GaugeRequest, checked() As Double, pageReadings() As Double, settings() As Double
    Dim path As String, code As Integer
    request = MakeGaugeRequest(readings, kind, reference, tolerance, appraisers, multiplier, alpha, K, L, level)
    checked = GaugeFiguresOf(request)  ' raises for a study the library would not draw
    path = FreshPagePath(FileName)
    pageReadings = request.readings
    settings = request.options
    code = Lib_GaugeStudyBitmap(0, path, pageWidth, pageHeight, factor, headline, request.kind, pageReadings, _
        request.parts, request.appraisers, request.trials, request.reference, request.tolerance, settings, _
        GAUGE_OPTION_COUNT)
    RequireStudyPage "gauge", code, path
    Meridan_GaugeStudyPage = path
End Function

' The name of a gauge study's figure (kind 1: type 1; 2 and 3: the R&R
' studies, from 76 on "Rbar1" ... then "Xbar1" ... of the appraisers).
Public Function Meridan_GaugeFigureName(ByVal kind As Integer, ByVal figure As Long, _
    Optional ByVal appraisers As Long = 1) As String
    Dim names As Variant
    names = GaugeNames(kind, appraisers)
    If figure >= 1 And figure <= UBound(names) + 1 Then Meridan_GaugeFigureName = names(figure - 1)
End Function

' What the worksheet function MERIDAN_GAUGE shows: one figure by number or
' name ("Cg", "%GRR", "ndc", ...), or "all" for the table, across when across
' is True. #VALUE! for an unknown figure or input it cannot use, #NUM! for a
' figure that is not a number or a study the library rejects.
Public Function Meridan_GaugeCell(ByVal readings As Variant, ByVal figure As Variant, ByVal kind As Integer, _
    ByVal reference As Variant, ByVal tolerance As Variant, ByVal appraisers As Long, ByVal across As Boolean) _
    As Variant
    Dim request As GaugeRequest, results() As Double, names As Variant, index As Long
    On Error GoTo Failed
    request = MakeGaugeRequest(readings, kind, reference, tolerance, appraisers, Empty, Empty, Empty, Empty, Empty)
    names = GaugeNames(request.kind, request.appraisers)
    index = NamedFigureIndex(figure, names, UBound(names) + 1)
    If index = 0 Then
        Meridan_GaugeCell = CVErr(CELL_ERROR_VALUE)
        Exit Function
    End If
    results = GaugeFiguresOf(request)
    If index = ALL_FIGURES Then
        Meridan_GaugeCell = NameValueTable(names, results, across)
    Else
        Meridan_GaugeCell = CellValue(results(index))
    End If
    Exit Function
Failed:
    Meridan_GaugeCell = CellErrorOf(Err.Number)
End Function

Private Function MakeGaugeRequest(ByVal readings As Variant, ByVal kind As Integer, ByVal reference As Variant, _
    ByVal tolerance As Variant, ByVal appraisers As Long, ByVal multiplier As Variant, ByVal alpha As Variant, _
    ByVal K As Variant, ByVal L As Variant, ByVal level As Variant) As GaugeRequest
    Dim request As GaugeRequest, given As Double, settings() As Double
    If kind < 1 Or kind > 3 Then
        Err.Raise MERIDAN_ERR_INPUT, "Meridan", "kind is 1 (type 1), 2 (crossed gauge R&R) or 3 (automated " & _
            "gauges), not " & kind & "."
    End If
    request.kind = kind
    If appraisers = 0 And kind <> 2 Then appraisers = 1
    If appraisers < 1 Then
        Err.Raise MERIDAN_ERR_INPUT, "Meridan", "appraisers must be 1 or more (a crossed study needs it given)."
    End If
    If kind = 1 Then
        request.readings = ValuesOf(readings, request.trials)
        request.parts = 1
        request.appraisers = 1
        If LimitInForce(reference, request.reference, "reference") = 0 Then
            Err.Raise MERIDAN_ERR_INPUT, "Meridan", "A type 1 study needs the reference part's value (reference)."
        End If
        If LimitInForce(tolerance, request.tolerance, "tolerance") = 0 Then
            Err.Raise MERIDAN_ERR_INPUT, "Meridan", "A type 1 study needs the tolerance (USL - LSL)."
        End If
    Else
        request.appraisers = appraisers
        request.readings = GaugeLayout(readings, appraisers, request.parts, request.trials)
        If LimitInForce(tolerance, given, "tolerance") = 1 Then request.tolerance = given
    End If
    If request.parts * request.appraisers * request.trials > MAX_VALUES Then
        Err.Raise MERIDAN_ERR_INPUT, "Meridan", "A study holds at most 65535 readings."
    End If
    ReDim settings(0 To GAUGE_OPTION_COUNT)
    settings(1) = OptionOrDefault(multiplier, "multiplier")
    settings(2) = OptionOrDefault(alpha, "alpha")
    settings(3) = OptionOrDefault(K, "K")
    settings(4) = OptionOrDefault(L, "L")
    settings(5) = OptionOrDefault(level, "level")
    request.options = settings
    MakeGaugeRequest = request
End Function

' The readings of a study sheet (one row per part, one column per appraiser
' and trial, appraiser A's trials first) in the library's order: appraiser
' by appraiser, part by part, trial by trial, from element 1. parts and
' trials are set from the block's shape.
Private Function GaugeLayout(ByVal readings As Variant, ByVal appraisers As Long, ByRef parts As Long, _
    ByRef trials As Long) As Double()
    Dim grid As Variant, numbers() As Double, columns As Long, part As Long, column As Long
    Dim appraiser As Long, trial As Long, item As Variant, what As String
    grid = CellContents(readings)
    If DimensionCount(grid) <> 2 Then
        Err.Raise MERIDAN_ERR_INPUT, "Meridan", "readings must be a block of cells: one row per part, one " & _
            "column per appraiser and trial."
    End If
    parts = UBound(grid, 1) - LBound(grid, 1) + 1
    columns = UBound(grid, 2) - LBound(grid, 2) + 1
    If columns Mod appraisers <> 0 Then
        Err.Raise MERIDAN_ERR_INPUT, "Meridan", "readings has " & columns & " columns, which " & appraisers & _
            " appraisers do not share equally: one column per appraiser and trial."
    End If
    trials = columns \ appraisers
    ReDim numbers(0 To parts * columns)
    For part = 1 To parts
        For column = 1 To columns
            appraiser = (column - 1) \ trials + 1
            trial = (column - 1) Mod trials + 1
            what = "The reading of part " & part & ", appraiser " & AppraiserLetter(appraiser) & ", trial " & _
                trial
            item = grid(LBound(grid, 1) + part - 1, LBound(grid, 2) + column - 1)
            If IsEmpty(item) Then
                Err.Raise MERIDAN_ERR_INPUT, "Meridan", what & " is missing (a study needs every reading)."
            End If
            numbers(1 + ((appraiser - 1) * parts + (part - 1)) * trials + (trial - 1)) = NumberOf(item, what)
        Next column
    Next part
    GaugeLayout = numbers
End Function

' The number of dimensions of an array (0: no array).
Private Function DimensionCount(ByRef list As Variant) As Long
    Dim bound As Long
    If Not IsArray(list) Then Exit Function
    On Error Resume Next
    Do
        bound = UBound(list, DimensionCount + 1)
        If Err.Number <> 0 Then Exit Do
        DimensionCount = DimensionCount + 1
    Loop
End Function

' The figures of the study (element 0 unused): 20 for type 1, 75 + 2 per
' appraiser for kinds 2 and 3.
Private Function GaugeFiguresOf(ByRef request As GaugeRequest) As Double()
    Dim results() As Double, readings() As Double, settings() As Double, expected As Long, written As Long
    expected = GaugeFigureCount(request.kind, request.appraisers)
    ReDim results(0 To expected)
    readings = request.readings
    settings = request.options
    EnsureOpen
    written = Lib_GaugeStudyStatistics(request.kind, readings, request.parts, request.appraisers, request.trials, _
        request.reference, request.tolerance, settings, GAUGE_OPTION_COUNT, results, expected)
    If written <> expected Then
        Err.Raise MERIDAN_ERR_REJECTED, "Meridan", "The library rejected the gauge study (kind " & request.kind & _
            ", " & request.parts & " parts, " & request.appraisers & " appraisers, " & request.trials & _
            " trials; see the README's Gauge studies for what it refuses)."
    End If
    GaugeFiguresOf = results
End Function

Private Function GaugeFigureCount(ByVal kind As Integer, ByVal appraisers As Long) As Long
    If kind = 1 Then
        GaugeFigureCount = GAUGE_TYPE1_COUNT
    Else
        GaugeFigureCount = GAUGE_STUDY_COUNT + 2 * appraisers
    End If
End Function

' The names of a study's figures from element 1 (a 0-based array).
Private Function GaugeNames(ByVal kind As Integer, ByVal appraisers As Long) As Variant
    Dim fixed As Variant, names() As Variant, position As Long
    If kind = 1 Then
        GaugeNames = Array("kind", "n", "mean", "s", "min", "max", "reference", "tolerance", "bias", "t", "df", "p", _
            "biasLower", "biasUpper", "Cg", "Cgk", "%Var", "%VarBias", "K", "L")
        Exit Function
    End If
    fixed = Array("kind", "parts", "appraisers", "trials", "readings", _
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
        "ar%EV", "ar%AV", "ar%GRR", "ar%PV", "ar%GRRTolerance", "arNdc", "rangeUCL", "rangeLCL", "rangesAbove")
    If appraisers < 1 Then appraisers = 1
    ReDim names(0 To GAUGE_STUDY_COUNT + 2 * appraisers - 1)
    For position = 0 To GAUGE_STUDY_COUNT - 1
        names(position) = fixed(position)
    Next position
    For position = 1 To appraisers
        names(GAUGE_STUDY_COUNT + position - 1) = "Rbar" & position
        names(GAUGE_STUDY_COUNT + appraisers + position - 1) = "Xbar" & position
    Next position
    GaugeNames = names
End Function

' Records a gauge study from the gauge into the study sheet at target (its
' top left cell; kind 1: one column of trials readings, kinds 2 and 3: parts
' rows of appraisers x trials columns, appraiser A's trials first), as the
' study should be run: trial by trial, appraiser by appraiser, the parts in
' a random order per trial when randomise (else 1, 2, ...). The status bar
' says which appraiser, part and trial is next; the next reading the gauge
' sends (the kit's collect call, so the gauge's data button or foot switch
' drives it) goes into its cell. A misreading is taken again by emptying its
' cell while the next reading is awaited. Esc stops; run it again to resume:
' cells already filled are kept. Returns True when every cell is filled,
' False when stopped. The kit must be initialised (Meridan_KitInit).
Public Function Meridan_GaugeStudyRecord(ByVal target As Object, ByVal kind As Integer, ByVal device As Integer, _
    ByVal address As Integer, ByVal parts As Long, ByVal appraisers As Long, ByVal trials As Long, _
    Optional ByVal randomise As Boolean = True) As Boolean
    Dim host As Object, block As Object, cell As Object, lastCell As Object, order() As Long
    Dim trial As Long, appraiser As Long, turn As Long, part As Long, lastWhat As String, what As String
    Dim errorNumber As Long, errorSource As String, errorText As String
    RequireStudyShape kind, parts, appraisers, trials
    Set host = Application
    If kind = 1 Then
        Set block = target.Cells(1, 1).Resize(trials, 1)
    Else
        Set block = target.Cells(1, 1).Resize(parts, appraisers * trials)
    End If
    EnsureOpen
    host.EnableCancelKey = XL_ERROR_HANDLER  ' Esc raises ERR_USER_INTERRUPT in the wait below
    On Error GoTo Interrupted
    For trial = 1 To trials
        For appraiser = 1 To appraisers
            order = Meridan_PartOrder(parts, randomise)
            For turn = 1 To parts
                part = order(turn)
                If kind = 1 Then
                    Set cell = block.Cells(trial, 1)
                Else
                    Set cell = block.Cells(part, (appraiser - 1) * trials + trial)
                End If
                If IsEmpty(RangeValue2(cell)) Then
                    what = Meridan_GaugeStepText(kind, appraiser, part, trial, FilledCount(RangeValue2(block)), _
                        block.Cells.Count)
                    RecordReading host, cell, what, device, address, lastCell, lastWhat
                End If
            Next turn
        Next appraiser
    Next trial
    Meridan_GaugeStudyRecord = True
Finish:
    host.StatusBar = False
    host.EnableCancelKey = XL_INTERRUPT
    If errorNumber <> 0 Then Err.Raise errorNumber, errorSource, errorText
    Exit Function
Interrupted:
    If Err.Number <> ERR_USER_INTERRUPT Then
        errorNumber = Err.Number
        errorSource = Err.Source
        errorText = Err.Description
    End If
    Resume Finish
End Function

' The parts 1 .. parts in the order they are measured (elements 1 .. parts):
' shuffled when randomise (every order equally likely), else in turn.
Public Function Meridan_PartOrder(ByVal parts As Long, ByVal randomise As Boolean) As Long()
    Dim order() As Long, position As Long, other As Long, kept As Long
    ReDim order(1 To parts)
    For position = 1 To parts
        order(position) = position
    Next position
    If randomise Then
        Randomize
        For position = parts To 2 Step -1
            other = Int(Rnd * position) + 1
            kept = order(position)
            order(position) = order(other)
            order(other) = kept
        Next position
    End If
    Meridan_PartOrder = order
End Function

' The status bar's text for the next reading.
Public Function Meridan_GaugeStepText(ByVal kind As Integer, ByVal appraiser As Long, ByVal part As Long, _
    ByVal trial As Long, ByVal filled As Long, ByVal total As Long) As String
    If kind = 1 Then
        Meridan_GaugeStepText = "Reference part, reading " & trial & " (" & filled & " of " & total & " recorded)"
    Else
        Meridan_GaugeStepText = "Appraiser " & AppraiserLetter(appraiser) & ", part " & part & ", trial " & trial & _
            " (" & filled & " of " & total & " recorded)"
    End If
End Function

' A, B, ... Z, then AA, AB, ...
Private Function AppraiserLetter(ByVal appraiser As Long) As String
    If appraiser > 26 Then AppraiserLetter = AppraiserLetter((appraiser - 1) \ 26)
    AppraiserLetter = AppraiserLetter & Chr$(65 + (appraiser - 1) Mod 26)
End Function

' The cells of a block's contents that hold something.
Private Function FilledCount(ByVal contents As Variant) As Long
    Dim item As Variant
    If Not IsArray(contents) Then
        If Not IsEmpty(contents) Then FilledCount = 1
        Exit Function
    End If
    For Each item In contents
        If Not IsEmpty(item) Then FilledCount = FilledCount + 1
    Next item
End Function

' MERIDAN_ERR_INPUT for a study the library would refuse for its shape.
Private Sub RequireStudyShape(ByVal kind As Integer, ByVal parts As Long, ByVal appraisers As Long, _
    ByVal trials As Long)
    Select Case kind
    Case 1
        If parts <> 1 Or appraisers <> 1 Or trials < 2 Then
            Err.Raise MERIDAN_ERR_INPUT, "Meridan", "A type 1 study has 1 part, 1 appraiser and 2 or more trials."
        End If
    Case 2, 3
        If parts < 2 Or trials < 2 Then
            Err.Raise MERIDAN_ERR_INPUT, "Meridan", "A study needs 2 or more parts and 2 or more trials."
        End If
        If kind = 2 And appraisers < 2 Then
            Err.Raise MERIDAN_ERR_INPUT, "Meridan", "A crossed study (kind 2) needs 2 or more appraisers."
        End If
        If kind = 3 And appraisers <> 1 Then
            Err.Raise MERIDAN_ERR_INPUT, "Meridan", "A study of an automated gauge (kind 3) has 1 appraiser."
        End If
    Case Else
        Err.Raise MERIDAN_ERR_INPUT, "Meridan", "kind is 1 (type 1), 2 (crossed gauge R&R) or 3 (automated " & _
            "gauges), not " & kind & "."
    End Select
    If CDbl(parts) * appraisers * trials > MAX_VALUES Then
        Err.Raise MERIDAN_ERR_INPUT, "Meridan", "A study holds at most 65535 readings."
    End If
End Sub

' Waits for the gauge's next reading and writes it into cell. A last
' recorded cell that the user emptied meanwhile (a misreading) is filled
' again first, and the wait for cell goes on.
Private Sub RecordReading(ByVal host As Object, ByVal cell As Object, ByVal what As String, _
    ByVal device As Integer, ByVal address As Integer, ByRef lastCell As Object, ByRef lastWhat As String)
    Dim into As Object, intoWhat As String, shown As String, reading As Double
    Do
        Set into = cell
        intoWhat = what
        If Not lastCell Is Nothing Then
            If IsEmpty(RangeValue2(lastCell)) Then
                Set into = lastCell
                intoWhat = lastWhat & ", again"
            End If
        End If
        If intoWhat <> shown Then
            shown = intoWhat
            host.StatusBar = shown & ": take the reading (Esc stops; empty the last cell to take it again)."
        End If
        If NextGaugeReading(device, address, reading) Then
            into.Value2 = reading
            If into Is cell Then Exit Do
        Else
            DoEvents  ' Esc and the user's edits are seen here
            Sleep RECORD_PAUSE
        End If
    Loop
    Set lastCell = cell
    lastWhat = what
End Sub

' True with the reading when the gauge sent one from address (0: any of the
' device's); False while nothing was sent. Another status raises MERIDAN_ERR_REJECTED.
Private Function NextGaugeReading(ByVal device As Integer, ByVal address As Integer, ByRef reading As Double) _
    As Boolean
    Dim status As Integer, readAddress As Integer
    readAddress = address
    status = Lib_Collect(device, readAddress, reading)
    If status > 0 Then
        NextGaugeReading = (address = 0 Or readAddress = address)
    ElseIf status <> KIT_NOTHING_TRIGGERED Then
        Err.Raise MERIDAN_ERR_REJECTED, "Meridan", "The kit answered status " & status & _
            " while a reading of device " & device & " was awaited (is the kit initialised, the device known?)."
    End If
End Function

' ---- Further control charts ----
' values: readings (charts 1 to 3) or counts of nonconforming items or
' defects (charts 4 to 7), a range or an array; empty cells are left out
' together with their sizes. chart: 1 to 7 or "imr", "ewma", "cusum", "p",
' "np", "c", "u". sizes: the sample sizes of p, np and u, a list beside the
' values or one number for every sample. sampleSize: readings per EWMA or
' CUSUM point (1 for the individuals chart). The options left out keep the
' library's defaults: centre and sigma given, tests (255), lambda and L of
' the EWMA (0.2, 3), k, h and the head start of the CUSUM (0.5, 5, 0),
' asymptoticLimits of the EWMA (False: the exact, widening ones).

' The 35 figures as rows of name and value (see Meridan_ChartFigureName),
' then a row naming the per-point blocks and one row per point: statistic,
' second statistic, upper limit, lower limit, flags (five columns).
Public Function Meridan_ChartFigures(ByVal values As Variant, ByVal chart As Variant, Optional ByVal sizes As Variant, _
    Optional ByVal sampleSize As Long = 1, Optional ByVal SPCNorm As Integer = 1, Optional ByVal centre As Variant, _
    Optional ByVal sigma As Variant, Optional ByVal tests As Long = 255, Optional ByVal lambda As Variant, _
    Optional ByVal L As Variant, Optional ByVal K As Variant, Optional ByVal h As Variant, _
    Optional ByVal headStart As Variant, Optional ByVal asymptoticLimits As Boolean = False) As Variant
    Dim request As ChartRequest, results() As Double, table() As Variant, points As Variant
    Dim row As Long, column As Long, figures As Variant
    request = MakeChartRequest(values, chart, sizes, sampleSize, SPCNorm, centre, sigma, tests, False, lambda, L, K, _
        h, headStart, asymptoticLimits)
    results = ChartFiguresOf(request)
    figures = NameValueTable(ChartFigureNames(), results, False)
    points = ChartPointTable(results, False)
    ReDim table(1 To CHART_FIGURE_COUNT + UBound(points, 1), 1 To CHART_BLOCKS)
    For row = 1 To CHART_FIGURE_COUNT
        table(row, 1) = figures(row, 1)
        table(row, 2) = figures(row, 2)
    Next row
    For row = 1 To UBound(points, 1)
        For column = 1 To CHART_BLOCKS
            table(CHART_FIGURE_COUNT + row, column) = points(row, column)
        Next column
    Next row
    Meridan_ChartFigures = table
End Function

' Writes the chart's page (markTests: the flagged points ringed, the tests
' named in the title band) and returns its full path. Raises
' MERIDAN_ERR_REJECTED with the page export's code and its meaning when no
' page was written.
Public Function Meridan_ChartPage(ByVal FileName As String, ByVal values As Variant, ByVal chart As Variant, _
    Optional ByVal sizes As Variant, Optional ByVal headline As String = "", Optional ByVal sampleSize As Long = 1, _
    Optional ByVal SPCNorm As Integer = 1, Optional ByVal centre As Variant, Optional ByVal sigma As Variant, _
    Optional ByVal tests As Long = 255, Optional ByVal markTests As Boolean = True, Optional ByVal lambda As Variant, _
    Optional ByVal L As Variant, Optional ByVal K As Variant, Optional ByVal h As Variant, _
    Optional ByVal headStart As Variant, Optional ByVal asymptoticLimits As Boolean = False, _
    Optional ByVal pageWidth As Long = 1600, Optional ByVal pageHeight As Long = 1200, _
    Optional ByVal factor As Double = 1#) As String
    Dim request As ChartRequest, checked() As Double, pageValues() As Double, pageSizes() As Double
    Dim settings() As Double, path As String, code As Integer
    request = MakeChartRequest(values, chart, sizes, sampleSize, SPCNorm, centre, sigma, tests, markTests, lambda, L, _
        K, h, headStart, asymptoticLimits)
    checked = ChartFiguresOf(request)  ' raises for a request the library would not draw
    path = FreshPagePath(FileName)
    pageValues = request.values
    pageSizes = request.sizes
    settings = request.options
    code = Lib_ChartBitmap(0, path, pageWidth, pageHeight, factor, headline, request.chart, pageValues, pageSizes, _
        request.count, request.sampleSize, request.SPCNorm, settings, CHART_OPTION_COUNT)
    RequireStudyPage "chart", code, path
    Meridan_ChartPage = path
End Function

' The name of chart figure 1 .. 35 ("chart", "pointCount", "centre", ... "UCL", "test1", ...).
Public Function Meridan_ChartFigureName(ByVal figure As Long) As String
    Dim names As Variant
    names = ChartFigureNames()
    If figure >= 1 And figure <= CHART_FIGURE_COUNT Then Meridan_ChartFigureName = names(figure - 1)
End Function

' The chart kind 1 .. 7 of a number or a name ("imr", "ewma", "cusum", "p",
' "np", "c", "u", in any letter case); MERIDAN_ERR_INPUT otherwise.
Public Function Meridan_ChartKind(ByVal chart As Variant) As Integer
    Dim names As Variant, position As Long, number As Double
    chart = CellContents(chart)
    names = ChartKindNames()
    If VarType(chart) = vbString Then
        For position = 0 To UBound(names)
            If StrComp(chart, names(position), vbTextCompare) = 0 Then
                Meridan_ChartKind = position + 1
                Exit Function
            End If
        Next position
        Err.Raise MERIDAN_ERR_INPUT, "Meridan", "chart is 1 to 7 or one of imr, ewma, cusum, p, np, c, u, not """ & _
            chart & """."
    End If
    number = NumberOf(chart, "chart")
    If number < 1 Or number > 7 Or number <> Int(number) Then
        Err.Raise MERIDAN_ERR_INPUT, "Meridan", "chart is 1 to 7 or one of imr, ewma, cusum, p, np, c, u, not " & _
            number & "."
    End If
    Meridan_ChartKind = CInt(number)
End Function

' What the worksheet function MERIDAN_CHART shows: one figure by number
' (1 .. 35) or name, "all" for the 35 rows of name and value, "points" for
' the per-point table (a row of block names, then one row per point); across
' when across is True. #VALUE! for an unknown figure or chart or input it
' cannot use, #NUM! for a figure that is not a number or a request the
' library rejects.
Public Function Meridan_ChartCell(ByVal values As Variant, ByVal figure As Variant, ByVal chart As Variant, _
    ByVal sizes As Variant, ByVal sampleSize As Long, ByVal SPCNorm As Integer, ByVal centre As Variant, _
    ByVal sigma As Variant, ByVal tests As Long, ByVal lambda As Variant, ByVal L As Variant, ByVal K As Variant, _
    ByVal h As Variant, ByVal across As Boolean) As Variant
    Dim request As ChartRequest, results() As Double, index As Long, points As Boolean
    On Error GoTo Failed
    figure = CellContents(figure)
    If VarType(figure) = vbString Then points = (StrComp(figure, "points", vbTextCompare) = 0)
    If Not points Then
        index = NamedFigureIndex(figure, ChartFigureNames(), CHART_FIGURE_COUNT)
        If index = 0 Then
            Meridan_ChartCell = CVErr(CELL_ERROR_VALUE)
            Exit Function
        End If
    End If
    request = MakeChartRequest(values, chart, sizes, sampleSize, SPCNorm, centre, sigma, tests, False, lambda, L, K, _
        h, Empty, False)
    results = ChartFiguresOf(request)
    If points Then
        Meridan_ChartCell = ChartPointTable(results, across)
    ElseIf index = ALL_FIGURES Then
        Meridan_ChartCell = NameValueTable(ChartFigureNames(), results, across)
    Else
        Meridan_ChartCell = CellValue(results(index))
    End If
    Exit Function
Failed:
    Meridan_ChartCell = CellErrorOf(Err.Number)
End Function

Private Function MakeChartRequest(ByVal values As Variant, ByVal chart As Variant, ByVal sizes As Variant, _
    ByVal sampleSize As Long, ByVal SPCNorm As Integer, ByVal centre As Variant, ByVal sigma As Variant, _
    ByVal tests As Long, ByVal markTests As Boolean, ByVal lambda As Variant, ByVal L As Variant, ByVal K As Variant, _
    ByVal h As Variant, ByVal headStart As Variant, ByVal asymptoticLimits As Boolean) As ChartRequest
    Dim request As ChartRequest, numbers() As Double, sampleSizes() As Double, count As Long, settings() As Double
    request.chart = Meridan_ChartKind(chart)
    ChartSeries values, sizes, numbers, sampleSizes, count
    request.values = numbers
    request.sizes = sampleSizes
    request.count = count
    If request.count > MAX_VALUES Then
        Err.Raise MERIDAN_ERR_INPUT, "Meridan", "At most 65535 values, not " & request.count & "."
    End If
    If sampleSize < 1 Then Err.Raise MERIDAN_ERR_INPUT, "Meridan", "The subgroup size must be 1 or more."
    If tests < 0 Or tests > ALL_RUN_TESTS Then
        Err.Raise MERIDAN_ERR_INPUT, "Meridan", "tests is the sum of the run tests to apply, 0 to 255, not " & _
            tests & "."
    End If
    request.sampleSize = sampleSize
    request.SPCNorm = SPCNorm
    ReDim settings(0 To CHART_OPTION_COUNT)
    settings(1) = OptionOrDefault(centre, "centre")
    settings(2) = OptionOrDefault(sigma, "sigma")
    settings(3) = tests
    If markTests Then settings(4) = 1
    settings(5) = OptionOrDefault(lambda, "lambda")
    settings(6) = OptionOrDefault(L, "L")
    settings(7) = OptionOrDefault(K, "k")
    settings(8) = OptionOrDefault(h, "h")
    settings(9) = OptionOrDefault(headStart, "headStart")
    If asymptoticLimits Then settings(10) = 1
    request.options = settings
    MakeChartRequest = request
End Function

' The values in elements 1 .. count and their sizes beside them: an empty
' value cell is left out with its size. sizes left out or empty: every size
' 1 (read by the p, np and u charts only); one number: the size of every
' sample; a list: one size per value cell.
Private Sub ChartSeries(ByVal values As Variant, ByVal sizes As Variant, ByRef numbers() As Double, _
    ByRef sampleSizes() As Double, ByRef count As Long)
    Dim items() As Variant, sizeItems() As Variant, position As Long, oneSize As Boolean, size As Double
    items = ItemsOf(values)
    If IsMissing(sizes) Then sizes = Empty
    sizeItems = ItemsOf(sizes)
    oneSize = UBound(sizeItems) <= 1
    If UBound(sizeItems) = 1 Then size = NumberOf(sizeItems(1), "sizes") Else size = 1
    If Not oneSize And UBound(sizeItems) <> UBound(items) Then
        Err.Raise MERIDAN_ERR_INPUT, "Meridan", "sizes has " & UBound(sizeItems) & " items for " & UBound(items) & _
            " values: one size per value, or one for all."
    End If
    ReDim numbers(0 To UBound(items))
    ReDim sampleSizes(0 To UBound(items))
    count = 0
    For position = 1 To UBound(items)
        If Not IsEmpty(items(position)) Then
            count = count + 1
            numbers(count) = NumberOf(items(position), "Value " & position)
            If oneSize Then
                sampleSizes(count) = size
            Else
                sampleSizes(count) = NumberOf(sizeItems(position), "Size " & position)
            End If
        End If
    Next position
End Sub

' The chart's figures: the 35, then the five per-point blocks (element 0
' unused; the upper bound is the last element written).
Private Function ChartFiguresOf(ByRef request As ChartRequest) As Double()
    Dim results() As Double, values() As Double, sizes() As Double, settings() As Double
    Dim capacity As Long, written As Long, kinds As Variant
    ' A point takes at least one value: room for every point's blocks.
    capacity = CHART_FIGURE_COUNT + CHART_BLOCKS * request.count
    ReDim results(0 To capacity)
    values = request.values
    sizes = request.sizes
    settings = request.options
    EnsureOpen
    written = Lib_ChartStatistics(request.chart, values, sizes, request.count, request.sampleSize, request.SPCNorm, _
        settings, CHART_OPTION_COUNT, results, capacity)
    If written < CHART_FIGURE_COUNT Then
        kinds = ChartKindNames()
        Err.Raise MERIDAN_ERR_REJECTED, "Meridan", "The library rejected the " & kinds(request.chart - 1) & _
            " chart (" & request.count & " values, subgroup size " & request.sampleSize & _
            "; see the README's Create_ChartStatistics for what it refuses)."
    End If
    ReDim Preserve results(0 To written)
    ChartFiguresOf = results
End Function

' The per-point blocks as a table: a row of the blocks' names, then one row
' per point (or transposed when across).
Private Function ChartPointTable(ByRef results() As Double, ByVal across As Boolean) As Variant
    Dim table() As Variant, names As Variant, points As Long, point As Long, block As Long
    names = Array("statistic", "second", "upper", "lower", "flags")
    points = CLng(results(2))
    If CHART_FIGURE_COUNT + CHART_BLOCKS * points > UBound(results) Then points = 0
    ReDim table(1 To points + 1, 1 To CHART_BLOCKS)
    For block = 1 To CHART_BLOCKS
        table(1, block) = names(block - 1)
        For point = 1 To points
            table(point + 1, block) = CellValue(results(CHART_FIGURE_COUNT + (block - 1) * points + point))
        Next point
    Next block
    If across Then
        ChartPointTable = Transposed(table)
    Else
        ChartPointTable = table
    End If
End Function

Private Function ChartKindNames() As Variant
    ChartKindNames = Array("imr", "ewma", "cusum", "p", "np", "c", "u")
End Function

Private Function ChartFigureNames() As Variant
    ChartFigureNames = Array("chart", "pointCount", "centre", "sigma", "centreGiven", "sigmaGiven", "dataCentre", _
        "dataSigma", "UCL", "LCL", "secondCL", "secondUCL", "secondLCL", "lambda", "L", "k", "h", _
        "test1", "test2", "test3", "test4", "test5", "test6", "test7", "test8", "secondFlagged", _
        "firstTest1", "firstTest2", "firstTest3", "firstTest4", "firstTest5", "firstTest6", "firstTest7", _
        "firstTest8", "firstFlagged")
End Function

' ---- Capability study ----
' values: a range or an array, empty cells left out (as for the SPC
' routines); a limit left out is not in force (one is needed); sampleSize
' and SPCNorm give the within sigma (1: the mean moving range); target left
' out is the middle of the two limits, or the mean; distribution 0 normal
' only, 1 lognormal, 2 Weibull, 3 Box-Cox, 4 the best of them; level the
' confidence level (0.95); lambda a given Box-Cox lambda (left out: estimated).

' The 55 figures as rows of name and value (see Meridan_CapabilityFigureName).
Public Function Meridan_CapabilityFigures(ByVal values As Variant, Optional ByVal USL As Variant, _
    Optional ByVal LSL As Variant, Optional ByVal sampleSize As Long = 5, Optional ByVal SPCNorm As Integer = 1, _
    Optional ByVal target As Variant, Optional ByVal distribution As Integer = 0, Optional ByVal level As Variant, _
    Optional ByVal lambda As Variant) As Variant
    Dim request As SpcRequest, settings() As Double, results() As Double
    request = MakeRequest(values, 0, sampleSize, SPCNorm, target, USL, LSL)
    settings = CapabilityOptionsOf(distribution, level, lambda)
    results = CapabilityFiguresOf(request, settings)
    Meridan_CapabilityFigures = NameValueTable(CapabilityFigureNames(), results, False)
End Function

' Writes the capability page and returns its full path. Raises
' MERIDAN_ERR_REJECTED with the page export's code and its meaning when no
' page was written.
Public Function Meridan_CapabilityPage(ByVal FileName As String, ByVal values As Variant, _
    Optional ByVal USL As Variant, Optional ByVal LSL As Variant, Optional ByVal headline As String = "", _
    Optional ByVal sampleSize As Long = 5, Optional ByVal SPCNorm As Integer = 1, Optional ByVal target As Variant, _
    Optional ByVal distribution As Integer = 0, Optional ByVal level As Variant, Optional ByVal lambda As Variant, _
    Optional ByVal pageWidth As Long = 1600, Optional ByVal pageHeight As Long = 1200, _
    Optional ByVal factor As Double = 1#) As String
    Dim request As SpcRequest, settings() As Double, checked() As Double, pageValues() As Double, path As String
    Dim code As Integer
    request = MakeRequest(values, 0, sampleSize, SPCNorm, target, USL, LSL)
    settings = CapabilityOptionsOf(distribution, level, lambda)
    checked = CapabilityFiguresOf(request, settings)  ' raises for a study the library would not draw
    path = FreshPagePath(FileName)
    pageValues = request.values
    code = Lib_CapabilityBitmap(0, path, pageWidth, pageHeight, factor, headline, pageValues, request.count, _
        request.sampleSize, request.SPCNorm, request.NomSize, request.USL, request.LSL, request.USLOnOff, _
        request.LSLOnOff, settings, CAPABILITY_OPTION_COUNT)
    RequireStudyPage "capability", code, path
    Meridan_CapabilityPage = path
End Function

' The name of capability figure 1 .. 55 ("n", "leftOut", "mean", ... "Ppk", ...).
Public Function Meridan_CapabilityFigureName(ByVal figure As Long) As String
    Dim names As Variant
    names = CapabilityFigureNames()
    If figure >= 1 And figure <= CAPABILITY_FIGURE_COUNT Then Meridan_CapabilityFigureName = names(figure - 1)
End Function

' What the worksheet function MERIDAN_CAPABILITY shows: one figure by number
' (1 .. 55) or name ("Ppk", "CpkLower", "overallTotal", ...), or "all" for
' the table, across when across is True. #VALUE! for an unknown figure or
' input it cannot use, #NUM! for a figure that is not a number or a study the
' library rejects.
Public Function Meridan_CapabilityCell(ByVal values As Variant, ByVal figure As Variant, ByVal USL As Variant, _
    ByVal LSL As Variant, ByVal sampleSize As Long, ByVal SPCNorm As Integer, ByVal target As Variant, _
    ByVal distribution As Integer, ByVal level As Variant, ByVal across As Boolean) As Variant
    Dim request As SpcRequest, settings() As Double, results() As Double, index As Long
    On Error GoTo Failed
    index = NamedFigureIndex(figure, CapabilityFigureNames(), CAPABILITY_FIGURE_COUNT)
    If index = 0 Then
        Meridan_CapabilityCell = CVErr(CELL_ERROR_VALUE)
        Exit Function
    End If
    request = MakeRequest(values, 0, sampleSize, SPCNorm, target, USL, LSL)
    settings = CapabilityOptionsOf(distribution, level, Empty)
    results = CapabilityFiguresOf(request, settings)
    If index = ALL_FIGURES Then
        Meridan_CapabilityCell = NameValueTable(CapabilityFigureNames(), results, across)
    Else
        Meridan_CapabilityCell = CellValue(results(index))
    End If
    Exit Function
Failed:
    Meridan_CapabilityCell = CellErrorOf(Err.Number)
End Function

' Options 1 .. 4 of the capability exports (element 0 unused): the target
' (NaN: NomSize, which carries it), the level, the distribution, lambda.
Private Function CapabilityOptionsOf(ByVal distribution As Integer, ByVal level As Variant, _
    ByVal lambda As Variant) As Double()
    Dim settings() As Double
    If distribution < 0 Or distribution > 4 Then
        Err.Raise MERIDAN_ERR_INPUT, "Meridan", "distribution is 0 (normal), 1 (lognormal), 2 (Weibull), " & _
            "3 (Box-Cox) or 4 (the best of them), not " & distribution & "."
    End If
    ReDim settings(0 To CAPABILITY_OPTION_COUNT)
    settings(1) = NotANumber()
    settings(2) = OptionOrDefault(level, "level")
    settings(3) = distribution
    settings(4) = OptionOrDefault(lambda, "lambda")
    CapabilityOptionsOf = settings
End Function

Private Function CapabilityFiguresOf(ByRef request As SpcRequest, ByRef settings() As Double) As Double()
    Dim results() As Double, values() As Double, written As Long
    If request.USLOnOff = 0 And request.LSLOnOff = 0 Then
        Err.Raise MERIDAN_ERR_INPUT, "Meridan", "A capability study needs USL or LSL (or both)."
    End If
    ReDim results(0 To CAPABILITY_FIGURE_COUNT)
    values = request.values
    EnsureOpen
    written = Lib_CapabilityStatistics(values, request.count, request.sampleSize, request.SPCNorm, request.NomSize, _
        request.USL, request.LSL, request.USLOnOff, request.LSLOnOff, settings, CAPABILITY_OPTION_COUNT, results, _
        CAPABILITY_FIGURE_COUNT)
    If written <> CAPABILITY_FIGURE_COUNT Then
        Err.Raise MERIDAN_ERR_REJECTED, "Meridan", "The library rejected the capability study (" & request.count & _
            " values, subgroup size " & request.sampleSize & "; see the README's Capability study for what it refuses)."
    End If
    CapabilityFiguresOf = results
End Function

Private Function CapabilityFigureNames() As Variant
    CapabilityFigureNames = Array("n", "leftOut", "mean", "s", "sigmaWithin", "k", "m", "Pp", "PPL", "PPU", "Ppk", _
        "Cp", "CPL", "CPU", "Cpk", "Cpm", "PpLower", "PpUpper", "PpkLower", "PpkUpper", "CpLower", "CpUpper", _
        "CpkLower", "CpkUpper", "CpmLower", "CpmUpper", "observedBelow", "observedAbove", "observedTotal", _
        "overallBelow", "overallAbove", "overallTotal", "withinBelow", "withinAbove", "withinTotal", _
        "ZBenchOverall", "ZBenchWithin", "AD", "ADAdjusted", "ADp", "distribution", "parameter1", "parameter2", _
        "fitAD", "fitPp", "fitPPL", "fitPPU", "fitPpk", "fitBelow", "fitAbove", "fitTotal", "capable", _
        "capableAtLowerLimit", "target", "level")
End Function

' ---- Shared by the studies ----

' The page export's code as a sentence, for each study's page (0: written).
Public Function Meridan_PageFailure(ByVal study As String, ByVal code As Long) As String
    Dim reasons As Variant
    Select Case study
    Case "gauge"
        reasons = Array("the library refused the study", "pageWidth, pageHeight or factor give no page", _
            "no file name was given", "no drawing context or bitmap could be had", _
            "the file could not be written (read-only, no such folder, disk full)")
    Case "chart"
        reasons = Array("the library refused the request", _
            "pageWidth, pageHeight or factor are not positive, or a side is above 32767 pixels", _
            "no file name was given", "the memory or the drawing objects for the page could not be had")
    Case Else
        reasons = Array("the library refused the study", _
            "the page size cannot be made or is smaller than 320 x 240 pixels", _
            "fewer than two values are numbers", "no file name was given, or the file could not be written whole")
    End Select
    If code = 0 Then
        Meridan_PageFailure = "the page was written"
    ElseIf code >= 1 And code <= UBound(reasons) + 1 Then
        Meridan_PageFailure = reasons(code - 1)
    Else
        Meridan_PageFailure = "an unknown code"
    End If
End Function

' Raises MERIDAN_ERR_REJECTED naming the code and its meaning when the page
' export returned one, and when no file is there after all.
Private Sub RequireStudyPage(ByVal study As String, ByVal code As Integer, ByVal path As String)
    If code <> 0 Then
        Err.Raise MERIDAN_ERR_REJECTED, "Meridan", "No " & study & " page was written to " & path & " (code " & _
            code & ": " & Meridan_PageFailure(study, code) & ")."
    End If
    RequirePage path
End Sub

' An option given as a number, or NaN (the library's default) when left out or empty.
Private Function OptionOrDefault(ByVal given As Variant, ByVal what As String) As Double
    Dim number As Double
    If LimitInForce(given, number, what) = 1 Then
        OptionOrDefault = number
    Else
        OptionOrDefault = NotANumber()
    End If
End Function

' 1 .. count for a figure's number or name (names: element 0 is figure 1),
' ALL_FIGURES for "all", 0 otherwise.
Private Function NamedFigureIndex(ByVal figure As Variant, ByRef names As Variant, ByVal count As Long) As Long
    Dim position As Long
    figure = CellContents(figure)
    Select Case VarType(figure)
    Case vbString
        If StrComp(figure, "all", vbTextCompare) = 0 Then
            NamedFigureIndex = ALL_FIGURES
            Exit Function
        End If
        For position = 0 To count - 1
            If StrComp(figure, names(position), vbTextCompare) = 0 Then
                NamedFigureIndex = position + 1
                Exit Function
            End If
        Next position
    Case vbByte, vbInteger, vbLong, vbSingle, vbDouble, vbCurrency, vbDecimal
        If figure >= 1 And figure <= count And figure = Int(figure) Then NamedFigureIndex = CLng(figure)
    End Select
End Function

' name, value per element 1 .. (the names' count): one row each, or 2 rows across.
Private Function NameValueTable(ByRef names As Variant, ByRef results() As Double, ByVal across As Boolean) _
    As Variant
    Dim table() As Variant, figure As Long, count As Long
    count = UBound(names) - LBound(names) + 1
    ReDim table(1 To count, 1 To 2)
    For figure = 1 To count
        table(figure, 1) = names(LBound(names) + figure - 1)
        table(figure, 2) = CellValue(results(figure))
    Next figure
    If across Then
        NameValueTable = Transposed(table)
    Else
        NameValueTable = table
    End If
End Function

Private Function Transposed(ByRef table() As Variant) As Variant
    Dim turned() As Variant, row As Long, column As Long
    ReDim turned(1 To UBound(table, 2), 1 To UBound(table, 1))
    For row = 1 To UBound(table, 1)
        For column = 1 To UBound(table, 2)
            turned(column, row) = table(row, column)
        Next column
    Next row
    Transposed = turned
End Function

' ---- Shared by the routines above ----

' The cell error a worksheet function shows for a raised error: #VALUE! for
' input it cannot use, #NUM! for everything else.
Private Function CellErrorOf(ByVal errorNumber As Long) As Variant
    If errorNumber = MERIDAN_ERR_INPUT Then
        CellErrorOf = CVErr(CELL_ERROR_VALUE)
    Else
        CellErrorOf = CVErr(CELL_ERROR_NUM)
    End If
End Function

Private Sub EnsureOpen()
    Dim folder As String
    If Lib_IsConnected() Then Exit Sub
    folder = FolderOf("")
    Lib_Connect folder
    openFolder = folder
End Sub

' The install folder, absolute and with a trailing backslash.
Private Function FolderOf(ByVal folder As String) As String
    FolderOf = InstallFolder(folder, MERIDAN_FOLDER, WorkbookFolder(), CurDir$)
End Function

' The folder given, else the configured one, else the workbook's, else the
' current one; made absolute (the library is loaded by this path, and a
' relative path there is undefined). A workbook on a synchronised web folder
' has an https:// path, which is no folder of this computer.
Private Function InstallFolder(ByVal given As String, ByVal configured As String, ByVal workbook As String, _
    ByVal current As String) As String
    Dim folder As String
    folder = given
    If Len(folder) = 0 Then folder = configured
    If Len(folder) = 0 Then
        If Meridan_IsWebPath(workbook) Then
            Err.Raise MERIDAN_ERR_MISSING, "Meridan", "The workbook is on a web folder (" & workbook & _
                "), not in the MERIDAN folder: set MERIDAN_FOLDER at the top of the module Meridan, or give " & _
                "Meridan_Open the folder MERIDAN is installed in."
        End If
        folder = workbook
    End If
    If Len(folder) = 0 Then folder = current
    If Meridan_IsWebPath(folder) Then
        Err.Raise MERIDAN_ERR_INPUT, "Meridan", folder & " is a web address, not a folder of this computer."
    End If
    folder = AbsolutePath(folder, current)
    If Right$(folder, 1) <> "\" Then folder = folder & "\"
    InstallFolder = folder
End Function

' True for a web address (a workbook on a synchronised cloud folder has one as its Path).
Public Function Meridan_IsWebPath(ByVal path As String) As Boolean
    Meridan_IsWebPath = LCase$(path) Like "http://*" Or LCase$(path) Like "https://*"
End Function

' The folder of the workbook holding this module ("" in hosts without workbooks).
Private Function WorkbookFolder() As String
    Dim host As Object
    On Error Resume Next
    Set host = Application
    WorkbookFolder = host.ThisWorkbook.Path
End Function

Private Sub RequireFile(ByVal folder As String, ByVal file As String)
    If Not FileExists(folder & file) Then
        Err.Raise MERIDAN_ERR_MISSING, "Meridan", file & " is missing in " & folder & _
            " (install MERIDAN there, or give Meridan_Open the folder it is in)."
    End If
End Sub

' The full path of a page about to be written, an older file there removed
' (so that a page the library does not write is not taken for the new one).
Private Function FreshPagePath(ByVal FileName As String) As String
    Dim path As String
    path = FullPath(FileName)
    RequireAnsiPath path
    If FileExists(path) Then Kill path
    FreshPagePath = path
End Function

' The library takes 8-bit file names: a character the system's code page has
' no code for would arrive as "?", and no page would be written.
Private Sub RequireAnsiPath(ByVal path As String)
    If StrConv(StrConv(path, vbFromUnicode), vbUnicode) <> path Then
        Err.Raise MERIDAN_ERR_INPUT, "Meridan", "The page path " & path & " has characters outside this " & _
            "computer's code page, which the library cannot take: choose a folder and name without them."
    End If
End Sub

Private Sub RequirePage(ByVal path As String)
    If Not FileExists(path) Then
        Err.Raise MERIDAN_ERR_REJECTED, "Meridan", "No page was written to " & path & _
            " (does the folder exist? are pageWidth, pageHeight and factor positive?)."
    End If
End Sub

Private Function FileExists(ByVal path As String) As Boolean
    On Error Resume Next
    FileExists = (GetAttr(path) And vbDirectory) = 0
End Function

' The library and the helper write files relative to their own current
' folder: pass names in full. A name on another drive without a folder
' ("D:page.bmp") is taken in that drive's current folder.
Private Function FullPath(ByVal FileName As String) As String
    If FileName Like "[A-Za-z]:*" And Not (FileName Like "[A-Za-z]:[\/]*") Then
        FullPath = AbsolutePath(FileName, CurDir$(Left$(FileName, 1)))
    Else
        FullPath = AbsolutePath(FileName, CurDir$)
    End If
End Function

' path made absolute against the folder current (forward slashes become
' backslashes): "C:\a" and "\\server\share" stay, "\a" goes on current's
' drive (or share), "C:a" and "a" into current (which is on that drive).
Private Function AbsolutePath(ByVal path As String, ByVal current As String) As String
    path = Replace(path, "/", "\")
    If Right$(current, 1) = "\" Then current = Left$(current, Len(current) - 1)
    If path Like "[A-Za-z]:\*" Or path Like "\\*" Then
        AbsolutePath = path
    ElseIf path Like "\*" Then
        AbsolutePath = RootOf(current) & path
    ElseIf path Like "[A-Za-z]:*" Then
        AbsolutePath = current & "\" & Mid$(path, 3)
    Else
        AbsolutePath = current & "\" & path
    End If
End Function

' The drive of a folder ("C:"), or the server and share of a network folder ("\\server\share").
Private Function RootOf(ByVal folder As String) As String
    Dim position As Long, separators As Long
    If Not (folder Like "\\*") Then
        RootOf = Left$(folder, 2)
        Exit Function
    End If
    For position = 3 To Len(folder)
        If Mid$(folder, position, 1) = "\" Then
            separators = separators + 1
            If separators = 2 Then Exit For
        End If
    Next position
    RootOf = Left$(folder, position - 1)
End Function

' The low 16 bits of a library result, as the signed status callers read.
Private Function LowInteger(ByVal result As Long) As Integer
    Dim low As Long
    low = result And &HFFFF&
    If low >= &H8000& Then low = low - &H10000
    LowInteger = CInt(low)
End Function

' The items of a range, an array (any lower bound, any dimensions) or a single
' value, as elements 1 .. n of a Variant array (element 0 unused).
Private Function ItemsOf(ByVal list As Variant) As Variant()
    Dim items() As Variant, item As Variant, count As Long
    list = CellContents(list)
    If IsArray(list) Then
        For Each item In list
            count = count + 1
        Next item
        ReDim items(0 To count)
        count = 0
        For Each item In list
            count = count + 1
            items(count) = item
        Next item
    ElseIf IsMissing(list) Or IsEmpty(list) Then
        ReDim items(0 To 0)
    Else
        ReDim items(0 To 1)
        items(1) = list
    End If
    ItemsOf = items
End Function

' What a range holds as plain numbers and texts (.Value2: .Value would turn a
' cell formatted as currency into a Currency rounded to 4 decimals and a date
' into a Date); anything else as it is.
Private Function CellContents(ByVal given As Variant) As Variant
    If IsObject(given) Then
        CellContents = RangeValue2(given)
    Else
        CellContents = given
    End If
End Function

Private Function RangeValue2(ByVal cells As Object) As Variant
    RangeValue2 = cells.Value2
End Function

Private Function ItemOrZero(ByRef items() As Variant, ByVal position As Long) As Variant
    ItemOrZero = 0
    If position <= UBound(items) Then
        If Not IsEmpty(items(position)) Then ItemOrZero = items(position)
    End If
End Function

' The item as text, "" where the list is shorter or the item empty.
Private Function TextOrEmpty(ByRef items() As Variant, ByVal position As Long) As String
    If position <= UBound(items) Then
        If Not IsEmpty(items(position)) Then TextOrEmpty = CStr(items(position))
    End If
End Function

' item as a Double; MERIDAN_ERR_INPUT naming it (what: "USL", "Value 3") when
' it is no number.
Private Function NumberOf(ByVal item As Variant, ByVal what As String) As Double
    Select Case VarType(item)
    Case vbByte, vbInteger, vbLong, vbSingle, vbDouble, vbCurrency, vbDecimal, 20  ' 20: LongLong
        NumberOf = CDbl(item)
    Case vbString
        Err.Raise MERIDAN_ERR_INPUT, "Meridan", what & " is not a number but the text """ & item & """."
    Case Else
        Err.Raise MERIDAN_ERR_INPUT, "Meridan", what & " is not a number."
    End Select
End Function

' item as an Integer (-32768 .. 32767, rounded as CInt rounds), else
' MERIDAN_ERR_INPUT naming it.
Private Function IntegerOf(ByVal item As Variant, ByVal what As String) As Integer
    Dim number As Double
    number = NumberOf(item, what)
    If Not (number > -32768.5 And number < 32767.5) Then
        Err.Raise MERIDAN_ERR_INPUT, "Meridan", what & " must be a whole number from -32768 to 32767, not " & _
            number & "."
    End If
    IntegerOf = CInt(number)
End Function

' The values in elements 1 .. count, empty cells left out.
Private Function ValuesOf(ByVal values As Variant, ByRef count As Long) As Double()
    Dim items() As Variant, numbers() As Double, position As Long
    items = ItemsOf(values)
    ReDim numbers(0 To UBound(items))
    count = 0
    For position = 1 To UBound(items)
        If Not IsEmpty(items(position)) Then
            count = count + 1
            numbers(count) = NumberOf(items(position), "Value " & position)
        End If
    Next position
    ValuesOf = numbers
End Function

' 1 when the limit is given (its value in limit), 0 when it is left out or empty.
Private Function LimitInForce(ByVal given As Variant, ByRef limit As Double, ByVal what As String) As Integer
    If IsMissing(given) Then Exit Function
    given = CellContents(given)
    If IsEmpty(given) Then Exit Function
    limit = NumberOf(given, what)
    LimitInForce = 1
End Function

Private Function MakeRequest(ByVal values As Variant, ByVal typ As Integer, ByVal sampleSize As Long, _
    ByVal SPCNorm As Integer, ByVal NomSize As Variant, ByVal USL As Variant, ByVal LSL As Variant) As SpcRequest
    Dim request As SpcRequest, position As Long, sum As Double, nominal As Double
    request.values = ValuesOf(values, request.count)
    If request.count > MAX_VALUES Then
        Err.Raise MERIDAN_ERR_INPUT, "Meridan", "At most 65535 values, not " & request.count & "."
    End If
    If sampleSize < 1 Then Err.Raise MERIDAN_ERR_INPUT, "Meridan", "The subgroup size must be 1 or more."
    request.typ = typ
    request.sampleSize = sampleSize
    request.SPCNorm = SPCNorm
    request.USLOnOff = LimitInForce(USL, request.USL, "USL")
    request.LSLOnOff = LimitInForce(LSL, request.LSL, "LSL")
    If LimitInForce(NomSize, nominal, "NomSize") = 1 Then
        request.NomSize = nominal
    ElseIf request.USLOnOff = 1 And request.LSLOnOff = 1 Then
        request.NomSize = (request.USL + request.LSL) / 2
    ElseIf request.count > 0 Then
        For position = 1 To request.count
            sum = sum + request.values(position)
        Next position
        request.NomSize = sum / request.count
    End If
    MakeRequest = request
End Function

' Figures 1 .. 48 of the request (element 0 unused).
Private Function FiguresOf(ByRef request As SpcRequest) As Double()
    Dim results() As Double, values() As Double, written As Integer
    ReDim results(0 To FIGURE_COUNT)
    values = request.values
    EnsureOpen
    written = Lib_SPCStatistics(request.typ, values, request.count, request.NomSize, request.USL, request.LSL, _
        request.USLOnOff, request.LSLOnOff, request.sampleSize, request.SPCNorm, results)
    If written <> FIGURE_COUNT Then
        Err.Raise MERIDAN_ERR_REJECTED, "Meridan", "The library rejected the SPC request (" & request.count & _
            " values, subgroup size " & request.sampleSize & ")."
    End If
    FiguresOf = results
End Function

' Options 1 .. 4 of the extended exports (element 0 unused): the centre and
' sigma given (NaN: from the values), the tests to apply, whether the page
' marks the flagged points.
Private Function OptionsOf(ByVal centre As Variant, ByVal sigma As Variant, ByVal tests As Long, _
    ByVal markTests As Boolean) As Double()
    Dim settings() As Double, given As Double
    ReDim settings(0 To OPTION_COUNT)
    settings(1) = NotANumber()
    settings(2) = NotANumber()
    If LimitInForce(centre, given, "centre") = 1 Then settings(1) = given
    If LimitInForce(sigma, given, "sigma") = 1 Then
        If given <= 0 Then Err.Raise MERIDAN_ERR_INPUT, "Meridan", "A given sigma must be above 0, not " & given & "."
        settings(2) = given
    End If
    If tests < 0 Or tests > ALL_RUN_TESTS Then
        Err.Raise MERIDAN_ERR_INPUT, "Meridan", "tests is the sum of the run tests to apply, 0 to 255, not " & _
            tests & "."
    End If
    settings(3) = tests
    If markTests Then settings(4) = 1
    OptionsOf = settings
End Function

' NaN, which the extended exports read as an option left at its default
' (VBA has no literal for it and raises an error for 0 / 0).
Private Function NotANumber() As Double
    Dim number As DoubleValue, words As DoubleWords
    words.High = &H7FF80000
    LSet number = words
    NotANumber = number.Number
End Function

' The extended figures of the request: elements 1 .. 69, then one per
' subgroup (element 0 unused; the upper bound is the last one written).
Private Function ExtendedFiguresOf(ByRef request As SpcRequest, ByRef settings() As Double) As Double()
    Dim results() As Double, values() As Double, capacity As Long, written As Long
    ' A subgroup holds at least one value: room for every subgroup.
    capacity = EXTENDED_FIGURE_COUNT + request.count
    ReDim results(0 To capacity)
    values = request.values
    EnsureOpen
    written = Lib_SPCStatisticsEx(request.typ, values, request.count, request.NomSize, request.USL, request.LSL, _
        request.USLOnOff, request.LSLOnOff, request.sampleSize, request.SPCNorm, settings, OPTION_COUNT, results, _
        capacity)
    If written < EXTENDED_FIGURE_COUNT Then
        Err.Raise MERIDAN_ERR_REJECTED, "Meridan", "The library rejected the SPC request (" & request.count & _
            " values, subgroup size " & request.sampleSize & ")."
    End If
    ReDim Preserve results(0 To written)
    ExtendedFiguresOf = results
End Function

' The names of the figures, in the library's order.
Private Function FigureNames() As Variant
    FigureNames = Array("n", "mean", "s", "min", "max", "range", "aboveUSL", "belowLSL", "percentOutside", _
        "Cm", "Cmk", "k", "m", "Z", "sigma", "Cp", "Cpk", "UCL", "UWL", "LWL", "LCL", _
        "limitsPresent", "warningPresent", "seriesCount", _
        "dispersionUCL", "dispersionUWL", "dispersionCL", "dispersionLWL", "dispersionLCL", _
        "xPositions", "classesLow", "classesHigh", "peakCount", _
        "class1", "class2", "class3", "class4", "class5", "class6", "class7", "class8", _
        "class9", "class10", "class11", "class12", "class13", "class14", "class15", _
        "limitsCentre", "limitsSigma", "centreGiven", "sigmaGiven", _
        "test1", "test2", "test3", "test4", "test5", "test6", "test7", "test8", "dispersion", _
        "firstTest1", "firstTest2", "firstTest3", "firstTest4", "firstTest5", "firstTest6", "firstTest7", _
        "firstTest8")
End Function

' The name of figure 1 .. 69, "subgroup1", ... after them.
Private Function FigureNameOf(ByRef names As Variant, ByVal figure As Long) As String
    If figure > EXTENDED_FIGURE_COUNT Then
        FigureNameOf = "subgroup" & (figure - EXTENDED_FIGURE_COUNT)
    Else
        FigureNameOf = names(figure - 1)
    End If
End Function

' 53 .. 61 for a run test's number or name or "dispersion", ALL_FIGURES for
' "all" or none given, 0 otherwise.
Private Function RunCountIndex(ByVal test As Variant) As Long
    Dim names As Variant, position As Long
    If IsMissing(test) Then
        RunCountIndex = ALL_FIGURES
        Exit Function
    End If
    test = CellContents(test)
    Select Case VarType(test)
    Case vbString
        If StrComp(test, "all", vbTextCompare) = 0 Then
            RunCountIndex = ALL_FIGURES
            Exit Function
        End If
        names = FigureNames()
        For position = FIRST_RUN_COUNT To DISPERSION_COUNT
            If StrComp(test, names(position - 1), vbTextCompare) = 0 Then
                RunCountIndex = position
                Exit Function
            End If
        Next position
    Case vbByte, vbInteger, vbLong, vbSingle, vbDouble, vbCurrency, vbDecimal
        If test >= 1 And test <= RUN_TESTS And test = Int(test) Then RunCountIndex = FIRST_RUN_COUNT - 1 + CLng(test)
    End Select
End Function

' 1 .. 48 for a figure's number or name, ALL_FIGURES for "all", 0 otherwise.
Private Function FigureIndex(ByVal figure As Variant) As Long
    FigureIndex = NamedFigureIndex(figure, FigureNames(), FIGURE_COUNT)
End Function

' name, value per figure first .. last: one row each, or 2 rows across.
Private Function FigureTable(ByRef results() As Double, ByVal first As Long, ByVal last As Long, _
    ByVal across As Boolean) As Variant
    Dim table() As Variant, names As Variant, figure As Long, row As Long
    names = FigureNames()
    If across Then
        ReDim table(1 To 2, 1 To last - first + 1)
    Else
        ReDim table(1 To last - first + 1, 1 To 2)
    End If
    For figure = first To last
        row = figure - first + 1
        If across Then
            table(1, row) = FigureNameOf(names, figure)
            table(2, row) = CellValue(results(figure))
        Else
            table(row, 1) = FigureNameOf(names, figure)
            table(row, 2) = CellValue(results(figure))
        End If
    Next figure
    FigureTable = table
End Function

' A figure for a cell: the number, or #NUM! where it is not a number
' (a cell cannot hold NaN or an infinity).
Private Function CellValue(ByVal figure As Double) As Variant
    If IsFiniteNumber(figure) Then
        CellValue = figure
    Else
        CellValue = CVErr(CELL_ERROR_NUM)
    End If
End Function

' False for NaN and the infinities (read from the bits: comparing NaN raises no error but says nothing).
Private Function IsFiniteNumber(ByVal figure As Double) As Boolean
    Dim number As DoubleValue, words As DoubleWords
    number.Number = figure
    LSet words = number
    IsFiniteNumber = (words.High And &H7FF00000) <> &H7FF00000
End Function

' True when a worksheet function's table should lie across: the range the
' formula was entered in (an array formula's caller is the whole range) is
' wider than tall. A formula in one cell, which spills, gets the table
' downwards. False outside a worksheet formula.
Public Function Meridan_CallerAcross() As Boolean
    Dim host As Object, caller As Object
    On Error Resume Next
    Set host = Application
    If TypeName(host.Caller) <> "Range" Then Exit Function
    Set caller = host.Caller
    Meridan_CallerAcross = Meridan_TableAcross(caller.Rows.Count, caller.Columns.Count)
End Function

' The orientation rule: across exactly when wider than tall.
Public Function Meridan_TableAcross(ByVal rows As Long, ByVal columns As Long) As Boolean
    Meridan_TableAcross = columns > rows
End Function

' Formula text calling functionName with the arguments: a range is written as
' its address on its sheet (A2:A126), a number with a point whatever the
' locale, a text in quotes, True and False as TRUE and FALSE, an argument left
' empty as nothing. Range.Formula and .FormulaArray take this English syntax
' on every system; "&" with a number would write the locale's decimal comma.
Public Function Meridan_Formula(ByVal functionName As String, ParamArray arguments() As Variant) As String
    Dim text As String, position As Long
    For position = LBound(arguments) To UBound(arguments)
        If position > LBound(arguments) Then text = text & ","
        text = text & FormulaArgument(arguments(position), position - LBound(arguments) + 1)
    Next position
    Meridan_Formula = "=" & functionName & "(" & text & ")"
End Function

Private Function FormulaArgument(ByVal argument As Variant, ByVal position As Long) As String
    If IsObject(argument) Then
        FormulaArgument = RangeAddress(argument)
        Exit Function
    End If
    Select Case VarType(argument)
    Case vbEmpty, vbError  ' vbError: an Optional argument left out
        FormulaArgument = ""
    Case vbString
        FormulaArgument = Chr$(34) & Replace(argument, Chr$(34), Chr$(34) & Chr$(34)) & Chr$(34)
    Case vbBoolean
        If argument Then FormulaArgument = "TRUE" Else FormulaArgument = "FALSE"
    Case Else
        FormulaArgument = Meridan_FormulaNumber(NumberOf(argument, "Formula argument " & position))
    End Select
End Function

' The address of a range on its own sheet, as a formula there refers to it.
Private Function RangeAddress(ByVal cells As Object) As String
    RangeAddress = cells.Address(False, False)
End Function

' number as formula text: with a point, whatever the locale (Str$ always
' writes one), to 15 significant digits, as the host keeps numbers in
' formulas ("0.03", "-0.5", "1E-20").
Public Function Meridan_FormulaNumber(ByVal number As Double) As String
    Dim text As String
    If Not IsFiniteNumber(number) Then
        Err.Raise MERIDAN_ERR_INPUT, "Meridan", "A formula cannot hold a number that is not finite."
    End If
    text = Trim$(Str$(number))
    If Left$(text, 1) = "." Then text = "0" & text
    If Left$(text, 2) = "-." Then text = "-0" & Mid$(text, 2)
    Meridan_FormulaNumber = text
End Function

' ---- The helper's errors and the host count, for 64-bit hosts ----
' (outside the 64-bit part so that they can be tried in any Basic)

' True for the errors of a call on the helper's object after its process has gone.
Private Function HelperVanished(ByVal errorNumber As Long) As Boolean
    Select Case errorNumber
    Case ERR_REMOTE_SERVER_GONE, RPC_S_SERVER_UNAVAILABLE, RPC_S_CALL_FAILED, RPC_E_DISCONNECTED, _
        RPC_E_SERVER_DIED, RPC_E_SERVER_DIED_DNE
        HelperVanished = True
    End Select
End Function

' True for the errors CreateObject gives while a helper is ending or
' starting (seen in that moment: E_FAIL, E_NOINTERFACE and the RPC errors);
' not for a class that is not registered or cannot be found (429).
Private Function HelperIsChanging(ByVal errorNumber As Long) As Boolean
    Select Case errorNumber
    Case CO_E_SERVER_STOPPING, CO_E_SERVER_EXEC_FAILURE, RPC_S_SERVER_UNAVAILABLE, RPC_S_CALL_FAILED, _
        RPC_S_UNKNOWN_IF, RPC_E_DISCONNECTED, RPC_E_SERVER_DIED, RPC_E_SERVER_DIED_DNE, E_NOINTERFACE, E_FAIL, _
        ERR_REMOTE_SERVER_GONE
        HelperIsChanging = True
    End Select
End Function

' Seconds from earlier to later, both read from Timer (which starts again at midnight).
Private Function SecondsBetween(ByVal earlier As Double, ByVal later As Double) As Double
    SecondsBetween = later - earlier
    If SecondsBetween < 0 Then SecondsBetween = SecondsBetween + SECONDS_PER_DAY
End Function

' An error number as VBA shows it: small ones in decimal, automation errors as 8 hex digits.
Private Function ErrorCode(ByVal errorNumber As Long) As String
    If errorNumber >= 0 And errorNumber < 65536 Then
        ErrorCode = CStr(errorNumber)
    Else
        ErrorCode = "0x" & Right$("0000000" & Hex$(errorNumber), 8)
    End If
End Function

' The process list's query for the spreadsheet hosts of one session.
Private Function HostCountQuery(ByVal session As Long) As String
    HostCountQuery = "SELECT ProcessId FROM Win32_Process WHERE Name = 'EXCEL.EXE' AND SessionId = " & _
        CStr(session)
End Function

#If Win64 Then
' ---- 64-bit hosts: the library's functions through MERIDAN_HELPER ----
' Every call of the helper goes through ReconnectOnce: when the helper's
' process has gone (a crash inside the kit, a user ending it), the object is
' made anew once and the call repeated. The new helper starts with the kit
' not yet initialised, as after Meridan_KitDeInit.

Private Function Lib_IsConnected() As Boolean
    Lib_IsConnected = Not meridanHelper Is Nothing
End Function

' Creates the helper's object. A start that failed is remembered for a few
' seconds, in which further requests fail at once with the same reason: the
' cells of one recalculation do not each wait for a helper that is missing.
Private Sub Lib_Connect(ByVal folder As String)
    Dim reason As String
    If Not meridanHelper Is Nothing Then Exit Sub
    If connectFailed Then
        If SecondsBetween(connectFailedAt, Timer) >= CONNECT_FAILURE_SECONDS Then connectFailed = False
    End If
    If Not connectFailed Then
        Set meridanHelper = CreateHelper(reason)
        If meridanHelper Is Nothing Then
            connectFailed = True
            connectFailedAt = Timer
            connectFailure = reason
        End If
    End If
    If meridanHelper Is Nothing Then
        RequireFile folder, "MERIDAN_HELPER.exe"
        RequireFile folder, "MERIDAN.dll"
        Err.Raise MERIDAN_ERR_MISSING, "Meridan", "MERIDAN_HELPER could not be started (" & connectFailure & _
            "): run install.cmd in " & folder & "."
    End If
End Sub

' The helper's object, or Nothing with the reason. Only a helper that is
' ending or starting is asked a second time, a second later; a class that
' is not registered (error 429) fails at once.
Private Function CreateHelper(ByRef reason As String) As Object
    Dim attempt As Long, errorNumber As Long
    On Error Resume Next
    For attempt = 1 To 2
        Err.Clear
        Set CreateHelper = CreateObject(HELPER_CLASS)
        errorNumber = Err.Number
        If errorNumber = 0 Then Exit Function
        reason = Err.Description & ", error " & ErrorCode(errorNumber)
        If Not HelperIsChanging(errorNumber) Then Exit Function
        If attempt = 1 Then Sleep HELPER_RESTART_WAIT
    Next attempt
End Function

' Called in a helper call's error handler: when the helper has gone and this
' call has not reconnected yet, makes the object anew (the handler then
' repeats the call); otherwise raises the error again.
Private Sub ReconnectOnce(ByRef reconnected As Boolean)
    Dim errorNumber As Long, errorSource As String, errorText As String
    errorNumber = Err.Number
    errorSource = Err.Source
    errorText = Err.Description
    If reconnected Or Not HelperVanished(errorNumber) Then Err.Raise errorNumber, errorSource, errorText
    reconnected = True
    Set meridanHelper = Nothing
    connectFailed = False
    Lib_Connect FolderOf(openFolder)
End Sub

Private Sub Lib_Disconnect()
    Set meridanHelper = Nothing
End Sub

Private Sub Lib_ForgetFailure()
    connectFailed = False
End Sub

Private Function Lib_Setup(ByRef reserved As Integer, ByVal language As Integer, ByVal FileName As String, _
    ByVal parent As Long, ByVal passwort As String) As Integer
    Dim reconnected As Boolean
    On Error GoTo HelperFailed
    Lib_Setup = meridanHelper.Setup(reserved, language, FileName, parent, passwort)
    Exit Function
HelperFailed:
    ReconnectOnce reconnected
    Resume
End Function

Private Function Lib_GetName(ByVal language As Integer, ByVal FileName As String, ByVal devicenr As Integer, _
    ByVal typ As Integer, ByVal outputMode As Integer, ByRef info As String) As Integer
    Dim reconnected As Boolean
    On Error GoTo HelperFailed
    Lib_GetName = meridanHelper.GetName(language, FileName, devicenr, typ, outputMode, info)
    Exit Function
HelperFailed:
    ReconnectOnce reconnected
    Resume
End Function

Private Function Lib_Init(ByRef reserved As Integer, ByVal language As Integer, ByVal FileName As String, _
    ByVal parent As LongPtr, ByVal wh As Long) As Integer
    Dim reconnected As Boolean
    On Error GoTo HelperFailed
    Lib_Init = meridanHelper.Init(reserved, language, FileName, CLng(parent), wh)
    Exit Function
HelperFailed:
    ReconnectOnce reconnected
    Resume
End Function

Private Function Lib_DeInit() As Integer
    Dim reconnected As Boolean
    On Error GoTo HelperFailed
    Lib_DeInit = meridanHelper.DeInit()
    Exit Function
HelperFailed:
    ReconnectOnce reconnected
    Resume
End Function

Private Function Lib_Trigger(ByVal devicenr As Integer, ByVal source As Integer, ByVal typ As Integer) As Integer
    Dim reconnected As Boolean
    On Error GoTo HelperFailed
    Lib_Trigger = meridanHelper.Trigger(devicenr, source, typ)
    Exit Function
HelperFailed:
    ReconnectOnce reconnected
    Resume
End Function

Private Function Lib_Value(ByVal devicenr As Integer, ByVal Address As Integer, ByRef Val1 As Double) As Integer
    Dim reconnected As Boolean
    On Error GoTo HelperFailed
    Lib_Value = meridanHelper.Value(devicenr, Address, Val1)
    Exit Function
HelperFailed:
    ReconnectOnce reconnected
    Resume
End Function

Private Function Lib_Collect(ByVal devicenr As Integer, ByRef Address As Integer, ByRef Val1 As Double) As Integer
    Dim reconnected As Boolean
    On Error GoTo HelperFailed
    Lib_Collect = meridanHelper.Collect(devicenr, Address, Val1)
    Exit Function
HelperFailed:
    ReconnectOnce reconnected
    Resume
End Function

Private Function Lib_Win_MechAdj(ByVal gagenr As Integer, ByVal parent As Long, ByVal password As String) As Integer
    Dim reconnected As Boolean
    On Error GoTo HelperFailed
    Lib_Win_MechAdj = meridanHelper.Win_MechAdj(gagenr, parent, password)
    Exit Function
HelperFailed:
    ReconnectOnce reconnected
    Resume
End Function

Private Sub Lib_PreInit(ByVal InitTimes As Integer, ByVal UseValueEx As Integer, ByVal Reserve1 As Integer, _
    ByVal Reserve2 As Integer, ByVal Reserve3 As Integer, ByVal Reserve4 As Integer, ByVal Reserve5 As Integer)
    Dim reconnected As Boolean
    On Error GoTo HelperFailed
    meridanHelper.PreInit InitTimes, UseValueEx, Reserve1, Reserve2, Reserve3, Reserve4, Reserve5
    Exit Sub
HelperFailed:
    ReconnectOnce reconnected
    Resume
End Sub

Private Function Lib_GetInt(ByVal addr As Long, ByRef variable As Integer) As Integer
    Dim reconnected As Boolean
    On Error GoTo HelperFailed
    Lib_GetInt = meridanHelper.GetInt(addr, variable)
    Exit Function
HelperFailed:
    ReconnectOnce reconnected
    Resume
End Function

' The helper has no host count of its own: the system's process list answers,
' for the hosts of this user's session only, as the library counts them.
Private Function Lib_HostCount(ByVal pumpFirst As Integer) As Integer
    Dim session As Long
    If pumpFirst > 0 Then
        DoEvents
        Sleep 100
    End If
    If ProcessIdToSessionId(GetCurrentProcessId(), session) = 0 Then
        Err.Raise MERIDAN_ERR_MISSING, "Meridan", "The session of this process could not be read."
    End If
    Lib_HostCount = GetObject("winmgmts:").ExecQuery(HostCountQuery(session)).Count
End Function

Private Function Lib_DisplayInit(ByVal parent As LongPtr, ByVal Headline As String, ByRef MVFlags() As Integer, _
    ByRef MVDevices() As Integer, ByRef MVAddress() As Integer, ByVal MVUnit As String, _
    ByRef MVNomSize() As Double, ByRef MVUSL() As Double, ByRef MVLSL() As Double, _
    ByRef MVResolu() As Integer) As Integer
    Dim reconnected As Boolean
    On Error GoTo HelperFailed
    Lib_DisplayInit = meridanHelper.Vexo_Init(CLng(parent), Headline, MVFlags, MVDevices, MVAddress, MVUnit, _
        MVNomSize, MVUSL, MVLSL, MVResolu)
    Exit Function
HelperFailed:
    ReconnectOnce reconnected
    Resume
End Function

Private Sub Lib_DisplayDeInit()
    Dim reconnected As Boolean
    On Error GoTo HelperFailed
    meridanHelper.Vexo_DeInit
    Exit Sub
HelperFailed:
    ReconnectOnce reconnected
    Resume
End Sub

Private Sub Lib_DisplayShowValues(ByRef MV() As Double, ByRef MVError() As Integer)
    Dim reconnected As Boolean
    On Error GoTo HelperFailed
    meridanHelper.Vexo_ShowValues MV, MVError
    Exit Sub
HelperFailed:
    ReconnectOnce reconnected
    Resume
End Sub

Private Sub Lib_DisplayShowDisplay(ByVal state As Integer)
    Dim reconnected As Boolean
    On Error GoTo HelperFailed
    meridanHelper.Vexo_ShowDisplay state
    Exit Sub
HelperFailed:
    ReconnectOnce reconnected
    Resume
End Sub

Private Function Lib_SPCBitmap(ByVal parent As LongPtr, ByVal FileName As String, ByVal pageWidth As Long, _
    ByVal pageHeight As Long, ByVal factor As Double, ByVal Headline As String, ByVal typ As Integer, _
    ByRef meaval() As Double, ByVal numofval As Long, ByVal NomSize As Double, ByVal USL As Double, _
    ByVal LSL As Double, ByVal USLOnOff As Integer, ByVal LSLOnOff As Integer, ByVal SampleSize As Long, _
    ByVal SPCNorm As Integer) As Integer
    Dim reconnected As Boolean
    On Error GoTo HelperFailed
    Lib_SPCBitmap = meridanHelper.SPCBitmap(CLng(parent), FileName, pageWidth, pageHeight, factor, Headline, typ, meaval, _
        numofval, NomSize, USL, LSL, USLOnOff, LSLOnOff, SampleSize, SPCNorm)
    Exit Function
HelperFailed:
    ReconnectOnce reconnected
    Resume
End Function

Private Function Lib_SPCStatistics(ByVal typ As Integer, ByRef meaval() As Double, ByVal numofval As Long, _
    ByVal NomSize As Double, ByVal USL As Double, ByVal LSL As Double, ByVal USLOnOff As Integer, _
    ByVal LSLOnOff As Integer, ByVal SampleSize As Long, ByVal SPCNorm As Integer, _
    ByRef results() As Double) As Integer
    Dim reconnected As Boolean
    On Error GoTo HelperFailed
    Lib_SPCStatistics = meridanHelper.SPCStatistics(typ, meaval, numofval, NomSize, USL, LSL, USLOnOff, LSLOnOff, _
        SampleSize, SPCNorm, results)
    Exit Function
HelperFailed:
    ReconnectOnce reconnected
    Resume
End Function

Private Function Lib_SPCBitmapEx(ByVal parent As LongPtr, ByVal FileName As String, ByVal pageWidth As Long, _
    ByVal pageHeight As Long, ByVal factor As Double, ByVal Headline As String, ByVal typ As Integer, _
    ByRef meaval() As Double, ByVal numofval As Long, ByVal NomSize As Double, ByVal USL As Double, _
    ByVal LSL As Double, ByVal USLOnOff As Integer, ByVal LSLOnOff As Integer, ByVal SampleSize As Long, _
    ByVal SPCNorm As Integer, ByRef options() As Double, ByVal optionCount As Long) As Integer
    Dim reconnected As Boolean
    On Error GoTo HelperFailed
    Lib_SPCBitmapEx = meridanHelper.SPCBitmapEx(CLng(parent), FileName, pageWidth, pageHeight, factor, Headline, _
        typ, meaval, numofval, NomSize, USL, LSL, USLOnOff, LSLOnOff, SampleSize, SPCNorm, options, optionCount)
    Exit Function
HelperFailed:
    ReconnectOnce reconnected
    Resume
End Function

' A Long: the number of figures written can pass 32767.
Private Function Lib_SPCStatisticsEx(ByVal typ As Integer, ByRef meaval() As Double, ByVal numofval As Long, _
    ByVal NomSize As Double, ByVal USL As Double, ByVal LSL As Double, ByVal USLOnOff As Integer, _
    ByVal LSLOnOff As Integer, ByVal SampleSize As Long, ByVal SPCNorm As Integer, ByRef options() As Double, _
    ByVal optionCount As Long, ByRef results() As Double, ByVal capacity As Long) As Long
    Dim reconnected As Boolean
    On Error GoTo HelperFailed
    Lib_SPCStatisticsEx = meridanHelper.SPCStatisticsEx(typ, meaval, numofval, NomSize, USL, LSL, USLOnOff, _
        LSLOnOff, SampleSize, SPCNorm, options, optionCount, results, capacity)
    Exit Function
HelperFailed:
    ReconnectOnce reconnected
    Resume
End Function
' The whole Long: the number of figures written can pass 32767.
Private Function Lib_GaugeStudyStatistics(ByVal kind As Integer, ByRef readings() As Double, ByVal parts As Long, _
    ByVal appraisers As Long, ByVal trials As Long, ByVal reference As Double, ByVal tolerance As Double, _
    ByRef options() As Double, ByVal optionCount As Long, ByRef results() As Double, ByVal capacity As Long) As Long
    Dim reconnected As Boolean
    On Error GoTo HelperFailed
    Lib_GaugeStudyStatistics = meridanHelper.GaugeStudyStatistics(kind, readings, parts, appraisers, trials, _
        reference, tolerance, options, optionCount, results, capacity)
    Exit Function
HelperFailed:
    ReconnectOnce reconnected
    Resume
End Function

Private Function Lib_GaugeStudyBitmap(ByVal parent As LongPtr, ByVal FileName As String, ByVal pageWidth As Long, _
    ByVal pageHeight As Long, ByVal factor As Double, ByVal Headline As String, ByVal kind As Integer, _
    ByRef readings() As Double, ByVal parts As Long, ByVal appraisers As Long, ByVal trials As Long, _
    ByVal reference As Double, ByVal tolerance As Double, ByRef options() As Double, ByVal optionCount As Long) _
    As Integer
    Dim reconnected As Boolean
    On Error GoTo HelperFailed
    Lib_GaugeStudyBitmap = meridanHelper.GaugeStudyBitmap(CLng(parent), FileName, pageWidth, pageHeight, factor, _
        Headline, kind, readings, parts, appraisers, trials, reference, tolerance, options, optionCount)
    Exit Function
HelperFailed:
    ReconnectOnce reconnected
    Resume
End Function

' The whole Long: the number of figures written can pass 32767.
Private Function Lib_ChartStatistics(ByVal chart As Integer, ByRef values() As Double, ByRef sizes() As Double, _
    ByVal count As Long, ByVal SampleSize As Long, ByVal SPCNorm As Integer, ByRef options() As Double, _
    ByVal optionCount As Long, ByRef results() As Double, ByVal capacity As Long) As Long
    Dim reconnected As Boolean
    On Error GoTo HelperFailed
    Lib_ChartStatistics = meridanHelper.ChartStatistics(chart, values, sizes, count, SampleSize, SPCNorm, options, _
        optionCount, results, capacity)
    Exit Function
HelperFailed:
    ReconnectOnce reconnected
    Resume
End Function

Private Function Lib_ChartBitmap(ByVal parent As LongPtr, ByVal FileName As String, ByVal pageWidth As Long, _
    ByVal pageHeight As Long, ByVal factor As Double, ByVal Headline As String, ByVal chart As Integer, _
    ByRef values() As Double, ByRef sizes() As Double, ByVal count As Long, ByVal SampleSize As Long, _
    ByVal SPCNorm As Integer, ByRef options() As Double, ByVal optionCount As Long) As Integer
    Dim reconnected As Boolean
    On Error GoTo HelperFailed
    Lib_ChartBitmap = meridanHelper.ChartBitmap(CLng(parent), FileName, pageWidth, pageHeight, factor, Headline, _
        chart, values, sizes, count, SampleSize, SPCNorm, options, optionCount)
    Exit Function
HelperFailed:
    ReconnectOnce reconnected
    Resume
End Function

' The whole Long: the number of figures written can pass 32767.
Private Function Lib_CapabilityStatistics(ByRef values() As Double, ByVal count As Long, ByVal SampleSize As Long, _
    ByVal SPCNorm As Integer, ByVal NomSize As Double, ByVal USL As Double, ByVal LSL As Double, _
    ByVal USLOnOff As Integer, ByVal LSLOnOff As Integer, ByRef options() As Double, ByVal optionCount As Long, _
    ByRef results() As Double, ByVal capacity As Long) As Long
    Dim reconnected As Boolean
    On Error GoTo HelperFailed
    Lib_CapabilityStatistics = meridanHelper.CapabilityStatistics(values, count, SampleSize, SPCNorm, NomSize, USL, LSL, _
        USLOnOff, LSLOnOff, options, optionCount, results, capacity)
    Exit Function
HelperFailed:
    ReconnectOnce reconnected
    Resume
End Function

Private Function Lib_CapabilityBitmap(ByVal parent As LongPtr, ByVal FileName As String, ByVal pageWidth As Long, _
    ByVal pageHeight As Long, ByVal factor As Double, ByVal Headline As String, ByRef values() As Double, _
    ByVal count As Long, ByVal SampleSize As Long, ByVal SPCNorm As Integer, ByVal NomSize As Double, _
    ByVal USL As Double, ByVal LSL As Double, ByVal USLOnOff As Integer, ByVal LSLOnOff As Integer, _
    ByRef options() As Double, ByVal optionCount As Long) As Integer
    Dim reconnected As Boolean
    On Error GoTo HelperFailed
    Lib_CapabilityBitmap = meridanHelper.CapabilityBitmap(CLng(parent), FileName, pageWidth, pageHeight, factor, _
        Headline, values, count, SampleSize, SPCNorm, NomSize, USL, LSL, USLOnOff, LSLOnOff, options, optionCount)
    Exit Function
HelperFailed:
    ReconnectOnce reconnected
    Resume
End Function

#Else
' ---- 32-bit hosts: the library's exports called directly ----

Private Function Lib_IsConnected() As Boolean
    Lib_IsConnected = libraryHandle <> 0
End Function

' Loads the library by its full path, so that the kit beside it is found too
' (by its bare name the system would look beside the host's program). The
' exports declared above then bind to this copy; the current folder is left
' as it was.
Private Sub Lib_Connect(ByVal folder As String)
    Dim systemError As Long
    If libraryHandle <> 0 Then Exit Sub
    RequireFile folder, "MERIDAN.dll"
    RequireFile folder, "tessan_ddk.dll"
    RequireFile folder, "TESSAN_SPC.TAB"
    libraryHandle = LoadLibraryExW(StrPtr(folder & "MERIDAN.dll"), 0, LOAD_WITH_ALTERED_SEARCH_PATH)
    systemError = Err.LastDllError
    If libraryHandle = 0 Then
        Err.Raise MERIDAN_ERR_MISSING, "Meridan", folder & "MERIDAN.dll could not be loaded (system error " & _
            systemError & "; a 32-bit kit and library are needed in a 32-bit host)."
    End If
End Sub

' The library stays loaded: the host's declared functions keep its addresses.
Private Sub Lib_Disconnect()
End Sub

' A failed load is not remembered: it fails at once, without waiting.
Private Sub Lib_ForgetFailure()
End Sub

Private Function Lib_Setup(ByRef reserved As Integer, ByVal language As Integer, ByVal FileName As String, _
    ByVal parent As Long, ByVal passwort As String) As Integer
    Lib_Setup = LowInteger(MERIDAN_Setup(reserved, language, FileName, parent, passwort))
End Function

Private Function Lib_GetName(ByVal language As Integer, ByVal FileName As String, ByVal devicenr As Integer, _
    ByVal typ As Integer, ByVal outputMode As Integer, ByRef info As String) As Integer
    Lib_GetName = LowInteger(MERIDAN_GetName(language, FileName, devicenr, typ, outputMode, info))
End Function

Private Function Lib_Init(ByRef reserved As Integer, ByVal language As Integer, ByVal FileName As String, _
    ByVal parent As LongPtr, ByVal wh As Long) As Integer
    Lib_Init = LowInteger(MERIDAN_Init(reserved, language, FileName, parent, wh))
End Function

Private Function Lib_DeInit() As Integer
    Lib_DeInit = LowInteger(MERIDAN_DeInit())
End Function

Private Function Lib_Trigger(ByVal devicenr As Integer, ByVal source As Integer, ByVal typ As Integer) As Integer
    Lib_Trigger = LowInteger(MERIDAN_Trigger(devicenr, source, typ))
End Function

Private Function Lib_Value(ByVal devicenr As Integer, ByVal Address As Integer, ByRef Val1 As Double) As Integer
    Lib_Value = LowInteger(MERIDAN_Value(devicenr, Address, Val1))
End Function

Private Function Lib_Collect(ByVal devicenr As Integer, ByRef Address As Integer, ByRef Val1 As Double) As Integer
    Lib_Collect = LowInteger(MERIDAN_Collect(devicenr, Address, Val1))
End Function

Private Function Lib_Win_MechAdj(ByVal gagenr As Integer, ByVal parent As Long, ByVal password As String) As Integer
    Lib_Win_MechAdj = LowInteger(MERIDAN_Win_MechAdj(gagenr, parent, password))
End Function

Private Sub Lib_PreInit(ByVal InitTimes As Integer, ByVal UseValueEx As Integer, ByVal Reserve1 As Integer, _
    ByVal Reserve2 As Integer, ByVal Reserve3 As Integer, ByVal Reserve4 As Integer, ByVal Reserve5 As Integer)
    MERIDAN_PreInit InitTimes, UseValueEx, Reserve1, Reserve2, Reserve3, Reserve4, Reserve5
End Sub

Private Function Lib_GetInt(ByVal addr As Long, ByRef variable As Integer) As Integer
    Lib_GetInt = LowInteger(MERIDAN_GetInt(addr, variable))
End Function

Private Function Lib_HostCount(ByVal pumpFirst As Integer) As Integer
    Lib_HostCount = LowInteger(MERIDAN_IsExcelStarted(pumpFirst))
End Function

Private Function Lib_DisplayInit(ByVal parent As LongPtr, ByVal Headline As String, ByRef MVFlags() As Integer, _
    ByRef MVDevices() As Integer, ByRef MVAddress() As Integer, ByVal MVUnit As String, _
    ByRef MVNomSize() As Double, ByRef MVUSL() As Double, ByRef MVLSL() As Double, _
    ByRef MVResolu() As Integer) As Integer
    Lib_DisplayInit = LowInteger(Display_Init(parent, Headline, MVFlags(0), MVDevices(0), MVAddress(0), MVUnit, _
        MVNomSize(0), MVUSL(0), MVLSL(0), MVResolu(0)))
End Function

Private Sub Lib_DisplayDeInit()
    Display_DeInit
End Sub

Private Sub Lib_DisplayShowValues(ByRef MV() As Double, ByRef MVError() As Integer)
    Display_ShowValues MV(0), MVError(0)
End Sub

Private Sub Lib_DisplayShowDisplay(ByVal state As Integer)
    Display_ShowDisplay state
End Sub

Private Function Lib_SPCBitmap(ByVal parent As LongPtr, ByVal FileName As String, ByVal pageWidth As Long, _
    ByVal pageHeight As Long, ByVal factor As Double, ByVal Headline As String, ByVal typ As Integer, _
    ByRef meaval() As Double, ByVal numofval As Long, ByVal NomSize As Double, ByVal USL As Double, _
    ByVal LSL As Double, ByVal USLOnOff As Integer, ByVal LSLOnOff As Integer, ByVal SampleSize As Long, _
    ByVal SPCNorm As Integer) As Integer
    Lib_SPCBitmap = LowInteger(Create_SPCBitmap(parent, FileName, pageWidth, pageHeight, factor, Headline, typ, meaval(0), _
        numofval, NomSize, USL, LSL, USLOnOff, LSLOnOff, SampleSize, SPCNorm))
End Function

Private Function Lib_SPCStatistics(ByVal typ As Integer, ByRef meaval() As Double, ByVal numofval As Long, _
    ByVal NomSize As Double, ByVal USL As Double, ByVal LSL As Double, ByVal USLOnOff As Integer, _
    ByVal LSLOnOff As Integer, ByVal SampleSize As Long, ByVal SPCNorm As Integer, _
    ByRef results() As Double) As Integer
    Lib_SPCStatistics = LowInteger(Create_SPCStatistics(typ, meaval(0), numofval, NomSize, USL, LSL, USLOnOff, _
        LSLOnOff, SampleSize, SPCNorm, results(0)))
End Function

Private Function Lib_SPCBitmapEx(ByVal parent As LongPtr, ByVal FileName As String, ByVal pageWidth As Long, _
    ByVal pageHeight As Long, ByVal factor As Double, ByVal Headline As String, ByVal typ As Integer, _
    ByRef meaval() As Double, ByVal numofval As Long, ByVal NomSize As Double, ByVal USL As Double, _
    ByVal LSL As Double, ByVal USLOnOff As Integer, ByVal LSLOnOff As Integer, ByVal SampleSize As Long, _
    ByVal SPCNorm As Integer, ByRef options() As Double, ByVal optionCount As Long) As Integer
    Lib_SPCBitmapEx = LowInteger(Create_SPCBitmapEx(parent, FileName, pageWidth, pageHeight, factor, Headline, typ, _
        meaval(0), numofval, NomSize, USL, LSL, USLOnOff, LSLOnOff, SampleSize, SPCNorm, options(0), optionCount))
End Function

' The whole Long: the number of figures written can pass 32767.
Private Function Lib_SPCStatisticsEx(ByVal typ As Integer, ByRef meaval() As Double, ByVal numofval As Long, _
    ByVal NomSize As Double, ByVal USL As Double, ByVal LSL As Double, ByVal USLOnOff As Integer, _
    ByVal LSLOnOff As Integer, ByVal SampleSize As Long, ByVal SPCNorm As Integer, ByRef options() As Double, _
    ByVal optionCount As Long, ByRef results() As Double, ByVal capacity As Long) As Long
    Lib_SPCStatisticsEx = Create_SPCStatisticsEx(typ, meaval(0), numofval, NomSize, USL, LSL, USLOnOff, LSLOnOff, _
        SampleSize, SPCNorm, options(0), optionCount, results(0), capacity)
End Function

' The whole Long: the number of figures written can pass 32767.
Private Function Lib_GaugeStudyStatistics(ByVal kind As Integer, ByRef readings() As Double, ByVal parts As Long, _
    ByVal appraisers As Long, ByVal trials As Long, ByVal reference As Double, ByVal tolerance As Double, _
    ByRef options() As Double, ByVal optionCount As Long, ByRef results() As Double, ByVal capacity As Long) As Long
    Lib_GaugeStudyStatistics = Create_GaugeStudyStatistics(kind, readings(0), parts, appraisers, trials, reference, _
        tolerance, options(0), optionCount, results(0), capacity)
End Function

Private Function Lib_GaugeStudyBitmap(ByVal parent As LongPtr, ByVal FileName As String, ByVal pageWidth As Long, _
    ByVal pageHeight As Long, ByVal factor As Double, ByVal Headline As String, ByVal kind As Integer, _
    ByRef readings() As Double, ByVal parts As Long, ByVal appraisers As Long, ByVal trials As Long, _
    ByVal reference As Double, ByVal tolerance As Double, ByRef options() As Double, ByVal optionCount As Long) _
    As Integer
    Lib_GaugeStudyBitmap = LowInteger(Create_GaugeStudyBitmap(parent, FileName, pageWidth, pageHeight, factor, _
        Headline, kind, readings(0), parts, appraisers, trials, reference, tolerance, options(0), optionCount))
End Function

' The whole Long: the number of figures written can pass 32767.
Private Function Lib_ChartStatistics(ByVal chart As Integer, ByRef values() As Double, ByRef sizes() As Double, _
    ByVal count As Long, ByVal SampleSize As Long, ByVal SPCNorm As Integer, ByRef options() As Double, _
    ByVal optionCount As Long, ByRef results() As Double, ByVal capacity As Long) As Long
    Lib_ChartStatistics = Create_ChartStatistics(chart, values(0), sizes(0), count, SampleSize, SPCNorm, options(0), _
        optionCount, results(0), capacity)
End Function

Private Function Lib_ChartBitmap(ByVal parent As LongPtr, ByVal FileName As String, ByVal pageWidth As Long, _
    ByVal pageHeight As Long, ByVal factor As Double, ByVal Headline As String, ByVal chart As Integer, _
    ByRef values() As Double, ByRef sizes() As Double, ByVal count As Long, ByVal SampleSize As Long, _
    ByVal SPCNorm As Integer, ByRef options() As Double, ByVal optionCount As Long) As Integer
    Lib_ChartBitmap = LowInteger(Create_ChartBitmap(parent, FileName, pageWidth, pageHeight, factor, Headline, chart, _
        values(0), sizes(0), count, SampleSize, SPCNorm, options(0), optionCount))
End Function

' The whole Long: the number of figures written can pass 32767.
Private Function Lib_CapabilityStatistics(ByRef values() As Double, ByVal count As Long, ByVal SampleSize As Long, _
    ByVal SPCNorm As Integer, ByVal NomSize As Double, ByVal USL As Double, ByVal LSL As Double, _
    ByVal USLOnOff As Integer, ByVal LSLOnOff As Integer, ByRef options() As Double, ByVal optionCount As Long, _
    ByRef results() As Double, ByVal capacity As Long) As Long
    Lib_CapabilityStatistics = Create_CapabilityStatistics(values(0), count, SampleSize, SPCNorm, NomSize, USL, LSL, _
        USLOnOff, LSLOnOff, options(0), optionCount, results(0), capacity)
End Function

Private Function Lib_CapabilityBitmap(ByVal parent As LongPtr, ByVal FileName As String, ByVal pageWidth As Long, _
    ByVal pageHeight As Long, ByVal factor As Double, ByVal Headline As String, ByRef values() As Double, _
    ByVal count As Long, ByVal SampleSize As Long, ByVal SPCNorm As Integer, ByVal NomSize As Double, _
    ByVal USL As Double, ByVal LSL As Double, ByVal USLOnOff As Integer, ByVal LSLOnOff As Integer, _
    ByRef options() As Double, ByVal optionCount As Long) As Integer
    Lib_CapabilityBitmap = LowInteger(Create_CapabilityBitmap(parent, FileName, pageWidth, pageHeight, factor, _
        Headline, values(0), count, SampleSize, SPCNorm, NomSize, USL, LSL, USLOnOff, LSLOnOff, options(0), _
        optionCount))
End Function
#End If
