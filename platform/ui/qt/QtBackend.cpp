#include "QtBackend.h"

#include <QApplication>
#include <QDialog>
#include <QEventLoop>
#include <QFontMetrics>
#include <QGroupBox>
#include <QIcon>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QMouseEvent>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QTextBlock>
#include <QWindow>

#include <algorithm>
#include <cstring>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "ui/Framework.h"
#include "ui/Resources.h"
#include "ui/Windows1252.h"

using namespace fw;

namespace ui {

class Icon {
public:
    QIcon icon;
};
class Cursor {
public:
    Qt::CursorShape shape;
};

namespace qt {

namespace {

const Cursor kArrowCursor{Qt::ArrowCursor};
const Cursor kWaitCursor{Qt::WaitCursor};

QString FromBytes(std::string_view text) {
    return QString::fromStdString(Utf8From1252(text));
}
std::string ToBytes(const QString& text) {
    return Windows1252FromUtf8(text.toStdString());
}

/// Report text for display: "\r\n" becomes one line break, other control characters their
/// visible pictures, so that every other byte stays one character.
QString DisplayText(const std::string& text, std::vector<std::size_t>* pLineEnds) {
    QString out;
    out.reserve(static_cast<qsizetype>(text.size()));
    pLineEnds->clear();
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
            pLineEnds->push_back(i + 1);
            out += QChar('\n');
            ++i;
        } else if (c == '\n') {
            out += QChar('\n');
        } else if (c < 0x20) {
            out += QChar(static_cast<char16_t>(0x2400 + c));
        } else {
            out += QChar(static_cast<char32_t>(CodePointOf1252(c)));
        }
    }
    return out;
}

class QtWindow;
std::map<std::uint64_t, QtWindow*>& LiveWindows();

/// Messages posted to windows, handled one at a time in the order of posting, each after the
/// handler that is running returns. While the display is being brought up to date in the middle
/// of a handler, none is handled.
struct PostedMessage {
    std::uint64_t nSerial;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
};
std::deque<PostedMessage> g_posted;
bool g_bPumpScheduled = false;
bool g_bFlushingDisplay = false;

void SchedulePump();

void Pump() {
    g_bPumpScheduled = false;
    if (g_posted.empty()) {
        return;
    }
    if (g_bFlushingDisplay) {
        SchedulePump();
        return;
    }
    const PostedMessage posted = g_posted.front();
    g_posted.pop_front();
    if (!g_posted.empty()) {
        SchedulePump();
    }
    auto it = LiveWindows().find(posted.nSerial);
    if (it != LiveWindows().end()) {
        SendMessageTo(reinterpret_cast<NativeWindow*>(it->second), posted.message, posted.wParam,
                      posted.lParam);
    }
}

void SchedulePump() {
    if (!g_bPumpScheduled) {
        g_bPumpScheduled = true;
        QMetaObject::invokeMethod(qApp, &Pump, Qt::QueuedConnection);
    }
}

/// Shows what was painted while a handler keeps the thread busy (a search): lets the window
/// system events through, but no input and no posted message.
void FlushDisplay() {
    if (g_bFlushingDisplay) {
        return;
    }
    g_bFlushingDisplay = true;
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    g_bFlushingDisplay = false;
}

std::map<std::uint64_t, QtWindow*>& LiveWindows() {
    static std::map<std::uint64_t, QtWindow*> windows;
    return windows;
}
std::uint64_t g_nNextSerial = 1;

/// One dialog or control.
class QtWindow : public NativeWindow {
public:
    QtWindow(int nID, QtWindow* pParent)
        : m_nID(nID), m_pParent(pParent), m_nSerial(g_nNextSerial++) {
        LiveWindows()[m_nSerial] = this;
    }
    ~QtWindow() override { LiveWindows().erase(m_nSerial); }

