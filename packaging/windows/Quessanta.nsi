; The Windows installer, QuessantaSetup.exe: the programs and data files in
; Program Files, the folder recorded in the registry for the screensaver to
; find them, Quessanta.scr in the system folder for the screensaver settings
; to list, shortcuts to the settings and the uninstaller in the Start menu,
; and an uninstaller in Add/Remove Programs that takes it all away again
; (the settings file in ProgramData stays). /S installs silently.
; Installing again goes to the folder recorded (an installation moved to
; another folder is taken away from the old one); running copies are asked
; to close first, as at log-off, and the setup stops if they do not.
;
; The uninstaller carries a version record of its own, so it is made in a
; first pass that exports it (its installer is thrown away), and packed as a
; file in the second:
; makensis -DUNINSTALLER=uninstall.exe -DCMAKE=cmake -DOUTFILE=pass1.exe -DVERSION=1.2.3 -DICON=Quessanta.ico Quessanta.nsi
; makensis -DUNINSTALLER_FILE=uninstall.exe -DSOURCE_DIR=build-win\quessanta -DOUTFILE=QuessantaSetup.exe -DVERSION=1.2.3 -DICON=Quessanta.ico Quessanta.nsi
; (Installer.cmake runs both.)

Unicode true
; A 64-bit installer: the program is 64-bit, and a 32-bit one would see
; the redirected registry and system folder.
Target amd64-unicode
SetCompressor /SOLID lzma
ManifestDPIAware true
ManifestDPIAwareness "PerMonitorV2,System"
ManifestSupportedOS all

!include MUI2.nsh
!include FileFunc.nsh
!include LogicLib.nsh
!include WinMessages.nsh
!include x64.nsh

!define PRODUCT "Quessanta"
!define SETTINGS_KEY "Software\Zandrim\Quessanta\Settings"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Quessanta"

Name "${PRODUCT}"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES64\Zandrim\Quessanta"
; Where it was installed before (the value ends in a backslash).
InstallDirRegKey HKLM "${SETTINGS_KEY}" "Path"
RequestExecutionLevel admin
ShowInstDetails show

VIProductVersion "${VERSION}.0"
VIFileVersion "${VERSION}.0"

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_ABORTWARNING
!define MUI_WELCOMEPAGE_TEXT "This will install ${PRODUCT} ${VERSION}, a 3D screensaver: a meadow, a turning bunch of flowers and butterflies, with a clock and a calendar if you like.$\r$\n$\r$\nAny running copy of ${PRODUCT} is closed first.$\r$\n$\r$\nClick Next to continue."
!insertmacro MUI_PAGE_WELCOME
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!define MUI_FINISHPAGE_TEXT "${PRODUCT} is installed. Pick it in the screen saver settings; its Settings button there chooses the clock, the calendar and more."
!define MUI_FINISHPAGE_RUN "$SYSDIR\control.exe"
!define MUI_FINISHPAGE_RUN_PARAMETERS "desk.cpl,,@screensaver"
!define MUI_FINISHPAGE_RUN_TEXT "Open the screen saver settings"
!insertmacro MUI_PAGE_FINISH
!ifdef UNINSTALLER
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!endif
!insertmacro MUI_LANGUAGE "English"

!ifdef UNINSTALLER
; The uninstaller gets this pass's version record; makensis hands it over
; finished, and the build keeps it for the second pass.
!uninstfinalize '"${CMAKE}" -E copy "%1" "${UNINSTALLER}"'
VIAddVersionKey /LANG=${LANG_ENGLISH} "FileDescription" "${PRODUCT} uninstaller"
VIAddVersionKey /LANG=${LANG_ENGLISH} "OriginalFilename" "uninstall.exe"
!else
VIAddVersionKey /LANG=${LANG_ENGLISH} "FileDescription" "${PRODUCT} setup"
VIAddVersionKey /LANG=${LANG_ENGLISH} "OriginalFilename" "QuessantaSetup.exe"
!endif
VIAddVersionKey /LANG=${LANG_ENGLISH} "ProductName" "${PRODUCT}"
VIAddVersionKey /LANG=${LANG_ENGLISH} "CompanyName" "Zandrim"
VIAddVersionKey /LANG=${LANG_ENGLISH} "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=${LANG_ENGLISH} "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=${LANG_ENGLISH} "LegalCopyright" "Zandrim"

; The folder of the installation found at start, without its last
; backslash; empty when there is none.
Var previous

