; The setup program: puts kindlewick.scr into the Windows system folder, where the Screen
; Saver settings list it, offers to make it the current saver and registers an uninstaller.
;   makensis -DVERSION=1.2.3 -DSCR=x86/kindlewick.scr -DSCR64=x64/kindlewick.scr -DICON=kindlewick.ico
;            -DOUTFILE=setup.exe kindlewick.nsi
; SCR is the i686 saver, SCR64 the x86-64 one. 64-bit Windows on x86-64 gets SCR64 in the
; native System32; other Windows get SCR in System32 (native too on 64-bit Windows on ARM,
; which runs x86 programs on every version but x86-64 ones not on all).
; Exit codes: 0 done, 1 cancelled by the user, 2 a step failed (reported), 740 no administrator.
; Both run as the user who started them, so that the current saver is set, and put back, in
; that user's registry. The system folder and HKLM are changed in-process when already
; elevated, else by an elevated copy of the same program (switch /MACHINE), started with the
; runas verb and waited for; that copy never elevates again.

!ifndef VERSION | SCR | SCR64 | ICON | OUTFILE
  !error "define VERSION, SCR, SCR64, ICON and OUTFILE"
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

; The saver's path, in the native System32 on every Windows: the Screen Saver settings of
; 64-bit Windows are a 64-bit program and may list only that folder. $SYSDIR names it, but a
; 32-bit program's file operations there are redirected to SysWOW64 unless turned off.
Var Saver
; Where version 1.0 put the 32-bit saver on 64-bit Windows; this setup moves it to $Saver.
; Nothing is there on 32-bit Windows.
Var EarlierCopy
; 1 when the x86-64 saver is the one to install.
Var Native64
; 1 when Kindlewick was the current saver before this program changed anything.
Var WasCurrent

!macro FindSaver
  StrCpy $Saver "$SYSDIR\kindlewick.scr"
  StrCpy $EarlierCopy "$WINDIR\SysWOW64\kindlewick.scr"
  StrCpy $Native64 0
  ${If} ${RunningX64}
  ${AndIf} ${IsNativeAMD64}
    StrCpy $Native64 1
  ${EndIf}
!macroend

; Between these two, file operations on the system folder reach the native one. Only file
; operations: a 32-bit program that loaded a system DLL meanwhile would get the 64-bit one.
!macro NativeSystemFolder
  ${If} ${RunningX64}
    ${DisableX64FSRedirection}
  ${EndIf}
!macroend
!macro RedirectedSystemFolder
  ${If} ${RunningX64}
    ${EnableX64FSRedirection}
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

!macro CheckRemovableFunction UN
; Sets $R3 to what keeps the file $R2 from being replaced or removed, or to "" when nothing
; does or the file is not there; with the system folder native. A read-only saver is still
; ours to remove. A running program cannot be opened for writing; asking first also catches
; systems that would delete it once it ends.
Function ${UN}CheckRemovable
  StrCpy $R3 ""
  ${IfNot} ${FileExists} $R2
    Return
  ${EndIf}
  ClearErrors
  SetFileAttributes $R2 NORMAL
  ${If} ${Errors}
    StrCpy $R3 "you lack the rights to change it."
    Return
  ${EndIf}
  ClearErrors
  FileOpen $0 $R2 a
  ${If} ${Errors}
    StrCpy $R3 "it is in use. Close the screen saver and its settings, then try again."
    Return
  ${EndIf}
  FileClose $0
FunctionEnd
!macroend
!insertmacro CheckRemovableFunction ""
!insertmacro CheckRemovableFunction "un."