    int GetDlgCtrlID() const override { return m_nID; }
    NativeWindow* GetChild(int) override { return nullptr; }
    NativeWindow* GetParentWindow() override { return m_pParent; }
    LRESULT DefaultProc(UINT, WPARAM, LPARAM) override { return 0; }
    void SetText(const char* pszText) override { Widget()->setWindowTitle(FromBytes(pszText)); }
    std::string GetText() const override { return ToBytes(Widget()->windowTitle()); }
    void Enable(bool bEnable) override { Widget()->setEnabled(bEnable); }
    bool IsEnabled() const override { return Widget()->isEnabled(); }
    void Show(int nCmdShow) override { Widget()->setVisible(nCmdShow != SW_HIDE); }
    bool IsVisible() const override { return Widget()->isVisible(); }
    RECT GetWindowRect() const override {
        QWidget* w = Widget();
        if (w->isWindow()) {
            QRect r = w->frameGeometry();
            if (!w->isVisible()) {
                // Not shown yet: the frame the window system will add is known once the native
                // window exists.
                w->winId();
                const QMargins margins =
                    w->windowHandle() ? w->windowHandle()->frameMargins() : QMargins();
                r = w->geometry().marginsAdded(margins);
            }
            return RECT{r.left(), r.top(), r.left() + r.width(), r.top() + r.height()};
        }
        const QPoint p = w->mapToGlobal(QPoint(0, 0));
        return RECT{p.x(), p.y(), p.x() + w->width(), p.y() + w->height()};
    }
    RECT GetClientRect() const override {
        return RECT{0, 0, Widget()->width(), Widget()->height()};
    }
    void Move(int x, int y, int nWidth, int nHeight, bool bRepaint) override {
        QWidget* w = Widget();
        if (w->isWindow()) {
            const QRect frame = w->frameGeometry();
            const QRect inner = w->geometry();
            w->move(x, y);
            w->resize(nWidth - (frame.width() - inner.width()),
                      nHeight - (frame.height() - inner.height()));
        } else {
            w->setGeometry(x, y, nWidth, nHeight);
        }
        if (bRepaint) {
            w->update();
        }
    }
    void SetFocus() override { Widget()->setFocus(Qt::OtherFocusReason); }
    bool IsIconic() const override { return Widget()->window()->isMinimized(); }
    void Post(UINT message, WPARAM wParam, LPARAM lParam) override {
        g_posted.push_back(PostedMessage{m_nSerial, message, wParam, lParam});
        SchedulePump();
    }
    void PaintIcon(int, int, HICON) override {}
    void Update() override {
        Widget()->repaint();
        FlushDisplay();
    }

    virtual QWidget* Widget() const = 0;
    std::uint64_t Serial() const { return m_nSerial; }

protected:
    /// Tells the dialog's window object about a control's notification.
    void Notify(UINT nCode) {
        if (m_pParent != nullptr) {
            SendMessageTo(m_pParent, WM_COMMAND, MAKEWPARAM(static_cast<unsigned>(m_nID), nCode),
                          reinterpret_cast<LPARAM>(static_cast<NativeWindow*>(this)));
        }
    }

