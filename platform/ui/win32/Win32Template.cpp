#include "Win32Controls.h"

namespace ui::win32 {

namespace {

class TemplateWriter {
public:
    void Word(WORD w) { m_words.push_back(w); }
    void Dword(DWORD d) {
        Word(static_cast<WORD>(d & 0xFFFF));
        Word(static_cast<WORD>(d >> 16));
    }
    void Text(const char* pszText) {
        for (wchar_t c : WideFrom1252(pszText != nullptr ? pszText : "")) {
            Word(static_cast<WORD>(c));
        }
        Word(0);
    }
    void AlignToDword() {
        if (m_words.size() % 2 != 0) {
            Word(0);
        }
    }
    std::vector<WORD> Take() { return std::move(m_words); }

private:
    std::vector<WORD> m_words;
};

}  // namespace

std::vector<WORD> SerializeTemplate(const DialogTemplate& dialog) {
    TemplateWriter w;
    w.Word(1);       // dlgVer
    w.Word(0xFFFF);  // signature: DLGTEMPLATEEX
    w.Dword(0);      // helpID
    w.Dword(dialog.dwExStyle);
    // Made hidden: the framework shows the dialog when it runs.
    w.Dword(dialog.dwStyle & ~static_cast<DWORD>(WS_VISIBLE));
    w.Word(static_cast<WORD>(dialog.controls.size()));
    w.Word(static_cast<WORD>(dialog.x));
    w.Word(static_cast<WORD>(dialog.y));
    w.Word(static_cast<WORD>(dialog.cx));
    w.Word(static_cast<WORD>(dialog.cy));
    w.Word(0);  // no menu
    w.Word(0);  // the dialog class
    w.Text(dialog.pszCaption);
    if ((dialog.dwStyle & DS_SETFONT) != 0) {
        w.Word(static_cast<WORD>(dialog.nPointSize));
        w.Word(static_cast<WORD>(dialog.nWeight));
        w.Word(0x0100);  // not italic; character set 1 (the default)
        w.Text(dialog.pszFont);
    }
    for (const ControlTemplate& control : dialog.controls) {
        w.AlignToDword();
        w.Dword(0);  // helpID
        w.Dword(0);  // extended style
        w.Dword(control.dwStyle | WS_CHILD);
        w.Word(static_cast<WORD>(control.x));
        w.Word(static_cast<WORD>(control.y));
        w.Word(static_cast<WORD>(control.cx));
        w.Word(static_cast<WORD>(control.cy));
        w.Dword(static_cast<DWORD>(control.nID));
        const ControlKindRow* pKind = FindControlKind(control.kind);
        if (pKind->pszClassName != nullptr) {
            for (const wchar_t* p = pKind->pszClassName; *p != L'\0'; ++p) {
                w.Word(static_cast<WORD>(*p));
            }
            w.Word(0);
        } else {
            w.Word(0xFFFF);
            w.Word(pKind->wClassOrdinal);
        }
        w.Text(pKind->bTemplateText ? control.pszText : "");
        w.Word(0);  // no creation data
    }
    return w.Take();
}

}  // namespace ui::win32
