// Text and number conversions with the runtime's rounding and error rules.
#pragma once

#include <QString>
#include <cstdint>

namespace rt {

// The first n characters of a text; the whole text when n exceeds its length.
QString Left(const QString& text, int n);

// Decimal digits with a minus sign where needed, no leading space.
QString Str(long long value);
// Shortest decimal form; whole numbers as plain digits.
QString Str(double value);

// The number a text holds, surrounding spaces ignored. A text that holds no
// number is the type-mismatch error.
double Val(const QString& text);
// Like Val, but tells instead of raising.
bool tryVal(const QString& text, double* out);

// Nearest integer, halves to even; out of range is the overflow error.
std::int16_t CInt(double value);
std::int32_t CLng(double value);
std::int16_t CInt(const QString& text);

// 16-bit counter arithmetic: past the range is the overflow error.
std::int16_t add16(std::int16_t a, int b);

// The first n characters of a text, a character being one code point: a surrogate
// pair is never split. count, when given, receives how many characters that is.
QString leftCodePoints(const QString& text, int n, int* count = nullptr);

// What a control shows of a text: everything up to the first NUL character.
QString uptoNul(const QString& text);

// Fixed-length assignment: left-aligned, cut at the width, filled with spaces; the
// width counts code points.
QString fixedAssign(const QString& text, int width);

} // namespace rt
