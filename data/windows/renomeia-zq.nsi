; The installer of Renomeia Arquivos ZQ for Windows x64 (makensis, from
; cmake/WindowsPackages.cmake, which gives VERSION, STAGE, LISTS, OUTFILE).
; It puts the program in "Program Files\Renomeia Arquivos ZQ", makes the
; Start menu entry that starts the launcher, and registers the uninstaller,
; which removes what was installed and never the user's C:\ZQ. /S installs
; (and uninstalls) silently.
Unicode true
Target amd64-unicode
SetCompressor /SOLID lzma

!include "MUI2.nsh"

!define APP "Renomeia Arquivos ZQ"
!define UNINST_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\RenomeiaArquivosZQ"

Name "${APP}"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES64\${APP}"
RequestExecutionLevel admin
VIProductVersion "${VERSION}.0"
VIAddVersionKey /LANG=1046 "ProductName" "${APP}"
VIAddVersionKey /LANG=1046 "FileDescription" "Instalação do ${APP}"
VIAddVersionKey /LANG=1046 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=1046 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=1046 "LegalCopyright" "Equipe Renomeia Arquivos ZQ"

!define MUI_ICON "${STAGE}/renomeia-zq.ico"
!define MUI_UNICON "${STAGE}/renomeia-zq.ico"
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "PortugueseBR"

Section "Programa"
  SetShellVarContext all
  !include "${LISTS}/install.nsh"
  WriteUninstaller "$INSTDIR\desinstalar.exe"
  ; The launcher lays out the user's tables at the first start, then starts the program.
  SetOutPath "$INSTDIR\bin"
  CreateShortCut "$SMPROGRAMS\${APP}.lnk" "$INSTDIR\bin\renomeia-zq-setup.exe" "--start" "$INSTDIR\renomeia-zq.ico" 0
  WriteRegStr HKLM "${UNINST_KEY}" "DisplayName" "${APP}"
  WriteRegStr HKLM "${UNINST_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINST_KEY}" "Publisher" "Equipe Renomeia Arquivos ZQ"
  WriteRegStr HKLM "${UNINST_KEY}" "DisplayIcon" "$INSTDIR\renomeia-zq.ico"
  WriteRegStr HKLM "${UNINST_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINST_KEY}" "UninstallString" '"$INSTDIR\desinstalar.exe"'
  WriteRegStr HKLM "${UNINST_KEY}" "QuietUninstallString" '"$INSTDIR\desinstalar.exe" /S'
  WriteRegDWORD HKLM "${UNINST_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINST_KEY}" "NoRepair" 1
SectionEnd

Section "Uninstall"
  SetShellVarContext all
  Delete "$SMPROGRAMS\${APP}.lnk"
  !include "${LISTS}/uninstall.nsh"
  Delete "$INSTDIR\desinstalar.exe"
  RMDir "$INSTDIR"
  DeleteRegKey HKLM "${UNINST_KEY}"
SectionEnd
