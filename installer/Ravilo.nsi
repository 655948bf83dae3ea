; Ravilo's per-user installer and its uninstaller unins000.exe.
; Built by the Windows build (cmake/MakePackages.cmake), which passes:
;   VERSION   x.y.z from project(Ravilo VERSION ...)
;   SOURCE    the staged program folder (Ravilo.exe, Images, Movies, Sounds, ...)
;   FILELIST  the uninstaller's list of those files
;   ICON      the program's icon
;   SIDE      the welcome and finish pages' picture (164 x 314)
;   OUTFILE   Ravilo-Setup-<version>.exe
; /S installs or uninstalls silently; a silent install starts again the Ravilo it closed, and
; a silent uninstall keeps the settings and the playlist.

Unicode true
Target amd64-unicode
SetCompressor /SOLID lzma
ManifestDPIAware true

!include "MUI2.nsh"
!include "LogicLib.nsh"
!include "FileFunc.nsh"
!include "WinMessages.nsh"

!define UNINST_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Ravilo"
!define RUN_KEY "Software\Microsoft\Windows\CurrentVersion\Run"
!define SETTINGS_KEY "Software\MirenWorks\Ravilo"
; Ravilo's main window: its window class and caption.
!define MAIN_CLASS "RaviloForm"
!define MAIN_CAPTION "Ravilo"
; How long a running Ravilo gets to end after it was asked to close (it saves its settings
; as it ends, which takes a while on a busy machine).
!define CLOSE_WAIT_MS 20000

; The program file of the Ravilo that Setup closed, if any: a silent update starts it again,
; so that its alarm is not left off by an update nobody watched.
Var RaviloWasRunning

Name "Ravilo"
OutFile "${OUTFILE}"
; Per user and without administrator rights. Ravilo writes Playlist.txt beside itself, so
; the folder must stay writable by the user: never Program Files.
InstallDir "$LOCALAPPDATA\Programs\Ravilo"
InstallDirRegKey HKCU "${UNINST_KEY}" "InstallLocation"
RequestExecutionLevel user
BrandingText "MirenWorks"
ShowInstDetails nevershow
ShowUninstDetails nevershow

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_WELCOMEFINISHPAGE_BITMAP "${SIDE}"
!define MUI_UNWELCOMEFINISHPAGE_BITMAP "${SIDE}"
!define MUI_ABORTWARNING
!define MUI_WELCOMEPAGE_TEXT "This will install Ravilo ${VERSION}, an animated desktop pet that is also an alarm clock, for you alone. No administrator rights are needed.$\r$\n$\r$\nIf Ravilo is running, Setup closes it first; your alarm, settings and playlist are kept.$\r$\n$\r$\nClick Next to continue."
!insertmacro MUI_PAGE_WELCOME
!define MUI_DIRECTORYPAGE_TEXT_TOP "Ravilo keeps its playlist (Playlist.txt) beside the program, so choose a folder that you can write to. The suggested folder is yours alone."
!insertmacro MUI_PAGE_DIRECTORY
!define MUI_COMPONENTSPAGE_NODESC
!define MUI_COMPONENTSPAGE_TEXT_TOP "Choose how Ravilo starts."
!insertmacro MUI_PAGE_COMPONENTS
!insertmacro MUI_PAGE_INSTFILES
!define MUI_FINISHPAGE_RUN
!define MUI_FINISHPAGE_RUN_TEXT "Start Ravilo now"
!define MUI_FINISHPAGE_RUN_FUNCTION StartRavilo
!insertmacro MUI_PAGE_FINISH

!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_UNPAGE_FINISH

!insertmacro MUI_LANGUAGE "English"

VIProductVersion "${VERSION}.0"
VIFileVersion "${VERSION}.0"
VIAddVersionKey /LANG=${LANG_ENGLISH} "ProductName" "Ravilo"
VIAddVersionKey /LANG=${LANG_ENGLISH} "CompanyName" "MirenWorks"
VIAddVersionKey /LANG=${LANG_ENGLISH} "FileDescription" "Ravilo Setup"
VIAddVersionKey /LANG=${LANG_ENGLISH} "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=${LANG_ENGLISH} "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=${LANG_ENGLISH} "LegalCopyright" "MirenWorks"

