; The Windows installer: each member installs the board for himself, into a folder of his own,
; because the board replaces its own program file when the site publishes a newer build.
; tools/windows/package.sh builds it (makensis -INPUTCHARSET UTF8) and defines:
;   VERSION          the programs' ProductVersion, e.g. 3.00
;   FILE_VERSION     the same as four numbers, e.g. 3.0.0.0
;   STAGE            the staged program folder
;   INSTALLED_FILES  the Delete and RMDir lines for everything in STAGE
;   SIZE_KB          the stage's size, for the list of installed programs
;   ICON             resources/windows/vurnaboard.ico
;   OUTFILE          the installer to write
; Switches besides NSIS's own (/S, /D=): /STARTUP=1 or /STARTUP=0 ticks or unticks starting at log-on.
; Exit codes: 0 installed, 1 cancelled by the user, 2 refused or failed (in silent mode too).

!macro REQUIRE define
    !ifndef ${define}
        !error "${define} is not defined: build the installer with tools/windows/package.sh"
    !endif
!macroend
!insertmacro REQUIRE VERSION
!insertmacro REQUIRE FILE_VERSION
!insertmacro REQUIRE STAGE
!insertmacro REQUIRE INSTALLED_FILES
!insertmacro REQUIRE SIZE_KB
!insertmacro REQUIRE ICON
!insertmacro REQUIRE OUTFILE

Unicode true
; The programs are 64-bit only; a 64-bit installer also sees the same registry and folders they do.
Target amd64-unicode
SetCompressor /SOLID lzma
RequestExecutionLevel user
ManifestDPIAware true

!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Vurnaboard"
; The board's own start-up shortcut: its preferences create, remove and look for this very file.
!define STARTUP_LINK "$SMSTARTUP\Vurnaboard.lnk"

Name "Vurnaboard"
OutFile "${OUTFILE}"
InstallDir "$LOCALAPPDATA\Programs\Vurnaboard"
InstallDirRegKey HKCU "${UNINSTALL_KEY}" "InstallLocation"
BrandingText "Vurnaboard ${VERSION}"

!include MUI2.nsh
!include LogicLib.nsh
!include FileFunc.nsh

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_ABORTWARNING
!define MUI_FINISHPAGE_RUN "$INSTDIR\Vurna3.exe"
!define MUI_FINISHPAGE_RUN_TEXT "Vurnaboard を起動する"

!insertmacro MUI_PAGE_WELCOME
!insertmacro MUI_PAGE_COMPONENTS
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "Japanese"

VIProductVersion "${FILE_VERSION}"
VIAddVersionKey /LANG=${LANG_JAPANESE} "CompanyName" "Quaxosoft"
VIAddVersionKey /LANG=${LANG_JAPANESE} "FileDescription" "Vurnaboard セットアップ"
VIAddVersionKey /LANG=${LANG_JAPANESE} "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=${LANG_JAPANESE} "ProductName" "Vurnaboard"
VIAddVersionKey /LANG=${LANG_JAPANESE} "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=${LANG_JAPANESE} "LegalCopyright" "Copyright (C) Quaxosoft"

; A running board holds the mutex VurnaMutex and has its program file open; replacing or removing
; files under it would leave a broken install. The member is asked to end it and may try again;
; a silent run ends at once with exit code 2.
!macro REFUSE_WHILE_RUNNING prefix what
    Function ${prefix}RefuseWhileRunning
        check:
        ; SYNCHRONIZE access is all that opening needs; the mutex exists while a board runs.
        System::Call 'kernel32::OpenMutexW(i 0x00100000, i 0, w "VurnaMutex") p .r0'
        ${If} $0 P<> 0
            System::Call 'kernel32::CloseHandle(p r0)'
            MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION \
                "Vurnaboard が起動しています。$\r$\n$\r$\n画面右下に表示されている Vurna のアイコンを右クリックし、$\r$\n「Vurnaの終了」で Vurnaboard を終了させてから [再試行] を押して下さい。$\r$\n[キャンセル] を押すと${what}を中止します。" \
                /SD IDCANCEL IDRETRY check
            SetErrorLevel 2
            Quit
        ${EndIf}
    FunctionEnd
!macroend
!insertmacro REFUSE_WHILE_RUNNING "" "インストール"
!insertmacro REFUSE_WHILE_RUNNING "un." "アンインストール"

Section "Vurnaboard" SecProgram
    SectionIn RO
    ; Asked again: the board may have been started while the pages were on screen.
    Call RefuseWhileRunning
    SetOutPath "$INSTDIR"
    File /r "${STAGE}/*"
    WriteUninstaller "$INSTDIR\uninstall.exe"
    CreateShortCut "$SMPROGRAMS\Vurnaboard.lnk" "$INSTDIR\Vurna3.exe"

    WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "Vurnaboard"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "Publisher" "Quaxosoft"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
    WriteRegStr HKCU "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
    WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\Vurna3.exe,0"
    WriteRegDWORD HKCU "${UNINSTALL_KEY}" "EstimatedSize" ${SIZE_KB}
    WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
    WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

; Unticked unless the member already starts the board at log-on: starting with Windows is the
; member's own choice, which the board's preferences offer as well, and untouched when unticked.
Section /o "ログオン時に起動する" SecStartup
    ; The shortcut's working folder is the output folder.
    SetOutPath "$INSTDIR"
    CreateShortCut "${STARTUP_LINK}" "$INSTDIR\Vurna3.exe"
SectionEnd

!insertmacro MUI_FUNCTION_DESCRIPTION_BEGIN
    !insertmacro MUI_DESCRIPTION_TEXT ${SecProgram} "Vurnaboard と自動更新用の Vurnup.exe です。"
    !insertmacro MUI_DESCRIPTION_TEXT ${SecStartup} "スタートアップに「Vurnaboard」のショートカットを作ります。Vurnaboard の環境設定の「自動的に起動するようにする。」と同じです。"
!insertmacro MUI_FUNCTION_DESCRIPTION_END

Function .onInit
    ${GetParameters} $R0
    ClearErrors
    ${GetOptions} $R0 "/STARTUP=" $R1
    ${IfNot} ${Errors}
        ${If} $R1 == "1"
            SectionSetFlags ${SecStartup} ${SF_SELECTED}
        ${Else}
            SectionSetFlags ${SecStartup} 0
        ${EndIf}
    ${ElseIf} ${FileExists} "${STARTUP_LINK}"
        ; Kept ticked, so that the shortcut follows the install folder.
        SectionSetFlags ${SecStartup} ${SF_SELECTED}
    ${EndIf}
    Call RefuseWhileRunning
FunctionEnd

Function un.onInit
    Call un.RefuseWhileRunning
FunctionEnd

; The member's settings (HKCU\Software\Quaxosoft\Vurna) stay: a new install takes them up again.
Section "Uninstall"
    !include "${INSTALLED_FILES}"
    Delete "$INSTDIR\uninstall.exe"
    RMDir "$INSTDIR"
    Delete "$SMPROGRAMS\Vurnaboard.lnk"
    Delete "${STARTUP_LINK}"
    DeleteRegKey HKCU "${UNINSTALL_KEY}"
SectionEnd
