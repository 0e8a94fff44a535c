; The installer of quarvel for Windows, made by scripts/windows/package.sh:
;   makensis -INPUTCHARSET UTF8 -DVERSION=... -DSTAGE=... -DLISTS=... -DOUTFILE=... quarvel.nsi
; It installs both programs with Qt beside them, a Start menu entry and an uninstaller. The
; uninstaller removes exactly the files it installed: the user's history, backups and exports
; (in %APPDATA%\quarvel: the programs know an installed copy by its uninstall.exe)
; stay. Silent with /S.
Unicode true
; A 64-bit installer for the 64-bit programs (it also runs where only 64-bit programs can).
Target amd64-unicode
SetCompressor /SOLID lzma

!include "MUI2.nsh"

!define PRODUCT "quarvel"
!define MENU_NAME "quarvel 遗漏分析"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\quarvel"

Name "${MENU_NAME}"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES64\quarvel"
InstallDirRegKey HKLM "${UNINSTALL_KEY}" "InstallLocation"
RequestExecutionLevel admin

!define MUI_ICON "${STAGE}/quarvel.ico"
!define MUI_UNICON "${STAGE}/quarvel.ico"
!define MUI_FINISHPAGE_RUN "$INSTDIR\quarvel.exe"
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "SimpChinese"

Section "quarvel"
  SetShellVarContext all
  SetOutPath "$INSTDIR"
  !include "${LISTS}/install_files.nsh"
  WriteUninstaller "$INSTDIR\uninstall.exe"
  CreateShortcut "$SMPROGRAMS\${MENU_NAME}.lnk" "$INSTDIR\quarvel.exe" "" "$INSTDIR\quarvel.exe" 0
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "${MENU_NAME}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\quarvel.exe"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

Section "Uninstall"
  SetShellVarContext all
  Delete "$SMPROGRAMS\${MENU_NAME}.lnk"
  !include "${LISTS}/uninstall_files.nsh"
  Delete "$INSTDIR\uninstall.exe"
  ; Not /r: a folder that still holds the user's files stays.
  RMDir "$INSTDIR"
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
SectionEnd