    int m_nID;
    QtWindow* m_pParent;
    std::uint64_t m_nSerial;
};

QtWindow* FromWidget(QWidget* pWidget);

class PushButtonWindow final : public QtWindow {
public:
    PushButtonWindow(int nID, QtWindow* pParent, QWidget* pDialog, const QString& text)
        : QtWindow(nID, pParent), m_pButton(new QPushButton(text, pDialog)) {
        m_pButton->setAutoDefault(false);
        m_pButton->setProperty("lxWindow",
                               QVariant::fromValue<quintptr>(reinterpret_cast<quintptr>(this)));
        QObject::connect(m_pButton, &QPushButton::clicked, &m_context,
                         [this] { Notify(BN_CLICKED); });
    }
    void SetText(const char* pszText) override { m_pButton->setText(FromBytes(pszText)); }
    std::string GetText() const override { return ToBytes(m_pButton->text()); }
    QWidget* Widget() const override { return m_pButton; }
    QPushButton* Button() const { return m_pButton; }

private:
    QPushButton* m_pButton;
    QObject m_context;  // ends the connections with this object
};

class GroupBoxWindow final : public QtWindow {
public:
    GroupBoxWindow(int nID, QtWindow* pParent, QWidget* pDialog, const QString& text)
        : QtWindow(nID, pParent), m_pBox(new QGroupBox(text, pDialog)) {
        m_pBox->setFocusPolicy(Qt::NoFocus);
        m_pBox->setAttribute(Qt::WA_TransparentForMouseEvents);
    }
    void SetText(const char* pszText) override { m_pBox->setTitle(FromBytes(pszText)); }
    std::string GetText() const override { return ToBytes(m_pBox->title()); }
    QWidget* Widget() const override { return m_pBox; }

private:
    QGroupBox* m_pBox;
};

class PictureWindow final : public QtWindow {
public:
    PictureWindow(int nID, QtWindow* pParent, QWidget* pDialog, int nImageID)
        : QtWindow(nID, pParent), m_pLabel(new QLabel(pDialog)) {
        m_pLabel->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        m_pLabel->setScaledContents(false);
        if (const char* pszName = FindImage(nImageID)) {
            m_pLabel->setPixmap(QPixmap(QString::fromUtf8(pszName)));
        }
    }
    QWidget* Widget() const override { return m_pLabel; }
    /// The picture is shown at its own pixel size, not stretched to the control.
    void FitToPicture() {
        const QPixmap pixmap = m_pLabel->pixmap();
        if (!pixmap.isNull()) {
            m_pLabel->resize(pixmap.deviceIndependentSize().toSize());
        }
    }

private:
    QLabel* m_pLabel;
};

/// The read-only multiline edit control: its text is the report's bytes, and its character
/// positions are the report's ("\r\n" counts two).
class EditWindow final : public QtWindow {
public:
    EditWindow(int nID, QtWindow* pParent, QWidget* pDialog, DWORD dwStyle)
        : QtWindow(nID, pParent), m_pEdit(new QPlainTextEdit(pDialog)) {
        m_pEdit->setReadOnly((dwStyle & ES_READONLY) != 0);
        m_pEdit->setLineWrapMode((dwStyle & ES_AUTOHSCROLL) != 0 ? QPlainTextEdit::NoWrap
                                                                 : QPlainTextEdit::WidgetWidth);
        m_pEdit->setTextInteractionFlags(Qt::TextSelectableByKeyboard | Qt::TextSelectableByMouse);
        m_pEdit->setVerticalScrollBarPolicy((dwStyle & WS_VSCROLL) ? Qt::ScrollBarAlwaysOn
                                                                   : Qt::ScrollBarAlwaysOff);
        m_pEdit->setHorizontalScrollBarPolicy((dwStyle & WS_HSCROLL) ? Qt::ScrollBarAlwaysOn
                                                                     : Qt::ScrollBarAlwaysOff);
        QFont font = m_pEdit->font();
        font.setStyleHint(QFont::TypeWriter);
        font.setFamily(QStringLiteral("monospace"));
        m_pEdit->setFont(font);
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
    std::string GetText() const override { return m_strText; }

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
            case EM_LINESCROLL: {
                QScrollBar* pBar = m_pEdit->verticalScrollBar();
                const long long nTarget = static_cast<long long>(pBar->value()) + lParam;
                pBar->setValue(static_cast<int>(
                    std::clamp<long long>(nTarget, pBar->minimum(), pBar->maximum())));
                QScrollBar* pHBar = m_pEdit->horizontalScrollBar();
                const long long nHTarget =
                    static_cast<long long>(pHBar->value()) + static_cast<long long>(wParam);
                pHBar->setValue(static_cast<int>(
                    std::clamp<long long>(nHTarget, pHBar->minimum(), pHBar->maximum())));
                return TRUE;
            }
            default:
                return 0;
        }
    }

private:
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
    std::string m_strText;
    std::vector<std::size_t> m_aLineEnds;  // byte positions of the '\n' of each "\r\n"
    UINT m_nLimit = 30000;
    bool m_bStepping = false;
    ReleaseFilter m_releaseFilter;  // also ends the scroll bars' connections with this object
};

