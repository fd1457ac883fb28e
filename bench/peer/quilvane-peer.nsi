; The Quilvane Word Processor as an NSIS 3 installer would install it: the
; peer that make bench times `setup.exe /S` against. Its silent run does the
; work of the setup's: the same files with their stored time stamps, out of
; one solid zlib stream; the install stamp and the common data file; the
; word processor started for the document associations without waiting; the
; Start-menu and desktop shortcuts, after deleting the other scope's copies;
; the stored choices read before and written back after, the empty Internal
; key beside them; the machine's uninstall entry with the destination's size.
; It checks neither for a running word processor nor for free space, and
; writes no Install.log or Update.log; it writes its own uninstaller, which
; its uninstall entry names.
;
;   makensis -DQWP_TARGET=x86-unicode|amd64-unicode -DQWP_TREE=<payload extracted by list_payload>
;            -DQWP_FILES=<list from tools/make_peer_files.py> -DQWP_OUT=<installer> quilvane-peer.nsi
;
;   quilvane-peer.exe /S [/D=<folder>]

!include LogicLib.nsh
!include FileFunc.nsh
!include Sections.nsh
!include "${QWP_FILES}"

Target ${QWP_TARGET}
SetCompressor /SOLID zlib
CRCCheck on
RequestExecutionLevel admin
SilentInstall silent
Name "Quilvane Word Processor"
OutFile "${QWP_OUT}"
InstallDir "$PROGRAMFILES\Quilvane"
InstallDirRegKey HKCU "Software\Quilvane Word Processor\Install" "MAINDIR"

!define CHOICES "Software\Quilvane Word Processor\Install"
!define INTERNAL "Software\Quilvane Word Processor\Internal"
!define UNINSTALL "Software\Microsoft\Windows\CurrentVersion\Uninstall\Quilvane Word Processor"
!define SHORTCUT "Quilvane Word Processor.lnk"
!define DESCRIPTION "Compact, fast-loading, but still powerful and efficient word processor."

Var Comps      ; the stored component bits, bits 6 to 31 kept as read
Var ToAll      ; 1: shortcuts for all users
Var WantDesktop ; 1: a desktop shortcut
Var Letters    ; the document types to associate, A to D
Var Launch     ; kept for the next run
Var PublicDir  ; the shared data folder the list's files go to
Var Tokens     ; the association option's tail

!macro QWP_CHOOSE section bit
  IntOp $R0 $Comps & ${bit}
  ${If} $R0 = 0
    !insertmacro UnselectSection ${section}
  ${EndIf}
!macroend

!macro QWP_READ_FLAG var name
  ClearErrors
  ReadRegDWORD ${var} HKCU "${CHOICES}" "${name}"
  ${If} ${Errors}
  ${OrIf} ${var} <> 0
    StrCpy ${var} 1
  ${EndIf}
!macroend

!macro QWP_STORE_BIT section bit
  SectionGetFlags ${section} $R0
  IntOp $R0 $R0 & ${SF_SELECTED}
  ${If} $R0 <> 0
    IntOp $Comps $Comps | ${bit}
  ${EndIf}
!macroend

; Writes the local time now as days since 1899-12-30 (a double) to the file
; $R0: alone (the install stamp, 8 bytes) when $R1 is 0, after the numbers 1
; and 8 (the common data record, 16 bytes) when $R1 is 1.
Function WriteLocalTime
  System::Alloc 16
  Pop $R2
  System::Call '*$R2(i 1, i 8)'
  IntPtrOp $R3 $R2 + 8
  System::Call '*(&i2,&i2,&i2,&i2,&i2,&i2,&i2,&i2) p .R4'
  System::Call 'kernel32::GetLocalTime(p R4)'
  System::Call 'oleaut32::SystemTimeToVariantTime(p R4, p R3)'
  FileOpen $R5 $R0 w
  ${If} $R1 = 1
    System::Call 'kernel32::WriteFile(p R5, p R2, i 16, *i .R6, p 0)'
  ${Else}
    System::Call 'kernel32::WriteFile(p R5, p R3, i 8, *i .R6, p 0)'
  ${EndIf}
  FileClose $R5
  System::Free $R4
  System::Free $R2
