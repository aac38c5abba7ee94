; Inbound rules of the Windows Firewall for the two programs (UDP, these files only): Windows lets
; the answers to a broadcast in for a few seconds only. The installer adds them, the uninstaller
; removes them; a system without the firewall's commands installs and uninstalls all the same.
!macro LorixlogFirewallRule action program
  !if "${action}" == "add"
    nsExec::ExecToLog 'netsh advfirewall firewall add rule name="${program}" dir=in action=allow protocol=UDP enable=yes program="$INSTDIR\${program}.exe"'
  !else
    nsExec::ExecToLog 'netsh advfirewall firewall delete rule name="${program}" program="$INSTDIR\${program}.exe"'
  !endif
  Pop $0
!macroend

!macro LorixlogFirewallAdd
  !insertmacro LorixlogFirewallRule add lorixlog-finder
  !insertmacro LorixlogFirewallRule add lorixlog-find
!macroend

!macro LorixlogFirewallRemove
  !insertmacro LorixlogFirewallRule delete lorixlog-finder
  !insertmacro LorixlogFirewallRule delete lorixlog-find
!macroend
