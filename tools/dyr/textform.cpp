// The text form of a set: a readable "field: value" source that dump writes and
// build reads, byte for byte the same set both ways.
#include "textform.h"

#include "codepage.h"
#include "support.h"

#include <QStringDecoder>

#include <algorithm>
#include <optional>

namespace dyr {

namespace {

const QString kTextKeys[] = {QStringLiteral("question"), QStringLiteral("a"), QStringLiteral("b"),
                             QStringLiteral("c"), QStringLiteral("d")};

// A character the text form shows as it is; everything else is escaped.
bool plain(QChar c) {
    return c.isPrint() && (c == QLatin1Char(' ') || !c.isSpace()) && c != QLatin1Char('\\');
}

bool isHexDigit(QChar c) {
    return (c >= QLatin1Char('0') && c <= QLatin1Char('9')) ||
           (c.toLower() >= QLatin1Char('a') && c.toLower() <= QLatin1Char('f'));
}

} // namespace

// The \xHH escape of a character of the code page.
QString byteEscape(QChar c) {
    const auto byte = static_cast<unsigned char>(rt::toCodePage(QString(c)).at(0));
    return QLatin1String("\\x") +
           QString::number(byte, 16).rightJustified(2, QLatin1Char('0')).toUpper();
}

QString escapeText(const QString& chars) {
    QString out;
    bool leading = true;
    for (const QChar c : chars) {
        if (c == QLatin1Char(' ') && leading) {
            out += QLatin1String("\\s");
            continue;
        }
        leading = false;
        if (c == QLatin1Char('\\'))
            out += QLatin1String("\\\\");
        else if (c.isNull())
            out += QLatin1String("\\0");
        else if (plain(c))
            out += c;
        else
            out += byteEscape(c);
    }
    return out;
}

bool neverFilled(const QString& text) {
    for (const QChar c : text) {
        if (!c.isNull())
            return false;
    }
    return true;
}

QString withoutTrailing(QString text, QChar c) {
    while (!text.isEmpty() && text.back() == c)
        text.chop(1);
    return text;
}

// A field's value: its characters up to the fill, and the fill itself (spaces are

namespace {

// implied, NULs are marked by a final \0).
QString encodeField(const QString& field) {
    if (!field.isEmpty() && field.back().isNull())
        return escapeText(withoutTrailing(field, QChar(0))) + QLatin1String("\\0");
    const QString content = withoutTrailing(field, QLatin1Char(' '));
    QString value = escapeText(content);
    if (!content.isEmpty() && content.back().isNull())
        value += QLatin1String("\\s"); // a space keeps the NUL from reading as the fill
    return value;
}

struct FieldResult {
    QString chars;
    QString error;
};

// Decodes a value into exactly `width` characters.
FieldResult decodeField(const QString& value, const QString& key, int width) {
    QString chars;
    for (qsizetype i = 0; i < value.size(); ++i) {
        const QChar c = value.at(i);
        if (c == QLatin1Char('\\')) {
            if (i + 1 >= value.size())
                return {
                    {},
                    QStringLiteral("usamljena \\ na kraju; obrnuta kosa crta se pise kao \\\\")};
            const QChar e = value.at(++i);
            if (e == QLatin1Char('\\')) {
                chars += QLatin1Char('\\');
            } else if (e == QLatin1Char('s')) {
                chars += QLatin1Char(' ');
            } else if (e == QLatin1Char('0')) {
                chars += QChar(0);
            } else if (e == QLatin1Char('x')) {
                const QString hex = value.mid(i + 1, 2);
                if (hex.size() != 2 || !isHexDigit(hex.at(0)) || !isHexDigit(hex.at(1)))
                    return {{},
                            QStringLiteral("posle \\x idu dve heksadecimalne cifre, kao u "
                                           "\\x09")};
                chars +=
                    rt::fromCodePage(QByteArray(1, static_cast<char>(hex.toUInt(nullptr, 16))));
                i += 2;
            } else {
                return {{},
                        QStringLiteral("nepoznata izlazna sekvenca \\%1; postoje \\\\, \\s, "
                                       "\\0 i \\xHH")
                            .arg(e)};
            }
            continue;
        }
        QString ch(c);
        char32_t point = c.unicode();
        if (c.isHighSurrogate() && i + 1 < value.size() && value.at(i + 1).isLowSurrogate()) {
            point = QChar::surrogateToUcs4(c, value.at(i + 1));
            ch = value.mid(i++, 2);
        }
        if (!rt::fitsCodePage(ch))
            return {{}, support::notInCodePage(point)};
        if (!c.isPrint())
            return {{},
                    support::notPrintable(point) +
                        QStringLiteral("; pise se kao %1").arg(byteEscape(c))};
        chars += ch;
    }
    if (chars.size() > width)
        return {{},
                QStringLiteral("polje %1 prima najvise %2; ova vrednost ima %3")
                    .arg(key)
                    .arg(support::counted(width, "znak", "znaka", "znakova"))
                    .arg(support::counted(chars.size(), "znak", "znaka", "znakova"))};
    const QChar fill = !chars.isEmpty() && chars.back().isNull() ? QChar(0) : QLatin1Char(' ');
    chars += QString(width - chars.size(), fill);
    return {chars, {}};
}

struct RecordInProgress {
    int line = 0;
    qo::QuestionRecord record;
    QStringList seen;
    bool hasText = false;
};

// One "field: value" line; an empty value leaves no space at the end of the line.
QString line(const QString& key, const QString& value) {
    return key + (value.isEmpty() ? QStringLiteral(":") : QStringLiteral(": ") + value) +
           QLatin1Char('\n');
}

// A "correct:" value: a letter A to D, or # and the raw 16-bit value the record holds
// (a record of spaces holds 8224; the editor can leave -1 or 4).
std::optional<std::int16_t> correctValue(const QString& value) {
    static const QString letters = QStringLiteral("ABCD");
    if (value.size() == 1 && letters.contains(value.toUpper()))
        return static_cast<std::int16_t>(letters.indexOf(value.toUpper()));
    if (!value.startsWith(QLatin1Char('#')))
        return std::nullopt;
    // Only a plain decimal number: toInt alone would also take spaces and a '+'.
    const QString digits = value.mid(value.startsWith(QLatin1String("#-")) ? 2 : 1);
    if (digits.isEmpty() || digits.size() > 5 ||
        !std::all_of(digits.begin(), digits.end(),
                     [](QChar c) { return c >= QLatin1Char('0') && c <= QLatin1Char('9'); }))
        return std::nullopt;
    const int raw = value.mid(1).toInt();
    if (raw < -32768 || raw > 32767)
        return std::nullopt;
    return static_cast<std::int16_t>(raw);
}

} // namespace

Parsed parse(const QByteArray& source) {
    Parsed result;
    QList<RecordInProgress> records;
    const auto fail = [&](int line, const QString& message) {
        result.errors.append({line, message});
    };

    QByteArrayList lines = source.split('\n');
    if (!lines.isEmpty() && lines.first().startsWith("\xEF\xBB\xBF"))
        lines.first().remove(0, 3);
    for (int index = 0; index < lines.size(); ++index) {
        const int lineNo = index + 1;
        QStringDecoder decode(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
        QString line = decode(lines[index]);
        if (decode.hasError()) {
            fail(lineNo, support::notUtf8());
            continue;
        }
        if (line.endsWith(QLatin1Char('\r')))
            line.chop(1);
        const QString trimmed = line.trimmed();
        if (trimmed.isEmpty() || trimmed.startsWith(QLatin1Char('#')))
            continue;
        const qsizetype colon = line.indexOf(QLatin1Char(':'));
        if (colon < 0) {
            fail(lineNo, QStringLiteral("ocekivan je red \"polje: vrednost\", kao "
                                        "\"question: ...\""));
            continue;
        }
        const QString key = line.left(colon).trimmed().toLower();
        QString value = line.mid(colon + 1);
        while (!value.isEmpty() &&
               (value.front() == QLatin1Char(' ') || value.front() == QLatin1Char('\t')))
            value.remove(0, 1);
        while (!value.isEmpty() &&
               (value.back() == QLatin1Char(' ') || value.back() == QLatin1Char('\t')))
            value.chop(1);

        const bool textKey =
            std::find(std::begin(kTextKeys), std::end(kTextKeys), key) != std::end(kTextKeys);
        if (key != QLatin1String("number") && key != QLatin1String("correct") && !textKey) {
            fail(lineNo, QStringLiteral("nepoznato polje \"%1\"; polja su number, question, a, "
                                        "b, c, d i correct")
                             .arg(line.left(colon).trimmed()));
            continue;
        }
        if (key == QLatin1String("number")) {
            records.append(RecordInProgress{lineNo, {}, {}, false});
        } else if (records.isEmpty()) {
            fail(lineNo, QStringLiteral("\"%1:\" pre prvog reda \"number:\"; svaki zapis "
                                        "pocinje svojim brojem")
                             .arg(key));
            continue;
        }
        RecordInProgress& current = records.last();
        if (current.seen.contains(key)) {
            fail(lineNo, QStringLiteral("drugi red \"%1:\" u zapisu %2 (koji pocinje u redu %3)")
                             .arg(key)
                             .arg(records.size())
                             .arg(current.line));
            continue;
        }
        current.seen.append(key);

        if (key == QLatin1String("correct")) {
            const std::optional<std::int16_t> correct = correctValue(value);
            if (!correct)
                fail(lineNo,
                     value.startsWith(QLatin1Char('#'))
                         ? QStringLiteral("correct %1: vrednost iz zapisa pise se kao # i ceo "
                                          "broj od -32768 do 32767")
                               .arg(value)
                         : support::notALetter(value));
            else
                current.record.Correct = *correct;
            continue;
        }
        const int width = key == QLatin1String("number") ? 10 : 80;
        const FieldResult field = decodeField(value, key, width);
        if (!field.error.isEmpty()) {
            fail(lineNo, field.error);
            continue;
        }
        if (key == QLatin1String("number")) {
            current.record.Number.setRaw(field.chars);
        } else if (key == QLatin1String("question")) {
            current.record.Question.setRaw(field.chars);
            current.hasText = true;
        } else {
            current.record.Answers[key.at(0).unicode() - 'a'].setRaw(field.chars);
            current.hasText = true;
        }
    }

    for (int i = 0; i < records.size(); ++i) {
        if (records[i].hasText && !records[i].seen.contains(QLatin1String("correct")))
            fail(records[i].line,
                 QStringLiteral("zapis %1 ima pitanje ili odgovore, ali nema red \"correct:\"")
                     .arg(i + 1));
        result.records.append(records[i].record);
    }
    std::stable_sort(result.errors.begin(), result.errors.end(),
                     [](const SourceError& a, const SourceError& b) { return a.line < b.line; });
    return result;
}

QString format(const QList<qo::QuestionRecord>& records) {
    QString out;
    for (int i = 0; i < records.size(); ++i) {
        const qo::QuestionRecord& r = records[i];
        if (i > 0)
            out += QLatin1Char('\n');
        out += line(QStringLiteral("number"), encodeField(r.Number.text()));
        bool anyText = false;
        const QString* texts[] = {&r.Question.text(), &r.Answers[0].text(), &r.Answers[1].text(),
                                  &r.Answers[2].text(), &r.Answers[3].text()};
        for (int k = 0; k < 5; ++k) {
            if (neverFilled(*texts[k]))
                continue;
            anyText = true;
            out += line(kTextKeys[k], encodeField(*texts[k]));
        }
        if (anyText || r.Correct != 0) {
            const QString correct = r.Correct >= 0 && r.Correct <= 3
                                        ? QString(QChar(char16_t(u'A' + r.Correct)))
                                        : QLatin1Char('#') + QString::number(r.Correct);
            out += line(QStringLiteral("correct"), correct);
        }
    }
    return out;
}

} // namespace dyr
