' Stands in for a worksheet range of the spreadsheet host, which LibreOffice
' does not have outside a document: its address as the host writes it, and
' its contents as .Value2 (plain numbers) and as .Value (what the host makes
' of cells formatted as currency or dates: a Currency rounded to 4 decimals,
' a Date).
Option VBASupport 1
Option ClassModule
Option Explicit

Public AddressText As String
Public Contents As Variant
Public Formatted As Variant

Public Function Address(Optional ByVal rowAbsolute As Variant, Optional ByVal columnAbsolute As Variant) As String
    Address = AddressText
End Function

Public Property Get Value2() As Variant
    Value2 = Contents
End Property

Public Property Get Value() As Variant
    Value = Formatted
End Property
