; The Windows installer: puts the staged folder into the user's own programs folder, with
; no administrator rights, and registers the program for the current user only.
;
;   makensis -DVERSION=3.0.0 -DSTAGE=/path/to/stage -DOUTFILE=rukanoba3-3.0.0-setup.exe installer.nsi
;
; STAGE holds everything that is installed (the programs, Qt's DLLs and plugin folders, the
; translations, manual.html, rukanoba3.ico); package.sh runs this. Both the installer and
; its uninstaller take /S to run silently.

!macro REQUIRE name
    !ifndef ${name}
        !error "${name} がありません: makensis -DVERSION=... -DSTAGE=... -DOUTFILE=... installer.nsi"
    !endif
!macroend
!insertmacro REQUIRE VERSION
!insertmacro REQUIRE STAGE
!insertmacro REQUIRE OUTFILE

Unicode true
Target amd64-unicode
SetCompressor /SOLID lzma
ManifestDPIAware true
RequestExecutionLevel user

!define APP_NAME "ルカノバ 3"
!define APP_KEY "Rukanoba3"
!define APP_EXE "rukanoba3.exe"
!define APP_ICON "rukanoba3.ico"
!define PUBLISHER "Rukanoba3 project"
!define PROGID_HY3 "Rukanoba3.hy3"
!define PROGID_TABLE "Rukanoba3.table"
!define CLASSES "Software\Classes"
!define APPLICATION "${CLASSES}\Applications\${APP_EXE}"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\${APP_KEY}"
!define SHORTCUT "$SMPROGRAMS\${APP_NAME}.lnk"

Name "${APP_NAME}"
OutFile "${OUTFILE}"
InstallDir "$LOCALAPPDATA\Programs\${APP_KEY}"
InstallDirRegKey HKCU "${UNINSTALL_KEY}" "InstallLocation"
ShowInstDetails nevershow
ShowUninstDetails nevershow

!include "MUI2.nsh"
!include "LogicLib.nsh"
!include "FileFunc.nsh"

!define MUI_ICON "${__FILEDIR__}/${APP_ICON}"
!define MUI_UNICON "${__FILEDIR__}/${APP_ICON}"

!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!define MUI_FINISHPAGE_RUN "$INSTDIR\${APP_EXE}"
!define MUI_FINISHPAGE_RUN_TEXT "${APP_NAME} を起動する"
!insertmacro MUI_PAGE_FINISH

!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES

!insertmacro MUI_LANGUAGE "Japanese"

; The uninstaller's list of what the installer put: every file of STAGE, then its folders.
!tempfile STAGE_LIST
!system '"${__FILEDIR__}/uninstall-list.sh" "${STAGE}" > "${STAGE_LIST}"' = 0

; Tables the program reads: offered under "Open with", never taken as their default.
!macro FOR_EACH_TABLE action
    !insertmacro ${action} .csv
    !insertmacro ${action} .txt
    !insertmacro ${action} .xlsx
    !insertmacro ${action} .ods
!macroend
!macro OFFER_TABLE ext
    WriteRegStr HKCU "${CLASSES}\${ext}\OpenWithProgids" "${PROGID_TABLE}" ""
    WriteRegStr HKCU "${APPLICATION}\SupportedTypes" "${ext}" ""
!macroend
; Only our own value goes, and a key only if that leaves it empty.
!macro WITHDRAW_TABLE ext
    DeleteRegValue HKCU "${CLASSES}\${ext}\OpenWithProgids" "${PROGID_TABLE}"
    DeleteRegKey /ifempty HKCU "${CLASSES}\${ext}\OpenWithProgids"
    DeleteRegKey /ifempty HKCU "${CLASSES}\${ext}"
!macroend

Function .onInit
    SetShellVarContext current
FunctionEnd

Function un.onInit
    SetShellVarContext current
FunctionEnd

