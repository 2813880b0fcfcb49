; Quorvane's setup program: per user into %LOCALAPPDATA%\Programs\Quorvane without administrator
; rights, or with /AllUsers into Program Files for everyone. /S installs silently; /D=<folder>
; (last on the command line) picks the folder. The build passes VERSION, RELEASE_DIR (the
; release folder), ICON and OUTFILE with /D.
Unicode true
Target amd64-unicode
ManifestDPIAware true
; Per user needs no rights; /AllUsers asks for them itself (see .onInit).
RequestExecutionLevel user
SetCompressor /SOLID lzma

!include MUI2.nsh
!include LogicLib.nsh
!include FileFunc.nsh
!include x64.nsh

!define PRODUCT "Quorvane"
!define PUBLISHER "Quorvane Software"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Quorvane"

Name "${PRODUCT} ${VERSION}"
OutFile "${OUTFILE}"
InstallDir ""
BrandingText "${PRODUCT} ${VERSION}"
VIProductVersion "${VERSION}.0"
VIAddVersionKey "ProductName" "${PRODUCT}"
VIAddVersionKey "ProductVersion" "${VERSION}"
VIAddVersionKey "FileVersion" "${VERSION}"
VIAddVersionKey "CompanyName" "${PUBLISHER}"
VIAddVersionKey "FileDescription" "${PRODUCT} ${VERSION} Setup"
VIAddVersionKey "LegalCopyright" "${PUBLISHER}"

