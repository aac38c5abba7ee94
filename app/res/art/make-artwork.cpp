// Draws the program's icon (ten sizes) and its logo (English and German tagline) as PNG files.
// Built and run by make-artwork.sh; the results are committed beside this file.
#include <QApplication>
#include <QDir>
#include <QFont>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <cmath>
#include <cstdio>

namespace {

void DrawIcon(QPainter& p, const QRectF& box) {
    const double s = box.width();
    p.save();
    p.translate(box.topLeft());
    p.setRenderHint(QPainter::Antialiasing);

    // Tile.
    QLinearGradient tile(0, 0, 0, s);
    tile.setColorAt(0, QColor(0x1d, 0x86, 0xc8));
    tile.setColorAt(1, QColor(0x0b, 0x4f, 0x8a));
    p.setPen(Qt::NoPen);
    p.setBrush(tile);
    p.drawRoundedRect(QRectF(0.02 * s, 0.02 * s, 0.96 * s, 0.96 * s), 0.2 * s, 0.2 * s);

    // Radio waves above the logger.
    const QPointF source(0.5 * s, 0.44 * s);
    for (int i = 0; i < 3; ++i) {
        const double r = (0.13 + 0.11 * i) * s;
        QPen pen(QColor(255, 255, 255, 235 - 55 * i), std::max(1.0, 0.045 * s), Qt::SolidLine,
                 Qt::RoundCap);
        p.setPen(pen);
        p.setBrush(Qt::NoBrush);
        p.drawArc(QRectF(source.x() - r, source.y() - r, 2 * r, 2 * r), 50 * 16, 80 * 16);
    }

    // The logger: a white case with a dark display and a trace on it.
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0xf4, 0xf7, 0xfa));
    const QRectF body(0.16 * s, 0.48 * s, 0.68 * s, 0.38 * s);
    p.drawRoundedRect(body, 0.06 * s, 0.06 * s);
    const QRectF screen(0.22 * s, 0.54 * s, 0.42 * s, 0.26 * s);
    p.setBrush(QColor(0x12, 0x2b, 0x3d));
    p.drawRoundedRect(screen, 0.025 * s, 0.025 * s);
    QPainterPath trace;
    for (int i = 0; i <= 40; ++i) {
        const double t = i / 40.0;
        const double x = screen.left() + 0.06 * s + t * (screen.width() - 0.12 * s);
        const double y =
            screen.center().y() + 0.07 * s * std::sin(t * 2.6 * M_PI) * (1.0 - 0.35 * t);
        i == 0 ? trace.moveTo(x, y) : trace.lineTo(x, y);
    }
    p.setPen(QPen(QColor(0x5c, 0xe0, 0x8a), std::max(1.0, 0.035 * s), Qt::SolidLine, Qt::RoundCap,
                  Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
    p.drawPath(trace);
    // Status light.
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0xf0, 0x8c, 0x1e));
    p.drawEllipse(QPointF(0.745 * s, 0.6 * s), 0.04 * s, 0.04 * s);
    p.setBrush(QColor(0x9a, 0xa8, 0xb4));
    p.drawRoundedRect(QRectF(0.7 * s, 0.7 * s, 0.09 * s, 0.05 * s), 0.01 * s, 0.01 * s);
    p.restore();
}

QImage Icon(int nSize) {
    QImage image(nSize, nSize, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    DrawIcon(p, QRectF(0, 0, nSize, nSize));
    return image;
}

/// The logo at its own size (400 x 113) times nScale: drawn at that size, for screens of more
/// pixels per inch, not enlarged.
QImage Logo(const QString& tagline, int nScale) {
    QImage image(400 * nScale, 113 * nScale, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.scale(nScale, nScale);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    DrawIcon(p, QRectF(6, 10, 92, 92));

    QFont title(QStringLiteral("DejaVu Sans"));
    title.setPixelSize(36);
    title.setBold(true);
    p.setFont(title);
    p.setPen(QColor(0x0b, 0x4f, 0x8a));
    p.drawText(QPointF(110, 58), QStringLiteral("lorixlog"));
    const double nWidth = QFontMetricsF(title).horizontalAdvance(QStringLiteral("lorixlog"));
    p.setPen(QColor(0x1d, 0x86, 0xc8));
    title.setBold(false);
    p.setFont(title);
    p.drawText(QPointF(110 + nWidth, 58), QStringLiteral("-finder"));

    p.setPen(QColor(0x0b, 0x4f, 0x8a, 90));
    p.drawLine(QPointF(112, 70), QPointF(392, 70));

    QFont small(QStringLiteral("DejaVu Sans"));
    small.setPixelSize(14);
    p.setFont(small);
    p.setPen(QColor(0x3c, 0x46, 0x50));
    p.drawText(QRectF(110, 76, 286, 24), Qt::AlignLeft | Qt::AlignVCenter, tagline);
    return image;
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const QString dir = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QDir::currentPath();
    for (int nSize : {256, 192, 128, 96, 72, 64, 48, 32, 24, 16}) {
        Icon(nSize).save(QStringLiteral("%1/icon-%2.png").arg(dir).arg(nSize));
    }
    for (int nScale : {1, 2}) {
        const QString suffix = nScale == 1 ? QString() : QStringLiteral("@2x");
        Logo(QStringLiteral("Finds your data loggers on the network"), nScale)
            .save(dir + QStringLiteral("/logo-en%1.png").arg(suffix));
        Logo(QString::fromUtf8("Findet Ihre Datenlogger im Netzwerk"), nScale)
            .save(dir + QStringLiteral("/logo-de%1.png").arg(suffix));
    }
    std::puts("artwork written");
    return 0;
}