/// A list widget that behaves as a single-selection list box: once an item is selected, no
/// click takes the selection away (Ctrl+click, a click below the last item), and a double click
/// anywhere in the list is a double click on the list, as LBN_DBLCLK is.
class LxListWidget final : public QListWidget {
public:
    explicit LxListWidget(QWidget* pParent) : QListWidget(pParent) {}
    std::function<void()> onDoubleClick;

protected:
    QItemSelectionModel::SelectionFlags selectionCommand(const QModelIndex& index,
                                                         const QEvent* pEvent) const override {
        QItemSelectionModel::SelectionFlags flags = QListWidget::selectionCommand(index, pEvent);
        if ((flags & (QItemSelectionModel::Deselect | QItemSelectionModel::Toggle)) != 0) {
            flags = index.isValid() ? QItemSelectionModel::ClearAndSelect
                                    : QItemSelectionModel::NoUpdate;
        }
        return flags;
    }
    void mousePressEvent(QMouseEvent* pEvent) override {
        if (!indexAt(pEvent->position().toPoint()).isValid()) {
            setFocus(Qt::MouseFocusReason);
            pEvent->accept();
            return;
        }
        QListWidget::mousePressEvent(pEvent);
    }
    void mouseDoubleClickEvent(QMouseEvent* pEvent) override {
        if (!indexAt(pEvent->position().toPoint()).isValid()) {
            pEvent->accept();
            if (onDoubleClick) {
                onDoubleClick();
            }
            return;
        }
        QListWidget::mouseDoubleClickEvent(pEvent);
    }
};

class ListBoxWindow final : public QtWindow {
public:
    ListBoxWindow(int nID, QtWindow* pParent, QWidget* pDialog, DWORD dwStyle)
        : QtWindow(nID, pParent),
          m_pList(new LxListWidget(pDialog)),
          m_bNotify((dwStyle & LBS_NOTIFY) != 0) {
        m_pList->setSelectionMode(QAbstractItemView::SingleSelection);
        m_pList->setSortingEnabled(false);
        m_pList->setVerticalScrollBarPolicy(
            (dwStyle & LBS_DISABLENOSCROLL) ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAsNeeded);
        QObject::connect(m_pList, &QListWidget::currentRowChanged, &m_context, [this](int) {
            if (!m_bProgrammatic && m_bNotify) {
                Notify(LBN_SELCHANGE);
            }
        });
        QObject::connect(m_pList, &QListWidget::itemDoubleClicked, &m_context,
                         [this](QListWidgetItem*) { DoubleClicked(); });
        m_pList->onDoubleClick = [this] { DoubleClicked(); };
    }
    QWidget* Widget() const override { return m_pList; }
    QListWidget* List() const { return m_pList; }

    LRESULT DefaultProc(UINT message, WPARAM wParam, LPARAM lParam) override {
        switch (message) {
            case LB_ADDSTRING:
                m_pList->addItem(FromBytes(reinterpret_cast<const char*>(lParam)));
                return m_pList->count() - 1;
            case LB_SETCURSEL: {
                const int nIndex = static_cast<int>(static_cast<std::intptr_t>(wParam));
                m_bProgrammatic = true;
                m_pList->setCurrentRow(nIndex >= 0 && nIndex < m_pList->count() ? nIndex : -1);
                if (nIndex < 0) {
                    m_pList->clearSelection();
                }
                m_bProgrammatic = false;
                return nIndex >= 0 && nIndex < m_pList->count() ? nIndex : LB_ERR;
            }
            case LB_GETCURSEL: {
                const QList<QListWidgetItem*> selected = m_pList->selectedItems();
                return selected.isEmpty() ? LB_ERR : m_pList->row(selected.front());
            }
            case LB_GETCOUNT:
                return m_pList->count();
            default:
                return 0;
        }
    }

private:
    void DoubleClicked() {
        if (m_bNotify) {
            Notify(LBN_DBLCLK);
        }
    }

