// The runtime's error kinds, raised as exceptions and reported at a handler's boundary.
#pragma once

#include "filefault.h"

#include <QString>
#include <exception>
#include <optional>

namespace rt {

enum class ErrorKind {
    TypeMismatch,
    SubscriptOutOfRange,
    Overflow,
    MissingControlMember,
    FileError,
};

class RuntimeError : public std::exception {
public:
    explicit RuntimeError(ErrorKind kind);
    // The file error, with what went wrong as data.
    explicit RuntimeError(qo::FileFault fault);

    ErrorKind kind() const { return m_kind; }
    // What went wrong with a file, for the file error.
    const std::optional<qo::FileFault>& fault() const { return m_fault; }
    // The Serbian text shown to the user: one sentence.
    QString message() const;
    const char* what() const noexcept override;

private:
    ErrorKind m_kind;
    std::optional<qo::FileFault> m_fault;
};

[[noreturn]] void raise(ErrorKind kind);
[[noreturn]] void raise(const qo::FileFault& fault);

// The default Serbian text for an error kind.
QString errorText(ErrorKind kind);

} // namespace rt
