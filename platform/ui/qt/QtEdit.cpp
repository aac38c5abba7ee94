#include <QContextMenuEvent>
#include <QMenu>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTextBlock>

#include <algorithm>

#include "QtControls.h"

namespace ui::qt {

/// The multiline edit control. Read-only (the report): its text is the report's bytes, and its
/// character positions are the report's ("\r\n" counts two). Editable: the user's text, with
/// "\r\n" line ends, and Tab moves on to the next control.
class EditWindow final : public QtWindow {
public:
    EditWindow(int nID, QtWindow* pParent, QWidget* pDialog, DWORD dwStyle)
        : QtWindow(nID, pParent),
          m_pEdit(new QPlainTextEdit(pDialog)),
          m_bEditable((dwStyle & ES_READONLY) == 0),
          m_contextMenuFilter(this) {
        m_pEdit->setReadOnly(!m_bEditable);
        m_pEdit->setLineWrapMode((dwStyle & ES_AUTOHSCROLL) != 0 ? QPlainTextEdit::NoWrap
                                                                 : QPlainTextEdit::WidgetWidth);
        m_pEdit->setTextInteractionFlags(m_bEditable ? Qt::TextEditorInteraction
                                                     : Qt::TextSelectableByKeyboard |
                                                           Qt::TextSelectableByMouse);
        m_pEdit->setTabChangesFocus(true);
        m_pEdit->installEventFilter(&m_contextMenuFilter);
        m_pEdit->viewport()->installEventFilter(&m_contextMenuFilter);
        m_pEdit->setVerticalScrollBarPolicy((dwStyle & WS_VSCROLL) ? Qt::ScrollBarAlwaysOn
                                                                   : Qt::ScrollBarAlwaysOff);
        m_pEdit->setHorizontalScrollBarPolicy((dwStyle & WS_HSCROLL) ? Qt::ScrollBarAlwaysOn
                                                                     : Qt::ScrollBarAlwaysOff);
        QFont font = m_pEdit->font();
        font.setStyleHint(QFont::TypeWriter);
        font.setFamily(QStringLiteral("monospace"));
        m_pEdit->setFont(font);
        ShowFocusFrame(m_pEdit);
        ConnectScrollBar(m_pEdit->verticalScrollBar(), WM_VSCROLL);
        ConnectScrollBar(m_pEdit->horizontalScrollBar(), WM_HSCROLL);
    }
    QWidget* Widget() const override { return m_pEdit; }

    void SetText(const char* pszText) override {
        m_strText = pszText;
        m_pEdit->setPlainText(DisplayText(m_strText, &m_aLineEnds));
    }
    void Update() override {
        m_pEdit->viewport()->repaint();
        FlushDisplay();
    }
    std::string GetText() const override {
        if (!m_bEditable) {
            return m_strText;
        }
        std::string text;
        for (char c : ToBytes(m_pEdit->toPlainText())) {
            text += c == '\n' ? "\r\n" : std::string(1, c);
        }
        return text;
    }

