#include "rterror.h"

namespace rt {

RuntimeError::RuntimeError(ErrorKind kind, QString message)
    : std::runtime_error(message.toStdString()), m_kind(kind), m_message(std::move(message)) {}

QString errorText(ErrorKind kind) {
    switch (kind) {
    case ErrorKind::TypeMismatch:
        return QStringLiteral("Neodgovarajuci tip podatka: tekst ne sadrzi broj.");
    case ErrorKind::SubscriptOutOfRange:
        return QStringLiteral("Indeks je van granica niza.");
    case ErrorKind::Overflow:
        return QStringLiteral("Prekoracenje: broj je van dozvoljenog opsega.");
    case ErrorKind::MissingControlMember:
        return QStringLiteral("Element niza kontrola ne postoji.");
    case ErrorKind::FileError:
        return QStringLiteral("Greska pri radu sa datotekom.");
    }
    return {};
}

void raise(ErrorKind kind) {
    throw RuntimeError(kind, errorText(kind));
}

void raiseFileError(const QString& fileName, const QString& detail) {
    QString text = QStringLiteral("Greska pri radu sa datotekom \"%1\".").arg(fileName);
    if (!detail.isEmpty())
        text += QLatin1Char('\n') + detail;
    throw RuntimeError(ErrorKind::FileError, text);
}

} // namespace rt
