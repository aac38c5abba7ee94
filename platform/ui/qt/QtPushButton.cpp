#include <QPushButton>

#include "QtControls.h"

namespace ui::qt {

namespace {

class PushButtonWindow final : public QtWindow {
public:
    PushButtonWindow(int nID, QtWindow* pParent, QWidget* pDialog, const QString& text)
        : QtWindow(nID, pParent), m_pButton(new QPushButton(text, pDialog)) {
        m_pButton->setAutoDefault(false);
        // Reached by Tab only where the template makes it a tab stop.
        m_pButton->setFocusPolicy(Qt::NoFocus);
        m_pButton->setProperty("lxWindow",
                               QVariant::fromValue<quintptr>(reinterpret_cast<quintptr>(this)));
        QObject::connect(m_pButton, &QPushButton::clicked, &m_context,
                         [this] { Notify(BN_CLICKED); });
    }
    void SetText(const char* pszText) override { m_pButton->setText(FromBytes(pszText)); }
    std::string GetText() const override { return ToBytes(m_pButton->text()); }
    QWidget* Widget() const override { return m_pButton; }

private:
    QPushButton* m_pButton;
    QObject m_context;  // ends the connections with this object
};

}  // namespace

std::unique_ptr<QtWindow> MakePushButton(const ControlTemplate& control, QtWindow* pDialog,
                                         QWidget* pContent) {
    return std::make_unique<PushButtonWindow>(control.nID, pDialog, pContent,
                                              FromBytes(control.pszText ? control.pszText : ""));
}

}  // namespace ui::qt