; A folder without its last backslash (a drive's root keeps it), so that
; two spellings of one folder compare equal.
!macro STRIP_BACKSLASH VAR
  StrCpy $R0 ${VAR} 1 -1
  StrLen $R1 ${VAR}
  ${If} $R0 == "\"
  ${AndIf} $R1 > 3
    StrCpy ${VAR} ${VAR} -1
  ${EndIf}
!macroend

; The full-screen screensaver and the settings dialog are asked to close,
; as at log-off, so that their files can be replaced; a copy that does not
; within five seconds stops the setup (exit code 2) with nothing changed.
!macro CLOSE_RUNNING PREFIX
Function ${PREFIX}closeRunning
  StrCpy $R0 0
  ${Do}
    FindWindow $R1 "SDL_app" "${PRODUCT}"
    FindWindow $R2 "#32770" "${PRODUCT} Settings"
    ${If} $R1 = 0
    ${AndIf} $R2 = 0
      Return
    ${EndIf}
    ${If} $R0 = 0
      ${If} $R1 <> 0
        SendMessage $R1 ${WM_CLOSE} 0 0 /TIMEOUT=2000
      ${EndIf}
      ${If} $R2 <> 0
        SendMessage $R2 ${WM_CLOSE} 0 0 /TIMEOUT=2000
      ${EndIf}
    ${EndIf}
    IntOp $R0 $R0 + 1
    ${If} $R0 > 50
      MessageBox MB_OK|MB_ICONSTOP "${PRODUCT} is running and does not close. Close it, then run this again." /SD IDOK
      SetErrorLevel 2
      Quit
    ${EndIf}
    Sleep 100
  ${Loop}
FunctionEnd
!macroend
!insertmacro CLOSE_RUNNING ""
!ifdef UNINSTALLER
!insertmacro CLOSE_RUNNING "un."
!endif

; The Start menu's folder for every user: the settings and the uninstaller.
!define MENU_FOLDER "$SMPROGRAMS\${PRODUCT}"

Function .onInit
  SetRegView 64
  ReadRegStr $previous HKLM "${SETTINGS_KEY}" "Path"
  !insertmacro STRIP_BACKSLASH $previous
  Call closeRunning
FunctionEnd

!ifdef UNINSTALLER
Function un.onInit
  SetRegView 64
  Call un.closeRunning
FunctionEnd

; This pass only makes the uninstaller: its installer never runs.
Section "-"
  WriteUninstaller "$INSTDIR\uninstall.exe"
SectionEnd

!else
Section "Quessanta"
  SetRegView 64
  !insertmacro STRIP_BACKSLASH $INSTDIR
  ; Moved to another folder: the old copy goes, by its own uninstaller,
  ; so that none is left behind.
  ${If} $previous != ""
  ${AndIf} $previous != $INSTDIR
  ${AndIf} ${FileExists} "$previous\uninstall.exe"
    DetailPrint "Removing the installation in $previous"
    ExecWait '"$previous\uninstall.exe" /S _?=$previous'
    Delete "$previous\uninstall.exe"
    RMDir "$previous"
    RMDir "$previous\.."
  ${EndIf}

  SetOutPath "$INSTDIR"
  File "${SOURCE_DIR}\Quessanta.exe"
  File "${SOURCE_DIR}\config.exe"
  File "${SOURCE_DIR}\pak.exe"
  File "${SOURCE_DIR}\main.pak"
  File "${SOURCE_DIR}\utils.pak"
  File "${SOURCE_DIR}\butterfly1.pak"
  File "${SOURCE_DIR}\butterfly2.pak"
  File "${SOURCE_DIR}\butterfly3.pak"
  File "${SOURCE_DIR}\butterfly4.pak"
  File "${SOURCE_DIR}\butterfly5.pak"
  File "${SOURCE_DIR}\clock.pak"
  File "${SOURCE_DIR}\calendar.pak"
  File "${SOURCE_DIR}\preview.ppk"
  ; The program reads this to find its files from the system folder.
  WriteRegStr HKLM "${SETTINGS_KEY}" "Path" "$INSTDIR\"

  ; C:\Windows\System32 itself, never the 32-bit SysWOW64.
  ${DisableX64FSRedirection}
  SetOutPath "$SYSDIR"
  File "${SOURCE_DIR}\Quessanta.scr"
  ${GetSize} "$SYSDIR" "/M=Quessanta.scr /S=0K /G=0" $1 $2 $3
  ${EnableX64FSRedirection}

  SetOutPath "$INSTDIR"
  File "/oname=uninstall.exe" "${UNINSTALLER_FILE}"
  SetShellVarContext all
  CreateDirectory "${MENU_FOLDER}"
  CreateShortcut "${MENU_FOLDER}\${PRODUCT} Settings.lnk" "$INSTDIR\config.exe"
  CreateShortcut "${MENU_FOLDER}\Uninstall ${PRODUCT}.lnk" "$INSTDIR\uninstall.exe"
  ${GetSize} "$INSTDIR" "/S=0K" $0 $2 $3
  IntOp $0 $0 + $1
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\Quessanta.exe,0"
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "EstimatedSize" $0
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "Zandrim"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

!endif

!ifdef UNINSTALLER
Section "Uninstall"
  SetRegView 64
  SetShellVarContext all
  Delete "${MENU_FOLDER}\${PRODUCT} Settings.lnk"
  Delete "${MENU_FOLDER}\Uninstall ${PRODUCT}.lnk"
  RMDir "${MENU_FOLDER}"
  ${DisableX64FSRedirection}
  Delete "$SYSDIR\Quessanta.scr"
  ${EnableX64FSRedirection}

  Delete "$INSTDIR\Quessanta.exe"
  Delete "$INSTDIR\config.exe"
  Delete "$INSTDIR\pak.exe"
  Delete "$INSTDIR\main.pak"
  Delete "$INSTDIR\utils.pak"
  Delete "$INSTDIR\butterfly1.pak"
  Delete "$INSTDIR\butterfly2.pak"
  Delete "$INSTDIR\butterfly3.pak"
  Delete "$INSTDIR\butterfly4.pak"
  Delete "$INSTDIR\butterfly5.pak"
  Delete "$INSTDIR\clock.pak"
  Delete "$INSTDIR\calendar.pak"
  Delete "$INSTDIR\preview.ppk"
  Delete "$INSTDIR\uninstall.exe"
  RMDir "$INSTDIR"
  ; The maker's folder, when nothing else of it is left.
  RMDir "$INSTDIR\.."

  DeleteRegValue HKLM "${SETTINGS_KEY}" "Path"
  DeleteRegKey /ifempty HKLM "${SETTINGS_KEY}"
  DeleteRegKey /ifempty HKLM "Software\Zandrim\Quessanta"
  DeleteRegKey /ifempty HKLM "Software\Zandrim"
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
SectionEnd
!endif
