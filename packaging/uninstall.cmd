@echo off
rem Removes SwfSaver @PROJECT_VERSION@ for the current user: exactly what install.cmd recorded
rem under HKCU\Software\Ostrevanlab\SwfSaver\Install, and nothing else.
rem
rem   uninstall.cmd [/purge] [/quiet]
rem
rem   /purge  also delete the settings (the movie list) in HKCU\Software\Ostrevanlab\SwfSaver
rem   /quiet  do not wait for a key at the end
rem
rem The Flash control's registration goes only if it is still SwfSaver's, and the screen-saver
rem choice is put back only if SwfSaver is still the chosen one.
rem Exit codes: 0 removed (or nothing was installed); 1 unknown option; 2 the files could not
rem be deleted; 3 the Flash control's registration could not be removed; 4 the screen-saver
rem choice or the registry keys could not be changed. After a failure, fix the cause and run
rem it again: the record keeps what is still to be undone.
rem
rem Steps test "if errorlevel 1" rather than chaining with && and ||: Wine's cmd runs the
rem command after either of them whatever the outcome.
setlocal

set "PURGE="
set "QUIET="
:next_option
if "%~1"=="" goto options_done
if /i "%~1"=="/purge" (set "PURGE=1") else if /i "%~1"=="/quiet" (set "QUIET=1") else goto usage
shift
goto next_option
:usage
echo Usage: uninstall.cmd [/purge] [/quiet]
if "%~1"=="/?" exit /b 0
echo uninstall.cmd: unknown option %1 1>&2
exit /b 1
:options_done
rem A window opened by a double click closes when the script ends: the last lines, an error
rem above all, stay readable until a key is pressed.
call :uninstall
set "RESULT=%ERRORLEVEL%"
if not defined QUIET pause
exit /b %RESULT%

:uninstall

set "KEY=HKCU\Software\Ostrevanlab\SwfSaver"
set "STATE=HKCU\Software\Ostrevanlab\SwfSaver\Install"
set "CLASS=Software\Classes\CLSID\{D27CDB6E-AE6D-11CF-96B8-444553540000}"
set "DESKTOP=HKCU\Control Panel\Desktop"

reg query "%STATE%" >nul 2>&1
if not errorlevel 1 goto installed
echo No SwfSaver installation is recorded for this user; there is nothing to undo.
goto settings
:installed
call :read "%STATE%" Folder FOLDER
call :read "%STATE%" Control CONTROL
call :read "%STATE%" Saver SAVER
call :read "%STATE%" ProgramsCreated PROGRAMS_CREATED

rem --- the Flash control ----------------------------------------------------------------
if not defined CONTROL goto saver
set "DLL=%FOLDER%\FlashStandin.dll"
set "ROOT=HKLM"
set "REGSVR_OPTIONS="
set "SCOPE=machine-wide"
if "%CONTROL%"=="user" (set "ROOT=HKCU" & set "REGSVR_OPTIONS=/n /i:user" & set "SCOPE=for this user")
call :read %ROOT%\%CLASS% SwfSaverStandin MARK
if /i not "%MARK%"=="%DLL%" (
  echo The Flash control registered now is not the one SwfSaver installed; it is left in place.
  goto control_done
)
if not exist "%DLL%" (
  echo uninstall.cmd: "%DLL%" is missing, so its registration cannot be removed. 1>&2
  echo Run install.cmd /quiet again, then uninstall.cmd. 1>&2
  exit /b 3
)
regsvr32 /s /u %REGSVR_OPTIONS% "%DLL%"
call :read %ROOT%\%CLASS% SwfSaverStandin MARK
if /i "%MARK%"=="%DLL%" (
  echo uninstall.cmd: regsvr32 could not remove the registration of "%DLL%". 1>&2
  exit /b 3
)
echo Removed the stand-in Flash control's registration %SCOPE%.
:control_done
reg delete "%STATE%" /v Control /f >nul 2>&1

rem --- the screen-saver choice ----------------------------------------------------------
:saver
if not defined SAVER goto files
call :read "%DESKTOP%" SCRNSAVE.EXE CURRENT_SAVER
if /i "%CURRENT_SAVER%"=="%SAVER%" goto saver_restore
echo Your screen saver is no longer SwfSaver; that choice is left as it is.
goto saver_done
:saver_restore
call :read "%STATE%" PreviousSaver PREVIOUS_SAVER
call :read "%STATE%" PreviousActive PREVIOUS_ACTIVE
call :restore SCRNSAVE.EXE "%PREVIOUS_SAVER%"
if errorlevel 1 goto saver_failed
call :restore ScreenSaveActive "%PREVIOUS_ACTIVE%"
if errorlevel 1 goto saver_failed
if defined PREVIOUS_SAVER (echo Put back your previous screen saver, "%PREVIOUS_SAVER%".) else echo Your screen saver is now none.
:saver_done
reg delete "%STATE%" /v Saver /f >nul 2>&1

