// Import and export through the other tools' formats: what every format shares.
#include "formats.h"

#include "codepage.h"
#include "conversions.h"
#include "support.h"

#include <QHash>
#include <QRegularExpression>
#include <QSet>
#include <QStringDecoder>

#include <algorithm>
#include <utility>

namespace dyr {

using namespace support;
using qo::SetRecords;

namespace support {

QList<Utf8Line> utf8Lines(const QByteArray& source) {
    QByteArrayList lines = source.split('\n');
    if (lines.first().startsWith("\xEF\xBB\xBF"))
        lines.first().remove(0, 3);
    QList<Utf8Line> decoded;
    decoded.reserve(lines.size());
    for (const QByteArray& line : lines) {
        // Each line decoded on its own, so that a fault stays in its line.
        QStringDecoder decode(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
        QString text = decode(line);
        decoded.append({std::move(text), !decode.hasError()});
    }
    return decoded;
}

QString decodeSource(const QByteArray& source, QList<Note>* notes) {
    const QList<Utf8Line> lines = utf8Lines(source);
    QString text;
    for (int i = 0; i < lines.size(); ++i) {
        if (i > 0)
            text += QLatin1Char('\n');
        text += lines[i].text;
        if (!lines[i].valid)
            notes->append(error(i + 1, notUtf8()));
    }
    return text;
}

QStringList sourceLines(const QString& text) {
    QStringList lines = text.split(QLatin1Char('\n'));
    if (lines.size() > 1 && lines.last().isEmpty())
        lines.removeLast(); // the line end of the last line
    for (QString& line : lines) {
        if (line.endsWith(QLatin1Char('\r')))
            line.chop(1);
    }
    return lines;
}

QString trimBlanks(const QString& text) {
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && isBlank(text.at(begin)))
        ++begin;
    while (end > begin && isBlank(text.at(end - 1)))
        --end;
    return text.mid(begin, end - begin);
}

bool printable(char32_t c) {
    return QChar::isPrint(c);
}

QString codePoint(char32_t c) {
    return QStringLiteral("U+%1").arg(static_cast<uint>(c), 4, 16, QLatin1Char('0')).toUpper();
}

QString byCount(qint64 n, const char* one, const char* few, const char* many) {
    const qint64 units = qAbs(n) % 10;
    const qint64 tens = qAbs(n) % 100;
    if (units == 1 && tens != 11)
        return QString::fromLatin1(one);
    if (units >= 2 && units <= 4 && (tens < 12 || tens > 14))
        return QString::fromLatin1(few);
    return QString::fromLatin1(many);
}

QString counted(qint64 n, const char* one, const char* few, const char* many) {
    return QString::number(n) + QLatin1Char(' ') + byCount(n, one, few, many);
}

QString notUtf8() {
    return QStringLiteral("nije ispravan UTF-8");
}

QString notPrintable(char32_t c) {
    return QStringLiteral("znak %1 ne moze da se prikaze").arg(codePoint(c));
}

QString notInCodePage(char32_t c) {
    return QStringLiteral("znak \"%1\" (%2) ne postoji u Windows-1250")
        .arg(QString::fromUcs4(&c, 1), codePoint(c));
}

QString notALetter(const QString& given) {
    return QStringLiteral("correct mora biti A, B, C ili D, a ne \"%1\"").arg(given);
}

QString partialRecord(qint64 bytes) {
    return QStringLiteral("visak od %1 na kraju nije ceo zapis, pa je izostavljen")
        .arg(counted(bytes, "bajta", "bajta", "bajtova"));
}

QString choiceWithAnswers(qint64 answers) {
    return QStringLiteral("visestruki izbor sa ") +
           counted(answers, "odgovorom", "odgovora", "odgovora");
}

QString onlyFourAnswers() {
    return QStringLiteral("pitanje u skupu ima tacno cetiri odgovora, od A do D");
}

QString where(int question) {
    return QStringLiteral("pitanje %1").arg(question);
}

QString where(int question, int text) {
    return where(question) + QStringLiteral(", ") + textName(text);
}

bool writable(const PlainQuestion& question, const QString& format,
              const std::function<QString(int text, const QString&)>& special, QList<Note>* notes) {
    bool sound = true;
    for (int t = 0; t < 5; ++t) {
        const QString& text = question.texts[t];
        QString problem;
        if (text.isEmpty())
            problem = QStringLiteral("prazan, a %1 ne poznaje prazan tekst").arg(format);
        else if (isBlank(text.front()))
            problem = QStringLiteral("pocinje razmakom, a %1 ga izostavlja").arg(format);
        else
            problem = special(t, text);
        if (!problem.isEmpty()) {
            notes->append(error(
                question.line,
                QStringLiteral("zapis %1, %2: %3").arg(question.line).arg(textName(t), problem)));
            sound = false;
        }
    }
    return sound;
}

QString kindOf(const QString& type) {
    static const QHash<QString, QString> kinds = {
        {QStringLiteral("truefalse"), QStringLiteral("tacno/netacno")},
        {QStringLiteral("shortanswer"), QStringLiteral("kratak odgovor")},
        {QStringLiteral("matching"), QStringLiteral("uparivanje")},
        {QStringLiteral("randomsamatch"),
         QStringLiteral("nasumicno uparivanje pitanja sa kratkim odgovorom")},
        {QStringLiteral("numerical"), QStringLiteral("brojcani odgovor")},
        {QStringLiteral("essay"), QStringLiteral("esej")},
        {QStringLiteral("description"), QStringLiteral("opis")},
        {QStringLiteral("cloze"), QStringLiteral("ugradjeni odgovori (cloze)")}, // the platform's
        {QStringLiteral("multianswer"), QStringLiteral("ugradjeni odgovori (cloze)")},
        {QStringLiteral("ddwtos"), QStringLiteral("prevlacenje u tekst")},
        {QStringLiteral("gapselect"), QStringLiteral("izbor reci koje nedostaju")},
        {QStringLiteral("ddimageortext"), QStringLiteral("prevlacenje na sliku")},
        {QStringLiteral("ddmarker"), QStringLiteral("prevlacenje oznaka")},
        {QStringLiteral("calculated"), QStringLiteral("racunsko pitanje")},
        {QStringLiteral("calculatedsimple"), QStringLiteral("jednostavno racunsko pitanje")},
        {QStringLiteral("calculatedmulti"), QStringLiteral("racunski visestruki izbor")},
        {QStringLiteral("ordering"), QStringLiteral("redjanje")},
        {QStringLiteral("random"), QStringLiteral("nasumicno pitanje")},
    };
    if (type.isEmpty())
        return QStringLiteral("pitanje bez vrste");
    return kinds.value(type, QStringLiteral("vrsta \"%1\"").arg(type));
}

std::optional<Kind> choiceKind(bool single, const QList<double>& percents) {
    const QString oneRight = QStringLiteral("pitanje u skupu ima jedan tacan odgovor");
    if (!single)
        return Kind{QStringLiteral("visestruki izbor sa vise tacnih odgovora"), oneRight};
    int rights = 0;
    for (const double p : percents) {
        if (fullCredit(p))
            ++rights;
        else if (p > 1e-6)
            return Kind{QStringLiteral("visestruki izbor sa delimicnim bodovima"),
                        QStringLiteral("jedan odgovor nosi %1% bodova; %2, a ostali ne nose "
                                       "bodove")
                            .arg(p)
                            .arg(oneRight)};
    }
    if (percents.size() != 4)
        return Kind{choiceWithAnswers(percents.size()), onlyFourAnswers()};
    if (rights == 0)
        return Kind{QStringLiteral("visestruki izbor bez tacnog odgovora"),
                    QStringLiteral("nijedan odgovor ne nosi 100% bodova; ") + oneRight};
    if (rights > 1)
        return Kind{QStringLiteral("visestruki izbor sa ") +
                        counted(rights, "tacnim odgovorom", "tacna odgovora", "tacnih odgovora"),
                    oneRight};
    return std::nullopt;
}

QString questionName(int n, int last) {
    const auto width = std::max<qsizetype>(2, QString::number(std::max(n, last)).size());
    return QStringLiteral("Pitanje %1").arg(n, static_cast<int>(width), 10, QLatin1Char('0'));
}

bool namesNumber(const QString& label, int n) {
    static const QRegularExpression number(QStringLiteral("^(?:Pitanje )?0*([1-9][0-9]*)$"));
    const QRegularExpressionMatch m = number.match(label);
    return m.hasMatch() && m.captured(1) == QString::number(n);
}

} // namespace support

namespace {

bool storable(char32_t c) {
    return printable(c) && rt::fitsCodePage(QString::fromUcs4(&c, 1));
}

// Why a character can't be stored in a set.
QString unstorable(char32_t c) {
    return printable(c) ? notInCodePage(c) : notPrintable(c);
}

// Makes a text the characters of a field at most `width` wide, counting code points
// (one character of the set each). What doesn't fit is an error, or with --cut and
// --replace a warning and cut or stored as '?'.
QString fit(const QString& text, int width, const QString& place, int line,
            const ImportOptions& options, QList<Note>* notes) {
    QList<char32_t> points;
    for (const uint c : text.toUcs4())
        points.append(c);
    if (points.size() > width) {
        if (options.cut) {
            notes->append(
                warning(line, QStringLiteral("%1: skracen na %2 od svojih %3")
                                  .arg(place)
                                  .arg(width)
                                  .arg(counted(points.size(), "znaka", "znaka", "znakova"))));
            points.resize(width);
        } else {
            Note note = error(line, QStringLiteral("%1: ima %2, a u polje staje najvise %3; "
                                                   "--cut zadrzava prvih %3")
                                        .arg(place)
                                        .arg(counted(points.size(), "znak", "znaka", "znakova"))
                                        .arg(width));
            note.remedy = Remedy::Cut;
            notes->append(note);
        }
    }
    qsizetype bad = 0;
    char32_t first = 0;
    for (char32_t& c : points) {
        if (storable(c))
            continue;
        if (bad++ == 0)
            first = c;
        c = U'?';
    }
    if (bad > 0) {
        const QString more =
            bad > 1 ? QStringLiteral(" (u ovom tekstu ima %1)")
                          .arg(counted(bad, "takav znak", "takva znaka", "takvih znakova"))
                    : QString();
        if (options.replace)
            notes->append(warning(line, QStringLiteral("%1: %2%3; umesto toga upisan je '?'")
                                            .arg(place, unstorable(first), more)));
        else {
            Note note =
                error(line, QStringLiteral("%1: %2%3; --replace umesto takvog znaka upisuje '?'")
                                .arg(place, unstorable(first), more));
            note.remedy = Remedy::Replace;
            notes->append(note);
        }
    }
    return QString::fromUcs4(points.constData(), points.size());
}

Reading read(Format format, const QByteArray& source) {
    switch (format) {
    case Format::Aiken:
        return readAiken(source);
    case Format::Gift:
        return readGift(source);
    case Format::Csv:
        return readCsv(source);
    case Format::Moodle:
        break;
    }
    return readMoodle(source);
}

Writing write(Format format, const QList<PlainQuestion>& questions) {
    switch (format) {
    case Format::Aiken:
        return writeAiken(questions);
    case Format::Gift:
        return writeGift(questions);
    case Format::Csv:
        return writeCsv(questions);
    case Format::Moodle:
        break;
    }
    return writeMoodle(questions);
}

void sortByLine(QList<Note>& notes) {
    std::stable_sort(notes.begin(), notes.end(),
                     [](const Note& a, const Note& b) { return a.line < b.line; });
}

// What import puts in record n after the last question: the number alone, as the
// editor holds a question never typed.
qo::QuestionRecord numberOnly(int n) {
    qo::QuestionRecord record;
    record.Number = QString::number(n);
    return record;
}

// A field's stored text without the fill after it (spaces and NULs), all that stands
// before kept: unlike the shown text (qo::shownText) it keeps what follows a NUL, so
// that export writes a text whole or says what it can't write.
QString withoutPadding(const QString& field) {
    qsizetype end = field.size();
    while (end > 0 && (field.at(end - 1) == QLatin1Char(' ') || field.at(end - 1).isNull()))
        --end;
    return field.left(end);
}

} // namespace

std::optional<Format> formatNamed(const QString& name) {
    if (name == QLatin1String("aiken"))
        return Format::Aiken;
    if (name == QLatin1String("gift"))
        return Format::Gift;
    if (name == QLatin1String("csv"))
        return Format::Csv;
    if (name == QLatin1String("moodle"))
        return Format::Moodle;
    return std::nullopt;
}

std::optional<Format> guessFormat(const QString& fileName, const QByteArray& source) {
    const QString suffix = fileName.section(QLatin1Char('.'), -1).toLower();
    if (fileName.contains(QLatin1Char('.'))) {
        if (suffix == QLatin1String("xml"))
            return Format::Moodle;
        if (suffix == QLatin1String("gift"))
            return Format::Gift;
        if (suffix == QLatin1String("aiken"))
            return Format::Aiken;
        if (suffix == QLatin1String("csv"))
            return Format::Csv;
    }
    // The start of the source is enough to tell, and never a whole bank to decode.
    QList<Note> ignored;
    const QString text = decodeSource(source.left(64 * 1024), &ignored);
    if (text.contains(QLatin1String("<quiz")))
        return Format::Moodle;
    static const QRegularExpression aikenAnswer(QStringLiteral("^\\s*ANSWER\\s*:"),
                                                QRegularExpression::MultilineOption);
    if (aikenAnswer.match(text).hasMatch())
        return Format::Aiken;
    static const QRegularExpression giftQuestion(QStringLiteral("\\{[^}]*[~=][^}]*\\}"));
    if (giftQuestion.match(text).hasMatch())
        return Format::Gift;
    return std::nullopt;
}

QString noteLine(const QString& source, const Note& note, bool lines) {
    QString text = source;
    if (lines && note.line > 0)
        text += QStringLiteral(":%1").arg(note.line);
    text += QStringLiteral(": ");
    if (note.skipped)
        text += QStringLiteral("preskoceno: ");
    else if (note.warning)
        text += QStringLiteral("upozorenje: ");
    return text + note.message;
}

QString textName(int k) {
    return k == 0 ? QStringLiteral("tekst pitanja") : QStringLiteral("odgovor ") + letter(k - 1);
}

bool Imported::ok() const {
    return !hasErrors(notes);
}

bool Exported::ok() const {
    return !hasErrors(notes);
}

Imported importSet(Format format, const QByteArray& source, const ImportOptions& options) {
    Reading reading = read(format, source);
    Imported result;
    result.notes = reading.notes;

    // Questions of kinds a set can't hold: errors, or left out with --skip-others.
    QSet<int> skipped;
    for (const Other& other : reading.others) {
        if (options.skipOthers) {
            Note note = warning(
                other.line,
                QStringLiteral("%1 (%2): %3").arg(where(other.index), other.kind, other.why));
            note.skipped = true;
            result.notes.append(note);
            skipped.insert(other.index);
        } else {
            result.notes.append(
                error(other.line,
                      QStringLiteral("%1: %2; %3").arg(where(other.index), other.kind, other.why)));
        }
    }
    // The questions that become records, faulty ones too: each one's place among
    // them, and where it starts.
    QHash<int, int> place;
    QList<int> starts;
    for (int i = 0; i < reading.starts.size(); ++i) {
        if (skipped.contains(i + 1))
            continue;
        starts.append(reading.starts[i]);
        place.insert(i + 1, static_cast<int>(starts.size()));
    }
    const qsizetype total = starts.size();
    const int limit = options.first > 0 ? std::min(options.first, SetRecords) : SetRecords;
    if (total > limit) {
        // Where the first question past the limit starts; with --first, what is said
        // from there on concerns questions left out.
        const int cut = starts[limit];
        const int from = place.key(limit + 1);
        const auto all = static_cast<int>(reading.starts.size());
        if (options.first > 0) {
            result.notes.removeIf([cut](const Note& n) { return n.line >= cut; });
            result.notes.append(warning(
                cut,
                from == all
                    ? QStringLiteral("pitanje %1 je izostavljeno (--first %2)").arg(from).arg(limit)
                    : QStringLiteral("pitanja od %1 do %2 su izostavljena (--first %3)")
                          .arg(from)
                          .arg(all)
                          .arg(limit)));
        } else {
            Note note =
                error(cut, QStringLiteral("pitanje %1: skup prima najvise %2, a ovaj izvor ih "
                                          "ima %3%4; --first %5 zadrzava prvih %5")
                               .arg(from)
                               .arg(counted(SetRecords, "pitanje", "pitanja", "pitanja"))
                               .arg(total)
                               .arg(skipped.isEmpty() ? QString()
                                                      : QStringLiteral(" koja odgovaraju skupu"))
                               .arg(SetRecords));
            note.remedy = Remedy::First;
            result.notes.append(note);
        }
    }
    result.found = static_cast<int>(total);
    result.skipped = static_cast<int>(std::count_if(result.notes.begin(), result.notes.end(),
                                                    [](const Note& n) { return n.skipped; }));
    if (total == 0 && !hasErrors(result.notes))
        result.notes.append(error(0, skipped.isEmpty()
                                         ? QStringLiteral("nije nadjeno nijedno pitanje")
                                         : QStringLiteral("nijedno pitanje ne odgovara skupu, "
                                                          "pa nista nije preuzeto")));
    QList<PlainQuestion> questions;
    for (const PlainQuestion& q : reading.questions) {
        if (place.value(q.index) <= limit)
            questions.append(q);
    }

    const QString labelKind = format == Format::Gift     ? QStringLiteral("naslov")
                              : format == Format::Moodle ? QStringLiteral("ime")
                                                         : QStringLiteral("broj");
    for (int k = 0; k < questions.size(); ++k) {
        const PlainQuestion& q = questions[k];
        const int n = k + 1;
        qo::QuestionRecord record;
        record.Number = QString::number(n);
        // A label that only says the question's number, as export writes it, is
        // no loss.
        const QString label = q.label.trimmed();
        if (!label.isEmpty() && !namesNumber(label, n))
            result.notes.append(
                warning(q.line, QStringLiteral("%1: %2 \"%3\" se ne cuva; pitanja se numerisu "
                                               "redom")
                                    .arg(where(q.index), labelKind, label)));
        const auto fields = record.texts();
        for (int t = 0; t < 5; ++t)
            *fields[t] = fit(q.texts[t], 80, where(q.index, t), q.lines[t], options, &result.notes);
        record.Correct = static_cast<std::int16_t>(q.correct);
        result.records.append(record);
    }
    result.questions = static_cast<int>(result.records.size());
    for (int n = result.questions + 1; n <= SetRecords; ++n)
        result.records.append(numberOnly(n));
    sortByLine(result.notes);
    return result;
}

Exported exportSet(Format format, const QList<qo::QuestionRecord>& records) {
    Exported result;
    QList<PlainQuestion> questions;
    qsizetype last = -1;
    for (qsizetype i = 0; i < records.size(); ++i) {
        if (!qo::holdsNoQuestion(records[i]))
            last = i;
    }
    for (int i = 0; i < records.size(); ++i) {
        const qo::QuestionRecord& r = records[i];
        const int n = i + 1;
        const QString record = QStringLiteral("zapis %1").arg(n);
        if (qo::holdsNoQuestion(r)) {
            // Import gives back such a record only after the last question, and only
            // when it holds nothing but its number.
            const bool moves = i < last;
            if (!moves && n <= SetRecords && r == numberOnly(n))
                continue;
            QString message = record + QStringLiteral(" nema pitanje i ne izvozi se");
            if (qo::showsAnyAnswer(r))
                message += QStringLiteral("; njegovi odgovori se izostavljaju");
            if (moves)
                message += QStringLiteral("; pri uvozu se pitanja posle njega pomeraju napred");
            else if (n <= SetRecords)
                message += QStringLiteral("; uvoz ga vraca samo sa brojem");
            result.notes.append(warning(n, message));
            continue;
        }

        PlainQuestion q;
        q.line = n;
        const int k = static_cast<int>(questions.size()) + 1;
        if (r.Correct < 0 || r.Correct > 3)
            result.notes.append(error(n, record + QStringLiteral(": tacan odgovor ima vrednost "
                                                                 "%1; izvoze se samo vrednosti "
                                                                 "0 do 3 (A do D)")
                                                      .arg(r.Correct)));
        else
            q.correct = r.Correct;
        const auto fields = r.texts();
        for (int t = 0; t < 5; ++t) {
            const QString text = withoutPadding(fields[t]->text());
            const QString place = record + QStringLiteral(", ") + textName(t);
            const auto bad = std::find_if(text.begin(), text.end(),
                                          [](QChar c) { return !printable(c.unicode()); });
            if (bad != text.end())
                result.notes.append(
                    error(n, place + QStringLiteral(": znak %1 u koloni %2 ne moze da se izveze")
                                         .arg(bad->isNull() ? QStringLiteral("NUL")
                                                            : codePoint(bad->unicode()))
                                         .arg(bad - text.begin() + 1)));
            else if (rt::fixedAssign(text, 80) != fields[t]->text())
                result.notes.append(
                    warning(n, place + QStringLiteral(": dopunjen NUL bajtovima, a uvoz "
                                                      "dopunjuje razmacima")));
            q.texts[t] = text;
        }
        const QString number = withoutPadding(r.Number.text()).trimmed();
        q.label = number.isEmpty() || std::any_of(number.begin(), number.end(),
                                                  [](QChar c) { return !printable(c.unicode()); })
                      ? QString::number(k)
                      : number;
        if (r.Number.text() != rt::fixedAssign(QString::number(k), 10))
            result.notes.append(
                warning(n, record + QStringLiteral(": njegov broj se ne cuva; uvoz mu daje "
                                                   "broj %1")
                                        .arg(k)));
        if (k > SetRecords)
            result.notes.append(
                warning(n, record + QStringLiteral(": pitanje %1 ne staje u skup od %2 "
                                                   "pitanja; za uvoz je potrebna "
                                                   "opcija --first")
                                        .arg(k)
                                        .arg(SetRecords)));
        questions.append(q);
    }
    result.questions = static_cast<int>(questions.size());
    if (questions.isEmpty())
        result.notes.append(error(0, QStringLiteral("nijedan zapis nema pitanje")));
    if (!hasErrors(result.notes)) {
        Writing written = write(format, questions);
        result.notes += written.notes;
        result.text = written.text;
    }
    sortByLine(result.notes);
    if (hasErrors(result.notes))
        result.text.clear();
    return result;
}

} // namespace dyr