Section "Kindlewick screen saver" SecSaver
  SectionIn RO
  ${If} $Elevate == 1
    ; /D= must come last and unquoted.
    StrCpy $R0 " /D=$INSTDIR"
    Call RunMachinePart
    Return
  ${EndIf}
  ; The earlier copy that this one replaces is checked first: nothing has been touched when
  ; it cannot go.
  !insertmacro NativeSystemFolder
  StrCpy $R2 $EarlierCopy
  Call CheckRemovable
  ${If} $R3 != ""
    !insertmacro RedirectedSystemFolder
    !insertmacro Fail "Could not replace $R2: $R3"
  ${EndIf}
  ; A saver that runs cannot be replaced: the user gets Retry or Cancel, a silent setup
  ; cancels, and nothing else has been touched by then.
  AllowSkipFiles off
  SetOverwrite on
  SetOutPath $SYSDIR
  ; A read-only copy could not be replaced.
  SetFileAttributes $Saver NORMAL
  ${If} $Native64 == 1
    File "/oname=kindlewick.scr" "${SCR64}"
  ${Else}
    File "/oname=kindlewick.scr" "${SCR}"
  ${EndIf}
  ClearErrors
  Delete $EarlierCopy
  ${If} ${Errors}
    !insertmacro RedirectedSystemFolder
    !insertmacro Fail "Could not remove the earlier copy $EarlierCopy."
  ${EndIf}
  ; The setup carries both savers; Add or Remove Programs shows the size of the one installed.
  FileOpen $1 $Saver r
  FileSeek $1 0 END $2
  FileClose $1
  IntOp $2 $2 + 1023
  IntOp $2 $2 / 1024
  !insertmacro RedirectedSystemFolder

  ClearErrors
  SetOutPath $INSTDIR
  WriteUninstaller "$INSTDIR\uninstall.exe"
  ${If} ${Errors}
    !insertmacro Fail "Could not write $INSTDIR\uninstall.exe."
  ${EndIf}

  ; An upgrade writes the same key again: one entry, the new version.
  ClearErrors
  WriteRegStr HKLM "${UNINST_KEY}" "DisplayName" "${PRODUCT} screen saver"
  WriteRegStr HKLM "${UNINST_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINST_KEY}" "Publisher" "${PUBLISHER}"
  WriteRegStr HKLM "${UNINST_KEY}" "DisplayIcon" "$Saver,0"
  WriteRegDWORD HKLM "${UNINST_KEY}" "EstimatedSize" $2
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
; Sets $0 to 1 when the current user's screen saver is this one or the earlier copy, in any
; spelling the system may have stored (the long path, or a short 8.3 path).
Function ${UN}IsCurrentSaver
  StrCpy $0 0
  ReadRegStr $1 HKCU "${DESKTOP_KEY}" "SCRNSAVE.EXE"
  ${If} $1 == ""
    Return
  ${EndIf}
  ${If} $1 == $Saver
  ${OrIf} $1 == $EarlierCopy
    StrCpy $0 1
    Return
  ${EndIf}
  !insertmacro NativeSystemFolder
  GetFullPathName /SHORT $2 $1
  GetFullPathName /SHORT $3 $Saver
  GetFullPathName /SHORT $4 $EarlierCopy
  !insertmacro RedirectedSystemFolder
  ${If} $2 != ""
    ${If} $2 == $3
    ${OrIf} $2 == $4
      StrCpy $0 1
    ${EndIf}
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
  ; Asked before the machine part, which may have removed the earlier copy.
  ${If} $WasCurrent == 0
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
  Call IsCurrentSaver
  StrCpy $WasCurrent $0
FunctionEnd

Function un.onInit
  Call un.InitMachinePart
  !insertmacro FindSaver
  Call un.IsCurrentSaver
  StrCpy $WasCurrent $0
FunctionEnd

; The machine part: the saver, the entry in Add or Remove Programs, the uninstaller.
Section "un.Saver"
  ${If} $Elevate == 1
    ; _?= must come last: it takes the rest of the command line.
    StrCpy $R0 " _?=$INSTDIR"
    Call un.RunMachinePart
    Return
  ${EndIf}

  ; The one step that can fail (a saver is running, or no rights): first, so that a failure
  ; leaves the installation whole. Whichever copy is there goes; one already gone is no fault.
  !insertmacro NativeSystemFolder
  StrCpy $R2 $Saver
  Call un.CheckRemovable
  ${If} $R3 == ""
    StrCpy $R2 $EarlierCopy
    Call un.CheckRemovable
  ${EndIf}
  ${If} $R3 == ""
    Delete $Saver
    Delete $EarlierCopy
    ${If} ${FileExists} $Saver
      StrCpy $R2 $Saver
    ${EndIf}
    ${If} ${FileExists} $R2
      StrCpy $R3 "Close the screen saver and its settings, then try again."
    ${EndIf}
  ${EndIf}
  !insertmacro RedirectedSystemFolder
  ${If} $R3 != ""
    !insertmacro Fail "Could not remove $R2: $R3"
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
  ; The saver setup replaced comes back, unless the user has picked another since.
  ${If} $WasCurrent == 1
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
