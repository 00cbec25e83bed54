// Plain stand-in pictures of the right sizes, drawn in code.
#include "assets.h"

#include <QPainter>

namespace assets {

namespace {
QPixmap plain(int w, int h, const QColor& back, const QString& text, const QColor& fore) {
    QPixmap pixmap(w, h);
    pixmap.fill(back);
    QPainter p(&pixmap);
    p.setPen(fore);
    p.drawText(pixmap.rect(), Qt::AlignCenter, text);
    return pixmap;
}

QPixmap faceAt(int index, int size) {
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setBrush(Qt::yellow);
    p.setPen(Qt::black);
    p.drawEllipse(1, 1, size - 2, size - 2);
    p.setBrush(Qt::black);
    p.drawEllipse(size * 0.3, size * 0.3, size / 8, size / 5);
    p.drawEllipse(size * 0.6, size * 0.3, size / 8, size / 5);
    p.setBrush(Qt::NoBrush);
    const int mood = index - 3; // below 0 frowns, above smiles
    p.drawArc(size / 4, size / 2 - mood * 2, size / 2, size / 4, mood >= 0 ? 180 * 16 : 0,
              mood >= 0 ? 180 * 16 : 180 * 16);
    return pixmap;
}
} // namespace

QIcon face(int index) {
    QIcon icon;
    icon.addPixmap(faceAt(index, 32));
    if (index <= 5)
        icon.addPixmap(faceAt(index, 16));
    return icon;
}

QIcon cornerLogo() {
    return face(3);
}

QPixmap banner() {
    return plain(525, 60, QColor(150, 200, 255), QStringLiteral("[qo] forumi"), Qt::white);
}

QPixmap authorPicture() {
    return plain(80, 80, Qt::white, QStringLiteral("Pitanja\npostavio"), Qt::red);
}

QPixmap exitPicture() {
    return plain(80, 25, Qt::white, QStringLiteral("Izlaz X"), Qt::red);
}

QPixmap creditsPicture() {
    return plain(100, 33, Qt::black, QStringLiteral("O PROGRAMU"), Qt::red);
}

PointerImage pointer(Pointer which) {
    QPixmap image(32, 32);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setPen(Qt::black);
    p.setBrush(which == Pointer::RedArrow ? Qt::red : Qt::white);
    p.drawPolygon(QPolygon({QPoint(0, 0), QPoint(0, 20), QPoint(12, 12)}));
    switch (which) {
    case Pointer::UpArrow:
        return {image, 7, 0};
    case Pointer::NoEntry:
        return {image, 16, 15};
    case Pointer::Magnifier:
        return {image, 9, 8};
    default:
        return {image, 0, 0};
    }
}

} // namespace assets
