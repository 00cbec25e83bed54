#include "conversions.h"

#include "rterror.h"

#include <QLocale>
#include <QRegularExpression>
#include <cfenv>
#include <cmath>
#include <limits>

namespace rt {

QString Left(const QString& text, int n) {
    if (n < 0)
        raise(ErrorKind::SubscriptOutOfRange);
    return text.left(n);
}

QString Str(long long value) {
    return QString::number(value);
}

QString Str(double value) {
    if (std::isfinite(value) && value == std::floor(value) && std::fabs(value) < 1e15)
        return QString::number(static_cast<long long>(value));
    return QString::number(value, 'g', QLocale::FloatingPointShortest);
}

bool tryVal(const QString& text, double* out) {
    // Optional sign, digits with an optional decimal point, optional exponent.
    static const QRegularExpression number(
        QStringLiteral("^[+-]?(\\d+\\.?\\d*|\\.\\d+)([eE][+-]?\\d+)?$"));
    const QString trimmed = text.trimmed().remove(QChar(u'\u00A0'));
    if (text.contains(QChar(0)) || !number.match(trimmed).hasMatch())
        return false;
    bool ok = false;
    const double value = trimmed.toDouble(&ok);
    if (!ok || !std::isfinite(value))
        return false;
    if (out)
        *out = value;
    return true;
}

double Val(const QString& text) {
    double value = 0;
    if (!tryVal(text, &value))
        raise(ErrorKind::TypeMismatch);
    return value;
}

namespace {

double roundHalfEven(double value) {
    const int previous = std::fegetround();
    std::fesetround(FE_TONEAREST);
    const double rounded = std::nearbyint(value);
    std::fesetround(previous);
    return rounded;
}

template <typename Int> Int toInteger(double value) {
    if (!std::isfinite(value))
        raise(ErrorKind::Overflow);
    const double rounded = roundHalfEven(value);
    if (rounded < static_cast<double>(std::numeric_limits<Int>::min()) ||
        rounded > static_cast<double>(std::numeric_limits<Int>::max()))
        raise(ErrorKind::Overflow);
    return static_cast<Int>(rounded);
}

} // namespace

std::int16_t CInt(double value) {
    return toInteger<std::int16_t>(value);
}

std::int32_t CLng(double value) {
    return toInteger<std::int32_t>(value);
}

std::int16_t CInt(const QString& text) {
    return CInt(Val(text));
}

std::int16_t add16(std::int16_t a, int b) {
    const long long sum = static_cast<long long>(a) + b;
    if (sum < std::numeric_limits<std::int16_t>::min() ||
        sum > std::numeric_limits<std::int16_t>::max())
        raise(ErrorKind::Overflow);
    return static_cast<std::int16_t>(sum);
}

QString leftCodePoints(const QString& text, int n, int* count) {
    qsizetype end = 0;
    int taken = 0;
    while (end < text.size() && taken < n) {
        const bool pair = text.at(end).isHighSurrogate() && end + 1 < text.size() &&
                          text.at(end + 1).isLowSurrogate();
        end += pair ? 2 : 1;
        ++taken;
    }
    if (count)
        *count = taken;
    return text.left(end);
}

QString fixedAssign(const QString& text, int width) {
    int count = 0;
    QString result = leftCodePoints(text, width, &count);
    if (count < width)
        result.append(QString(width - count, QLatin1Char(' ')));
    return result;
}

QString uptoNul(const QString& text) {
    const qsizetype nul = text.indexOf(QChar(0));
    return nul < 0 ? text : text.left(nul);
}

} // namespace rt
