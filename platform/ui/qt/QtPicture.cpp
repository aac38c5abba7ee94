#include <QIcon>
#include <QLabel>
#include <QPixmap>

#include "QtControls.h"

namespace ui::qt {

namespace {

class PictureWindow final : public QtWindow {
public:
    PictureWindow(int nID, QtWindow* pParent, QWidget* pDialog, int nImageID)
        : QtWindow(nID, pParent), m_pLabel(new QLabel(pDialog)) {
        m_pLabel->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        m_pLabel->setScaledContents(false);
        m_pLabel->setFocusPolicy(Qt::NoFocus);
        if (const char* pszName = FindImage(nImageID)) {
            // The image at its own size, from NAME@2x.png on a screen at scale 2 and more.
            const QString file =
                QStringLiteral(":/lorixlog/%1.png").arg(QString::fromUtf8(pszName));
            const QSize size = QPixmap(file).size();
            m_pLabel->setPixmap(QIcon(file).pixmap(size, m_pLabel->devicePixelRatioF()));
        }
    }
    QWidget* Widget() const override { return m_pLabel; }
    /// The picture is shown at its own pixel size, not stretched to the control.
    void FitToTemplate() override {
        const QPixmap pixmap = m_pLabel->pixmap();
        if (!pixmap.isNull()) {
            m_pLabel->resize(pixmap.deviceIndependentSize().toSize());
        }
    }

private:
    QLabel* m_pLabel;
};

}  // namespace

std::unique_ptr<QtWindow> MakePicture(const ControlTemplate& control, QtWindow* pDialog,
                                      QWidget* pContent) {
    return std::make_unique<PictureWindow>(control.nID, pDialog, pContent, control.nImageID);
}

}  // namespace ui::qt
