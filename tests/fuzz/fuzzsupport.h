// What the fuzz targets share: a check that fails the run (libFuzzer then keeps the
// input), a throw-away program folder, and Qt without a display.
#pragma once

#include "apppath.h"
#include "testsupport.h"

#include <QApplication>
#include <QByteArray>
#include <QFile>
#include <QTemporaryDir>

#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace fuzz {

[[noreturn]] inline void failed(const char* what, const char* file, int line) {
    std::fprintf(stderr, "%s:%d: check failed: %s\n", file, line, what);
    std::abort();
}

#define FUZZ_CHECK(condition) ((condition) ? void(0) : fuzz::failed(#condition, __FILE__, __LINE__))

inline QByteArray bytes(const std::uint8_t* data, std::size_t size) {
    return QByteArray(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
}

// A temporary folder standing in for the program's folder for the whole run.
inline QTemporaryDir& appFolder() {
    // Never destroyed: libFuzzer may end the process from any point.
    static QTemporaryDir* dir = [] {
        auto* d = new QTemporaryDir;
        rt::setAppPathForTesting(d->path());
        return d;
    }();
    return *dir;
}

inline void writeFile(const QString& name, const QByteArray& content) {
    QFile file(appFolder().filePath(name));
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
        file.write(content) != content.size())
        failed("writing the input file", __FILE__, __LINE__);
}

// The windows' targets run on Qt's offscreen platform: never a real window.
inline void startWidgets() {
    static int argc = 1;
    static char name[] = "fuzz";
    static char* argv[] = {name, nullptr};
    qputenv("QT_QPA_PLATFORM", "offscreen");
    new QApplication(argc, argv); // lives for the whole run
}

// Whether a handler failed in a way the program does not expect (not one of the
// runtime's own errors).
inline bool unexpectedError(const testsupport::ScriptedResponder& responder) {
    for (const testsupport::MessageCall& call : responder.calls()) {
        if (call.prompt.startsWith(QStringLiteral("Neocekivana greska")))
            return true;
    }
    return false;
}

} // namespace fuzz