    LRESULT DefaultProc(UINT message, WPARAM wParam, LPARAM lParam) override {
        switch (message) {
            case EM_LIMITTEXT:
                // As Windows: 0 asks for the largest limit, which a multiline control reports as
                // -1.
                m_nLimit = wParam == 0 ? 0xFFFFFFFFu : static_cast<UINT>(wParam);
                return 0;
            case EM_GETLIMITTEXT:
                return static_cast<LRESULT>(m_nLimit);
            case EM_SETSEL:
                SetSelection(static_cast<int>(static_cast<std::intptr_t>(wParam)),
                             static_cast<int>(lParam));
                return 0;
            case EM_GETSEL:
                return GetSelection(reinterpret_cast<DWORD*>(wParam),
                                    reinterpret_cast<DWORD*>(lParam));
            case EM_REPLACESEL:
                ReplaceSelection(reinterpret_cast<const char*>(lParam));
                return 0;
            case EM_SCROLLCARET:
                m_pEdit->ensureCursorVisible();
                return 0;
            case EM_LINESCROLL:
                ScrollBy(m_pEdit->verticalScrollBar(), static_cast<long long>(lParam));
                ScrollBy(m_pEdit->horizontalScrollBar(), static_cast<long long>(wParam));
                return TRUE;
            case WM_COPY:
                m_pEdit->copy();
                return 0;
            case WM_CONTEXTMENU: {
                // The toolkit's own menu of the control.
                const std::unique_ptr<QMenu> pMenu(m_pEdit->createStandardContextMenu());
                const QPoint at =
                    lParam == -1
                        ? m_pEdit->viewport()->mapToGlobal(m_pEdit->cursorRect().bottomLeft())
                        : QPoint(static_cast<short>(LOWORD(lParam)),
                                 static_cast<short>(HIWORD(lParam)));
                pMenu->exec(at);
                return 0;
            }
            default:
                return 0;
        }
    }

private:
    /// EM_GETSEL: the selection's start and end in bytes.
    LRESULT GetSelection(DWORD* pnStart, DWORD* pnEnd) const {
        const QTextCursor cursor = m_pEdit->textCursor();
        const auto nStart = static_cast<DWORD>(ToBytePosition(cursor.selectionStart()));
        const auto nEnd = static_cast<DWORD>(ToBytePosition(cursor.selectionEnd()));
        if (pnStart != nullptr) {
            *pnStart = nStart;
        }
        if (pnEnd != nullptr) {
            *pnEnd = nEnd;
        }
        // As Windows: positions beyond the 16 bits of a half read as -1.
        return nStart > 0xFFFF || nEnd > 0xFFFF ? -1
                                                : static_cast<LRESULT>(MAKEWPARAM(nStart, nEnd));
    }
    /// Scrolls by so many steps, no further than the bar reaches.
    static void ScrollBy(QScrollBar* pBar, long long nSteps) {
        const long long nTarget = static_cast<long long>(pBar->value()) + nSteps;
        pBar->setValue(
            static_cast<int>(std::clamp<long long>(nTarget, pBar->minimum(), pBar->maximum())));
    }

    /// Replaces the selection with the text and leaves the caret behind it. At the end of the
    /// text (the report growing) only the new text is laid out.
    void ReplaceSelection(const char* pszText) {
        const std::string piece = pszText != nullptr ? pszText : "";
        QTextCursor cursor = m_pEdit->textCursor();
        const int nEnd = static_cast<int>(m_pEdit->document()->characterCount()) - 1;
        const bool bAtEnd = !cursor.hasSelection() && cursor.position() == nEnd;
        // A "\r\n" split between the text and the piece would show as two characters.
        const bool bSplitLineEnd =
            !m_strText.empty() && m_strText.back() == '\r' && !piece.empty() && piece[0] == '\n';
        if (!bAtEnd || bSplitLineEnd) {
            const std::size_t nFrom = ToBytePosition(cursor.selectionStart());
            const std::size_t nTo = ToBytePosition(cursor.selectionEnd());
            SetText((m_strText.substr(0, nFrom) + piece + m_strText.substr(nTo)).c_str());
            SetSelection(static_cast<int>(nFrom + piece.size()),
                         static_cast<int>(nFrom + piece.size()));
            return;
        }
        std::vector<std::size_t> lineEnds;
        const QString shown = DisplayText(piece, &lineEnds);
        for (std::size_t nLineEnd : lineEnds) {
            m_aLineEnds.push_back(m_strText.size() + nLineEnd);
        }
        m_strText += piece;
        cursor.movePosition(QTextCursor::End);
        cursor.insertText(shown);
        m_pEdit->setTextCursor(cursor);
    }

    std::size_t ToBytePosition(int nDisplayPosition) const {
        // Every "\r\n" before it counts one more byte than it shows.
        std::size_t nBytes = static_cast<std::size_t>(nDisplayPosition);
        for (std::size_t nLineEnd : m_aLineEnds) {
            if (nLineEnd <= nBytes) {
                ++nBytes;
            }
        }
        return std::min(nBytes, m_strText.size());
    }

    int ToDisplayPosition(std::size_t nBytePosition) const {
        nBytePosition = std::min(nBytePosition, m_strText.size());
        const auto nPairsBefore =
            std::lower_bound(m_aLineEnds.begin(), m_aLineEnds.end(), nBytePosition) -
            m_aLineEnds.begin();
        return static_cast<int>(nBytePosition) - static_cast<int>(nPairsBefore);
    }

