// The runtime's error kinds, raised as exceptions and reported at a handler's boundary.
#pragma once

#include <QString>
#include <stdexcept>

namespace rt {

enum class ErrorKind {
    TypeMismatch,
    SubscriptOutOfRange,
    Overflow,
    MissingControlMember,
    FileError,
};

class RuntimeError : public std::runtime_error {
public:
    RuntimeError(ErrorKind kind, QString message);

    ErrorKind kind() const { return m_kind; }
    // The Serbian text shown to the user.
    const QString& message() const { return m_message; }

private:
    ErrorKind m_kind;
    QString m_message;
};

[[noreturn]] void raise(ErrorKind kind);
[[noreturn]] void raiseFileError(const QString& fileName, const QString& detail);

// The default Serbian text for an error kind.
QString errorText(ErrorKind kind);

} // namespace rt
