; Quillet's installer. Built by the windows preset's build (packaging/CMakeLists.txt):
;   makensis -INPUTCHARSET UTF8 -DVERSION=1.9 -DFILE_VERSION=1.9.0.0 -DFILES=files.nsh -DICON=quillet.ico
;            -DOUTFILE=Quillet-1.9-setup.exe quillet.nsi
;
; Installer options:   /S silent   /AUTOSTART start with Windows   /NOAUTOSTART do not   /D=FOLDER
; Uninstaller options: /S silent   /KEEPSETTINGS or /REMOVESETTINGS (asked when neither is given;
;                      silent without either keeps them)
;
; An installed copy keeps its settings in %APPDATA%\Quillet\Quillet.ini: the file
; Quillet.installed beside the program tells it so (a program under Program Files may not write
; beside itself).
Unicode true
SetCompressor /SOLID lzma
RequestExecutionLevel admin

!include "MUI2.nsh"
!include "FileFunc.nsh"
!include "LogicLib.nsh"
!include "Sections.nsh"
!include "WinMessages.nsh"

!define PRODUCT "Quillet"
!define MAIN_WINDOW_CLASS "TQuilletForm"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Quillet"
; The value the program itself writes when its start-with-Windows box is ticked.
!define RUN_KEY "Software\Microsoft\Windows\CurrentVersion\Run"
!define MARKER "Quillet.installed"

Name "${PRODUCT} ${VERSION}"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES\${PRODUCT}"
InstallDirRegKey HKLM "${UNINSTALL_KEY}" "InstallLocation"
BrandingText "${PRODUCT} ${VERSION}"
VIProductVersion "${FILE_VERSION}"
VIAddVersionKey /LANG=2052 "ProductName" "${PRODUCT}"
VIAddVersionKey /LANG=2052 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=2052 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=2052 "FileDescription" "${PRODUCT} 安装程序"
VIAddVersionKey /LANG=2052 "LegalCopyright" "${PRODUCT}"

!define MUI_ABORTWARNING
!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_COMPONENTSPAGE_NODESC
!define MUI_FINISHPAGE_RUN "$INSTDIR\Quillet.exe"
!insertmacro MUI_PAGE_WELCOME
!insertmacro MUI_PAGE_COMPONENTS
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "SimpChinese"

LangString SecProgramName ${LANG_SIMPCHINESE} "Quillet 程序（必需）"
LangString SecAutostartName ${LANG_SIMPCHINESE} "随 Windows 一同启动"
LangString RunningText ${LANG_SIMPCHINESE} "Quillet 正在运行。$\r$\n$\r$\n点击“确定”关闭它并继续，点击“取消”退出。"
LangString StillRunningText ${LANG_SIMPCHINESE} "Quillet 仍在运行，无法继续。请先退出 Quillet，然后再试。"
LangString RemoveSettingsText ${LANG_SIMPCHINESE} "是否同时删除您的 Quillet 设置（Quillet.ini）？$\r$\n$\r$\n选择“否”将保留设置，以便日后重新安装时使用。"
LangString UninstallLinkName ${LANG_SIMPCHINESE} "卸载 Quillet"

!include "${FILES}"

; Ends a running Quillet the way Windows does at log-off (it saves its settings and exits),
; after asking; gives up when it is still there after a while.
!macro CloseQuillet un
Function ${un}CloseQuillet
  FindWindow $0 "${MAIN_WINDOW_CLASS}" ""
  ${If} $0 == 0
    Return
  ${EndIf}
  MessageBox MB_OKCANCEL|MB_ICONEXCLAMATION "$(RunningText)" /SD IDOK IDOK close
  SetErrorLevel 2
  Quit
  close:
  SendMessage $0 ${WM_QUERYENDSESSION} 0 0 $1 /TIMEOUT=10000
  StrCpy $2 0
  ${Do}
    FindWindow $0 "${MAIN_WINDOW_CLASS}" ""
    ${If} $0 == 0
      Return
    ${EndIf}
    IntOp $2 $2 + 1
    ${If} $2 > 150
      MessageBox MB_OK|MB_ICONSTOP "$(StillRunningText)" /SD IDOK
      SetErrorLevel 2
      Quit
    ${EndIf}
    Sleep 200
  ${Loop}
FunctionEnd
!macroend
!insertmacro CloseQuillet ""
!insertmacro CloseQuillet "un."

; The program file of a copy that has just ended may stay locked a moment.
!macro DeleteProgramFile path
  StrCpy $3 0
  ${Do}
    Delete "${path}"
    ${IfNot} ${FileExists} "${path}"
      ${Break}
    ${EndIf}
    IntOp $3 $3 + 1
    ${If} $3 > 100
      Delete /REBOOTOK "${path}"
      ${Break}
    ${EndIf}
    Sleep 100
  ${Loop}
