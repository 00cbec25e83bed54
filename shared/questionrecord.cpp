#include "questionrecord.h"

#include "codepage.h"
#include "conversions.h"

#include <algorithm>

namespace qo {

template <int Width> void FixedText<Width>::assign(const QString& text) {
    m_chars = rt::fixedAssign(text, Width);
}

template <int Width> void FixedText<Width>::setRaw(const QString& chars) {
    // What the code page gives never holds a surrogate: Width such characters are the
    // field as it is. The quiz decodes a record for every question it shows.
    if (chars.size() == Width &&
        std::none_of(chars.cbegin(), chars.cend(), [](QChar c) { return c.isSurrogate(); })) {
        m_chars = chars;
        return;
    }
    int count = 0;
    m_chars = rt::leftCodePoints(chars, Width, &count);
    if (count < Width)
        m_chars.append(QString(Width - count, QChar(0)));
}

template class FixedText<10>;
template class FixedText<80>;

namespace {

template <int Width> void put(QByteArray& bytes, int offset, const FixedText<Width>& field) {
    // Width characters make exactly Width bytes.
    const QByteArray encoded = rt::toCodePage(field.text());
    bytes.replace(offset, Width, encoded.leftJustified(Width, '\0', true));
}

template <int Width> void get(QByteArrayView bytes, int offset, FixedText<Width>& field) {
    field.setRaw(rt::fromCodePage(bytes.sliced(offset, Width)));
}

} // namespace

QByteArray QuestionRecord::toBytes() const {
    QByteArray bytes(RecordLength, '\0');
    put(bytes, layout::NumberOffset, Number);
    put(bytes, layout::QuestionOffset, Question);
    const auto correct = static_cast<std::uint16_t>(Correct);
    bytes[layout::CorrectOffset] = static_cast<char>(correct & 0xFF);
    bytes[layout::CorrectOffset + 1] = static_cast<char>(correct >> 8);
    for (int i = 0; i < 4; ++i)
        put(bytes, layout::AnswersOffset + 80 * i, Answers[i]);
    return bytes;
}

QuestionRecord QuestionRecord::fromBytes(const QByteArray& source) {
    QByteArray padded;
    if (source.size() < RecordLength)
        padded = source + QByteArray(RecordLength - source.size(), '\0');
    const QByteArrayView bytes = source.size() < RecordLength ? padded : source;
    QuestionRecord record;
    get(bytes, layout::NumberOffset, record.Number);
    get(bytes, layout::QuestionOffset, record.Question);
    const auto low = static_cast<unsigned char>(bytes[layout::CorrectOffset]);
    const auto high = static_cast<unsigned char>(bytes[layout::CorrectOffset + 1]);
    record.Correct = static_cast<std::int16_t>(static_cast<std::uint16_t>(low | (high << 8)));
    for (int i = 0; i < 4; ++i)
        get(bytes, layout::AnswersOffset + 80 * i, record.Answers[i]);
    return record;
}

QString shownText(const QString& field) {
    QString text = rt::uptoNul(field);
    qsizetype end = text.size();
    while (end > 0 && text.at(end - 1) == QLatin1Char(' '))
        --end;
    text.truncate(end);
    return text;
}

bool holdsNoQuestion(const QuestionRecord& record) {
    return shownText(record.Question).trimmed().isEmpty();
}

bool showsAnyAnswer(const QuestionRecord& record) {
    return std::any_of(record.Answers.begin(), record.Answers.end(),
                       [](const auto& a) { return !shownText(a).trimmed().isEmpty(); });
}

QString noFirstQuestionReason() {
    return QStringLiteral("U datoteci nema pitanja: prvo pitanje je prazno.");
}

} // namespace qo
