; The deepNUMS installer for Windows, made on Linux with makensis by the target
; "installer" of the mingw-w64 cross build (packaging/CMakeLists.txt), which defines
;   VERSION  the project's version, as 1.30      STAGE    the staged files (cmake --install)
;   LISTS    the folder of install_files.nsh and uninstall_files.nsh, written from STAGE
;   ICON     deepnums.ico                          OUTFILE  the installer to write
;
; A per-user installation that needs no administrator rights: the programs and documents go
; to %LOCALAPPDATA%\Programs\deepNUMS (the folder can be changed on the directory page, or
; with /D=folder), the Start menu gets "deepNUMS" and "deepNUMS manual", and the
; uninstaller is listed in Apps & features under the user's own key (HKCU). The
; Start-menu entry starts the program in %APPDATA%\deepNUMS, where it keeps deepNUMS.ini.
;
; Both run silently with /S. The uninstaller removes exactly the files the installer put
; down and then the folders that are left empty: the user's workspace (deepNUMS.ini in
; %APPDATA%\deepNUMS or beside the program) and anything else the user put in those folders
; stays, unless "Your workspace" is ticked on its components page or /REMOVEWORKSPACE is
; given. Neither runs while a deepNUMS window is open (its files would be in use): the
; user is asked to close it, and in silent mode the run ends with exit code 2.

!ifndef VERSION | STAGE | LISTS | ICON | OUTFILE
  !error "VERSION, STAGE, LISTS, ICON and OUTFILE must be defined (-DNAME=value)"
!endif

Target amd64-unicode
ManifestDPIAware true
ManifestSupportedOS all
RequestExecutionLevel user
SetCompressor /SOLID lzma

!define UNINST_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\deepNUMS"
!define WORKSPACE_DIR "$APPDATA\deepNUMS"
!define MENU_DIR "$SMPROGRAMS\deepNUMS"

Name "deepNUMS ${VERSION}"
OutFile "${OUTFILE}"
InstallDir "$LOCALAPPDATA\Programs\deepNUMS"
InstallDirRegKey HKCU "${UNINST_KEY}" "InstallLocation"
BrandingText "deepNUMS ${VERSION}"

VIProductVersion "${VERSION}.0.0"
VIFileVersion "${VERSION}.0.0"
VIAddVersionKey /LANG=0 "ProductName" "deepNUMS"
VIAddVersionKey /LANG=0 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=0 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=0 "FileDescription" "deepNUMS ${VERSION} Setup"
VIAddVersionKey /LANG=0 "CompanyName" "The deepNUMS authors"
VIAddVersionKey /LANG=0 "LegalCopyright" "Copyright (C) 2026 The deepNUMS authors; MIT License"

!include MUI2.nsh
!include LogicLib.nsh
!include FileFunc.nsh

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_ABORTWARNING
!define MUI_FINISHPAGE_RUN
!define MUI_FINISHPAGE_RUN_TEXT "$(RunProgram)"
!define MUI_FINISHPAGE_RUN_FUNCTION RunFromStartMenu
!define MUI_FINISHPAGE_SHOWREADME "$INSTDIR\docs\manual.html"
!define MUI_FINISHPAGE_SHOWREADME_TEXT "$(ShowManual)"
!define MUI_FINISHPAGE_SHOWREADME_NOTCHECKED
; The licence is shown for information: the MIT License asks for no acceptance.
!define MUI_LICENSEPAGE_BUTTON "$(^NextBtn)"
!define MUI_LICENSEPAGE_TEXT_BOTTOM "$(LicenceNote)"

!insertmacro MUI_PAGE_LICENSE "${STAGE}/LICENSE.txt"
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH

!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_COMPONENTS
!insertmacro MUI_UNPAGE_INSTFILES

!insertmacro MUI_LANGUAGE "English"
!insertmacro MUI_LANGUAGE "Japanese"

LangString RunProgram ${LANG_ENGLISH} "Start deepNUMS"
LangString RunProgram ${LANG_JAPANESE} "deepNUMS を起動する"
LangString ShowManual ${LANG_ENGLISH} "Show the manual"
LangString ShowManual ${LANG_JAPANESE} "マニュアルを表示する"
LangString ProgramComment ${LANG_ENGLISH} "Decimal scientific calculator for 12 to 100,000 significant digits"
LangString ProgramComment ${LANG_JAPANESE} "10万桁関数電卓"
LangString ManualComment ${LANG_ENGLISH} "The deepNUMS user's manual"
LangString ManualComment ${LANG_JAPANESE} "deepNUMS のマニュアル (英語)"
LangString CloseProgram ${LANG_ENGLISH} "deepNUMS is running. Close its window, then press Retry."
LangString CloseProgram ${LANG_JAPANESE} "deepNUMS が起動しています。ウィンドウを閉じてから「再試行」を押してください。"
LangString LicenceNote ${LANG_ENGLISH} "deepNUMS is free software under the MIT License. Press Next to continue."
LangString LicenceNote ${LANG_JAPANESE} "deepNUMS は MIT ライセンスのフリーソフトウェアです。「次へ」で進みます。"
LangString ProgramFiles ${LANG_ENGLISH} "deepNUMS"
LangString ProgramFiles ${LANG_JAPANESE} "deepNUMS"
LangString ProgramFilesText ${LANG_ENGLISH} "The programs, the documents and the Start-menu entries."
LangString ProgramFilesText ${LANG_JAPANESE} "プログラム、文書、スタートメニューの項目。"
LangString Workspace ${LANG_ENGLISH} "Your workspace"
LangString Workspace ${LANG_JAPANESE} "ワークスペース"
LangString WorkspaceText ${LANG_ENGLISH} "deepNUMS.ini with your registers, script and options, in $APPDATA\deepNUMS and beside the program. Left in place unless ticked."
LangString WorkspaceText ${LANG_JAPANESE} "レジスタ、スクリプト、オプションを保存した deepNUMS.ini ($APPDATA\deepNUMS とプログラムのフォルダー)。チェックしなければ残ります。"

