; Quillet's installer. Built by the windows preset's build (packaging/CMakeLists.txt):
;   makensis -INPUTCHARSET UTF8 -DVERSION=X.Y -DFILE_VERSION=X.Y.0.0 -DFILES=files.nsh -DICON=quillet.ico
;            -DOUTFILE=Quillet-X.Y-setup.exe quillet.nsi
; (X.Y: the version of project() in the top CMakeLists.txt)
; The same inputs make the same installer, byte for byte: no file's time is stored.
;
; Installer options:   /S silent   /AUTOSTART start with Windows   /NOAUTOSTART do not   /D=FOLDER
;                      (a folder that already holds files and no installed Quillet, a portable
;                      copy's folder among them, gets a folder Quillet inside it for the program)
; Uninstaller options: /S silent   /KEEPSETTINGS or /REMOVESETTINGS (asked when neither is given;
;                      silent without either keeps them)
;
; Both end only a Quillet started from the installed folder, and remove the Run value Quillet
; only where it starts the installed Quillet.exe (read by the program's own rule: the program
; named first, quoted or not, with arguments or not, by its long or short path): a portable copy
; elsewhere keeps running and keeps its own start with Windows.
;
; An installed copy keeps its settings in %APPDATA%\Quillet\Quillet.ini: the file
; Quillet.installed beside the program tells it so (a program under Program Files may not write
; beside itself).
;
; The installer carries both builds of Quillet.exe. On 64-bit Windows it installs the 64-bit one,
; by default into the 64-bit Program Files, and keeps its uninstall entry and its Run value in the
; registry's 64-bit view, where 64-bit Windows and the 64-bit program look for them; elsewhere
; the 32-bit one, as always. A 32-bit copy installed earlier on 64-bit Windows (its entry and Run
; value in the 32-bit view) is replaced: its Run values move to the new program, its program files
; and its uninstall entry go; the settings need no move, both copies read the same file.
Unicode true
SetCompressor /SOLID lzma
SetDateSave off
RequestExecutionLevel admin

!include "MUI2.nsh"
!include "FileFunc.nsh"
!include "LogicLib.nsh"
!include "Sections.nsh"
!include "WinMessages.nsh"
!include "WinVer.nsh"
!include "x64.nsh"

!define PRODUCT "Quillet"
!define MAIN_WINDOW_CLASS "TQuilletForm"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Quillet"
; The value the program itself writes when its start-with-Windows box is ticked.
!define RUN_KEY "Software\Microsoft\Windows\CurrentVersion\Run"
!define MARKER "Quillet.installed"

Name "${PRODUCT} ${VERSION}"
OutFile "${OUTFILE}"
; (.onInit moves it to where Quillet is installed already, or to the 64-bit Program Files.)
InstallDir "$PROGRAMFILES\${PRODUCT}"
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
; Started through the desktop's shell, as the user who runs the desktop, never as the
; administrator the installer runs as (see RunAsDesktopUser).
!define MUI_FINISHPAGE_RUN
!define MUI_FINISHPAGE_RUN_FUNCTION RunInstalledQuillet
!insertmacro MUI_PAGE_WELCOME
!insertmacro MUI_PAGE_COMPONENTS
!define MUI_PAGE_CUSTOMFUNCTION_LEAVE DirectoryLeave
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
LangString LockedText ${LANG_SIMPCHINESE} "无法替换 $INSTDIR\Quillet.exe：这个文件正被其他程序使用。$\r$\n$\r$\n安装没有改动这个文件夹中的任何文件。请关闭正在使用它的程序（例如从这个文件夹启动的 Quillet），然后重新运行安装程序。"
LangString ForeignFolderText ${LANG_SIMPCHINESE} "文件夹 $INSTDIR 中已经有其他文件，不是安装版 Quillet 的文件夹。便携版 Quillet 所在的文件夹也不能直接用来安装。$\r$\n$\r$\n点击“是”安装到其中的 Quillet 文件夹（$INSTDIR\Quillet），点击“否”另选一个文件夹。"
LangString ForeignFolderAgainText ${LANG_SIMPCHINESE} "文件夹 $INSTDIR 中也已经有其他文件，它不是 Quillet 的文件夹。请另选一个空文件夹或安装版 Quillet 的文件夹。"
LangString RunFailedText ${LANG_SIMPCHINESE} "无法通过 Windows 外壳启动 Quillet。请从“开始”菜单的 Quillet 文件夹中启动它。"

!include "${FILES}"

; What follows the program in the command CommandProgram read last: its arguments, after a blank.
Var CommandArguments

!macro PathFunctions un
; A path in its long form where the file exists (GetLongPathNameW), unchanged otherwise.
; Stack: path -> path.
Function ${un}LongPath
  Exch $0
  Push $1
  Push $2
  System::Call 'kernel32::GetLongPathNameW(w r0, w .r1, i ${NSIS_MAX_STRLEN}) i .r2'
  ${If} $2 > 0
  ${AndIf} $2 < ${NSIS_MAX_STRLEN}
    StrCpy $0 $1
  ${EndIf}
  Pop $2
  Pop $1
  Exch $0
FunctionEnd

; A path as Windows names the file: full, in its long form where the file exists.
; Stack: path -> path.
Function ${un}PlainPath
  Exch $0
  Push $1
  Push $2
  System::Call 'kernel32::GetFullPathNameW(w r0, i ${NSIS_MAX_STRLEN}, w .r1, p 0) i .r2'
  ${If} $2 > 0
  ${AndIf} $2 < ${NSIS_MAX_STRLEN}
    StrCpy $0 $1
  ${EndIf}
  Pop $2
  Pop $1
  Exch $0
  Call ${un}LongPath
FunctionEnd

; The program a Run value's command names first, without its quotes, read as the program reads
; it when it ticks its start-with-Windows box: inside double quotes, up to the closing one;
; without, up to the first blank after ".exe" (arguments follow), or the whole command.
; Stack: command -> program (and $CommandArguments).
Function ${un}CommandProgram
  Exch $0
  Push $1
  Push $2
  StrCpy $CommandArguments ""
  ${Do}  ; blanks before it
    StrCpy $1 $0 1
    ${If} $1 == " "
    ${OrIf} $1 == "$\t"
      StrCpy $0 $0 "" 1
    ${Else}
      ${Break}
    ${EndIf}
  ${Loop}
  StrCpy $2 0
  ${If} $1 == '"'
    StrCpy $0 $0 "" 1
    ${Do}
      StrCpy $1 $0 1 $2
      ${If} $1 == ""
      ${OrIf} $1 == '"'
        ${Break}
      ${EndIf}
      IntOp $2 $2 + 1
    ${Loop}
    IntOp $1 $2 + 1
    StrCpy $CommandArguments $0 "" $1
    StrCpy $0 $0 $2
  ${Else}
    ${Do}  ; blanks after it
      StrCpy $1 $0 1 -1
      ${If} $1 == " "
      ${OrIf} $1 == "$\t"
        StrCpy $0 $0 -1
      ${Else}
        ${Break}
      ${EndIf}
    ${Loop}
    ${Do}
      StrCpy $1 $0 5 $2
      StrLen $1 $1
      ${If} $1 < 5
        ${Break}  ; no arguments: the whole command
      ${EndIf}
      StrCpy $1 $0 5 $2
      ${If} $1 == ".exe "  ; (LogicLib's == ignores case)
      ${OrIf} $1 == ".exe$\t"
        IntOp $2 $2 + 4
        StrCpy $CommandArguments $0 "" $2
        StrCpy $0 $0 $2
        ${Break}
      ${EndIf}
      IntOp $2 $2 + 1
    ${Loop}
  ${EndIf}
  Pop $2
  Pop $1
  Exch $0
FunctionEnd

; Whether a full path in its long form is the installed Quillet.exe's, as Windows compares
; names (case aside). Stack: path -> 1 or 0.
Function ${un}IsInstalledLongPath
  Push "$INSTDIR\Quillet.exe"
  Call ${un}PlainPath
  Exch $0
  Exch
  Exch $1
  ${If} $1 != ""
  ${AndIf} $0 == $1  ; (LogicLib's == ignores case, as Windows' file names do)
    StrCpy $0 1
  ${Else}
    StrCpy $0 0
  ${EndIf}
  Pop $1
  Exch $0
FunctionEnd

; Whether a path names the installed Quillet.exe. Stack: path -> 1 or 0.
Function ${un}IsInstalledProgram
  Call ${un}PlainPath
  Call ${un}IsInstalledLongPath
FunctionEnd

; Whether a Run value's command starts the installed Quillet.exe: the program it names first, in
; its long form (a short 8.3 path names the same file), is the installed one. The program ticks
; its box by the same rule, so what it shows as starting with Windows is what goes here.
; Stack: command -> 1 or 0.
Function ${un}RunsInstalledProgram
  Call ${un}CommandProgram
  Call ${un}LongPath
  Call ${un}IsInstalledLongPath
FunctionEnd

; The path of the program a process runs, or "" when it cannot be read. Stack: process id -> path.
Function ${un}ProcessImagePath
  Exch $0
  Push $1
  Push $2
  Push $3
  Push $4
  Push $5
  StrCpy $3 ""
  ; Vista and later: limited query access, granted across users and integrity levels.
  System::Call 'kernel32::OpenProcess(i 0x1000, i 0, i r0) p .r1'
  ${If} $1 != 0
    System::Call 'kernel32::QueryFullProcessImageNameW(p r1, i 0, w .r2, *i ${NSIS_MAX_STRLEN}) i .r3'
    ${If} $3 == 1
      StrCpy $3 $2
    ${Else}
      StrCpy $3 ""
    ${EndIf}
    System::Call 'kernel32::CloseHandle(p r1)'
  ${EndIf}
  ${If} $3 == ""  ; Windows XP
    System::Call 'kernel32::OpenProcess(i 0x410, i 0, i r0) p .r1'
    ${If} $1 != 0
      ; psapi.dll by its full path in the system folder: asked for by name, it would be looked
      ; for first in the folder the installer runs from (a downloads folder, where anything may
      ; have been put beside it).
      System::Call 'kernel32::GetSystemDirectoryW(w .r2, i ${NSIS_MAX_STRLEN}) i .r4'
      ${If} $4 > 0
      ${AndIf} $4 < ${NSIS_MAX_STRLEN}
        System::Call 'kernel32::LoadLibraryW(w "$2\psapi.dll") p .r4'
        ${If} $4 != 0
          System::Call 'kernel32::GetProcAddress(p r4, m "GetModuleFileNameExW") p .r5'
          ${If} $5 != 0
            System::Call '::$5(p r1, p 0, w .r2, i ${NSIS_MAX_STRLEN}) i .r5'
            ${If} $5 > 0
              StrCpy $3 $2
            ${EndIf}
          ${EndIf}
          System::Call 'kernel32::FreeLibrary(p r4)'
        ${EndIf}
      ${EndIf}
      System::Call 'kernel32::CloseHandle(p r1)'
    ${EndIf}
  ${EndIf}
  StrCpy $0 $3
  Pop $5
  Pop $4
  Pop $3
  Pop $2
  Pop $1
  Exch $0
FunctionEnd

; The main window of a Quillet started from the installed folder, or 0. A copy elsewhere (the
; portable zip unpacked anywhere) has a window of the same class and is left alone.
Function ${un}FindInstalledQuillet
  Push $1
  Push $2
  StrCpy $1 0
  ${Do}
    FindWindow $1 "${MAIN_WINDOW_CLASS}" "" 0 $1
    ${If} $1 == 0
      ${Break}
    ${EndIf}
    System::Call 'user32::GetWindowThreadProcessId(p r1, *i .r2)'
    Push $2
    Call ${un}ProcessImagePath
    Call ${un}IsInstalledProgram
    Pop $2
    ${If} $2 == 1
      ${Break}
    ${EndIf}
  ${Loop}
  StrCpy $0 $1
  Pop $2
  Pop $1
FunctionEnd

; Ends a running Quillet of the installed folder the way Windows does at log-off (it saves its
; settings and exits), after asking; gives up when it is still there after a while.
Function ${un}CloseQuillet
  Call ${un}FindInstalledQuillet
  ${If} $0 == 0
    Return
  ${EndIf}
  MessageBox MB_OKCANCEL|MB_ICONEXCLAMATION "$(RunningText)" /SD IDOK IDOK close
  SetErrorLevel 2
  Quit
  close:
  StrCpy $2 0
  StrCpy $3 0  ; the window last asked to end
  ${Do}
    ${If} $0 != $3
      SendMessage $0 ${WM_QUERYENDSESSION} 0 0 $1 /TIMEOUT=10000
      StrCpy $3 $0
    ${EndIf}
    Sleep 200
    Call ${un}FindInstalledQuillet
    ${If} $0 == 0
      Return
    ${EndIf}
    IntOp $2 $2 + 1
    ${If} $2 > 150
      MessageBox MB_OK|MB_ICONSTOP "$(StillRunningText)" /SD IDOK
      SetErrorLevel 2
      Quit
    ${EndIf}
  ${Loop}
FunctionEnd
!macroend
!insertmacro PathFunctions ""
!insertmacro PathFunctions "un."

; Whether two paths name the same file or folder, as Windows compares names. Stack: a, b -> 1 or 0.
Function SamePath
  Call PlainPath
  Exch
  Call PlainPath
  Exch $0
  Exch
  Exch $1
  ${If} $0 == $1
    StrCpy $0 1
  ${Else}
    StrCpy $0 0
  ${EndIf}
  Pop $1
  Exch $0
FunctionEnd

; Removes the Run value Quillet under ROOT\KEY when it starts the installed Quillet.exe.
!macro RemoveOwnRunValue un root key
  ClearErrors
  ReadRegStr $R1 ${root} "${key}" "${PRODUCT}"
  ${IfNot} ${Errors}
    Push $R1
    Call ${un}RunsInstalledProgram
    Pop $R1
    ${If} $R1 == 1
      DeleteRegValue ${root} "${key}" "${PRODUCT}"
    ${EndIf}
  ${EndIf}
!macroend

; A Run value Quillet under ROOT\KEY that starts the replaced 32-bit copy's program ($INSTDIR for
; the moment) is made to start the new program in $R9, with the same arguments.
!macro MoveOldRunValue root key
  ClearErrors
  ReadRegStr $R1 ${root} "${key}" "${PRODUCT}"
  ${IfNot} ${Errors}
    Push $R1
    Call RunsInstalledProgram
    Pop $R1
    ${If} $R1 == 1
    ${AndIf} $CommandArguments == ""
      WriteRegStr ${root} "${key}" "${PRODUCT}" "$R9\Quillet.exe"
    ${ElseIf} $R1 == 1
      WriteRegStr ${root} "${key}" "${PRODUCT}" '"$R9\Quillet.exe"$CommandArguments'
    ${EndIf}
  ${EndIf}
!macroend

; The folder of a 32-bit Quillet installed earlier on 64-bit Windows, which this installation
; replaces, or "" (also on 32-bit Windows, where the program installed is the 32-bit one).
Var OldDir

Function FindOldCopy
  StrCpy $OldDir ""
  ${IfNot} ${RunningX64}
    Return
  ${EndIf}
  SetRegView 32
  ClearErrors
  ReadRegStr $0 HKLM "${UNINSTALL_KEY}" "InstallLocation"
  ${IfNot} ${Errors}
    StrCpy $OldDir $0
  ${EndIf}
  SetRegView 64
FunctionEnd


; Whether $INSTDIR may take Quillet's files ($0: 1 or 0): it does not exist yet, is empty, or
; holds an installed Quillet, which only the marker this installer writes tells. Another
; program's same-named files (an Uninstall.exe, a documentation\index.html) must not be
; overwritten, nor removed again by the uninstaller; and a loose Quillet.exe is no proof: it may
; sit among a user's tools, or be a portable copy, whose settings beside it the marker would
; make it stop reading.
Function IsQuilletFolder
  StrCpy $0 1
  ${If} ${FileExists} "$INSTDIR\${MARKER}"
    Return
  ${EndIf}
  ClearErrors
  FindFirst $1 $2 "$INSTDIR\*.*"
  ${If} ${Errors}
    Return
  ${EndIf}
  ${DoUntil} ${Errors}
    ${If} $2 != "."
    ${AndIf} $2 != ".."
      StrCpy $0 0
      ${Break}
    ${EndIf}
    FindNext $1 $2
  ${Loop}
  FindClose $1
FunctionEnd

; A folder that holds another program's files gets a folder Quillet inside it, after asking
; (silently: without asking). $0: 1 when $INSTDIR may be used now.
Function ChooseQuilletFolder
  Call IsQuilletFolder
  ${If} $0 == 1
    Return
  ${EndIf}
  MessageBox MB_YESNO|MB_ICONEXCLAMATION "$(ForeignFolderText)" /SD IDYES IDYES inside
  StrCpy $0 0
  Return
  inside:
  StrCpy $INSTDIR "$INSTDIR\${PRODUCT}"
  Call IsQuilletFolder
  ${If} $0 == 0
    MessageBox MB_OK|MB_ICONSTOP "$(ForeignFolderAgainText)" /SD IDOK
  ${EndIf}
FunctionEnd

Function DirectoryLeave
  Call ChooseQuilletFolder
  ${If} $0 == 0
    Abort  ; the page stays for another folder
  ${EndIf}
FunctionEnd

; The program file of a copy that has just ended may stay locked a moment: waits until it can be
; written, and gives up, before anything in the folder has changed, when it stays locked.
Function WaitProgramFileFree
  ${IfNot} ${FileExists} "$INSTDIR\Quillet.exe"
    Return
  ${EndIf}
  StrCpy $3 0
  ${Do}
    ClearErrors
    FileOpen $4 "$INSTDIR\Quillet.exe" a
    ${IfNot} ${Errors}
      FileClose $4
      Return
    ${EndIf}
    IntOp $3 $3 + 1
    ${If} $3 > 100
      MessageBox MB_OK|MB_ICONSTOP "$(LockedText)" /SD IDOK
      SetErrorLevel 2
      Quit
    ${EndIf}
    Sleep 100
  ${Loop}
FunctionEnd

; Starts a program as the user of the desktop, through the shell that runs the desktop (its
; Shell.Application object, reached from the desktop's window in the ShellWindows list): the
; installer itself runs as an administrator, perhaps another account than the user's, and a
; program it started directly would run as that account and keep that account's settings.
; Stack: program -> 1 when the shell took it, else 0.
Function RunAsDesktopUser
  Exch $R0
  Push $R1
  Push $R2
  Push $R3
  Push $R4
  Push $R5
  Push $R6
  Push $R7
  Push $R8
  Push $R9
  StrCpy $R9 0
  System::Call '*(i 0, i 0, i 0, i 0) p .R8'  ; an empty VARIANT
  ; CLSID_ShellWindows, IID_IShellWindows
  System::Call 'ole32::CoCreateInstance(g "{9BA05972-F6A8-11CF-A442-00A0C90A8F39}", p 0, i 4, g "{85CB6900-4D95-11CF-960C-0080C7F4EE85}", *p .R1) i .R7'
  ${If} $R7 == 0
    ; FindWindowSW(SWC_DESKTOP, SWFO_NEEDDISPATCH): the desktop's browser
    System::Call '$R1->15(p R8, p R8, i 8, *i 0, i 1, *p .R2) i .R7'
    ${If} $R7 == 0
      ; IServiceProvider -> SID_STopLevelBrowser, IID_IShellBrowser
      System::Call '$R2->0(g "{6D5140C1-7436-11CE-8034-00AA006009FA}", *p .R3) i .R7'
      ${If} $R7 == 0
        System::Call '$R3->3(g "{4C96BE40-915C-11CF-99D3-00AA004AE837}", g "{000214E2-0000-0000-C000-000000000046}", *p .R4) i .R7'
        ${If} $R7 == 0
          ; QueryActiveShellView, then its background's IDispatch (SVGIO_BACKGROUND)
          System::Call '$R4->15(*p .R5) i .R7'
          ${If} $R7 == 0
            System::Call '$R5->15(i 0, g "{00020400-0000-0000-C000-000000000046}", *p .R6) i .R7'
            ${If} $R7 == 0
              Push $R6
              Call RunThroughFolderView
              Pop $R9
              System::Call '$R6->2()'
            ${EndIf}
            System::Call '$R5->2()'
          ${EndIf}
          System::Call '$R4->2()'
        ${EndIf}
        System::Call '$R3->2()'
      ${EndIf}
      System::Call '$R2->2()'
    ${EndIf}
    System::Call '$R1->2()'
  ${EndIf}
  System::Free $R8
  StrCpy $R0 $R9
  Pop $R9
  Pop $R8
  Pop $R7
  Pop $R6
  Pop $R5
  Pop $R4
  Pop $R3
  Pop $R2
  Pop $R1
  Exch $R0
FunctionEnd

; The second half of RunAsDesktopUser: from the desktop view's dispatch (on the stack, under the
; program, which is $R0) to Shell.Application's ShellExecute. Stack: dispatch -> 1 or 0.
Function RunThroughFolderView
  Exch $1
  Push $2
  Push $3
  Push $4
  Push $5
  Push $6
  Push $7
  StrCpy $7 0
  ; IShellFolderViewDual -> get_Application -> IShellDispatch2
  System::Call '$1->0(g "{E7A1AF80-4D96-11CF-960C-0080C7F4EE85}", *p .r2) i .r6'
  ${If} $6 == 0
    System::Call '$2->7(*p .r3) i .r6'
    ${If} $6 == 0
      System::Call '$3->0(g "{A4C6892C-3BA9-11D2-9DEA-00C04FB16162}", *p .r4) i .r6'
      ${If} $6 == 0
        ; ShellExecute(file, args, dir, operation, show): the four VARIANTs by value, the folder
        ; as a VT_BSTR, the others empty.
        System::Call 'oleaut32::SysAllocString(w R0) p .r5'
        Push $R0
        ${GetParent} $R0 $R0
        System::Call 'oleaut32::SysAllocString(w R0) p .r1'
        Pop $R0
        System::Call '$4->31(p r5, i 0, i 0, i 0, i 0, i 8, i 0, p r1, i 0, i 0, i 0, i 0, i 0, i 0, i 0, i 0, i 0) i .r6'
        ${If} $6 == 0
          StrCpy $7 1
        ${EndIf}
        System::Call 'oleaut32::SysFreeString(p r5)'
        System::Call 'oleaut32::SysFreeString(p r1)'
        System::Call '$4->2()'
      ${EndIf}
      System::Call '$3->2()'
    ${EndIf}
    System::Call '$2->2()'
  ${EndIf}
  StrCpy $1 $7
  Pop $7
  Pop $6
  Pop $5
  Pop $4
  Pop $3
  Pop $2
  Exch $1
FunctionEnd

; The finish page's "run Quillet". Where the shell cannot take it, a system without UAC (XP) runs
; the installer as the user who started it, so the program is started directly there; on later
; Windows the user is told to start it from the Start menu instead.
Function RunInstalledQuillet
  Push "$INSTDIR\Quillet.exe"
  Call RunAsDesktopUser
  Pop $0
  ${If} $0 == 1
    Return
  ${EndIf}
  ${If} ${AtLeastWinVista}
    MessageBox MB_OK|MB_ICONINFORMATION "$(RunFailedText)"
  ${Else}
    Exec '"$INSTDIR\Quillet.exe"'
  ${EndIf}
FunctionEnd

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

; Ends a running copy of the replaced 32-bit Quillet, as one of the installed folder.
Function CloseOldQuillet
  ${If} $OldDir == ""
    Return
  ${EndIf}
  StrCpy $R9 $INSTDIR
  StrCpy $INSTDIR $OldDir
  Call CloseQuillet
  StrCpy $INSTDIR $R9
FunctionEnd

; Once the new program is in place: the replaced 32-bit copy's Run values name the new program
; (the machine's one, in the 32-bit view, goes: the autostart section, ticked in .onInit when it
; named the old copy, writes it in the 64-bit view), its uninstall entry goes, and so do its
; program files when it was installed in another folder. Its settings stay where they are: both
; copies read %APPDATA%\Quillet\Quillet.ini.
Function RemoveOldCopy
  ${If} $OldDir == ""
    Return
  ${EndIf}
  StrCpy $R9 $INSTDIR
  StrCpy $INSTDIR $OldDir
  SetRegView 32
  !insertmacro RemoveOwnRunValue "" HKLM "${RUN_KEY}"
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
  SetRegView 64
  ; Each user's own value (what the program writes for a user who may not write the machine's).
  !insertmacro MoveOldRunValue HKCU "${RUN_KEY}"
  StrCpy $R2 0
  ${Do}
    ClearErrors
    EnumRegKey $R3 HKU "" $R2
    ${If} ${Errors}
    ${OrIf} $R3 == ""
      ${Break}
    ${EndIf}
    IntOp $R2 $R2 + 1
    !insertmacro MoveOldRunValue HKU "$R3\${RUN_KEY}"
  ${Loop}
  Push $INSTDIR
  Push $R9
  Call SamePath
  Pop $0
  ${If} $0 == 0
    !insertmacro DeleteProgramFile "$INSTDIR\Quillet.exe"
    !insertmacro QuilletRemoveFiles
    Delete "$INSTDIR\${MARKER}"
    Delete "$INSTDIR\Uninstall.exe"
    RMDir "$INSTDIR"
  ${EndIf}
  StrCpy $INSTDIR $R9