rem --- the files ------------------------------------------------------------------------
:files
if not defined FOLDER goto record_done
call :delete_file "%FOLDER%\SwfSaver.scr"
if errorlevel 1 exit /b 2
call :delete_file "%FOLDER%\FlashStandin.dll"
if errorlevel 1 exit /b 2
call :is_folder "%FOLDER%"
if errorlevel 1 goto folder_done
rem rmdir leaves a folder alone that holds anything else.
rmdir "%FOLDER%" 2>nul
call :is_folder "%FOLDER%"
if errorlevel 1 (echo Deleted "%FOLDER%".) else echo Left "%FOLDER%" in place: it holds files that are not SwfSaver's.
:folder_done
if defined PROGRAMS_CREATED rmdir "%LOCALAPPDATA%\Programs" 2>nul

:record_done
reg delete "%STATE%" /f >nul 2>&1
reg query "%STATE%" >nul 2>&1
if errorlevel 1 goto settings
echo uninstall.cmd: cannot delete the install record %STATE%. 1>&2
exit /b 4

rem --- the settings ---------------------------------------------------------------------
:settings
if not defined PURGE goto keep_settings
reg query "%KEY%" >nul 2>&1
if errorlevel 1 goto settings_done
reg delete "%KEY%" /f >nul 2>&1
reg query "%KEY%" >nul 2>&1
if errorlevel 1 (echo Deleted your SwfSaver settings.) else goto purge_failed
goto settings_done
:keep_settings
rem Running the saver creates its key even without settings; an empty one is not worth keeping.
call :delete_if_empty Software\Ostrevanlab\SwfSaver
reg query "%KEY%\OPTION" >nul 2>&1
if not errorlevel 1 echo Kept your movie list in %KEY%; uninstall.cmd /purge deletes it.
:settings_done
call :delete_if_empty Software\Ostrevanlab
echo SwfSaver is removed.
exit /b 0

:saver_failed
echo uninstall.cmd: cannot put back the screen-saver choice (HKCU\Control Panel\Desktop). 1>&2
exit /b 4
:purge_failed
echo uninstall.cmd: cannot delete the settings in %KEY%. 1>&2
exit /b 4

rem :read <key> <value name> <variable>: the value's text, or an empty variable when absent.
rem The values read have names without spaces, so the third column is the whole text.
:read
set "%~3="
for /f "tokens=1,2,*" %%a in ('reg query "%~1" /v %2 /reg:64 2^>nul') do (
  if "%%b"=="REG_SZ" set "%~3=%%c"
  if "%%b"=="REG_EXPAND_SZ" set "%~3=%%c"
)
exit /b 0

rem :restore <value name> <text>: sets the desktop value back, or deletes it when it had none.
:restore
if not "%~2"=="" goto restore_text
reg query "%DESKTOP%" /v %1 >nul 2>&1
if errorlevel 1 exit /b 0
reg delete "%DESKTOP%" /v %1 /f >nul 2>&1
exit /b
:restore_text
reg add "%DESKTOP%" /v %1 /t REG_SZ /d "%~2" /f >nul 2>&1
exit /b

rem :is_folder <path>: errorlevel 0 for a folder. Wine's "if exist <path>\" holds for files too.
:is_folder
for %%I in ("%~1") do set "ATTRIBUTES=%%~aI"
if "%ATTRIBUTES:~0,1%"=="d" exit /b 0
exit /b 1

rem :delete_file <path>
:delete_file
if not exist "%~1" exit /b 0
del /f /q "%~1" >nul 2>&1
if not exist "%~1" (
  echo Deleted "%~1".
  exit /b 0
)
echo uninstall.cmd: cannot delete "%~1" (is the screen saver or its settings dialog running?). 1>&2
exit /b 2

rem :delete_if_empty <key under HKCU>: deletes the key when it holds no value and no subkey.
rem reg query lists the key's own name, then its values and subkeys.
:delete_if_empty
reg query "HKCU\%~1" >nul 2>&1
if errorlevel 1 exit /b 0
set "CONTENT="
for /f "delims=" %%l in ('reg query "HKCU\%~1" 2^>nul') do (
  if /i not "%%l"=="HKEY_CURRENT_USER\%~1" set "CONTENT=1"
)
if not defined CONTENT reg delete "HKCU\%~1" /f >nul 2>&1
exit /b 0
