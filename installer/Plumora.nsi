; Plumora's installer: puts the program and its camera filters on a machine, registers the
; 32-bit filter and, on 64-bit Windows, the 64-bit one (each regsvr32 writes its own
; registry view), and takes all of it away again. tools/make-installer.sh builds it:
;   makensis -INPUTCHARSET UTF8 -DVERSION=3.8.0.1 -DDIST=folder -DICON=Plumora.ico
;            -DFILES=files.nsh -DOUTFILE=Plumora-Setup.exe [-DTARGET=amd64-unicode] Plumora.nsi
; DIST is the shipped folder; FILES lists its files and folders for the uninstaller.
;
; Where it goes: a per-machine folder under Program Files, whose contents the Users group
; may change. Plumora keeps its playlist (chapters.dat), its settings (config.ini) and its
; log beside its executable, and users run it without administrator rights; registering the
; camera filters needs those rights anyway, so the installer asks for them once.

Unicode true
!ifdef TARGET
  Target ${TARGET}
!endif
SetCompressor /SOLID lzma
ManifestDPIAware true

!include "MUI2.nsh"
!include "x64.nsh"
!include "FileFunc.nsh"
!include "LogicLib.nsh"

!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Plumora"
!define PUBLISHER "Plumora"

Name "Plumora"
Caption "Plumora ${VERSION} 安装"
UninstallCaption "Plumora ${VERSION} 卸载"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES\Plumora"
InstallDirRegKey HKLM "${UNINSTALL_KEY}" "InstallLocation"
RequestExecutionLevel admin
BrandingText "Plumora ${VERSION}"

VIProductVersion "${VERSION}"
VIFileVersion "${VERSION}"
VIAddVersionKey /LANG=2052 "ProductName" "Plumora"
VIAddVersionKey /LANG=2052 "CompanyName" "${PUBLISHER}"
VIAddVersionKey /LANG=2052 "FileDescription" "Plumora 虚拟摄像头播放器 安装程序"
VIAddVersionKey /LANG=2052 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=2052 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=2052 "LegalCopyright" "Copyright (C) 2026 Plumora"

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_ABORTWARNING
!define MUI_WELCOMEPAGE_TEXT "将在这台电脑上安装 Plumora ${VERSION}：把视频播放到虚拟摄像头“Virtual Camera”，聊天软件打开这个摄像头就能看到这些视频。$\r$\n$\r$\n安装前请关闭正在使用摄像头的聊天软件。$\r$\n$\r$\n单击“下一步”继续。"
!insertmacro MUI_PAGE_WELCOME
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!define MUI_FINISHPAGE_RUN "$INSTDIR\Plumora.exe"
!define MUI_FINISHPAGE_RUN_TEXT "运行 Plumora"
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "SimpChinese"

; regsvr32 of the bitness of each filter. A 32-bit installer on 64-bit Windows reaches the
; 64-bit one with file system redirection off.
!if ${NSIS_PTR_SIZE} > 4
  !define REGSVR32_32 "$WINDIR\SysWOW64\regsvr32.exe"
!else
  !define REGSVR32_32 "$SYSDIR\regsvr32.exe"
!endif
!define REGSVR32_64 "$WINDIR\System32\regsvr32.exe"
!if /FileExists "${DIST}\PlumoraVirtualCamera32.dll"
  !define HAS_FILTER32
!endif
; Code for 64-bit Windows only: a 64-bit installer runs nowhere else.
!macro IF_WINDOWS_64
  !if ${NSIS_PTR_SIZE} <= 4
    ${If} ${RunningX64}
  !endif
!macroend
!macro END_IF_WINDOWS_64
  !if ${NSIS_PTR_SIZE} <= 4
    ${EndIf}
  !endif
!macroend

; Plumora holds a mutex named after its executable while it runs. $0: 1 when it runs.
!macro PLUMORA_RUNNING
  System::Call 'kernel32::OpenMutexW(i 0x00100000, i 0, w "Plumora") p .r1'
  ${If} $1 P<> 0
    System::Call 'kernel32::CloseHandle(p r1)'
    StrCpy $0 1
  ${Else}
    StrCpy $0 0
  ${EndIf}
!macroend

; Asks before stopping a running Plumora; aborts when the user says no. Plumora saves its
; playlist and settings whole at each change, so stopping it loses nothing.
!macro STOP_PLUMORA_FUNCTION prefix question
Function ${prefix}StopPlumora
  !insertmacro PLUMORA_RUNNING
  ${If} $0 = 0
    Return
  ${EndIf}
  MessageBox MB_OKCANCEL|MB_ICONQUESTION "${question}" /SD IDOK IDOK stop
  Abort
  stop:
  nsExec::Exec '"$SYSDIR\taskkill.exe" /F /IM Plumora.exe'
  Pop $2
  ; Its mutex goes with the process.
  StrCpy $3 0
  ${Do}
    !insertmacro PLUMORA_RUNNING
    ${If} $0 = 0
      Return
    ${EndIf}
    Sleep 200
    IntOp $3 $3 + 1
  ${LoopUntil} $3 >= 50
  MessageBox MB_OK|MB_ICONSTOP "无法关闭正在运行的 Plumora，请先退出它再试。" /SD IDOK
  SetErrorLevel 4
  Abort
FunctionEnd
!macroend
!insertmacro STOP_PLUMORA_FUNCTION "" "Plumora 正在运行。安装前需要关闭它（播放列表和设置都会保留）。$\r$\n$\r$\n关闭 Plumora 并继续安装吗？"
!insertmacro STOP_PLUMORA_FUNCTION "un." "Plumora 正在运行。卸载前需要关闭它。$\r$\n$\r$\n关闭 Plumora 并继续卸载吗？"