    LxListWidget* m_pList;
    bool m_bNotify;
    bool m_bProgrammatic = false;
    QObject m_context;  // ends the connections with this object
};

class DialogWindow;

/// The Qt dialog of a DialogWindow: forwards closing and painting to the window object.
class LxDialog final : public QDialog {
public:
    LxDialog(DialogWindow* pWindow, QWidget* pParent) : QDialog(pParent), m_pWindow(pWindow) {}
    void closeEvent(QCloseEvent* pEvent) override;
    void paintEvent(QPaintEvent* pEvent) override;
    void reject() override;

    DialogWindow* m_pWindow;
    bool m_bInPaint = false;
};

class DialogWindow final : public QtWindow {
public:
    DialogWindow(const DialogTemplate& dialog, QtWindow* pOwner)
        : QtWindow(0, pOwner),
          m_pDialog(new LxDialog(this, pOwner ? pOwner->Widget()->window() : nullptr)) {
        m_pDialog->setProperty("lxWindow",
                               QVariant::fromValue<quintptr>(reinterpret_cast<quintptr>(this)));
        Qt::WindowFlags flags = Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                                Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint;
        if ((dialog.dwStyle & WS_MINIMIZEBOX) != 0) {
            flags |= Qt::WindowMinimizeButtonHint;
        }
        if ((dialog.dwExStyle & WS_EX_APPWINDOW) != 0) {
            flags = (flags & ~Qt::Dialog) | Qt::Window;
        }
        m_pDialog->setWindowFlags(flags);
        m_pDialog->setWindowTitle(FromBytes(dialog.pszCaption));

        // Dialog units from the dialog font: the desktop's sans-serif font at the template's size.
        QFont font = QApplication::font();
        font.setPointSize(dialog.nPointSize);
        m_pDialog->setFont(font);
        const QFontMetrics metrics(font);
        m_nBaseX = std::max(1, (metrics.horizontalAdvance(QStringLiteral(
                                    "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz")) +
                                26) /
                                   52);
        m_nBaseY = std::max(1, metrics.height());

        QWidget* pPrevious = nullptr;
        for (const ControlTemplate& control : dialog.controls) {
            std::unique_ptr<QtWindow> pControl = MakeControl(control);
            QWidget* pWidget = pControl->Widget();
            pWidget->setGeometry(ToPixels(control.x, control.y, control.cx, control.cy));
            pWidget->setVisible((control.dwStyle & WS_VISIBLE) != 0);
            pWidget->setEnabled((control.dwStyle & WS_DISABLED) == 0);
            if (auto* pPicture = dynamic_cast<PictureWindow*>(pControl.get())) {
                pPicture->FitToPicture();
            }
            if ((control.dwStyle & WS_TABSTOP) != 0) {
                pWidget->setFocusPolicy(Qt::StrongFocus);
                if (pPrevious != nullptr) {
                    QWidget::setTabOrder(pPrevious, pWidget);
                }
                pPrevious = pWidget;
            } else if (control.kind != ControlKind::Edit && control.kind != ControlKind::ListBox) {
                pWidget->setFocusPolicy(Qt::NoFocus);
            }
            m_children.push_back(std::move(pControl));
        }
        const QRect client = ToPixels(dialog.x, dialog.y, dialog.cx, dialog.cy);
        m_pDialog->setFixedSize(client.size());
        m_pDialog->move(client.topLeft());
    }

    ~DialogWindow() override {
        m_children.clear();
        if (m_pDialog != nullptr) {
            m_pDialog->m_pWindow = nullptr;
            m_pDialog->hide();
            delete m_pDialog;
        }
    }

    QWidget* Widget() const override { return m_pDialog; }
    NativeWindow* GetChild(int nID) override {
        for (const auto& pChild : m_children) {
            if (pChild->GetDlgCtrlID() == nID) {
                return pChild.get();
            }
        }
        return nullptr;
    }
    void SetText(const char* pszText) override { m_pDialog->setWindowTitle(FromBytes(pszText)); }
    void Show(int nCmdShow) override {
        if (nCmdShow == SW_HIDE) {
            m_pDialog->hide();
        } else {
            m_pDialog->show();
        }
    }

