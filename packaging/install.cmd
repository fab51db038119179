@echo off
rem Installs SwfSaver @PROJECT_VERSION@ for the current user; no administrator rights needed.
rem
rem   install.cmd [/quiet] [/standin]
rem
rem   /quiet    do not open the settings dialog nor wait for a key at the end (scripted
rem             installs, tests)
rem   /standin  register SwfSaver's own Flash control for this user even where another Flash
rem             control is registered for the whole machine (one that no longer plays movies)
rem
rem Exit codes: 0 installed; 1 unknown option or files missing beside this script; 2 the
rem install folder could not be made or the files not copied; 3 the Flash control could not
rem be registered; 4 the screen-saver choice or the install record could not be written;
rem 5 the settings dialog did not start. Running it again is harmless.
rem
rem What it did is recorded under HKCU\Software\Ostrevanlab\SwfSaver\Install, so that
rem uninstall.cmd undoes exactly that and nothing else.
rem
rem Steps test "if errorlevel 1" rather than chaining with && and ||: Wine's cmd runs the
rem command after either of them whatever the outcome.
setlocal

set "QUIET="
set "STANDIN="
:next_option
if "%~1"=="" goto options_done
if /i "%~1"=="/quiet" (set "QUIET=1") else if /i "%~1"=="/standin" (set "STANDIN=1") else goto usage
shift
goto next_option
:usage
echo Usage: install.cmd [/quiet] [/standin]
if "%~1"=="/?" exit /b 0
echo install.cmd: unknown option %1 1>&2
exit /b 1
:options_done
set "SOURCE=%~dp0"
rem A window opened by a double click closes when the script ends: the last lines, an error
rem above all, stay readable until a key is pressed.
call :install
set "RESULT=%ERRORLEVEL%"
if not defined QUIET pause
exit /b %RESULT%

:install
if not defined LOCALAPPDATA (
  echo install.cmd: LOCALAPPDATA is not set, so there is no place to install to. 1>&2
  exit /b 1
)
set "PROGRAMS=%LOCALAPPDATA%\Programs"
set "TARGET=%LOCALAPPDATA%\Programs\SwfSaver"
set "SCR=%TARGET%\SwfSaver.scr"
set "DLL=%TARGET%\FlashStandin.dll"
set "STATE=HKCU\Software\Ostrevanlab\SwfSaver\Install"
set "CLASS=Software\Classes\CLSID\{D27CDB6E-AE6D-11CF-96B8-444553540000}"
set "DESKTOP=HKCU\Control Panel\Desktop"
rem Wine's COM reads only machine-wide class registrations, and there every user may write them.
set "WINE="
reg query "HKLM\Software\Wine" >nul 2>&1
if not errorlevel 1 set "WINE=1"

if not exist "%SOURCE%SwfSaver.scr" goto package_incomplete
if not exist "%SOURCE%FlashStandin.dll" goto package_incomplete

rem --- the files ------------------------------------------------------------------------
rem Recorded before anything is copied, so that uninstall.cmd can clear up a failed install.
call :is_folder "%PROGRAMS%"
if not errorlevel 1 goto programs_ready
call :record ProgramsCreated 1
if errorlevel 1 exit /b 4
mkdir "%PROGRAMS%" 2>nul
:programs_ready
call :record Folder "%TARGET%"
if errorlevel 1 exit /b 4
call :is_folder "%TARGET%"
if errorlevel 1 mkdir "%TARGET%" 2>nul
call :is_folder "%TARGET%"
if errorlevel 1 (
  echo install.cmd: cannot create the folder "%TARGET%". 1>&2
  exit /b 2
)
call :copy_file SwfSaver.scr
if errorlevel 1 exit /b 2
call :copy_file FlashStandin.dll
if errorlevel 1 exit /b 2
echo Copied SwfSaver.scr and FlashStandin.dll to "%TARGET%".

rem --- the Flash control ----------------------------------------------------------------
call :read HKLM\%CLASS% SwfSaverStandin MACHINE_MARK
call :read HKCU\%CLASS% SwfSaverStandin USER_MARK
set "MACHINE_REGISTERED="
set "USER_REGISTERED="
reg query "HKLM\%CLASS%\InprocServer32" /reg:64 >nul 2>&1
if not errorlevel 1 set "MACHINE_REGISTERED=1"
reg query "HKCU\%CLASS%\InprocServer32" /reg:64 >nul 2>&1
if not errorlevel 1 set "USER_REGISTERED=1"
if /i "%USER_MARK%"=="%DLL%" (set "SCOPE=user" & goto control_ours)
if /i "%MACHINE_MARK%"=="%DLL%" (set "SCOPE=machine" & goto control_ours)
if defined STANDIN goto control_standin
if defined USER_REGISTERED goto control_other
if defined MACHINE_REGISTERED goto control_other
goto control_register

:control_ours
call :record Control %SCOPE%
if errorlevel 1 exit /b 4
if "%SCOPE%"=="user" (echo The stand-in Flash control is already registered for this user.) else echo The stand-in Flash control is already registered machine-wide.
goto saver

:control_other
echo Another Flash control is registered on this machine; SwfSaver uses it.
echo If the movies stay black, run "install.cmd /standin" to use SwfSaver's own control.
goto saver