Section
    ; An earlier version in the same folder goes first, so none of its files stays behind
    ; unknown to the new uninstaller. It runs in place (_?=) so that this waits for it.
    ${If} ${FileExists} "$INSTDIR\uninstall.exe"
        ExecWait '"$INSTDIR\uninstall.exe" /S _?=$INSTDIR'
        Delete "$INSTDIR\uninstall.exe"
    ${EndIf}

    SetOutPath "$INSTDIR"
    File /r "${STAGE}/*"
    WriteUninstaller "$INSTDIR\uninstall.exe"
    ; The shortcut starts the program in its own folder.
    CreateShortcut "${SHORTCUT}" "$INSTDIR\${APP_EXE}" "" "$INSTDIR\${APP_ICON}" 0

    ; The program's own data files: double-clicking one opens it, unless another program
    ; already holds .hy3; ours is offered under "Open with" either way.
    WriteRegStr HKCU "${CLASSES}\${PROGID_HY3}" "" "運賃表示器データ (Ver3)"
    WriteRegStr HKCU "${CLASSES}\${PROGID_HY3}\DefaultIcon" "" '"$INSTDIR\${APP_ICON}",0'
    WriteRegStr HKCU "${CLASSES}\${PROGID_HY3}\shell\open\command" "" '"$INSTDIR\${APP_EXE}" "%1"'
    ; What HKCR gives, read key by key (Wine's HKCR leaves out the user's own classes).
    ReadRegStr $0 HKCU "${CLASSES}\.hy3" ""
    ${If} $0 == ""
        ReadRegStr $0 HKLM "${CLASSES}\.hy3" ""
    ${EndIf}
    ${If} $0 == ""
    ${OrIf} $0 == "${PROGID_HY3}"
        WriteRegStr HKCU "${CLASSES}\.hy3" "" "${PROGID_HY3}"
    ${EndIf}
    WriteRegStr HKCU "${CLASSES}\.hy3\OpenWithProgids" "${PROGID_HY3}" ""

    ; Tables.
    WriteRegStr HKCU "${CLASSES}\${PROGID_TABLE}" "" "${APP_NAME} で読む表"
    WriteRegStr HKCU "${CLASSES}\${PROGID_TABLE}\shell\open\command" "" '"$INSTDIR\${APP_EXE}" "%1"'
    WriteRegStr HKCU "${APPLICATION}" "FriendlyAppName" "${APP_NAME}"
    WriteRegStr HKCU "${APPLICATION}\DefaultIcon" "" '"$INSTDIR\${APP_ICON}",0'
    WriteRegStr HKCU "${APPLICATION}\shell\open\command" "" '"$INSTDIR\${APP_EXE}" "%1"'
    WriteRegStr HKCU "${APPLICATION}\SupportedTypes" ".hy3" ""
    !insertmacro FOR_EACH_TABLE OFFER_TABLE
    System::Call 'shell32::SHChangeNotify(i 0x08000000, i 0, p 0, p 0)' ; SHCNE_ASSOCCHANGED

    ; Apps & features.
    ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
    IntFmt $0 "0x%08X" $0
    WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "${APP_NAME}"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" '"$INSTDIR\${APP_ICON}"'
    WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
    WriteRegStr HKCU "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
    WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
    WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1
    WriteRegDWORD HKCU "${UNINSTALL_KEY}" "EstimatedSize" $0
SectionEnd

Section "Uninstall"
    Delete "${SHORTCUT}"

    ; .hy3 goes back to what it was: its default only while it still names us.
    ReadRegStr $0 HKCU "${CLASSES}\.hy3" ""
    ${If} $0 == "${PROGID_HY3}"
        DeleteRegValue HKCU "${CLASSES}\.hy3" ""
    ${EndIf}
    DeleteRegValue HKCU "${CLASSES}\.hy3\OpenWithProgids" "${PROGID_HY3}"
    DeleteRegKey /ifempty HKCU "${CLASSES}\.hy3\OpenWithProgids"
    DeleteRegKey /ifempty HKCU "${CLASSES}\.hy3"
    !insertmacro FOR_EACH_TABLE WITHDRAW_TABLE
    DeleteRegKey HKCU "${CLASSES}\${PROGID_HY3}"
    DeleteRegKey HKCU "${CLASSES}\${PROGID_TABLE}"
    DeleteRegKey HKCU "${APPLICATION}"
    DeleteRegKey HKCU "${UNINSTALL_KEY}"
    ; What the program itself remembers (the table window's size: QSettings "rukanoba3").
    DeleteRegKey HKCU "Software\rukanoba3"
    ; The keys above them too, when we were the ones who made them and nothing else is there.
    DeleteRegKey /ifempty HKCU "${CLASSES}\Applications"
    DeleteRegKey /ifempty HKCU "Software\Microsoft\Windows\CurrentVersion\Uninstall"
    System::Call 'shell32::SHChangeNotify(i 0x08000000, i 0, p 0, p 0)' ; SHCNE_ASSOCCHANGED

    !include "${STAGE_LIST}"
    Delete "$INSTDIR\uninstall.exe"
    ; Only if empty: a file the user put there keeps its folder.
    RMDir "$INSTDIR"
    ; The user's programs folder too, which the installer may have made, if nothing else is in it.
    ${If} "$INSTDIR" == "$LOCALAPPDATA\Programs\${APP_KEY}"
        RMDir "$LOCALAPPDATA\Programs"
    ${EndIf}
SectionEnd

!delfile "${STAGE_LIST}"