FunctionEnd

; Appends the token $R1 to $Tokens and the letter $R0 to $Letters when the
; stored letters hold $R0 (case matters).
Function TakeAssociation
  StrCpy $R2 0
  ${Do}
    StrCpy $R3 $R7 1 $R2
    ${If} $R3 == ""
      Return
    ${EndIf}
    ${If} $R3 S== $R0
      StrCpy $Letters "$Letters$R0"
      StrCpy $Tokens "$Tokens$R1"
      Return
    ${EndIf}
    IntOp $R2 $R2 + 1
  ${Loop}
FunctionEnd

Section "-plan"
  SetShellVarContext all
  StrCpy $PublicDir "$APPDATA\Quilvane\Public"
  CreateDirectory "$PublicDir\Spellcheck"
  CreateDirectory "$APPDATA\Quilvane\Hidden"
  StrCpy $R0 "$APPDATA\Quilvane\Hidden\install_stamp"
  StrCpy $R1 0
  Call WriteLocalTime
SectionEnd

Section "Quilvane Word Processor" SecProgram
  SectionIn RO
  !insertmacro QWP_FILES_0
SectionEnd
Section "English spellchecker" SecSpelling
  !insertmacro QWP_FILES_1
SectionEnd
Section "Hyphenation module" SecHyphenation
  !insertmacro QWP_FILES_2
SectionEnd
Section "Document templates" SecTemplates
  !insertmacro QWP_FILES_3
SectionEnd
Section "Clip library" SecClips
  !insertmacro QWP_FILES_4
SectionEnd
Section "Basic sound scheme" SecSounds
  !insertmacro QWP_FILES_5
SectionEnd

Section "-after the files"
  StrCpy $R0 "$APPDATA\Quilvane\qwp_common.dat"
  StrCpy $R1 1
  Call WriteLocalTime

  ; The letters again in their order, each once, and the option's tokens.
  StrCpy $R7 $Letters
  StrCpy $Letters ""
  StrCpy $Tokens ""
  StrCpy $R0 A
  StrCpy $R1 _rtf
  Call TakeAssociation
  StrCpy $R0 B
  StrCpy $R1 _cod
  Call TakeAssociation
  StrCpy $R0 C
  StrCpy $R1 _doc
  Call TakeAssociation
  StrCpy $R0 D
  StrCpy $R1 _docx
  Call TakeAssociation
  SetOutPath "$INSTDIR"
  Exec '"$INSTDIR\qwp.exe" -assoc qdpr$Tokens'

  ${If} $ToAll = 1
    SetShellVarContext current
  ${EndIf}
  Delete "$SMPROGRAMS\${SHORTCUT}"
  Delete "$DESKTOP\${SHORTCUT}"
  ${If} $ToAll = 1
    SetShellVarContext all
  ${Else}
    SetShellVarContext current
  ${EndIf}
  CreateShortcut "$SMPROGRAMS\${SHORTCUT}" "$INSTDIR\qwp.exe" "" "" "" "" "" "${DESCRIPTION}"
  ${If} $WantDesktop = 1
    CreateShortcut "$DESKTOP\${SHORTCUT}" "$INSTDIR\qwp.exe" "" "" "" "" "" "${DESCRIPTION}"
  ${EndIf}

  ; Bit 0 (the word processor, always installed) is stored clear.
  IntOp $Comps $Comps | 63
  IntOp $Comps $Comps ^ 63
  !insertmacro QWP_STORE_BIT ${SecSpelling} 2
  !insertmacro QWP_STORE_BIT ${SecHyphenation} 4
  !insertmacro QWP_STORE_BIT ${SecTemplates} 8
  !insertmacro QWP_STORE_BIT ${SecClips} 16
  !insertmacro QWP_STORE_BIT ${SecSounds} 32
  WriteRegStr HKCU "${CHOICES}" "MAINDIR" "$INSTDIR"
  WriteRegDWORD HKCU "${CHOICES}" "COMPS (1.6.6.2)" $Comps
  WriteRegDWORD HKCU "${CHOICES}" "INSTALLTOALL" $ToAll
  WriteRegDWORD HKCU "${CHOICES}" "DSKSHORTCUT" $WantDesktop
  WriteRegStr HKCU "${CHOICES}" "EXTENSIONS" "$Letters"
  WriteRegDWORD HKCU "${CHOICES}" "LAUNCH" $Launch
  ; NSIS makes a key only for a value: the Internal key stays, empty.
  WriteRegStr HKCU "${INTERNAL}" "" ""
  DeleteRegValue HKCU "${INTERNAL}" ""

  WriteUninstaller "$INSTDIR\uninstall.exe"
  WriteRegStr HKLM "${UNINSTALL}" "DisplayIcon" "$INSTDIR\qwp.exe"
  WriteRegStr HKLM "${UNINSTALL}" "DisplayName" "Quilvane Word Processor"
  WriteRegStr HKLM "${UNINSTALL}" "DisplayVersion" "4.0.6.7"
  ${GetSize} "$INSTDIR" "/S=0K" $R0 $R1 $R2
  WriteRegDWORD HKLM "${UNINSTALL}" "EstimatedSize" $R0
  WriteRegStr HKLM "${UNINSTALL}" "Publisher" "The Quilvane Word Processor Team"
  WriteRegStr HKLM "${UNINSTALL}" "UninstallString" '"$INSTDIR\uninstall.exe"'
