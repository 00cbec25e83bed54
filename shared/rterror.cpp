#include "rterror.h"

namespace rt {

RuntimeError::RuntimeError(ErrorKind kind) : m_kind(kind) {}

RuntimeError::RuntimeError(qo::FileFault fault)
    : m_kind(ErrorKind::FileError), m_fault(std::move(fault)) {}

QString RuntimeError::message() const {
    if (!m_fault)
        return errorText(m_kind);
    // The fault's words as a sentence of its own.
    QString text = qo::describe(*m_fault);
    if (!text.isEmpty())
        text[0] = text[0].toUpper();
    if (!text.endsWith(QLatin1Char('.')))
        text += QLatin1Char('.');
    return text;
}

const char* RuntimeError::what() const noexcept {
    return "rt::RuntimeError";
}

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
    throw RuntimeError(kind);
}

void raise(const qo::FileFault& fault) {
    throw RuntimeError(fault);
}

} // namespace rt
