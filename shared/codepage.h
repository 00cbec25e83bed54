// Windows-1250 (the Serbian Latin code page): one byte per character.
#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

namespace rt {

// Each character (one code point: a surrogate pair is one character) becomes one
// byte; a character the code page cannot hold becomes '?'.
QByteArray toCodePage(const QString& text);
// Each byte becomes one character.
QString fromCodePage(QByteArrayView bytes);
// Whether every character of the text has a byte of its own in the code page.
bool fitsCodePage(const QString& text);

} // namespace rt