    LRESULT DefaultProc(UINT message, WPARAM wParam, LPARAM lParam) override {
        switch (message) {
            case WM_SETICON:
                if (const auto* pIcon = reinterpret_cast<const Icon*>(lParam)) {
                    m_pDialog->setWindowIcon(pIcon->icon);
                }
                return 0;
            case WM_NEXTDLGCTL: {
                // lParam TRUE: wParam is the control that gets the focus; a push button also
                // becomes the default button.
                QtWindow* pTarget = nullptr;
                if (lParam != 0) {
                    for (const auto& pChild : m_children) {
                        if (reinterpret_cast<WPARAM>(static_cast<NativeWindow*>(pChild.get())) ==
                            wParam) {
                            pTarget = pChild.get();
                        }
                    }
                }
                if (pTarget != nullptr) {
                    SetDefaultButton(dynamic_cast<PushButtonWindow*>(pTarget));
                    pTarget->Widget()->setFocus(Qt::TabFocusReason);
                }
                return 0;
            }
            default:
                return 0;
        }
    }

    void PaintIcon(int x, int y, HICON hIcon) override {
        if (m_pDialog->m_bInPaint && hIcon != nullptr) {
            QPainter painter(m_pDialog);
            painter.drawPixmap(x, y, hIcon->icon.pixmap(32, 32));
        }
    }

    void SetDefaultButton(PushButtonWindow* pButton) {
        for (const auto& pChild : m_children) {
            if (auto* p = dynamic_cast<PushButtonWindow*>(pChild.get())) {
                p->Button()->setDefault(p == pButton);
            }
        }
    }

    INT_PTR RunModal() {
        if (m_bEnded) {
            return m_nResult;
        }
        // Application-modal: the owner takes no input while the dialog is up.
        m_pDialog->setWindowModality(Qt::ApplicationModal);
        QWidget* pOwner = m_pParent ? m_pParent->Widget() : nullptr;
        m_pDialog->show();
        m_pDialog->raise();
        m_pDialog->activateWindow();
        QEventLoop loop;
        m_pLoop = &loop;
        if (!m_bEnded) {
            loop.exec(QEventLoop::DialogExec);
        }
        m_pLoop = nullptr;
        if (pOwner != nullptr) {
            pOwner->activateWindow();
        }
        m_pDialog->hide();
        return m_nResult;
    }

    void EndModal(INT_PTR nResult) {
        m_nResult = nResult;
        m_bEnded = true;
        if (m_pLoop != nullptr) {
            m_pLoop->quit();
        }
    }

    LxDialog* m_pDialog;

private:
    QRect ToPixels(int x, int y, int cx, int cy) const {
        return QRect(x * m_nBaseX / 4, y * m_nBaseY / 8, cx * m_nBaseX / 4, cy * m_nBaseY / 8);
    }

    std::unique_ptr<QtWindow> MakeControl(const ControlTemplate& control) {
        const QString text = FromBytes(control.pszText ? control.pszText : "");
        switch (control.kind) {
            case ControlKind::PushButton:
                return std::make_unique<PushButtonWindow>(control.nID, this, m_pDialog, text);
            case ControlKind::GroupBox:
                return std::make_unique<GroupBoxWindow>(control.nID, this, m_pDialog, text);
            case ControlKind::Edit:
                return std::make_unique<EditWindow>(control.nID, this, m_pDialog, control.dwStyle);
            case ControlKind::ListBox:
                return std::make_unique<ListBoxWindow>(control.nID, this, m_pDialog,
                                                       control.dwStyle);
            case ControlKind::Picture:
                return std::make_unique<PictureWindow>(control.nID, this, m_pDialog,
                                                       control.nImageID);
        }
        return nullptr;
    }

