#include <QLabel>

#include "QtControls.h"

namespace ui::qt {

namespace {

/// Static text, wrapped at the label's width.
class LabelWindow final : public QtWindow {
public:
    LabelWindow(int nID, QtWindow* pParent, QWidget* pDialog, const QString& text)
        : QtWindow(nID, pParent), m_pLabel(new QLabel(text, pDialog)) {
        m_pLabel->setWordWrap(true);
        m_pLabel->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        m_pLabel->setFocusPolicy(Qt::NoFocus);
    }
    void SetText(const char* pszText) override { m_pLabel->setText(FromBytes(pszText)); }
    std::string GetText() const override { return ToBytes(m_pLabel->text()); }
    QWidget* Widget() const override { return m_pLabel; }

private:
    QLabel* m_pLabel;
};

}  // namespace

std::unique_ptr<QtWindow> MakeLabel(const ControlTemplate& control, QtWindow* pDialog,
                                    QWidget* pContent) {
    return std::make_unique<LabelWindow>(control.nID, pDialog, pContent,
                                         FromBytes(control.pszText ? control.pszText : ""));
}

}  // namespace ui::qt
