// The pictures and pointers, loaded from the PNG files embedded as Qt resources.
#include "assets.h"

#include "faces.h"

#include <initializer_list>

namespace assets {

namespace {
QPixmap picture(const QString& name) {
    return QPixmap(QStringLiteral(":/pictures/") + name);
}
} // namespace

QIcon face(int index) {
    if (index < 0 || index >= qo::FaceCount)
        return QIcon();
    QIcon icon;
    icon.addPixmap(picture(QStringLiteral("face%1.png").arg(index)));
    if (index < qo::SmallFaceCount)
        icon.addPixmap(picture(QStringLiteral("face%1-16.png").arg(index)));
    return icon;
}

QString faceName(int index) {
    static const char* const names[] = {
        "Lice jako namrsteno",
        "Lice namrsteno",
        "Lice malo namrsteno",
        "Lice ozbiljno",
        "Lice nasmejano",
        "Lice koje se smeje",
        "Lice koje se smeje, sa nosem",
        "Lice tuzno",
    };
    if (index < 0 || index >= qo::FaceCount)
        return QString();
    return QString::fromLatin1(names[index]);
}

QIcon cornerLogo() {
    return QIcon(picture(QStringLiteral("corner-logo.png")));
}

namespace {

QIcon iconOf(ProgramIcon which, std::initializer_list<int> sizes) {
    const QString name =
        which == ProgramIcon::Quiz ? QStringLiteral("kviz") : QStringLiteral("editor-pitanja");
    QIcon icon;
    for (const int size : sizes)
        icon.addPixmap(picture(QStringLiteral("icons/%1-%2.png").arg(name).arg(size)));
    return icon;
}

} // namespace

QIcon programIcon(ProgramIcon which) {
    return iconOf(which, {16, 22, 24, 32, 48, 64, 128, 256});
}

QIcon windowIcon(ProgramIcon which) {
    return iconOf(which, {16, 32, 48});
}

QPixmap banner() {
    return picture(QStringLiteral("banner.png"));
}

QPixmap authorPicture() {
    return picture(QStringLiteral("author.png"));
}

QPixmap exitPicture() {
    return picture(QStringLiteral("exit.png"));
}

QPixmap creditsPicture() {
    return picture(QStringLiteral("credits.png"));
}

PointerImage pointer(Pointer which) {
    switch (which) {
    case Pointer::RedArrow:
        return {picture(QStringLiteral("pointer-red-arrow.png")), 0, 0};
    case Pointer::WhiteArrow:
        return {picture(QStringLiteral("pointer-white-arrow.png")), 0, 0};
    case Pointer::UpArrow:
        return {picture(QStringLiteral("pointer-up-arrow.png")), 7, 0};
    case Pointer::NoEntry:
        return {picture(QStringLiteral("pointer-no-entry.png")), 16, 15};
    case Pointer::Magnifier:
        return {picture(QStringLiteral("pointer-magnifier.png")), 9, 8};
    }
    return {};
}

} // namespace assets
