; The Windows installer: Quervane.exe and quervane-scenario.exe into
; Program Files, a Start-menu entry and an uninstaller. Runs silently with /S.
; makensis -DPACKAGE=<folder of the two programs> -DOUTFILE=<setup program>
Unicode true
Target amd64-unicode
!include "x64.nsh"

Name "Quervane"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES64\Quervane"
RequestExecutionLevel admin
SetCompressor /SOLID lzma

!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Quervane"

Page directory
Page instfiles
UninstPage uninstConfirm
UninstPage instfiles

Section "Quervane"
    SetRegView 64
    SetOutPath "$INSTDIR"
    File "${PACKAGE}\Quervane.exe"
    File "${PACKAGE}\quervane-scenario.exe"
    WriteUninstaller "$INSTDIR\Uninstall.exe"
    SetShellVarContext all
    CreateDirectory "$SMPROGRAMS\Quervane"
    CreateShortcut "$SMPROGRAMS\Quervane\Quervane.lnk" "$INSTDIR\Quervane.exe"
    CreateShortcut "$SMPROGRAMS\Quervane\Uninstall Quervane.lnk" "$INSTDIR\Uninstall.exe"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "Quervane"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\Uninstall.exe"'
    WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\Uninstall.exe" /S'
    WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
SectionEnd

Section "Uninstall"
    SetRegView 64
    SetShellVarContext all
    Delete "$SMPROGRAMS\Quervane\Quervane.lnk"
    Delete "$SMPROGRAMS\Quervane\Uninstall Quervane.lnk"
    RMDir "$SMPROGRAMS\Quervane"
    Delete "$INSTDIR\Quervane.exe"
    Delete "$INSTDIR\quervane-scenario.exe"
    Delete "$INSTDIR\Uninstall.exe"
    RMDir "$INSTDIR"
    DeleteRegKey HKLM "${UNINSTALL_KEY}"
SectionEnd
