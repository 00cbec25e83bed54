// Fuzzes the code-page conversion both ways and the fixed-width fields: bytes as
// the file's text, and the same bytes as the program's text (UTF-16 units, lone
// surrogates included, and UTF-8).
#include "codepage.h"
#include "conversions.h"
#include "fuzzsupport.h"
#include "questionrecord.h"

#include <cstring>

namespace {

qsizetype codePoints(const QString& text) {
    qsizetype count = 0;
    for (qsizetype i = 0; i < text.size(); ++i, ++count) {
        if (text.at(i).isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate())
            ++i;
    }
    return count;
}

void textToBytes(const QString& text) {
    const QByteArray encoded = rt::toCodePage(text);
    FUZZ_CHECK(encoded.size() == codePoints(text));
    if (rt::fitsCodePage(text))
        FUZZ_CHECK(rt::fromCodePage(encoded) == text);
    else
        FUZZ_CHECK(encoded.contains('?'));

    // A field holds exactly its width in characters, never half of a pair, and
    // takes exactly its width in bytes.
    qo::QuestionRecord record;
    record.Question = text;
    record.Number = text;
    const QString& field = record.Question.text();
    FUZZ_CHECK(codePoints(field) == 80);
    FUZZ_CHECK(codePoints(record.Number.text()) == 10);
    const qsizetype kept = rt::leftCodePoints(text, 80).size();
    FUZZ_CHECK(field.left(kept) == text.left(kept));
    FUZZ_CHECK(field.mid(kept) == QString(field.size() - kept, QLatin1Char(' ')));
    FUZZ_CHECK(kept == 0 || kept == text.size() ||
               !(text.at(kept - 1).isHighSurrogate() && text.at(kept).isLowSurrogate()));
    const QByteArray stored = record.toBytes();
    FUZZ_CHECK(stored.size() == qo::RecordLength);
    FUZZ_CHECK(stored.mid(10, 80) == rt::toCodePage(record.Question.text()));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // Bytes to text and back: every byte survives.
    const QByteArray bytes = fuzz::bytes(data, size);
    const QString text = rt::fromCodePage(bytes);
    FUZZ_CHECK(text.size() == bytes.size());
    FUZZ_CHECK(rt::fitsCodePage(text));
    FUZZ_CHECK(rt::toCodePage(text) == bytes);

    QString units(static_cast<qsizetype>(size / 2), Qt::Uninitialized);
    std::memcpy(units.data(), data, size / 2 * 2); // the input need not be aligned for QChar
    textToBytes(units);
    textToBytes(QString::fromUtf8(bytes));
    return 0;
}
