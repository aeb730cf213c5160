@echo off
rem Removes the registration of MERIDAN_HELPER.exe (classes, type library,
rem interfaces). The files stay; delete the folder afterwards if you like.
setlocal
set here=%~dp0
"%here%MERIDAN_HELPER.exe" /UnregServer
if errorlevel 1 goto failed
echo MERIDAN_HELPER unregistered; nothing of MERIDAN is left in the registry.
exit /b 0
:failed
echo Removing the registration failed (run as administrator).
exit /b 1