FunctionEnd

Section "$(SecProgramName)" SecProgram
  SectionIn RO
  Call ChooseQuilletFolder  ; (done on the folder page already, unless silent)
  ${If} $0 == 0
    SetErrorLevel 2
    Quit
  ${EndIf}
  Call CloseQuillet
  Call CloseOldQuillet
  Call WaitProgramFileFree
  SetOutPath "$INSTDIR"
  !insertmacro QuilletInstallFiles
  ${If} ${RunningX64}
    File "/oname=Quillet.exe" "${QUILLET_EXE_X64}"
  ${Else}
    File "/oname=Quillet.exe" "${QUILLET_EXE_X86}"
  ${EndIf}
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
  Call RemoveOldCopy
SectionEnd

; The same value the program writes, so its box shows ticked; left out, a value there is removed.
Section /o "$(SecAutostartName)" SecAutostart
  WriteRegStr HKLM "${RUN_KEY}" "${PRODUCT}" "$INSTDIR\Quillet.exe"
SectionEnd

Section "-AutostartOff"
  ${IfNot} ${SectionIsSelected} ${SecAutostart}
    !insertmacro RemoveOwnRunValue "" HKLM "${RUN_KEY}"
  ${EndIf}
SectionEnd

; Ticks the autostart box when the Run value Quillet of HKLM (in the view set) starts Quillet.exe
; in $INSTDIR.
Function SelectAutostartIfNamed
  ClearErrors
  ReadRegStr $0 HKLM "${RUN_KEY}" "${PRODUCT}"
  ${IfNot} ${Errors}
    Push $0
    Call RunsInstalledProgram
    Pop $0
    ${If} $0 == 1
      !insertmacro SelectSection ${SecAutostart}
    ${EndIf}
  ${EndIf}
