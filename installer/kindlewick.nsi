; The setup program: puts kindlewick.scr into the Windows system folder, where the Screen
; Saver settings list it, offers to make it the current saver and registers an uninstaller.
;   makensis -DVERSION=1.2.3 -DSCR=kindlewick.scr -DICON=kindlewick.ico -DOUTFILE=setup.exe kindlewick.nsi
; Exit codes: 0 done, 1 cancelled by the user, 2 a step failed (reported), 740 no administrator.
; Both run as the user who started them, so that the current saver is set, and put back, in
; that user's registry. The system folder and HKLM are changed in-process when already
; elevated, else by an elevated copy of the same program (switch /MACHINE), started with the
; runas verb and waited for; that copy never elevates again.

!ifndef VERSION | SCR | ICON | OUTFILE
  !error "define VERSION, SCR, ICON and OUTFILE"
!endif

Unicode true
SetCompressor /SOLID lzma
; The installed file takes the time of its installation: the build's time would make every
; build's setup program differ.
SetDateSave off
RequestExecutionLevel user
ManifestSupportedOS all

!define PRODUCT "Kindlewick"
!define PUBLISHER "the Kindlewick developers"
!define UNINST_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Kindlewick"
!define DESKTOP_KEY "Control Panel\Desktop"
; Where the saver keeps its settings: the registry key and its application name.
!define SETTINGS_KEY "Software\Kindlewick.\kindlewick"
!define SETTINGS_ROOT "Software\Kindlewick."
; The user's saver before setup made Kindlewick current, for the uninstaller to put back.
!define REPLACED_KEY "Software\Kindlewick.\Replaced"
!define ERROR_ELEVATION_REQUIRED 740

Name "${PRODUCT} ${VERSION}"
OutFile "${OUTFILE}"
; Only the uninstaller lives here; the saver itself must be in the system folder.
InstallDir "$PROGRAMFILES\${PRODUCT}"
InstallDirRegKey HKLM "${UNINST_KEY}" "InstallLocation"
ShowInstDetails show
ShowUninstDetails show
BrandingText "${PRODUCT} ${VERSION}"

VIProductVersion "${VERSION}.0"
VIAddVersionKey "ProductName" "${PRODUCT}"
VIAddVersionKey "ProductVersion" "${VERSION}"
VIAddVersionKey "FileVersion" "${VERSION}"
VIAddVersionKey "FileDescription" "${PRODUCT} setup"
VIAddVersionKey "CompanyName" "${PUBLISHER}"
VIAddVersionKey "LegalCopyright" "Copyright (c) ${PUBLISHER}, MIT licence"

!include "MUI2.nsh"
!include "LogicLib.nsh"
!include "x64.nsh"
!include "FileFunc.nsh"

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_ABORTWARNING
!define MUI_COMPONENTSPAGE_NODESC
; The elevated copy asks nothing: the user has chosen already.
!define MUI_PAGE_CUSTOMFUNCTION_PRE SkipInMachinePart
!insertmacro MUI_PAGE_COMPONENTS
!insertmacro MUI_PAGE_INSTFILES
!define MUI_PAGE_CUSTOMFUNCTION_PRE un.SkipInMachinePart
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "English"

; The saver's path as the system sees it. A 32-bit program's "system32" is redirected to
; SysWOW64 on 64-bit Windows, but the screen-saver launcher there is a 64-bit program: the
; registry must name the real folder.
Var Saver

!macro FindSaver
  ${If} ${RunningX64}
    StrCpy $Saver "$WINDIR\SysWOW64\kindlewick.scr"
  ${Else}
    StrCpy $Saver "$SYSDIR\kindlewick.scr"
  ${EndIf}
!macroend

; Run elevated or not at all: writing the system folder and HKLM would fail half-way.
!macro RequireAdmin
  UserInfo::GetAccountType
  Pop $0
  ${If} $0 != "Admin"
    MessageBox MB_OK|MB_ICONSTOP "${PRODUCT} needs administrator rights to change the system folder." /SD IDOK
    SetErrorLevel ${ERROR_ELEVATION_REQUIRED}
    Quit
  ${EndIf}
!macroend

; 1 in the elevated copy, which does only the machine part.
Var Machine
; 1 when this process lacks the rights and must start that copy.
Var Elevate

