; The Windows installer: the program into Program Files (the 64-bit one on a
; 64-bit Windows, the 32-bit one otherwise), the README and the examples
; beside it, the uninstaller and its entry in Add/Remove Programs, and the
; example account profile in %PROGRAMDATA%\tarvousb\ when there is none.
; scripts/package-windows builds it with makensis, giving VERSION, the two
; programs (WIN64, WIN32), the folder of the files to install (FILES) and
; OUTFILE.
Unicode true
SetCompressor /SOLID lzma
RequestExecutionLevel admin

!include LogicLib.nsh
!include x64.nsh

!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\TarvoUSB"

Name "TarvoUSB ${VERSION}"
Caption "TarvoUSB ${VERSION} - TARVO Printers"
OutFile "${OUTFILE}"
Icon "${FILES}\tarvousb.ico"
UninstallIcon "${FILES}\tarvousb.ico"
; Empty: .onInit picks the Program Files of the program's width, unless
; /D= gave a folder.
InstallDir ""

Page directory
Page instfiles
UninstPage uninstConfirm
UninstPage instfiles

Function .onInit
  ${If} ${RunningX64}
    SetRegView 64
    ${If} $INSTDIR == ""
      StrCpy $INSTDIR "$PROGRAMFILES64\TarvoUSB"
    ${EndIf}
  ${ElseIf} $INSTDIR == ""
    StrCpy $INSTDIR "$PROGRAMFILES\TarvoUSB"
  ${EndIf}
FunctionEnd

Section
  SetOutPath "$INSTDIR"
  ${If} ${RunningX64}
    File "/oname=tarvousb.exe" "${WIN64}"
  ${Else}
    File "/oname=tarvousb.exe" "${WIN32}"
  ${EndIf}
  File "${FILES}\README.txt"
  ; The profile as installed, which the uninstaller compares with the one in
  ; use, so that a profile the user filled in is never removed.
  File "/oname=contas.conf.exemplo" "${FILES}\contas.conf"
  SetOutPath "$INSTDIR\exemplos"
  File "${FILES}\exemplos\*.*"

  SetShellVarContext all
  ${IfNot} ${FileExists} "$APPDATA\tarvousb\contas.conf"
    CreateDirectory "$APPDATA\tarvousb"
    CopyFiles /SILENT "$INSTDIR\contas.conf.exemplo" "$APPDATA\tarvousb\contas.conf"
  ${EndIf}

  WriteUninstaller "$INSTDIR\uninstall.exe"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "TarvoUSB - TARVO Printers"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "TARVO Sistemas"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\tarvousb.exe"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

; $0: "same" when the files $1 and $2 hold the same bytes.
Function un.SameFiles
  StrCpy $0 "differ"
  FileOpen $3 "$1" r
  IfErrors done
  FileOpen $4 "$2" r
  IfErrors close_first
  loop:
    ClearErrors
    FileReadByte $3 $5
    ${If} ${Errors}
      ClearErrors
      FileReadByte $4 $6
      ${If} ${Errors}
        StrCpy $0 "same"
      ${EndIf}
      Goto close_both
    ${EndIf}
    FileReadByte $4 $6
    IfErrors close_both
    StrCmp $5 $6 loop close_both
  close_both:
    FileClose $4
  close_first:
    FileClose $3
  done:
    ClearErrors
FunctionEnd

Function un.onInit
  ${If} ${RunningX64}
    SetRegView 64
  ${EndIf}
FunctionEnd

Section "Uninstall"
  SetShellVarContext all
  StrCpy $1 "$APPDATA\tarvousb\contas.conf"
  StrCpy $2 "$INSTDIR\contas.conf.exemplo"
  Call un.SameFiles
  ${If} $0 == "same"
    Delete "$APPDATA\tarvousb\contas.conf"
    RMDir "$APPDATA\tarvousb"
  ${EndIf}

  Delete "$INSTDIR\exemplos\*.*"
  RMDir "$INSTDIR\exemplos"
  Delete "$INSTDIR\tarvousb.exe"
  Delete "$INSTDIR\README.txt"
  Delete "$INSTDIR\contas.conf.exemplo"
  Delete "$INSTDIR\uninstall.exe"
  RMDir "$INSTDIR"
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
SectionEnd