    void SetSelection(int nStart, int nEnd) {
        QTextCursor cursor = m_pEdit->textCursor();
        if (nStart == -1) {
            cursor.clearSelection();  // no selection; the caret stays
        } else {
            const int nLength = static_cast<int>(m_pEdit->document()->characterCount()) - 1;
            const int nFrom =
                std::min(ToDisplayPosition(static_cast<std::size_t>(nStart)), nLength);
            const int nTo =
                nEnd < 0 ? nLength
                         : std::min(ToDisplayPosition(static_cast<std::size_t>(nEnd)), nLength);
            cursor.setPosition(nFrom);
            cursor.setPosition(nTo, QTextCursor::KeepAnchor);
        }
        // Selecting does not scroll the view.
        QScrollBar* pV = m_pEdit->verticalScrollBar();
        QScrollBar* pH = m_pEdit->horizontalScrollBar();
        const int nV = pV->value();
        const int nH = pH->value();
        m_pEdit->setTextCursor(cursor);
        pV->setValue(nV);
        pH->setValue(nH);
    }

    void SendScroll(UINT message, UINT nCode, int nPosition) {
        SendMessageTo(this, message, MAKEWPARAM(nCode, static_cast<unsigned>(nPosition)), 0);
    }

    void ConnectScrollBar(QScrollBar* pBar, UINT message) {
        QObject::connect(pBar, &QScrollBar::sliderPressed, &m_releaseFilter, [this, pBar, message] {
            SendScroll(message, SB_THUMBTRACK, pBar->sliderPosition());
        });
        QObject::connect(
            pBar, &QScrollBar::sliderMoved, &m_releaseFilter,
            [this, message](int nPosition) { SendScroll(message, SB_THUMBTRACK, nPosition); });
        QObject::connect(pBar, &QScrollBar::sliderReleased, &m_releaseFilter,
                         [this, pBar, message] {
                             SendScroll(message, SB_THUMBPOSITION, pBar->sliderPosition());
                             SendScroll(message, SB_ENDSCROLL, 0);
                         });
        QObject::connect(pBar, &QScrollBar::actionTriggered, &m_releaseFilter,
                         [this, message](int nAction) {
                             switch (nAction) {
                                 case QAbstractSlider::SliderSingleStepSub:
                                     SendScroll(message, SB_LINEUP, 0);
                                     break;
                                 case QAbstractSlider::SliderSingleStepAdd:
                                     SendScroll(message, SB_LINEDOWN, 0);
                                     break;
                                 case QAbstractSlider::SliderPageStepSub:
                                     SendScroll(message, SB_PAGEUP, 0);
                                     break;
                                 case QAbstractSlider::SliderPageStepAdd:
                                     SendScroll(message, SB_PAGEDOWN, 0);
                                     break;
                                 default:
                                     return;
                             }
                             m_bStepping = true;
                         });
        pBar->installEventFilter(&m_releaseFilter);
        m_releaseFilter.bars.push_back({pBar, message});
        m_releaseFilter.onRelease = [this](QScrollBar* pReleased, UINT nMessage) {
            // The mouse button goes up after arrow or page scrolling: that scrolling ends.
            if (m_bStepping && !pReleased->isSliderDown()) {
                m_bStepping = false;
                SendScroll(nMessage, SB_ENDSCROLL, 0);
            }
        };
    }

    /// Sees the mouse button go up on either scroll bar.
    class ReleaseFilter : public QObject {
    public:
        std::vector<std::pair<QScrollBar*, UINT>> bars;
        std::function<void(QScrollBar*, UINT)> onRelease;
        bool eventFilter(QObject* pObject, QEvent* pEvent) override {
            if (pEvent->type() == QEvent::MouseButtonRelease && onRelease) {
                for (const auto& [pBar, message] : bars) {
                    if (pBar == pObject) {
                        onRelease(pBar, message);
                    }
                }
            }
            return false;
        }
    };

    QPlainTextEdit* m_pEdit;
    bool m_bEditable;
    ContextMenuRelay m_contextMenuFilter;
    std::string m_strText;
    std::vector<std::size_t> m_aLineEnds;  // byte positions of the '\n' of each "\r\n"
    UINT m_nLimit = 30000;
    bool m_bStepping = false;
    ReleaseFilter m_releaseFilter;  // also ends the scroll bars' connections with this object
};

std::unique_ptr<QtWindow> MakeEdit(const ControlTemplate& control, QtWindow* pDialog,
                                   QWidget* pContent) {
    return std::make_unique<EditWindow>(control.nID, pDialog, pContent, control.dwStyle);
}

}  // namespace ui::qt
