#include <QGroupBox>

#include "QtControls.h"

namespace ui::qt {

namespace {

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

}  // namespace

std::unique_ptr<QtWindow> MakeGroupBox(const ControlTemplate& control, QtWindow* pDialog,
                                       QWidget* pContent) {
    return std::make_unique<GroupBoxWindow>(control.nID, pDialog, pContent,
                                            FromBytes(control.pszText ? control.pszText : ""));
}

}  // namespace ui::qt
