; The installer's finish page: "Run lorixlog-finder" (checked, CPack's MUI_FINISHPAGE_RUN) and
; an optional desktop shortcut (not checked), in German or English by the installer's language.
; (This file is UTF-8 with a byte order mark, as NSIS reads it.)
; The page's second check box is Modern UI's "show readme" box, given another text and action.
!define MUI_FINISHPAGE_SHOWREADME ""
!define MUI_FINISHPAGE_SHOWREADME_NOTCHECKED
!define MUI_FINISHPAGE_SHOWREADME_TEXT "$(LorixlogDesktopShortcut)"
!define MUI_FINISHPAGE_SHOWREADME_FUNCTION LorixlogCreateDesktopShortcut

LangString LorixlogDesktopShortcut 1033 "Create a desktop shortcut"
LangString LorixlogDesktopShortcut 1031 "Verknüpfung auf dem Desktop anlegen"

Function LorixlogCreateDesktopShortcut
  CreateShortCut "$DESKTOP\lorixlog-finder.lnk" "$INSTDIR\lorixlog-finder.exe"
FunctionEnd

; The uninstaller removes the shortcut if there is one.
!macro LorixlogDesktopShortcutRemove
  Delete "$DESKTOP\lorixlog-finder.lnk"
!macroend