!macroend

Section "$(SecProgramName)" SecProgram
  SectionIn RO
  Call CloseQuillet
  SetOutPath "$INSTDIR"
  !insertmacro QuilletInstallFiles
  WriteINIStr "$INSTDIR\${MARKER}" "Quillet" "Settings" "AppData"
  WriteUninstaller "$INSTDIR\Uninstall.exe"

  SetShellVarContext all
  CreateDirectory "$SMPROGRAMS\${PRODUCT}"
  CreateShortcut "$SMPROGRAMS\${PRODUCT}\${PRODUCT}.lnk" "$INSTDIR\Quillet.exe"
  CreateShortcut "$SMPROGRAMS\${PRODUCT}\$(UninstallLinkName).lnk" "$INSTDIR\Uninstall.exe"

  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT} ${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "${PRODUCT}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\Quillet.exe"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\Uninstall.exe"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\Uninstall.exe" /S'
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
  ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "EstimatedSize" $0
SectionEnd

; The same value the program writes, so its box shows ticked; left out, a value there is removed.
Section /o "$(SecAutostartName)" SecAutostart
  WriteRegStr HKLM "${RUN_KEY}" "${PRODUCT}" "$INSTDIR\Quillet.exe"
SectionEnd

Section "-AutostartOff"
  ${IfNot} ${SectionIsSelected} ${SecAutostart}
    DeleteRegValue HKLM "${RUN_KEY}" "${PRODUCT}"
  ${EndIf}
SectionEnd

Function .onInit
  ; The box starts as the system stands: ticked when Quillet already starts with Windows.
  ClearErrors
  ReadRegStr $0 HKLM "${RUN_KEY}" "${PRODUCT}"
  ${IfNot} ${Errors}
    !insertmacro SelectSection ${SecAutostart}
  ${EndIf}
  ${GetParameters} $R0
  ClearErrors
  ${GetOptions} $R0 "/AUTOSTART" $R1
  ${IfNot} ${Errors}
    !insertmacro SelectSection ${SecAutostart}
  ${EndIf}
  ClearErrors
  ${GetOptions} $R0 "/NOAUTOSTART" $R1
  ${IfNot} ${Errors}
    !insertmacro UnselectSection ${SecAutostart}
  ${EndIf}
FunctionEnd

Var RemoveSettings

Function un.onInit
  StrCpy $RemoveSettings ""
  ${GetParameters} $R0
  ClearErrors
  ${GetOptions} $R0 "/REMOVESETTINGS" $R1
  ${IfNot} ${Errors}
    StrCpy $RemoveSettings 1
  ${EndIf}
  ClearErrors
  ${GetOptions} $R0 "/KEEPSETTINGS" $R1
  ${IfNot} ${Errors}
    StrCpy $RemoveSettings 0
  ${EndIf}
FunctionEnd

Section "Uninstall"
  Call un.CloseQuillet
  ${If} $RemoveSettings == ""
    StrCpy $RemoveSettings 0
    MessageBox MB_YESNO|MB_ICONQUESTION "$(RemoveSettingsText)" /SD IDNO IDNO keep
    StrCpy $RemoveSettings 1
    keep:
  ${EndIf}

  !insertmacro DeleteProgramFile "$INSTDIR\Quillet.exe"
  !insertmacro QuilletRemoveFiles
  Delete "$INSTDIR\${MARKER}"
  Delete "$INSTDIR\Uninstall.exe"

  SetShellVarContext all
  Delete "$SMPROGRAMS\${PRODUCT}\${PRODUCT}.lnk"
  Delete "$SMPROGRAMS\${PRODUCT}\$(UninstallLinkName).lnk"
  RMDir "$SMPROGRAMS\${PRODUCT}"

  DeleteRegValue HKLM "${RUN_KEY}" "${PRODUCT}"
  DeleteRegKey HKLM "${UNINSTALL_KEY}"

  ${If} $RemoveSettings == 1
    ; The user's settings (and a save's leftover draft), and beside the program where a system
    ; without an application-data folder put them.
    SetShellVarContext current
    Delete "$APPDATA\${PRODUCT}\Quillet.ini"
    Delete "$APPDATA\${PRODUCT}\Quillet.ini.new"
    RMDir "$APPDATA\${PRODUCT}"
    Delete "$INSTDIR\Quillet.ini"
    Delete "$INSTDIR\Quillet.ini.new"
  ${EndIf}
  RMDir "$INSTDIR"
SectionEnd
