; The Windows installer, QuessantaSetup.exe: the programs and data files in
; Program Files, the folder recorded in the registry for the screensaver to
; find them, Quessanta.scr in the system folder for the screensaver settings
; to list, and an uninstaller in Add/Remove Programs that takes it all away
; again (the settings file in ProgramData stays). /S installs silently.
;
; makensis -DSOURCE_DIR=build-win\quessanta -DOUTFILE=QuessantaSetup.exe -DVERSION=1.2.3 Quessanta.nsi
; (Installer.cmake runs it.)

Unicode true
; A 64-bit installer: the program is 64-bit, and a 32-bit one would see
; the redirected registry and system folder.
Target amd64-unicode
SetCompressor /SOLID lzma

!include x64.nsh

!define PRODUCT "Quessanta"
!define SETTINGS_KEY "Software\Zandrim\Quessanta\Settings"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Quessanta"

Name "${PRODUCT}"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES64\Zandrim\Quessanta"
RequestExecutionLevel admin
ShowInstDetails show

Page directory
Page instfiles
UninstPage uninstConfirm
UninstPage instfiles

Section "Quessanta"
  SetRegView 64
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
  ${EnableX64FSRedirection}

  WriteUninstaller "$INSTDIR\uninstall.exe"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "Zandrim"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

Section "Uninstall"
  SetRegView 64
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
