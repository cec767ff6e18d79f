; The Windows installer of QX Tools: the host program tracelon.exe, the plug-in QXT.DLL with the
; libraries it needs, the sample machine and the example sessions, a Start-menu entry and an
; uninstaller. For one user, without administrator rights. Built by the Windows build
; (app/installer/installer.cmake):
;   makensis -DSTAGE=FOLDER -DOUTFILE=QXTools-setup.exe QXTools.nsi
; A silent install names its folder last: QXTools-setup.exe /S /D=C:\Folder
; The programs are 64-bit: so is the installer (a 64-bit Windows, or Wine, need nothing else).
Target amd64-unicode
SetCompressor /SOLID lzma

!ifndef STAGE
  !error "STAGE names the folder with the files to install"
!endif
!ifndef OUTFILE
  !define OUTFILE "QXTools-setup.exe"
!endif

!define PRODUCT "QX Tools"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\QXTools"

Name "${PRODUCT}"
OutFile "${OUTFILE}"
InstallDir "$LOCALAPPDATA\Programs\QX Tools"
InstallDirRegKey HKCU "Software\QXTools" "InstallDir"
RequestExecutionLevel user
ShowInstDetails show
ShowUninstDetails show

Page directory
Page instfiles
UninstPage uninstConfirm
UninstPage instfiles

Section "QX Tools"
  SetShellVarContext current
  SetOutPath "$INSTDIR\bin"
  File "${STAGE}\bin\tracelon.exe"
  File "${STAGE}\bin\QXT.DLL"
  File "${STAGE}\bin\HSI1.DLL"
  File "${STAGE}\bin\libplatform.dll"
  SetOutPath "$INSTDIR\share"
  File /r "${STAGE}\share\root"
  SetOutPath "$INSTDIR\examples"
  File "${STAGE}\examples\*.session"
  SetOutPath "$INSTDIR"
  File "${STAGE}\README.txt"

  WriteUninstaller "$INSTDIR\Uninstall.exe"
  WriteRegStr HKCU "Software\QXTools" "InstallDir" "$INSTDIR"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\bin\tracelon.exe"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\Uninstall.exe"'
  WriteRegStr HKCU "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\Uninstall.exe" /S'
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1

  ; The program starts in the examples folder, so that a session file is at hand.
  CreateDirectory "$SMPROGRAMS\${PRODUCT}"
  SetOutPath "$INSTDIR\examples"
  CreateShortcut "$SMPROGRAMS\${PRODUCT}\QX Tools.lnk" "$INSTDIR\bin\tracelon.exe" "" \
      "$INSTDIR\bin\tracelon.exe" 0
  CreateShortcut "$SMPROGRAMS\${PRODUCT}\Uninstall QX Tools.lnk" "$INSTDIR\Uninstall.exe"
SectionEnd

Section "Uninstall"
  SetShellVarContext current
  Delete "$SMPROGRAMS\${PRODUCT}\QX Tools.lnk"
  Delete "$SMPROGRAMS\${PRODUCT}\Uninstall QX Tools.lnk"
  RMDir "$SMPROGRAMS\${PRODUCT}"
  Delete "$INSTDIR\bin\tracelon.exe"
  Delete "$INSTDIR\bin\QXT.DLL"
  Delete "$INSTDIR\bin\HSI1.DLL"
  Delete "$INSTDIR\bin\libplatform.dll"
  RMDir "$INSTDIR\bin"
  ; Only what the installer put there: the sample machine is the installer's own copy; drawings
  ; and machines a user made elsewhere are not touched.
  RMDir /r "$INSTDIR\share\root"
  RMDir "$INSTDIR\share"
  Delete "$INSTDIR\examples\*.session"
  RMDir "$INSTDIR\examples"
  Delete "$INSTDIR\README.txt"
  Delete "$INSTDIR\Uninstall.exe"
  RMDir "$INSTDIR"
  DeleteRegKey HKCU "${UNINSTALL_KEY}"
  DeleteRegKey HKCU "Software\QXTools"
SectionEnd
