; Nimbrel's installer: one per-machine install into Program Files\Nimbrel, a Start-menu
; shortcut and an entry in Apps & features. makensis is run by scripts/package.sh with
; EXE (the built nimbrel.exe) and OUTDIR; the version is read from nimbrel.exe itself.
Unicode true
Target amd64-unicode
SetCompressor /SOLID lzma

!getdllversion "${EXE}" VERSION_
!define VERSION "${VERSION_1}.${VERSION_2}.${VERSION_3}.${VERSION_4}"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Nimbrel"
!define RUN_KEY "Software\Microsoft\Windows\CurrentVersion\Run"

Name "Nimbrel"
OutFile "${OUTDIR}\nimbrel-setup-${VERSION_1}.${VERSION_2}.${VERSION_3}.exe"
InstallDir "$PROGRAMFILES64\Nimbrel"
RequestExecutionLevel admin
ShowInstDetails nevershow
ShowUninstDetails nevershow
VIProductVersion "${VERSION}"
VIAddVersionKey /LANG=0 "ProductName" "Nimbrel"
VIAddVersionKey /LANG=0 "FileDescription" "Nimbrel Setup"
VIAddVersionKey /LANG=0 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=0 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=0 "CompanyName" "Nimbrel"
VIAddVersionKey /LANG=0 "LegalCopyright" "Nimbrel"

!include nsDialogs.nsh
!include LogicLib.nsh

Var Recommended  ; "1": the recommended settings, also in a silent install
Var RecommendedBox
Var FirstInstall

Page directory
Page custom RecommendedPage RecommendedPageLeave
Page instfiles
UninstPage uninstConfirm
UninstPage instfiles
LoadLanguageFile "${NSISDIR}\Contrib\Language files\SimpChinese.nlf"

Function .onInit
  StrCpy $Recommended 1
FunctionEnd

Function RecommendedPage
  nsDialogs::Create 1018
  Pop $0
  ${NSD_CreateCheckbox} 0 0 100% 24u "使用推荐设置 (关闭弹出窗口, 阻挡广告链接, 订阅 EasyList China 和 EasyList)"
  Pop $RecommendedBox
  ${If} $Recommended == 1
    ${NSD_Check} $RecommendedBox
  ${EndIf}
  nsDialogs::Show
FunctionEnd

Function RecommendedPageLeave
  ${NSD_GetState} $RecommendedBox $0
  ${If} $0 == ${BST_CHECKED}
    StrCpy $Recommended 1
  ${Else}
    StrCpy $Recommended 0
  ${EndIf}
FunctionEnd

; A setting the machine already has is never overwritten.
!macro SetIfMissing NAME
  ClearErrors
  ReadRegStr $0 HKLM "Software\Nimbrel" "${NAME}"
  ${If} ${Errors}
    WriteRegStr HKLM "Software\Nimbrel" "${NAME}" "1"
  ${EndIf}
!macroend

Section
  SetRegView 64
  SetShellVarContext all
  ClearErrors
  ReadRegStr $0 HKLM "${UNINSTALL_KEY}" "DisplayName"
  ${If} ${Errors}
    StrCpy $FirstInstall 1
  ${EndIf}
  ; On a first install: pop-ups closed, ad links blocked, and the program subscribes each
  ; user to EasyList China and EasyList at its next start.
  ${If} $Recommended == 1
  ${AndIf} $FirstInstall == 1
    !insertmacro SetIfMissing killpop
    !insertmacro SetIfMissing killurl
    WriteRegStr HKLM "Software\Nimbrel" "subscribelists" "1"
  ${EndIf}
  SetOutPath "$INSTDIR"
  File "/oname=nimbrel.exe" "${EXE}"
  WriteUninstaller "$INSTDIR\uninstall.exe"
  CreateShortcut "$SMPROGRAMS\Nimbrel.lnk" "$INSTDIR\nimbrel.exe"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "Nimbrel"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "Nimbrel"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\nimbrel.exe"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

; The lists and settings are the user's: they go only when the user says so, never in a
; silent uninstall. Lists kept beside the program keep its folder too.
Section "Uninstall"
  SetRegView 64
  SetShellVarContext all
  Delete "$INSTDIR\nimbrel.exe"
  Delete "$INSTDIR\uninstall.exe"
  Delete "$SMPROGRAMS\Nimbrel.lnk"
  DeleteRegValue HKLM "${RUN_KEY}" "Nimbrel"
  DeleteRegValue HKCU "${RUN_KEY}" "Nimbrel"
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
  IfSilent keep
  MessageBox MB_YESNO|MB_ICONQUESTION|MB_DEFBUTTON2 "是否同时删除您的白名单、黑名单、过滤列表和设置?" IDNO keep
  Delete "$INSTDIR\white.lis"
  Delete "$INSTDIR\black.lis"
  SetShellVarContext current
  Delete "$LOCALAPPDATA\Nimbrel\white.lis"
  Delete "$LOCALAPPDATA\Nimbrel\black.lis"
  RMDir /r "$LOCALAPPDATA\Nimbrel\filters"
  RMDir "$LOCALAPPDATA\Nimbrel"
  DeleteRegKey HKLM "Software\Nimbrel"
  DeleteRegKey HKCU "Software\Nimbrel"
keep:
  RMDir "$INSTDIR"
SectionEnd