FunctionEnd

Function .onInit
  ${If} ${RunningX64}
    SetRegView 64
  ${EndIf}
  Call FindOldCopy
  ; Without /D=: where this program is installed already; else on 64-bit Windows the 64-bit
  ; Program Files, or the folder of a replaced 32-bit copy the user had put outside Program Files.
  Push $INSTDIR
  Push "$PROGRAMFILES\${PRODUCT}"
  Call SamePath
  Pop $0
  ${If} $0 == 1
    ClearErrors
    ReadRegStr $0 HKLM "${UNINSTALL_KEY}" "InstallLocation"
    ${If} ${Errors}
    ${OrIf} $0 == ""
      ${If} ${RunningX64}
        StrCpy $INSTDIR "$PROGRAMFILES64\${PRODUCT}"
        ${If} $OldDir != ""
          Push $OldDir
          Push "$PROGRAMFILES\${PRODUCT}"
          Call SamePath
          Pop $0
          ${If} $0 == 0
            StrCpy $INSTDIR $OldDir
          ${EndIf}
        ${EndIf}
      ${EndIf}
    ${Else}
      StrCpy $INSTDIR $0
    ${EndIf}
  ${EndIf}

  ; The box starts as the system stands: ticked when the installed Quillet, or the 32-bit copy
  ; it replaces, already starts with Windows (a value naming a portable copy elsewhere is that
  ; copy's).
  Call SelectAutostartIfNamed
  ${If} $OldDir != ""
    StrCpy $R9 $INSTDIR
    StrCpy $INSTDIR $OldDir
    SetRegView 32
    Call SelectAutostartIfNamed
    SetRegView 64
    StrCpy $INSTDIR $R9
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
  ; Where the installer put the entries of the program it installed (see .onInit).
  ${If} ${RunningX64}
    SetRegView 64
  ${EndIf}
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

  ; Start with Windows for this installed copy, from the machine (what the installer writes) and
  ; from each signed-in user (what the program writes for a user who may not write the
  ; machine's), before the file it names goes.
  !insertmacro RemoveOwnRunValue un. HKLM "${RUN_KEY}"
  !insertmacro RemoveOwnRunValue un. HKCU "${RUN_KEY}"
  StrCpy $R2 0
  ${Do}
    ClearErrors
    EnumRegKey $R3 HKU "" $R2
    ${If} ${Errors}
    ${OrIf} $R3 == ""
      ${Break}
    ${EndIf}
    IntOp $R2 $R2 + 1
    !insertmacro RemoveOwnRunValue un. HKU "$R3\${RUN_KEY}"
  ${Loop}

  !insertmacro DeleteProgramFile "$INSTDIR\Quillet.exe"
  !insertmacro QuilletRemoveFiles
  Delete "$INSTDIR\${MARKER}"
  Delete "$INSTDIR\Uninstall.exe"

  SetShellVarContext all
  Delete "$SMPROGRAMS\${PRODUCT}\${PRODUCT}.lnk"
  Delete "$SMPROGRAMS\${PRODUCT}\$(UninstallLinkName).lnk"
  RMDir "$SMPROGRAMS\${PRODUCT}"

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