; Waits until no deepNUMS window is open, asking the user to close it; Cancel (and silent
; mode, which cannot ask) ends the run with exit code 2 before anything was changed.
!macro WAIT_FOR_PROGRAM_CLOSED
  ${Do}
    FindWindow $0 "deepNUMS"
    ${If} $0 = 0
      ${Break}
    ${EndIf}
    MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION "$(CloseProgram)" /SD IDCANCEL IDRETRY retry
    SetErrorLevel 2
    Quit
    retry:
  ${Loop}
!macroend

Function .onInit
  SetErrorLevel 0
  !insertmacro WAIT_FOR_PROGRAM_CLOSED
FunctionEnd

Function RunFromStartMenu
  ; Through the shortcut, so the program starts in the folder the Start menu gives it.
  ExecShell "" "${MENU_DIR}\deepNUMS.lnk"
FunctionEnd

Section "deepNUMS" SecProgram
  SectionIn RO
  ; An earlier installation in this folder is removed first by its own uninstaller (run
  ; silently, it keeps the workspace), so files a newer version no longer has do not stay.
  ${If} ${FileExists} "$INSTDIR\Uninstall.exe"
    InitPluginsDir
    CopyFiles /SILENT "$INSTDIR\Uninstall.exe" "$PLUGINSDIR\previous-uninstall.exe"
    ExecWait '"$PLUGINSDIR\previous-uninstall.exe" /S _?=$INSTDIR'
    Delete "$PLUGINSDIR\previous-uninstall.exe"
  ${EndIf}

  !include "${LISTS}/install_files.nsh"
  WriteUninstaller "$INSTDIR\Uninstall.exe"

  ; The shortcuts' "Start in" folder is the output folder when they are made.
  SetOutPath "${WORKSPACE_DIR}"
  CreateDirectory "${MENU_DIR}"
  CreateShortcut "${MENU_DIR}\deepNUMS.lnk" "$INSTDIR\deepNUMS.exe" "" \
                 "$INSTDIR\deepNUMS.exe" 0 SW_SHOWNORMAL "" "$(ProgramComment)"
  CreateShortcut "${MENU_DIR}\deepNUMS manual.lnk" "$INSTDIR\docs\manual.html" "" \
                 "" 0 SW_SHOWNORMAL "" "$(ManualComment)"
  SetOutPath "$INSTDIR"

  WriteRegStr HKCU "${UNINST_KEY}" "DisplayName" "deepNUMS ${VERSION}"
  WriteRegStr HKCU "${UNINST_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKCU "${UNINST_KEY}" "Publisher" "The deepNUMS authors"
  WriteRegStr HKCU "${UNINST_KEY}" "DisplayIcon" "$INSTDIR\deepNUMS.exe,0"
  WriteRegStr HKCU "${UNINST_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKCU "${UNINST_KEY}" "UninstallString" '"$INSTDIR\Uninstall.exe"'
  WriteRegStr HKCU "${UNINST_KEY}" "QuietUninstallString" '"$INSTDIR\Uninstall.exe" /S'
  WriteRegDWORD HKCU "${UNINST_KEY}" "NoModify" 1
  WriteRegDWORD HKCU "${UNINST_KEY}" "NoRepair" 1
  ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
  WriteRegDWORD HKCU "${UNINST_KEY}" "EstimatedSize" $0
SectionEnd

Section "un.deepNUMS" UnSecProgram
  SectionIn RO
  !include "${LISTS}/uninstall_files.nsh"
  Delete "$INSTDIR\Uninstall.exe"
  ; Only when empty: a workspace or other files of the user's keep the folder.
  RMDir "$INSTDIR"
  Delete "${MENU_DIR}\deepNUMS.lnk"
  Delete "${MENU_DIR}\deepNUMS manual.lnk"
  RMDir "${MENU_DIR}"
  RMDir "${WORKSPACE_DIR}"
  DeleteRegKey HKCU "${UNINST_KEY}"
SectionEnd

Section /o "un.Workspace" UnSecWorkspace
  Delete "${WORKSPACE_DIR}\deepNUMS.ini"
  RMDir "${WORKSPACE_DIR}"
  Delete "$INSTDIR\deepNUMS.ini"
  RMDir "$INSTDIR"
SectionEnd

; Sections are referred to by the indexes their declarations above define.
Function un.onInit
  SetErrorLevel 0
  !insertmacro WAIT_FOR_PROGRAM_CLOSED
  SectionSetText ${UnSecProgram} "$(ProgramFiles)"
  SectionSetText ${UnSecWorkspace} "$(Workspace)"
  ${un.GetParameters} $0
  ClearErrors
  ${un.GetOptions} $0 "/REMOVEWORKSPACE" $1
  ${IfNot} ${Errors}
    SectionSetFlags ${UnSecWorkspace} ${SF_SELECTED}
  ${EndIf}
FunctionEnd

!insertmacro MUI_UNFUNCTION_DESCRIPTION_BEGIN
  !insertmacro MUI_DESCRIPTION_TEXT ${UnSecProgram} "$(ProgramFilesText)"
  !insertmacro MUI_DESCRIPTION_TEXT ${UnSecWorkspace} "$(WorkspaceText)"
!insertmacro MUI_UNFUNCTION_DESCRIPTION_END