!macro MachinePartFunctions UN
Function ${UN}SkipInMachinePart
  ${If} $Machine == 1
    Abort
  ${EndIf}
FunctionEnd

; Reads /MACHINE and decides where the machine part runs. An administrator's process counts
; as elevated only with an elevated token: a filtered one still lists the group.
Function ${UN}InitMachinePart
  StrCpy $Machine 0
  StrCpy $Elevate 0
  ${GetParameters} $0
  ClearErrors
  ${GetOptions} $0 "/MACHINE" $1
  ${IfNot} ${Errors}
    StrCpy $Machine 1
    !insertmacro RequireAdmin
    SetAutoClose true
    Return
  ${EndIf}
  UserInfo::GetAccountType
  Pop $0
  ${If} $0 != "Admin"
    StrCpy $Elevate 1
    Return
  ${EndIf}
  ; TOKEN_QUERY, TokenElevation; before Vista the call fails and an administrator is elevated.
  System::Call 'kernel32::GetCurrentProcess() p.r1'
  System::Call 'advapi32::OpenProcessToken(p r1, i 8, *p .r2) i.r3'
  ${If} $3 <> 0
    System::Call 'advapi32::GetTokenInformation(p r2, i 20, *i .r4, i 4, *i .r5) i.r6'
    System::Call 'kernel32::CloseHandle(p r2)'
    ${If} $6 <> 0
    ${AndIf} $4 = 0
      StrCpy $Elevate 1
    ${EndIf}
  ${EndIf}
FunctionEnd

; Runs this program elevated with /MACHINE, the parameters in $R0 after it, and waits.
; Fails the step unless it exits 0; a refused elevation is a cancel.
Function ${UN}RunMachinePart
  StrCpy $R1 "/MACHINE"
  IfSilent 0 +2
    StrCpy $R1 "$R1 /S"
  StrCpy $R1 "$R1$R0"
  ; SHELLEXECUTEINFOW with SEE_MASK_NOCLOSEPROCESS, to wait on the process it starts, and
  ; SEE_MASK_FLAG_NO_UI: a failure is reported here, and a shell error box would hold a
  ; silent setup for ever.
  System::Call '*(i 60, i 0x440, p $HWNDPARENT, w "runas", w "$EXEPATH", w "$R1", w "$EXEDIR", i 1, p 0, p 0, p 0, p 0, i 0, p 0, p 0) p.r2'
  System::Call 'shell32::ShellExecuteExW(p r2) i.r3 ?e'
  Pop $1
  ${If} $3 = 0
    System::Free $2
    ${If} $1 = 1223
      DetailPrint "Administrator rights were refused."
      SetErrorLevel 1
      Abort
    ${EndIf}
    !insertmacro Fail "Could not start the part of ${PRODUCT} that needs administrator rights (error $1)."
  ${EndIf}
  System::Call '*$2(i, i, p, p, p, p, p, i, p, p, p, p, i, p, p .r4)'
  System::Free $2
  System::Call 'kernel32::WaitForSingleObject(p r4, i -1)'
  System::Call 'kernel32::GetExitCodeProcess(p r4, *i .r0)'
  System::Call 'kernel32::CloseHandle(p r4)'
  ${If} $0 <> 0
    ; The elevated copy has said what failed.
    DetailPrint "The part that needs administrator rights failed (exit status $0)."
    SetErrorLevel $0
    Abort
  ${EndIf}
FunctionEnd
!macroend

; Reports a failed step (also in silent mode, through the exit code) and stops.
!macro Fail MESSAGE
  DetailPrint "${MESSAGE}"
  MessageBox MB_OK|MB_ICONSTOP "${MESSAGE}" /SD IDOK
  SetErrorLevel 2
  Abort
!macroend

!insertmacro MachinePartFunctions ""
!insertmacro MachinePartFunctions "un."