SectionEnd

; The files the setup's install log would name, the shortcuts and the entry;
; the shared spelling, template and clip files stay for a later install.
Section "Uninstall"
  SetShellVarContext all
  Delete "$INSTDIR\qwp.exe"
  Delete "$INSTDIR\License.txt"
  Delete "$INSTDIR\Hyphenation.dat"
  Delete "$APPDATA\Quilvane\Public\Basic.asn"
  Delete "$SMPROGRAMS\${SHORTCUT}"
  Delete "$DESKTOP\${SHORTCUT}"
  SetShellVarContext current
  Delete "$SMPROGRAMS\${SHORTCUT}"
  Delete "$DESKTOP\${SHORTCUT}"
  Delete "$INSTDIR\uninstall.exe"
  RMDir "$INSTDIR"
  DeleteRegKey HKLM "${UNINSTALL}"
SectionEnd

; The stored choices, their defaults where a value is missing. /D= goes
; before the stored folder, which goes before the default.
Function .onInit
  ClearErrors
  ReadRegDWORD $Comps HKCU "${CHOICES}" "COMPS (1.6.6.2)"
  ${If} ${Errors}
    StrCpy $Comps 2147483647
  ${EndIf}
  !insertmacro QWP_CHOOSE ${SecSpelling} 2
  !insertmacro QWP_CHOOSE ${SecHyphenation} 4
  !insertmacro QWP_CHOOSE ${SecTemplates} 8
  !insertmacro QWP_CHOOSE ${SecClips} 16
  !insertmacro QWP_CHOOSE ${SecSounds} 32
  !insertmacro QWP_READ_FLAG $ToAll INSTALLTOALL
  !insertmacro QWP_READ_FLAG $WantDesktop DSKSHORTCUT
  !insertmacro QWP_READ_FLAG $Launch LAUNCH
  ClearErrors
  ReadRegStr $Letters HKCU "${CHOICES}" "EXTENSIONS"
  ${If} ${Errors}
    StrCpy $Letters B
  ${EndIf}
FunctionEnd
