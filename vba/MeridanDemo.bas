Attribute VB_Name = "MeridanDemo"
' MERIDAN demo for a spreadsheet workbook. Import Meridan.bas and this module,
' save the workbook in the folder MERIDAN is installed in, and run MeridanDemo
' (Alt+F8). It reads 125 values of a gauge into column A of a new sheet, shows
' six channels live in the readout window for a few seconds, writes the SPC
' page beside the workbook and puts it into the sheet as a picture, with the
' 48 figures and their names beside the values.
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
Private Const PAGE_NAME As String = "MeridanDemo_SPC.bmp"

Public Sub MeridanDemo()
    Dim sheet As Object, values As Object, status As Integer, reading As Double, row As Long
    Dim pagePath As String, title As String
    On Error GoTo Failed
    Meridan_Open ThisWorkbook.Path
    status = Meridan_KitInit()
    If status <> 0 Then
        MsgBox "The gauge kit did not start: status " & status & ".", vbExclamation, "MERIDAN demo"
        Exit Sub
    End If

    Set sheet = ThisWorkbook.Worksheets.Add
    title = Meridan_DeviceName(GAUGE_DEVICE) & ", address " & GAUGE_ADDRESS
    sheet.Range("A1").Value = title
    For row = 1 To VALUE_COUNT
        status = Meridan_ReadValue(GAUGE_DEVICE, GAUGE_ADDRESS, reading)
        If status <> 0 Then
            sheet.Cells(row + 1, 1).Value = "status " & status   ' left out of the statistics
        Else
            sheet.Cells(row + 1, 1).Value = reading
        End If
    Next row
    Set values = sheet.Range("A2").Resize(VALUE_COUNT, 1)

    ShowLive

    pagePath = Meridan_SPCPage(ThisWorkbook.Path & "\" & PAGE_NAME, values, title, CHART_KIND, SUBGROUP_SIZE, _
        SIGMA_FROM_RANGES, NOMINAL_SIZE, UPPER_LIMIT, LOWER_LIMIT)
    sheet.Range("C1:D48").Value = Meridan_SPCFigures(values, CHART_KIND, SUBGROUP_SIZE, SIGMA_FROM_RANGES, _
        NOMINAL_SIZE, UPPER_LIMIT, LOWER_LIMIT)
    ' The same figure as a worksheet function, recalculated when the values change.
    sheet.Range("C50").Value = "Cpk (formula)"
    sheet.Range("D50").Formula = "=MERIDAN_SPC(A2:A" & VALUE_COUNT + 1 & ",""Cpk""," & CHART_KIND & "," & _
        SUBGROUP_SIZE & "," & SIGMA_FROM_RANGES & "," & NOMINAL_SIZE & "," & UPPER_LIMIT & "," & LOWER_LIMIT & ")"
    sheet.Columns("C:D").AutoFit
    ' Linked no, saved with the workbook yes, at its own size (-1).
    sheet.Shapes.AddPicture pagePath, False, True, sheet.Range("F1").Left, sheet.Range("F1").Top, -1, -1

    Meridan_KitDeInit
    Exit Sub
Failed:
    MsgBox Err.Description, vbExclamation, "MERIDAN demo"
    On Error Resume Next
    Meridan_ReadoutClose
    Meridan_KitDeInit
End Sub

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

' Reads every channel about ten times a second and shows the readings.
Private Sub ShowLive()
    Dim channels() As MeridanChannel, readings() As Double, failed() As Integer
    Dim channel As Long, started As Single, lastUpdate As Single, reading As Double
    channels = ReadoutChannels()
    ReDim readings(LBound(channels) To UBound(channels))
    ReDim failed(LBound(channels) To UBound(channels))
    Meridan_ReadoutOpen "MERIDAN demo", channels
    started = Timer
    lastUpdate = -1
    Do While Timer - started < LIVE_SECONDS And Timer >= started
        If Timer - lastUpdate >= 0.1 Then
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
    Loop
    Meridan_ReadoutClose
End Sub