Section "Kindlewick screen saver" SecSaver
  SectionIn RO
  ${If} $Elevate == 1
    ; /D= must come last and unquoted.
    StrCpy $R0 " /D=$INSTDIR"
    Call RunMachinePart
    Return
  ${EndIf}
  ; A saver that runs cannot be replaced: the user gets Retry or Cancel, a silent setup
  ; cancels, and nothing else has been touched by then.
  AllowSkipFiles off
  SetOverwrite on
  SetOutPath $SYSDIR
  ; A read-only copy could not be replaced.
  SetFileAttributes "$SYSDIR\kindlewick.scr" NORMAL
  File "/oname=kindlewick.scr" "${SCR}"

  ClearErrors
  SetOutPath $INSTDIR
  WriteUninstaller "$INSTDIR\uninstall.exe"
  ${If} ${Errors}
    !insertmacro Fail "Could not write $INSTDIR\uninstall.exe."
  ${EndIf}

  ; An upgrade writes the same key again: one entry, the new version.
  SectionGetSize ${SecSaver} $0
  ClearErrors
  WriteRegStr HKLM "${UNINST_KEY}" "DisplayName" "${PRODUCT} screen saver"
  WriteRegStr HKLM "${UNINST_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINST_KEY}" "Publisher" "${PUBLISHER}"
  WriteRegStr HKLM "${UNINST_KEY}" "DisplayIcon" "$Saver,0"
  WriteRegDWORD HKLM "${UNINST_KEY}" "EstimatedSize" $0
  WriteRegStr HKLM "${UNINST_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINST_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKLM "${UNINST_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD HKLM "${UNINST_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINST_KEY}" "NoRepair" 1
  ${If} ${Errors}
    !insertmacro Fail "Could not write the entry in Add or Remove Programs."
  ${EndIf}
SectionEnd

!macro IsCurrentSaverFunction UN
; Sets $0 to 1 when the current user's screen saver is this one, in any spelling the
; system may have stored (the redirected system32 path, or a short 8.3 path).
Function ${UN}IsCurrentSaver
  StrCpy $0 0
  ReadRegStr $1 HKCU "${DESKTOP_KEY}" "SCRNSAVE.EXE"
  ${If} $1 == ""
    Return
  ${EndIf}
  ${If} $1 == $Saver
  ${OrIf} $1 == "$SYSDIR\kindlewick.scr"
    StrCpy $0 1
    Return
  ${EndIf}
  GetFullPathName /SHORT $2 $1
  GetFullPathName /SHORT $3 $Saver
  ${If} $2 != ""
  ${AndIf} $2 == $3
    StrCpy $0 1
  ${EndIf}
FunctionEnd
!macroend
!insertmacro IsCurrentSaverFunction ""
!insertmacro IsCurrentSaverFunction "un."

Section "Use Kindlewick as my screen saver" SecUse
  ${If} $Machine == 1
    Return
  ${EndIf}
  ; An upgrade keeps what the first setup recorded; Kindlewick is never its own predecessor.
  Call IsCurrentSaver
  ${If} $0 == 0
    ReadRegStr $1 HKCU "${DESKTOP_KEY}" "SCRNSAVE.EXE"
    ReadRegStr $2 HKCU "${DESKTOP_KEY}" "ScreenSaveActive"
    WriteRegStr HKCU "${REPLACED_KEY}" "SCRNSAVE.EXE" $1
    WriteRegStr HKCU "${REPLACED_KEY}" "ScreenSaveActive" $2
  ${EndIf}
  ClearErrors
  WriteRegStr HKCU "${DESKTOP_KEY}" "SCRNSAVE.EXE" "$Saver"
  WriteRegStr HKCU "${DESKTOP_KEY}" "ScreenSaveActive" "1"
  ${If} ${Errors}
    !insertmacro Fail "Could not make ${PRODUCT} the current screen saver."
  ${EndIf}
  ; Tells the running system, not only the registry (SPI_SETSCREENSAVEACTIVE, SPIF_SENDCHANGE).
  System::Call "user32::SystemParametersInfo(i 17, i 1, i 0, i 2)"
SectionEnd

Function .onInit
  Call InitMachinePart
  !insertmacro FindSaver
FunctionEnd

Function un.onInit
  Call un.InitMachinePart
  !insertmacro FindSaver
FunctionEnd

; The machine part: the saver, the entry in Add or Remove Programs, the uninstaller.
Section "un.Saver"
  ${If} $Elevate == 1
    ; _?= must come last: it takes the rest of the command line.
    StrCpy $R0 " _?=$INSTDIR"
    Call un.RunMachinePart
    Return
  ${EndIf}

  ; The one step that can fail (the saver is running, or no rights): first, so that a
  ; failure leaves the installation whole. A running program cannot be opened for writing;
  ; asking first also catches systems that would delete it once it ends.
  ${If} ${FileExists} "$SYSDIR\kindlewick.scr"
    ; A read-only saver is still ours to remove; the probe below would take it for in use.
    ClearErrors
    SetFileAttributes "$SYSDIR\kindlewick.scr" NORMAL
    ${If} ${Errors}
      !insertmacro Fail "Could not remove $Saver: you lack the rights to change it."
    ${EndIf}
    ClearErrors
    FileOpen $0 "$SYSDIR\kindlewick.scr" a
    ${If} ${Errors}
      !insertmacro Fail "Could not remove $Saver: it is in use. Close the screen saver and its settings, then try again."
    ${EndIf}
    FileClose $0
  ${EndIf}
  ClearErrors
  Delete "$SYSDIR\kindlewick.scr"
  ${If} ${Errors}
  ${OrIf} ${FileExists} "$SYSDIR\kindlewick.scr"
    !insertmacro Fail "Could not remove $Saver. Close the screen saver and its settings, then try again."
  ${EndIf}

  ; Only a key that stays is a failure: a registry cleaner may have taken it already.
  DeleteRegKey HKLM "${UNINST_KEY}"
  ClearErrors
  EnumRegKey $0 HKLM "${UNINST_KEY}" 0
  ${IfNot} ${Errors}
    !insertmacro Fail "The screen saver is removed, but its entry in Add or Remove Programs could not be."
  ${EndIf}
  ; Run in place (_?=), the uninstaller is this very file: it and its folder stay, as
  ; NSIS documents for that mode. Otherwise this is a copy, and the original can go.
  GetFullPathName $1 "$EXEPATH"
  GetFullPathName $2 "$INSTDIR\uninstall.exe"
  ${If} $1 == $2
    DetailPrint "$INSTDIR\uninstall.exe is running, so it stays; delete it and its folder at will."
  ${Else}
    ClearErrors
    Delete "$INSTDIR\uninstall.exe"
    ${If} ${Errors}
      !insertmacro Fail "The screen saver and its entry are removed, but $INSTDIR\uninstall.exe could not be."
    ${EndIf}
    ; Kept if the user put something of their own there.
    RMDir "$INSTDIR"
  ${EndIf}
SectionEnd

; The user's part, once the machine part has succeeded.
Section "un.User"
  ${If} $Machine == 1
    Return
  ${EndIf}
  Call un.IsCurrentSaver
  StrCpy $9 $0

  ; The saver setup replaced comes back, unless the user has picked another since.
  ${If} $9 == 1
    ClearErrors
    ReadRegStr $1 HKCU "${REPLACED_KEY}" "SCRNSAVE.EXE"
    ${If} ${Errors}
    ${OrIf} $1 == ""
      DeleteRegValue HKCU "${DESKTOP_KEY}" "SCRNSAVE.EXE"
    ${Else}
      WriteRegStr HKCU "${DESKTOP_KEY}" "SCRNSAVE.EXE" $1
    ${EndIf}
    ReadRegStr $2 HKCU "${REPLACED_KEY}" "ScreenSaveActive"
    ${IfNot} ${Errors}
      ${If} $2 == ""
        DeleteRegValue HKCU "${DESKTOP_KEY}" "ScreenSaveActive"
        StrCpy $2 0
      ${Else}
        WriteRegStr HKCU "${DESKTOP_KEY}" "ScreenSaveActive" $2
      ${EndIf}
      System::Call "user32::SystemParametersInfo(i 17, i $2, i 0, i 2)"
    ${EndIf}
    ClearErrors
  ${EndIf}
  DeleteRegKey HKCU "${REPLACED_KEY}"


  ; The user's settings stay unless the user says otherwise; a silent removal keeps them.
  MessageBox MB_YESNO|MB_ICONQUESTION "Remove your ${PRODUCT} settings as well?" /SD IDNO IDNO keepSettings
    DeleteRegKey HKCU "${SETTINGS_KEY}"
    DeleteRegKey /ifempty HKCU "${SETTINGS_ROOT}"
  keepSettings:
SectionEnd
