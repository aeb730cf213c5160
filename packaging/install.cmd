@echo off
rem Registers MERIDAN_HELPER.exe of this folder, through which 64-bit
rem spreadsheet hosts and script hosts reach MERIDAN.dll. Run it once after
rem unpacking, and again after moving the folder. 32-bit hosts load
rem MERIDAN.dll directly and need no registration.
setlocal
set here=%~dp0
if not exist "%here%MERIDAN.dll" goto missing_library
if not exist "%here%TESSAN_SPC.TAB" goto missing_table
if not exist "%here%tessan_ddk.dll" goto missing_kit
"%here%MERIDAN_HELPER.exe" /RegServer
set result=%errorlevel%
if "%result%"=="5" goto no_rights
if "%result%"=="1" goto failed
if not "%result%"=="0" goto not_started
echo MERIDAN_HELPER registered from %here%
echo Macros can now use MERIDAN (import vba\Meridan.bas); check with: cscript examples\read_values.vbs
exit /b 0

:missing_library
echo MERIDAN.dll is not in %here%: unpack the whole package into one folder.
exit /b 1
:missing_table
echo TESSAN_SPC.TAB is not in %here%: unpack the whole package into one folder.
exit /b 1
:missing_kit
echo The gauge maker's kit tessan_ddk.dll is not in %here%.
echo Copy it beside MERIDAN.dll, or copy standin-kit\tessan_ddk.dll there to try MERIDAN with simulated gauges.
exit /b 1
:no_rights
echo Registering MERIDAN_HELPER was refused: rights to register a server are needed; run install.cmd as administrator.
exit /b 1
:failed
echo Registering MERIDAN_HELPER failed; the line above says why.
exit /b 1
:not_started
echo MERIDAN_HELPER.exe could not be started (exit code %result%): registering it did not even begin.
echo The 32-bit package needs a Windows that runs 32-bit programs; check that the file is whole and not blocked.
exit /b 1
