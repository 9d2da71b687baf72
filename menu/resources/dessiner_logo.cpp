// Draws the program's logo (logo.png): a clock face on a house over the product name.
// Not part of the build; regenerate with:
//   g++ -std=c++20 -fPIC dessiner_logo.cpp $(pkg-config --cflags --libs Qt6Gui) -o /tmp/logo
//   QT_QPA_PLATFORM=offscreen /tmp/logo logo.png
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    QImage image(320, 220, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);

    // The house: a roof and a body in two tones of teal.
    QLinearGradient fond(0, 10, 0, 150);
    fond.setColorAt(0, QColor(0, 128, 128));
    fond.setColorAt(1, QColor(0, 84, 96));
    QPainterPath maison;
    maison.moveTo(160, 10);
    maison.lineTo(250, 80);
    maison.lineTo(230, 80);
    maison.lineTo(230, 150);
    maison.lineTo(90, 150);
    maison.lineTo(90, 80);
    maison.lineTo(70, 80);
    maison.closeSubpath();
    p.setPen(QPen(QColor(240, 240, 240), 4, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(fond);
    p.drawPath(maison);

    // The clock face: time clocked at the helper's visit.
    p.setBrush(QColor(250, 250, 245));
    p.setPen(QPen(QColor(255, 170, 40), 5));
    p.drawEllipse(QPointF(160, 103), 34, 34);
    p.setPen(QPen(QColor(40, 40, 40), 5, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(160, 103), QPointF(160, 80));
    p.drawLine(QPointF(160, 103), QPointF(177, 112));

    // The product name.
    QFont police(QStringLiteral("DejaVu Sans"), 26, QFont::Bold);
    p.setFont(police);
    p.setPen(QColor(250, 250, 250));
    p.drawText(QRectF(0, 152, 320, 40), Qt::AlignCenter, QStringLiteral("ORVANELLE"));
    police.setPointSize(14);
    police.setBold(false);
    police.setItalic(true);
    p.setFont(police);
    p.setPen(QColor(255, 190, 80));
    p.drawText(QRectF(0, 190, 320, 28), Qt::AlignCenter, QStringLiteral("Cadrius"));
    p.end();
    return image.save(QString::fromLocal8Bit(argv[1])) ? 0 : 1;
}
