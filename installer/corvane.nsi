; Corvane's per-user installer. Built by CMake (target "installer"), which passes:
;   VERSION      the project version, e.g. 6.0.1
;   PROGRAM_DIR  the folder holding Corvane.exe and rizaz.exe
;   SOURCE_DIR   the source tree (LICENSE.txt, installer/README.txt)
;   OUTFILE      the setup program to write
; The user's four list files live beside the programs; they are never shipped, so an upgrade keeps
; them, and the uninstaller keeps them unless asked otherwise.

; The programs are 64-bit, and so is the installer (a 64-bit-only Wine runs no 32-bit stub).
Target amd64-unicode
SetCompressor /SOLID lzma
RequestExecutionLevel user

!include MUI2.nsh
!include LogicLib.nsh
!include WinMessages.nsh

!ifndef VERSION | PROGRAM_DIR | SOURCE_DIR | OUTFILE
  !error "VERSION, PROGRAM_DIR, SOURCE_DIR and OUTFILE must be defined"
!endif

!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Corvane"
!define SETTINGS_KEY "Software\Corvane\Corvane"
!define RUN_KEY "Software\Microsoft\Windows\CurrentVersion\Run"
; Window classes of the two programs' main windows, and the tray menu's Close command.
!define MAIN_CLASS "CorvaneMain"
!define BLOCKER_CLASS "RizazFrmMain"
!define CLOSE_COMMAND 40022
; How long to wait for both programs to end, in 200 ms steps.
!define END_WAIT_STEPS 50

Name "Corvane"
OutFile "${OUTFILE}"
InstallDir "$LOCALAPPDATA\Programs\Corvane"
; An upgrade goes where the earlier install went.
InstallDirRegKey HKCU "${UNINSTALL_KEY}" "InstallLocation"
BrandingText "Corvane ${VERSION}"

VIProductVersion "${VERSION}.0"
VIAddVersionKey /LANG=1033 "ProductName" "Corvane"
VIAddVersionKey /LANG=1033 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=1033 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=1033 "FileDescription" "Corvane setup"
VIAddVersionKey /LANG=1033 "CompanyName" "Corvane"
VIAddVersionKey /LANG=1033 "LegalCopyright" "Copyright (c) 2026 The Corvane developers"

!define MUI_ABORTWARNING
!define MUI_COMPONENTSPAGE_NODESC
!define MUI_FINISHPAGE_RUN "$INSTDIR\Corvane.exe"
!define MUI_FINISHPAGE_RUN_NOTCHECKED
!insertmacro MUI_PAGE_LICENSE "${SOURCE_DIR}/LICENSE.txt"
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH

!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_COMPONENTS
!insertmacro MUI_UNPAGE_INSTFILES

!insertmacro MUI_LANGUAGE "English"

; Ends a running Corvane as its tray menu's Close does ("Support" = "False", which also ends the
; blocker at its next tick) and waits until neither program has a window left. Files of a running
; program cannot be replaced or removed, so on time-out the user may retry; a silent run gives up
; with exit code 2 and changes nothing.
!macro END_PROGRAMS un
Function ${un}EndPrograms
  FindWindow $0 "${MAIN_CLASS}"
  FindWindow $1 "${BLOCKER_CLASS}"
  ${If} $0 = 0
  ${AndIf} $1 = 0
    Return
  ${EndIf}
  retry:
  WriteRegStr HKCU "${SETTINGS_KEY}" "Support" "False"
  FindWindow $0 "${MAIN_CLASS}"
  ${If} $0 <> 0
    SendMessage $0 ${WM_COMMAND} ${CLOSE_COMMAND} 0 /TIMEOUT=2000
  ${EndIf}
  StrCpy $1 0
  ${Do}
    FindWindow $0 "${MAIN_CLASS}"
    ${If} $0 = 0
      FindWindow $0 "${BLOCKER_CLASS}"
    ${EndIf}
    ${If} $0 = 0
      ; The windows go just before their processes do.
      Sleep 500
      Return
    ${EndIf}
    IntOp $1 $1 + 1
    ${If} $1 >= ${END_WAIT_STEPS}
      ${ExitDo}
    ${EndIf}
    Sleep 200
  ${Loop}
  MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION "Corvane is still running. Close it from its tray menu, then click Retry." /SD IDCANCEL IDRETRY retry
  SetErrorLevel 2
  Quit
FunctionEnd
!macroend
!insertmacro END_PROGRAMS ""
!insertmacro END_PROGRAMS "un."

Section "Corvane" SecProgram
  SectionIn RO
  Call EndPrograms
  SetOutPath "$INSTDIR"
  SetOverwrite on
  File "${PROGRAM_DIR}/Corvane.exe"
  File "${PROGRAM_DIR}/rizaz.exe"
  File "${SOURCE_DIR}/installer/README.txt"
  File "${SOURCE_DIR}/LICENSE.txt"
  WriteUninstaller "$INSTDIR\uninstall.exe"

  SetShellVarContext current
  CreateShortcut "$SMPROGRAMS\Corvane.lnk" "$INSTDIR\Corvane.exe" "" "$INSTDIR\Corvane.exe" 0 SW_SHOWNORMAL "" "Corvane desktop protection"

  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "Corvane"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "Publisher" "The Corvane developers"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\Corvane.exe"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKCU "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

; A program that has just ended may hold its file for a moment longer.
!macro DELETE_PROGRAM file
  StrCpy $2 0
  ${Do}
    ClearErrors
    Delete "${file}"
    ${IfNot} ${FileExists} "${file}"
    ${OrIf} $2 >= 25
      ${ExitDo}
    ${EndIf}
    IntOp $2 $2 + 1
    Sleep 200
  ${Loop}
!macroend

Section "un.Corvane" UnSecProgram
  SectionIn RO
  Call un.EndPrograms
  !insertmacro DELETE_PROGRAM "$INSTDIR\Corvane.exe"
  !insertmacro DELETE_PROGRAM "$INSTDIR\rizaz.exe"
  Delete "$INSTDIR\README.txt"
  Delete "$INSTDIR\LICENSE.txt"
  Delete "$INSTDIR\uninstall.exe"
  SetShellVarContext current
  Delete "$SMPROGRAMS\Corvane.lnk"
  DeleteRegValue HKCU "${RUN_KEY}" "Corvane"
  DeleteRegKey HKCU "${UNINSTALL_KEY}"
SectionEnd

; Not ticked by default, so a silent uninstall keeps the lists.
Section /o "un.Also remove my lists" UnSecLists
  Delete "$INSTDIR\midmo.ocx"
  Delete "$INSTDIR\cekdn.ocx"
  Delete "$INSTDIR\hovsfd.dll"
  Delete "$INSTDIR\shudw.dll"
SectionEnd

Section "-un.Folder"
  ; Only when empty: kept lists keep their folder.
  RMDir "$INSTDIR"
SectionEnd
