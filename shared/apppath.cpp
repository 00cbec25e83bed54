#include "apppath.h"

#include <QCoreApplication>

namespace rt {

namespace {
QString& overridePath() {
    static QString path;
    return path;
}
} // namespace

QString AppPath() {
    if (!overridePath().isEmpty())
        return overridePath();
    return QCoreApplication::applicationDirPath();
}

void setAppPathForTesting(const QString& path) {
    overridePath() = path;
}

} // namespace rt