; Ends a running Ravilo before its files are replaced or removed: asks its main window to
; close (without a key held, a close ends Ravilo at once, saving its place and state), waits
; for the process to end, and ends the process only if it is still there after the wait.
; The uninstaller leaves alone a Ravilo that runs from another folder (a portable copy):
; it holds none of the files being removed.
!macro CLOSE_RAVILO un
Function ${un}CloseRavilo
  Push $0
  Push $1
  Push $2
  Push $3
  FindWindow $0 "${MAIN_CLASS}" "${MAIN_CAPTION}"
  ${If} $0 P<> 0
    StrCpy $1 0
    System::Call 'user32::GetWindowThreadProcessId(p r0, *i .r1) i'
    ; SYNCHRONIZE | PROCESS_TERMINATE | PROCESS_QUERY_LIMITED_INFORMATION
    System::Call 'kernel32::OpenProcess(i 0x00101001, i 0, i r1) p .r2'
    StrCpy $3 ""
    ${If} $2 P<> 0
      System::Call 'kernel32::QueryFullProcessImageNameW(p r2, i 0, w .r3, *i ${NSIS_MAX_STRLEN}) i'
    ${EndIf}
    !if "${un}" == "un."
      ${If} $3 != ""
      ${AndIf} $3 != "$INSTDIR\Ravilo.exe"
        DetailPrint "Ravilo runs from $3; left running."
        System::Call 'kernel32::CloseHandle(p r2)'
        Goto done
      ${EndIf}
    !else
      ; A portable copy that was running is the one started again.
      StrCpy $RaviloWasRunning "$INSTDIR\Ravilo.exe"
      ${If} $3 != ""
        StrCpy $RaviloWasRunning $3
      ${EndIf}
    !endif
    DetailPrint "Closing Ravilo..."
    SendMessage $0 ${WM_CLOSE} 0 0 /TIMEOUT=2000
    ${If} $2 P<> 0
      System::Call 'kernel32::WaitForSingleObject(p r2, i ${CLOSE_WAIT_MS}) i .r3'
      ${If} $3 <> 0
        DetailPrint "Ravilo did not close; ending it."
        System::Call 'kernel32::TerminateProcess(p r2, i 0) i'
        System::Call 'kernel32::WaitForSingleObject(p r2, i 10000) i'
      ${EndIf}
      System::Call 'kernel32::CloseHandle(p r2)'
    ${Else}
      ; The process could not be opened: wait for its window to go.
      StrCpy $3 0
      ${Do}
        FindWindow $0 "${MAIN_CLASS}" "${MAIN_CAPTION}"
        ${If} $0 P= 0
        ${OrIf} $3 >= ${CLOSE_WAIT_MS}
          ${Break}
        ${EndIf}
        Sleep 100
        IntOp $3 $3 + 100
      ${Loop}
    ${EndIf}
  ${EndIf}
  !if "${un}" == "un."
    done:
  !endif
  ; An ended program's file can stay locked for a moment: remove Ravilo.exe (it is replaced
  ; or uninstalled anyway) and retry while it is still held.
  StrCpy $3 0
  ${DoWhile} ${FileExists} "$INSTDIR\Ravilo.exe"
    Delete "$INSTDIR\Ravilo.exe"
    ${IfNot} ${FileExists} "$INSTDIR\Ravilo.exe"
    ${OrIf} $3 >= 10000
      ${Break}
    ${EndIf}
    Sleep 250
    IntOp $3 $3 + 250
  ${Loop}
  Pop $3
  Pop $2
  Pop $1
  Pop $0
FunctionEnd
!macroend
!insertmacro CLOSE_RAVILO ""
!insertmacro CLOSE_RAVILO "un."

Function StartRavilo
  SetOutPath "$INSTDIR"
  Exec '"$INSTDIR\Ravilo.exe"'
FunctionEnd

; An interactive install offers the same on its last page ("Start Ravilo now").
Function .onInstSuccess
  ${If} ${Silent}
  ${AndIf} $RaviloWasRunning != ""
    Exec '"$RaviloWasRunning"'
  ${EndIf}
FunctionEnd

Section "Ravilo (required)" SecProgram
  SectionIn RO
  Call CloseRavilo
  SetOutPath "$INSTDIR"
  ; Playlist.txt is never in the package, so installing over an older version keeps it;
  ; the settings key is not touched.
  File /r "${SOURCE}/*"
  WriteUninstaller "$INSTDIR\unins000.exe"
  CreateShortcut "$SMPROGRAMS\Ravilo.lnk" "$INSTDIR\Ravilo.exe" "" "$INSTDIR\Ravilo.exe" 0 \
    SW_SHOWNORMAL "" "Ravilo, the desktop pet alarm clock"
  WriteRegStr HKCU "${UNINST_KEY}" "DisplayName" "Ravilo"
  WriteRegStr HKCU "${UNINST_KEY}" "DisplayIcon" "$INSTDIR\Ravilo.exe,0"
  WriteRegStr HKCU "${UNINST_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKCU "${UNINST_KEY}" "Publisher" "MirenWorks"
  WriteRegStr HKCU "${UNINST_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKCU "${UNINST_KEY}" "UninstallString" '"$INSTDIR\unins000.exe"'
  WriteRegStr HKCU "${UNINST_KEY}" "QuietUninstallString" '"$INSTDIR\unins000.exe" /S'
  WriteRegDWORD HKCU "${UNINST_KEY}" "NoModify" 1
  WriteRegDWORD HKCU "${UNINST_KEY}" "NoRepair" 1
  ; Written again below when chosen, so that a reinstall without it drops an older one.
  DeleteRegValue HKCU "${RUN_KEY}" "Ravilo"
SectionEnd

Section "Start Ravilo when I log on" SecRun
  WriteRegStr HKCU "${RUN_KEY}" "Ravilo" '"$INSTDIR\Ravilo.exe"'
SectionEnd

Section "-EstimatedSize"
  ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
  WriteRegDWORD HKCU "${UNINST_KEY}" "EstimatedSize" $0
SectionEnd

Section "Uninstall"
  Call un.CloseRavilo
  !include "${FILELIST}"
  Delete "$INSTDIR\unins000.exe"
  Delete "$SMPROGRAMS\Ravilo.lnk"
  DeleteRegValue HKCU "${RUN_KEY}" "Ravilo"
  DeleteRegKey HKCU "${UNINST_KEY}"
  ; Asked only now, after Ravilo has ended: it writes its settings as it ends.
  MessageBox MB_YESNO|MB_ICONQUESTION "Also remove your Ravilo settings (alarm time, sound, place on the screen) and your playlist?$\r$\n$\r$\nChoose No to keep them for a later installation." /SD IDNO IDNO keep
    DeleteRegKey HKCU "${SETTINGS_KEY}"
    DeleteRegKey /ifempty HKCU "Software\MirenWorks"
    Delete "$INSTDIR\Playlist.txt"
  keep:
  RMDir "$INSTDIR"
  ${If} ${FileExists} "$INSTDIR\Ravilo.exe"
    MessageBox MB_OK|MB_ICONEXCLAMATION "Ravilo.exe could not be removed from $INSTDIR. Exit Ravilo and delete the folder." /SD IDOK
    SetErrorLevel 2
  ${EndIf}
SectionEnd