Var AllUsers  ; 1 for everyone (HKLM, Program Files), 0 for the current user

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
; Started through the shell: the program asks for the highest rights the user has, which a
; plain CreateProcess (the page's default) cannot grant.
!define MUI_FINISHPAGE_RUN
!define MUI_FINISHPAGE_RUN_FUNCTION StartProgram
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "English"

; Reads /AllUsers from the command line into $AllUsers and sets the shell folders ($SMPROGRAMS)
; and SHCTX (HKLM or HKCU) to match. The 64-bit registry view, as the program is 64-bit.
!macro ReadScope un
Function ${un}ReadScope
  SetRegView 64
  StrCpy $AllUsers 0
  ${GetParameters} $R0
  ClearErrors
  ${GetOptions} $R0 "/AllUsers" $R1
  ${IfNot} ${Errors}
    StrCpy $AllUsers 1
  ${EndIf}
  ${If} $AllUsers == 1
    SetShellVarContext all
  ${Else}
    SetShellVarContext current
  ${EndIf}
FunctionEnd
!macroend
!insertmacro ReadScope ""
!insertmacro ReadScope "un."

; For everyone the setup needs administrator rights: without them it starts itself again
; elevated, with the same command line, and ends.
!macro RequireAdminForAllUsers
  ${If} $AllUsers == 1
    UserInfo::GetAccountType
    Pop $R1
    ${If} $R1 != "admin"
      ${GetParameters} $R0
      ExecShellWait "runas" "$EXEPATH" "$R0"
      Quit
    ${EndIf}
  ${EndIf}
!macroend

Function .onInit
  ${IfNot} ${RunningX64}
    MessageBox MB_ICONSTOP "${PRODUCT} needs 64-bit Windows." /SD IDOK
    Abort
  ${EndIf}
  Call ReadScope
  !insertmacro RequireAdminForAllUsers
  ; /D wins; else the folder of an earlier installation in this scope; else the default.
  ${If} $INSTDIR == ""
    ReadRegStr $INSTDIR SHCTX "${UNINSTALL_KEY}" "InstallLocation"
  ${EndIf}
  ${If} $INSTDIR == ""
    ${If} $AllUsers == 1
      StrCpy $INSTDIR "$PROGRAMFILES64\${PRODUCT}"
    ${Else}
      StrCpy $INSTDIR "$LOCALAPPDATA\Programs\${PRODUCT}"
    ${EndIf}
  ${EndIf}
FunctionEnd

Function StartProgram
  ExecShell "" "$INSTDIR\Quorvane.exe"
FunctionEnd

; The language the user chose is a copy of one translation over Quorvane.language. Over an
; earlier installation the new copy of the same translation (found by its _LanguageName) takes
; its place; a language file that matches no translation (the user's own) stays as it is.
Function InstallLanguageFile
  ClearErrors
  ReadINIStr $R0 "$INSTDIR\Quorvane.language" "String" "_LanguageName"
  ${If} ${Errors}
  ${OrIf} $R0 == ""
    ${IfNot} ${FileExists} "$INSTDIR\Quorvane.language"
      CopyFiles /SILENT "$INSTDIR\languages\en\Quorvane.language" "$INSTDIR\Quorvane.language"
    ${EndIf}
    Return
  ${EndIf}
  FindFirst $R1 $R2 "$INSTDIR\languages\*"
  ${DoWhile} $R2 != ""
    ${If} $R2 != "."
    ${AndIf} $R2 != ".."
      ClearErrors
      ReadINIStr $R3 "$INSTDIR\languages\$R2\Quorvane.language" "String" "_LanguageName"
      ${IfNot} ${Errors}
      ${AndIf} $R3 == $R0
        CopyFiles /SILENT "$INSTDIR\languages\$R2\Quorvane.language" "$INSTDIR\Quorvane.language"
        ${Break}
      ${EndIf}
    ${EndIf}
    FindNext $R1 $R2
  ${Loop}
  FindClose $R1
FunctionEnd

Section "Quorvane"
  SetOutPath "$INSTDIR"
  File "${RELEASE_DIR}\Quorvane.exe"
  File "${RELEASE_DIR}\Quorvane.com"
  File "${RELEASE_DIR}\ChronivexLog.dll"
  File "${RELEASE_DIR}\Quorvane.chm"
  File "${RELEASE_DIR}\README.txt"
  File /r "${RELEASE_DIR}\languages"
  Call InstallLanguageFile
  ; The program keeps disabled entries and its settings in config.xml: never replaced.
  ${IfNot} ${FileExists} "$INSTDIR\config.xml"
    File "${RELEASE_DIR}\config.xml"
  ${EndIf}
  ; Program Files is read-only for users: in an installation for everyone config.xml and the
  ; journal's folder must stay writable for the users who run the program (Users: modify).
  ${If} $AllUsers == 1
    CreateDirectory "$INSTDIR\Log"
    nsExec::Exec '"$SYSDIR\icacls.exe" "$INSTDIR\config.xml" /grant *S-1-5-32-545:(M)'
    Pop $R0
    nsExec::Exec '"$SYSDIR\icacls.exe" "$INSTDIR\Log" /grant *S-1-5-32-545:(OI)(CI)(M)'
    Pop $R0
  ${EndIf}

  ; The journal component, for the same scope as the installation.
  ${If} $AllUsers == 1
    ExecWait '"$SYSDIR\regsvr32.exe" /s "$INSTDIR\ChronivexLog.dll"' $R0
  ${Else}
    ExecWait '"$SYSDIR\regsvr32.exe" /s /n /i:user "$INSTDIR\ChronivexLog.dll"' $R0
  ${EndIf}
  ${If} $R0 != 0
    MessageBox MB_ICONEXCLAMATION "The operation journal (ChronivexLog.dll) could not be \
      registered (regsvr32 exit code $R0). Quorvane works, but records no changes." /SD IDOK
    SetErrorLevel 2
  ${EndIf}

  CreateShortcut "$SMPROGRAMS\${PRODUCT}.lnk" "$INSTDIR\Quorvane.exe" "" "$INSTDIR\Quorvane.exe" 0

  WriteUninstaller "$INSTDIR\uninstall.exe"
  ${If} $AllUsers == 1
    StrCpy $R1 " /AllUsers"
  ${Else}
    StrCpy $R1 ""
  ${EndIf}
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\Quorvane.exe,0"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"$R1'
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe"$R1 /S'
  WriteRegDWORD SHCTX "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD SHCTX "${UNINSTALL_KEY}" "NoRepair" 1
  ${GetSize} "$INSTDIR" "/S=0K" $R2 $R3 $R4
  WriteRegDWORD SHCTX "${UNINSTALL_KEY}" "EstimatedSize" $R2
SectionEnd

Function un.onInit
  Call un.ReadScope
  !insertmacro RequireAdminForAllUsers
FunctionEnd

; Sets $R9 to 1 when config.xml holds a disabled entry (an element <disabled...item>), else 0.
; The file is read in pieces; the end of each piece is kept, so a tag split between two pieces
; is still found.
Function un.ConfigHoldsRecord
  StrCpy $R9 0
  ClearErrors
  FileOpen $R0 "$INSTDIR\config.xml" r
  ${If} ${Errors}
    Return
  ${EndIf}
  StrCpy $R2 ""
  ${Do}
    ClearErrors
    FileRead $R0 $R1
    ${If} ${Errors}
      ${Break}
    ${EndIf}
    StrCpy $R1 "$R2$R1"
    StrLen $R3 $R1
    IntOp $R4 0 + 0
    ${DoWhile} $R4 < $R3
      StrCpy $R5 $R1 9 $R4
      ${If} $R5 == "<disabled"
        StrCpy $R9 1
        ${Break}
      ${EndIf}
      IntOp $R4 $R4 + 1
    ${Loop}
    ${If} $R9 == 1
      ${Break}
    ${EndIf}
    StrCpy $R2 $R1 "" -8
  ${Loop}
  FileClose $R0
FunctionEnd

Section "Uninstall"
  ${If} $AllUsers == 1
    ExecWait '"$SYSDIR\regsvr32.exe" /s /u "$INSTDIR\ChronivexLog.dll"'
  ${Else}
    ExecWait '"$SYSDIR\regsvr32.exe" /s /u /n /i:user "$INSTDIR\ChronivexLog.dll"'
  ${EndIf}

  Delete "$INSTDIR\Quorvane.exe"
  Delete "$INSTDIR\Quorvane.com"
  Delete "$INSTDIR\ChronivexLog.dll"
  Delete "$INSTDIR\Quorvane.chm"
  Delete "$INSTDIR\README.txt"
  Delete "$INSTDIR\Quorvane.language"
  RMDir /r "$INSTDIR\languages"
  Delete "$SMPROGRAMS\${PRODUCT}.lnk"

  ; A disabled entry lives only in config.xml: it and the journal stay while it holds one.
  Call un.ConfigHoldsRecord
  ${If} $R9 == 1
    MessageBox MB_ICONINFORMATION "config.xml holds entries you switched off with Quorvane. It \
      stays in $INSTDIR, with the operation journal, so installing Quorvane again brings them \
      back; delete the folder yourself if you no longer need them." /SD IDOK
  ${Else}
    Delete "$INSTDIR\config.xml"
    RMDir /r "$INSTDIR\Log"
  ${EndIf}

  Delete "$INSTDIR\uninstall.exe"
  RMDir "$INSTDIR"
  DeleteRegKey SHCTX "${UNINSTALL_KEY}"
SectionEnd