; A filter that a running chat program holds cannot be overwritten: it is moved aside and
; deleted at the next restart, and the new one takes its name.
!macro PUT_FILTER name
  ${If} ${FileExists} "$INSTDIR\${name}"
    Delete "$INSTDIR\${name}"
    ${If} ${FileExists} "$INSTDIR\${name}"
      GetTempFileName $4 "$INSTDIR"
      Delete "$4"
      Rename "$INSTDIR\${name}" "$4"
      Delete /REBOOTOK "$4"
    ${EndIf}
  ${EndIf}
  File "${DIST}\${name}"
!macroend

; $0: regsvr32's exit code.
!macro REGSVR32 program arguments
  ExecWait '"${program}" /s ${arguments}' $0
  IfErrors 0 +2
    StrCpy $0 -1
!macroend

Function RegisterFilters
  !ifdef HAS_FILTER32
    ClearErrors
    !insertmacro REGSVR32 "${REGSVR32_32}" '"$INSTDIR\PlumoraVirtualCamera32.dll"'
    ${If} $0 != 0
      DetailPrint "注册 32 位摄像头失败（regsvr32 返回 $0）"
      MessageBox MB_OK|MB_ICONSTOP "无法注册 32 位虚拟摄像头（regsvr32 返回 $0）。" /SD IDOK
      SetErrorLevel 3
      Abort
    ${EndIf}
  !endif
  !insertmacro IF_WINDOWS_64
    ClearErrors
    ${DisableX64FSRedirection}
    !insertmacro REGSVR32 "${REGSVR32_64}" '"$INSTDIR\PlumoraVirtualCamera64.dll"'
    ${EnableX64FSRedirection}
    ${If} $0 != 0
      DetailPrint "注册 64 位摄像头失败（regsvr32 返回 $0）"
      MessageBox MB_OK|MB_ICONSTOP "无法注册 64 位虚拟摄像头（regsvr32 返回 $0）。" /SD IDOK
      SetErrorLevel 3
      Abort
    ${EndIf}
  !insertmacro END_IF_WINDOWS_64
FunctionEnd

Section "Plumora" SectionProgram
  SectionIn RO
  Call StopPlumora
  SetOutPath "$INSTDIR"
  SetShellVarContext all

  ; The program's files, replaced on an upgrade. The shipped playlist only on a first
  ; install: an upgrade keeps the user's, as it keeps config.ini, which is never shipped.
  File /r /x chapters.dat /x PlumoraVirtualCamera32.dll /x PlumoraVirtualCamera64.dll "${DIST}\*.*"
  SetOverwrite off
  File "${DIST}\chapters.dat"
  SetOverwrite on
  !ifdef HAS_FILTER32
    !insertmacro PUT_FILTER "PlumoraVirtualCamera32.dll"
  !endif
  !insertmacro PUT_FILTER "PlumoraVirtualCamera64.dll"

  ; Users run Plumora without administrator rights and it writes beside itself.
  nsExec::Exec '"$SYSDIR\icacls.exe" "$INSTDIR" /grant *S-1-5-32-545:(OI)(CI)M'
  Pop $0

  ; Registering again keeps the camera name a user chose.
  Call RegisterFilters

  WriteUninstaller "$INSTDIR\Uninstall.exe"
  CreateDirectory "$SMPROGRAMS\Plumora"
  CreateShortcut "$SMPROGRAMS\Plumora\Plumora.lnk" "$INSTDIR\Plumora.exe" "" "$INSTDIR\Plumora.exe" 0
  CreateShortcut "$SMPROGRAMS\Plumora\卸载 Plumora.lnk" "$INSTDIR\Uninstall.exe"
  CreateShortcut "$DESKTOP\Plumora.lnk" "$INSTDIR\Plumora.exe" "" "$INSTDIR\Plumora.exe" 0

  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "Plumora"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\Plumora.exe,0"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\Uninstall.exe"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\Uninstall.exe" /S'
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
  ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
  IntFmt $0 "0x%08X" $0
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "EstimatedSize" "$0"
SectionEnd

Section "Uninstall"
  Call un.StopPlumora
  SetShellVarContext all

  ; Unregistered first, while the filters are still there to be asked.
  !ifdef HAS_FILTER32
    !insertmacro REGSVR32 "${REGSVR32_32}" '/u "$INSTDIR\PlumoraVirtualCamera32.dll"'
  !endif
  !insertmacro IF_WINDOWS_64
    ${DisableX64FSRedirection}
    !insertmacro REGSVR32 "${REGSVR32_64}" '/u "$INSTDIR\PlumoraVirtualCamera64.dll"'
    ${EnableX64FSRedirection}
  !insertmacro END_IF_WINDOWS_64

  ; Only what the installer and the program put here: photographs, recordings and made
  ; movies a user keeps in this folder stay, and so does the folder then.
  !include "${FILES}"
  Delete "$INSTDIR\config.ini"
  Delete "$INSTDIR\config.ini.tmp"
  Delete "$INSTDIR\tmpchapters.dat"
  Delete "$INSTDIR\Plumora.log"
  Delete "$INSTDIR\Plumora.log.1"
  Delete "$INSTDIR\Plumora.log.2"
  Delete "$INSTDIR\Plumora.log.3"
  Delete "$INSTDIR\Plumora.log.4"
  Delete "$INSTDIR\Uninstall.exe"
  RMDir "$INSTDIR"

  Delete "$SMPROGRAMS\Plumora\Plumora.lnk"
  Delete "$SMPROGRAMS\Plumora\卸载 Plumora.lnk"
  RMDir "$SMPROGRAMS\Plumora"
  Delete "$DESKTOP\Plumora.lnk"
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
SectionEnd
