; The setup program: puts kindlewick.scr into the Windows system folder, where the Screen
; Saver settings list it, offers to make it the current saver and registers an uninstaller.
;   makensis -DVERSION=1.2.3 -DSCR=kindlewick.scr -DICON=kindlewick.ico -DOUTFILE=setup.exe kindlewick.nsi
; Exit codes: 0 done, 1 cancelled by the user, 2 a step failed (reported), 740 no administrator.

!ifndef VERSION | SCR | ICON | OUTFILE
  !error "define VERSION, SCR, ICON and OUTFILE"
!endif

Unicode true
SetCompressor /SOLID lzma
; The installed file takes the time of its installation: the build's time would make every
; build's setup program differ.
SetDateSave off
RequestExecutionLevel admin
ManifestSupportedOS all

!define PRODUCT "Kindlewick"
!define PUBLISHER "the Kindlewick developers"
!define UNINST_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Kindlewick"
!define DESKTOP_KEY "Control Panel\Desktop"
; Where the saver keeps its settings: the registry key and its application name.
!define SETTINGS_KEY "Software\Kindlewick.\kindlewick"
!define SETTINGS_ROOT "Software\Kindlewick."
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

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_ABORTWARNING
!define MUI_COMPONENTSPAGE_NODESC
!insertmacro MUI_PAGE_COMPONENTS
!insertmacro MUI_PAGE_INSTFILES
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

; Reports a failed step (also in silent mode, through the exit code) and stops.
!macro Fail MESSAGE
  DetailPrint "${MESSAGE}"
  MessageBox MB_OK|MB_ICONSTOP "${MESSAGE}" /SD IDOK
  SetErrorLevel 2
  Abort
!macroend

Function .onInit
  !insertmacro RequireAdmin
  !insertmacro FindSaver
FunctionEnd

Section "Kindlewick screen saver" SecSaver
  SectionIn RO
  ; A saver that runs cannot be replaced: the user gets Retry or Cancel, a silent setup
  ; cancels, and nothing else has been touched by then.
  AllowSkipFiles off
  SetOverwrite on
  SetOutPath $SYSDIR
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

Section "Use Kindlewick as my screen saver" SecUse
  ClearErrors
  WriteRegStr HKCU "${DESKTOP_KEY}" "SCRNSAVE.EXE" "$Saver"
  WriteRegStr HKCU "${DESKTOP_KEY}" "ScreenSaveActive" "1"
  ${If} ${Errors}
    !insertmacro Fail "Could not make ${PRODUCT} the current screen saver."
  ${EndIf}
  ; Tells the running system, not only the registry (SPI_SETSCREENSAVEACTIVE, SPIF_SENDCHANGE).
  System::Call "user32::SystemParametersInfo(i 17, i 1, i 0, i 2)"
SectionEnd

Function un.onInit
  !insertmacro RequireAdmin
  !insertmacro FindSaver
FunctionEnd

; Sets $0 to 1 when the current user's screen saver is this one, in any spelling the
; system may have stored (the redirected system32 path, or a short 8.3 path).
Function un.IsCurrentSaver
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

Section "Uninstall"
  Call un.IsCurrentSaver
  StrCpy $9 $0

  ; The one step that can fail (the saver is running, or no rights): first, so that a
  ; failure leaves the installation whole. A running program cannot be opened for writing;
  ; asking first also catches systems that would delete it once it ends.
  ${If} ${FileExists} "$SYSDIR\kindlewick.scr"
    ClearErrors
    FileOpen $0 "$SYSDIR\kindlewick.scr" a
    ${If} ${Errors}
      !insertmacro Fail "Could not remove $Saver: it is running, or you lack the rights. Close the screen saver and its settings, then try again."
    ${EndIf}
    FileClose $0
  ${EndIf}
  ClearErrors
  Delete "$SYSDIR\kindlewick.scr"
  ${If} ${Errors}
  ${OrIf} ${FileExists} "$SYSDIR\kindlewick.scr"
    !insertmacro Fail "Could not remove $Saver. Close the screen saver and its settings, then try again."
  ${EndIf}

  ${If} $9 == 1
    DeleteRegValue HKCU "${DESKTOP_KEY}" "SCRNSAVE.EXE"
  ${EndIf}

  ; The user's settings stay unless the user says otherwise; a silent removal keeps them.
  MessageBox MB_YESNO|MB_ICONQUESTION "Remove your ${PRODUCT} settings as well?" /SD IDNO IDNO keepSettings
    DeleteRegKey HKCU "${SETTINGS_KEY}"
    DeleteRegKey /ifempty HKCU "${SETTINGS_ROOT}"
  keepSettings:

  ClearErrors
  DeleteRegKey HKLM "${UNINST_KEY}"
  Delete "$INSTDIR\uninstall.exe"
  ${If} ${Errors}
    !insertmacro Fail "The screen saver is removed, but its entry in Add or Remove Programs could not be."
  ${EndIf}
  ; Kept if the user put something of their own there.
  RMDir "$INSTDIR"
SectionEnd