    std::vector<std::unique_ptr<QtWindow>> m_children;
    int m_nBaseX = 6;
    int m_nBaseY = 13;
    QEventLoop* m_pLoop = nullptr;
    bool m_bEnded = false;
    INT_PTR m_nResult = -1;
};

void LxDialog::closeEvent(QCloseEvent* pEvent) {
    // The close box asks the dialog's object; it decides whether and how the dialog ends.
    pEvent->ignore();
    if (m_pWindow != nullptr) {
        SendMessageTo(m_pWindow, WM_CLOSE, 0, 0);
    }
}

void LxDialog::reject() {
    if (m_pWindow != nullptr) {
        SendMessageTo(m_pWindow, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
    }
}

void LxDialog::paintEvent(QPaintEvent* pEvent) {
    QDialog::paintEvent(pEvent);
    if (m_pWindow != nullptr) {
        m_bInPaint = true;
        SendMessageTo(m_pWindow, WM_PAINT, 0, 0);
        m_bInPaint = false;
    }
}

QtWindow* FromWidget(QWidget* pWidget) {
    for (QWidget* w = pWidget; w != nullptr; w = w->parentWidget()) {
        const QVariant v = w->property("lxWindow");
        if (v.isValid()) {
            return reinterpret_cast<QtWindow*>(v.value<quintptr>());
        }
        for (const auto& [nSerial, pWindow] : LiveWindows()) {
            if (pWindow->Widget() == w) {
                return pWindow;
            }
        }
    }
    return nullptr;
}

DialogWindow* DialogOf(QWidget* pWidget) {
    QWidget* pTop = pWidget ? pWidget->window() : nullptr;
    auto* pDialog = dynamic_cast<LxDialog*>(pTop);
    return pDialog ? pDialog->m_pWindow : nullptr;
}

/// The character code of a key press, as WM_CHAR would carry it; 0 for keys without one.
WPARAM CharacterCode(const QKeyEvent& event) {
    if ((event.modifiers() & Qt::ControlModifier) != 0 && event.key() >= Qt::Key_A &&
        event.key() <= Qt::Key_Z) {
        return static_cast<WPARAM>(event.key() - Qt::Key_A + 1);
    }
    const QString text = event.text();
    if (text.isEmpty()) {
        return 0;
    }
    const std::string bytes = ToBytes(text.left(1));
    return bytes.empty() ? 0 : static_cast<unsigned char>(bytes[0]);
}

/// The message pre-translation and the dialog manager's keys, for every key the program gets.
class KeyFilter final : public QObject {
public:
    bool eventFilter(QObject* pObject, QEvent* pEvent) override {
        if (pEvent->type() != QEvent::KeyPress || !pObject->isWidgetType()) {
            return false;
        }
        auto* pKey = static_cast<QKeyEvent*>(pEvent);
        auto* pWidget = static_cast<QWidget*>(pObject);
        if (pKey == m_pLastEvent && m_pLastReceiver != nullptr && m_pLastReceiver != pWidget &&
            pWidget->isAncestorOf(m_pLastReceiver)) {
            return false;  // the same event, passed on to a parent of the widget that had it
        }
        m_pLastEvent = pKey;
        m_pLastReceiver = pWidget;

        if (const WPARAM nChar = CharacterCode(*pKey)) {
            MSG msg{FromWidget(pWidget), WM_CHAR, nChar, 0};
            if (CWinApp* pApp = AfxGetApp(); pApp != nullptr && pApp->PreTranslateMessage(&msg)) {
                return true;
            }
        }

        DialogWindow* pDialog = DialogOf(pWidget);
        if (pDialog == nullptr) {
            return false;
        }
        switch (pKey->key()) {
            case Qt::Key_Escape:
                SendMessageTo(pDialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
                return true;
            case Qt::Key_Return:
            case Qt::Key_Enter: {
                if (auto* pButton = qobject_cast<QPushButton*>(pWidget);
                    pButton != nullptr && pButton->window() == pDialog->Widget()) {
                    pButton->click();
                    return true;
                }
                // No push button has the focus: the dialog gets the OK command.
                SendMessageTo(pDialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
                return true;
            }
            default:
                return false;
        }
    }

private:
    QKeyEvent* m_pLastEvent = nullptr;
    QPointer<QWidget> m_pLastReceiver;
};

class QtBackend final : public Backend {
public:
    NativeWindow* CreateDialogWindow(UINT nIDTemplate, CWnd*, NativeWindow* pOwner) override {
        const DialogTemplate* pTemplate = FindDialogTemplate(nIDTemplate);
        if (pTemplate == nullptr) {
            return nullptr;
        }
        return new DialogWindow(*pTemplate, static_cast<QtWindow*>(pOwner));
    }
    INT_PTR RunModal(NativeWindow* pDialog) override {
        return static_cast<DialogWindow*>(pDialog)->RunModal();
    }
    void EndModal(NativeWindow* pDialog, INT_PTR nResult) override {
        if (auto* p = dynamic_cast<DialogWindow*>(pDialog)) {
            p->EndModal(nResult);
        }
    }
    void ShowModeless(NativeWindow* pDialog) override {
        static_cast<DialogWindow*>(pDialog)->Widget()->show();
    }
    void DestroyWindow(NativeWindow* pWindow) override { delete pWindow; }
    bool IsWindow(NativeWindow* pWindow) const override {
        for (const auto& [nSerial, p] : LiveWindows()) {
            if (p == pWindow) {
                return true;
            }
        }
        return false;
    }
    HCURSOR SetCursor(HCURSOR hCursor) override {
        const HCURSOR hOld = m_hCursor;
        if (hCursor == &kWaitCursor && m_hCursor != &kWaitCursor) {
            QApplication::setOverrideCursor(Qt::WaitCursor);
        } else if (hCursor != &kWaitCursor && m_hCursor == &kWaitCursor) {
            QApplication::restoreOverrideCursor();
        }
        m_hCursor = hCursor ? hCursor : &kArrowCursor;
        return hOld;
    }
    HCURSOR WaitCursor() override { return &kWaitCursor; }
    HICON LoadIcon(int nID) override {
        auto it = m_icons.find(nID);
        if (it != m_icons.end()) {
            return it->second.get();
        }
        const char* pszNames = FindImage(nID);
        if (pszNames == nullptr) {
            return nullptr;
        }
        auto pIcon = std::make_unique<Icon>();
        for (const QString& name :
             QString::fromUtf8(pszNames).split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
            pIcon->icon.addFile(name);
        }
        return (m_icons[nID] = std::move(pIcon)).get();
    }
    int GetSystemMetrics(int nIndex) override {
        return nIndex == SM_CXICON || nIndex == SM_CYICON ? 32 : 0;
    }

    KeyFilter m_keyFilter;

private:
    HCURSOR m_hCursor = &kArrowCursor;
    std::map<int, std::unique_ptr<Icon>> m_icons;
};

}  // namespace

Backend* InstallBackend() {
    static QtBackend* pBackend = nullptr;
    if (pBackend == nullptr) {
        pBackend = new QtBackend;
        QApplication::setQuitOnLastWindowClosed(false);
        qApp->installEventFilter(&pBackend->m_keyFilter);
    }
    SetBackend(pBackend);
    return pBackend;
}

QWidget* WidgetOf(HWND hWnd) {
    auto* pWindow = dynamic_cast<QtWindow*>(hWnd);
    return pWindow ? pWindow->Widget() : nullptr;
}

int LiveWindowCount() {
    return static_cast<int>(LiveWindows().size());
}

}  // namespace qt

int RunApplication(CWinApp& app, int argc, char** argv) {
    QApplication application(argc, argv);
    qt::InstallBackend();
    int nStatus = 0;
    if (app.InitInstance()) {
        nStatus = QApplication::exec();
    }
    const int nExit = app.ExitInstance();
    return nStatus != 0 ? nStatus : nExit;
}

}  // namespace ui