:control_standin
if defined USER_REGISTERED (
  echo install.cmd: another Flash control is registered for this user; it is left in place. 1>&2
  exit /b 3
)
if not defined MACHINE_REGISTERED goto control_register
rem regsvr32 refuses next to another registration. A per-user one shadows the machine's for
rem this user only and leaves the machine's as it is. These are the values regsvr32 /n /i:user
rem writes (standin/flash/README.md), so regsvr32 /u /n /i:user removes them again.
call :record Control user
if errorlevel 1 exit /b 4
reg add "HKCU\%CLASS%\InprocServer32" /ve /t REG_SZ /d "%DLL%" /f /reg:64 >nul 2>&1
if errorlevel 1 goto standin_failed
reg add "HKCU\%CLASS%\InprocServer32" /v ThreadingModel /t REG_SZ /d Apartment /f /reg:64 >nul 2>&1
if errorlevel 1 goto standin_failed
reg add "HKCU\%CLASS%" /v SwfSaverStandin /t REG_SZ /d "%DLL%" /f /reg:64 >nul 2>&1
if errorlevel 1 goto standin_failed
echo Registered the stand-in Flash control for this user, in place of the machine's.
if defined WINE echo Note: Wine reads machine-wide registrations only, so under Wine the machine's control stays in use.
goto saver
:standin_failed
echo install.cmd: cannot register the stand-in Flash control for this user. 1>&2
exit /b 3

:control_register
set "SCOPE=user"
set "REGSVR_OPTIONS=/n /i:user"
if defined WINE (set "SCOPE=machine" & set "REGSVR_OPTIONS=")
call :record Control %SCOPE%
if errorlevel 1 exit /b 4
regsvr32 /s %REGSVR_OPTIONS% "%DLL%"
if errorlevel 1 (
  echo install.cmd: regsvr32 could not register "%DLL%" ^(exit code %ERRORLEVEL%^). 1>&2
  exit /b 3
)
if "%SCOPE%"=="user" (call :read HKCU\%CLASS% SwfSaverStandin MARK) else call :read HKLM\%CLASS% SwfSaverStandin MARK
if /i not "%MARK%"=="%DLL%" (
  echo install.cmd: regsvr32 reported success, but the stand-in Flash control is not registered. 1>&2
  exit /b 3
)
if "%SCOPE%"=="user" (echo Registered the stand-in Flash control for this user.) else echo Registered the stand-in Flash control machine-wide.

rem --- the screen-saver choice ----------------------------------------------------------
:saver
call :read "%DESKTOP%" SCRNSAVE.EXE CURRENT_SAVER
call :read "%DESKTOP%" ScreenSaveActive CURRENT_ACTIVE
rem The choice before the first install is what uninstall.cmd puts back; an install over
rem our own choice keeps that record.
if /i "%CURRENT_SAVER%"=="%SCR%" goto saver_set
call :record PreviousSaver "%CURRENT_SAVER%"
if errorlevel 1 exit /b 4
call :record PreviousActive "%CURRENT_ACTIVE%"
if errorlevel 1 exit /b 4
:saver_set
call :record Saver "%SCR%"
if errorlevel 1 exit /b 4
reg add "%DESKTOP%" /v SCRNSAVE.EXE /t REG_SZ /d "%SCR%" /f >nul 2>&1
if errorlevel 1 goto saver_failed
reg add "%DESKTOP%" /v ScreenSaveActive /t REG_SZ /d 1 /f >nul 2>&1
if errorlevel 1 goto saver_failed
echo SwfSaver is now your screen saver.

rem --- the settings dialog --------------------------------------------------------------
if defined QUIET goto done
echo Opening the settings dialog: add your movies there and press OK.
start "" "%SCR%" /c
if errorlevel 1 (
  echo install.cmd: the settings dialog did not start; run "%SCR%" /c yourself. 1>&2
  exit /b 5
)
:done
echo SwfSaver @PROJECT_VERSION@ is installed. To remove it, run uninstall.cmd.
exit /b 0

:package_incomplete
echo install.cmd: SwfSaver.scr and FlashStandin.dll must be beside install.cmd; unpack the whole zip file first. 1>&2
exit /b 1
:saver_failed
echo install.cmd: cannot make SwfSaver your screen saver (HKCU\Control Panel\Desktop). 1>&2
exit /b 4

rem :copy_file <name>: copies one file of the package into the install folder.
:copy_file
copy /y "%SOURCE%%~1" "%TARGET%\%~1" >nul 2>&1
if not errorlevel 1 exit /b 0
echo install.cmd: cannot copy %~1 to "%TARGET%" (is the screen saver or its settings dialog running?). 1>&2
exit /b 2

rem :is_folder <path>: errorlevel 0 for a folder. Wine's "if exist <path>\" holds for files too.
:is_folder
for %%I in ("%~1") do set "ATTRIBUTES=%%~aI"
if "%ATTRIBUTES:~0,1%"=="d" exit /b 0
exit /b 1

rem :read <key> <value name> <variable>: the value's text, or an empty variable when absent.
rem The values read have names without spaces, so the third column is the whole text.
:read
set "%~3="
for /f "tokens=1,2,*" %%a in ('reg query "%~1" /v %2 /reg:64 2^>nul') do (
  if "%%b"=="REG_SZ" set "%~3=%%c"
  if "%%b"=="REG_EXPAND_SZ" set "%~3=%%c"
)
exit /b 0

rem :record <name> <text>: one value of the install record. An empty text removes the value,
rem which stands for "there was none".
:record
if "%~2"=="" (
  reg delete "%STATE%" /v %1 /f >nul 2>&1
  exit /b 0
)
reg add "%STATE%" /v %1 /t REG_SZ /d "%~2" /f >nul 2>&1
if not errorlevel 1 exit /b 0
echo install.cmd: cannot write the install record %STATE%. 1>&2
exit /b 4
