// HTML as the plain text a set holds: what the learning platforms' formats write
// their texts in.
#include "htmltext.h"

#include "support.h"

#include <QHash>
#include <QStringList>

#include <optional>

namespace dyr::html {

namespace {

// HTML's named character references: the markup characters, the Latin-1 letters and
// signs, the letters of Central Europe and the typographer's marks.
const QHash<QString, char32_t>& namedEntities() {
    static const QHash<QString, char32_t> names = [] {
        QHash<QString, char32_t> h = {
            {QStringLiteral("amp"), U'&'},      {QStringLiteral("lt"), U'<'},
            {QStringLiteral("gt"), U'>'},       {QStringLiteral("quot"), U'"'},
            {QStringLiteral("apos"), U'\''},    {QStringLiteral("Scaron"), 0x160},
            {QStringLiteral("scaron"), 0x161},  {QStringLiteral("Zcaron"), 0x17D},
            {QStringLiteral("zcaron"), 0x17E},  {QStringLiteral("Ccaron"), 0x10C},
            {QStringLiteral("ccaron"), 0x10D},  {QStringLiteral("Cacute"), 0x106},
            {QStringLiteral("cacute"), 0x107},  {QStringLiteral("Dstrok"), 0x110},
            {QStringLiteral("dstrok"), 0x111},  {QStringLiteral("Lstrok"), 0x141},
            {QStringLiteral("lstrok"), 0x142},  {QStringLiteral("ndash"), 0x2013},
            {QStringLiteral("mdash"), 0x2014},  {QStringLiteral("lsquo"), 0x2018},
            {QStringLiteral("rsquo"), 0x2019},  {QStringLiteral("sbquo"), 0x201A},
            {QStringLiteral("ldquo"), 0x201C},  {QStringLiteral("rdquo"), 0x201D},
            {QStringLiteral("bdquo"), 0x201E},  {QStringLiteral("dagger"), 0x2020},
            {QStringLiteral("Dagger"), 0x2021}, {QStringLiteral("bull"), 0x2022},
            {QStringLiteral("hellip"), 0x2026}, {QStringLiteral("permil"), 0x2030},
            {QStringLiteral("lsaquo"), 0x2039}, {QStringLiteral("rsaquo"), 0x203A},
            {QStringLiteral("euro"), 0x20AC},   {QStringLiteral("trade"), 0x2122},
            {QStringLiteral("ensp"), 0x2002},   {QStringLiteral("emsp"), 0x2003},
            {QStringLiteral("thinsp"), 0x2009},
        };
        // U+00A0 to U+00FF in order.
        const char* latin1 =
            "nbsp iexcl cent pound curren yen brvbar sect uml copy ordf laquo not shy reg "
            "macr deg plusmn sup2 sup3 acute micro para middot cedil sup1 ordm raquo frac14 "
            "frac12 frac34 iquest Agrave Aacute Acirc Atilde Auml Aring AElig Ccedil Egrave "
            "Eacute Ecirc Euml Igrave Iacute Icirc Iuml ETH Ntilde Ograve Oacute Ocirc Otilde "
            "Ouml times Oslash Ugrave Uacute Ucirc Uuml Yacute THORN szlig agrave aacute "
            "acirc atilde auml aring aelig ccedil egrave eacute ecirc euml igrave iacute icirc "
            "iuml eth ntilde ograve oacute ocirc otilde ouml divide oslash ugrave uacute ucirc "
            "uuml yacute thorn yuml";
        char32_t c = 0xA0;
        for (const QString& name : QString::fromLatin1(latin1).split(QLatin1Char(' ')))
            h.insert(name, c++);
        return h;
    }();
    return names;
}

bool isTagStart(QChar c) {
    return (c >= QLatin1Char('a') && c <= QLatin1Char('z')) ||
           (c >= QLatin1Char('A') && c <= QLatin1Char('Z'));
}

// The end of the tag that starts at `from` (its '>'), quoted attribute values
// skipped; -1 when it isn't closed.
qsizetype tagEnd(const QString& html, qsizetype from) {
    QChar quote;
    for (qsizetype k = from + 1; k < html.size(); ++k) {
        const QChar c = html.at(k);
        if (!quote.isNull()) {
            if (c == quote)
                quote = QChar();
        } else if (c == QLatin1Char('"') || c == QLatin1Char('\'')) {
            quote = c;
        } else if (c == QLatin1Char('>')) {
            return k;
        }
    }
    return -1;
}

// The character reference at `from` (its '&'): the characters it stands for and its
// length, or nothing when it is no reference (then the '&' is itself).
std::optional<std::pair<QString, qsizetype>> entityAt(const QString& html, qsizetype from) {
    const qsizetype semicolon = html.indexOf(QLatin1Char(';'), from + 1);
    if (semicolon < 0 || semicolon - from > 12)
        return std::nullopt;
    const QString body = html.mid(from + 1, semicolon - from - 1);
    const qsizetype length = semicolon - from + 1;
    if (body.startsWith(QLatin1Char('#'))) {
        const bool hex =
            body.size() > 1 && (body.at(1) == QLatin1Char('x') || body.at(1) == QLatin1Char('X'));
        const QString digits = body.mid(hex ? 2 : 1);
        bool ok = false;
        const uint code = digits.toUInt(&ok, hex ? 16 : 10);
        if (!ok || digits.startsWith(QLatin1Char('+')) || digits.startsWith(QLatin1Char('-')))
            return std::nullopt;
        char32_t c = code;
        if (code == 0 || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF))
            c = 0xFFFD;
        return std::pair{QString::fromUcs4(&c, 1), length};
    }
    const auto found = namedEntities().constFind(body);
    if (found == namedEntities().constEnd())
        return std::nullopt;
    const char32_t c = *found;
    if (c == 0xAD) // a soft hyphen only says where a word may break
        return std::pair{QString(), length};
    return std::pair{QString::fromUcs4(&c, 1), length};
}

} // namespace

// White space as XML and HTML know it; the no-break space is not.
bool isWhite(char32_t c) {
    return c == U' ' || c == U'\t' || c == U'\n' || c == U'\r' || c == U'\f';
}

QString trimWhite(const QString& text) {
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && isWhite(text.at(begin).unicode()))
        ++begin;
    while (end > begin && isWhite(text.at(end - 1).unicode()))
        --end;
    return text.mid(begin, end - begin);
}

// Runs of white space read as one space, none at either end.
QString collapse(const QString& text) {
    QString out;
    bool space = false;
    for (const QChar c : text) {
        if (isWhite(c.unicode())) {
            space = true;
            continue;
        }
        if (space && !out.isEmpty())
            out += QLatin1Char(' ');
        space = false;
        out += c;
    }
    return out;
}

QString plainText(const QString& text) {
    QString out;
    const QStringList lines = text.split(QLatin1Char('\n'));
    for (const QString& line : lines) {
        QString part = line;
        if (lines.size() > 1)
            part = trimWhite(part);
        if (part.isEmpty())
            continue;
        if (!out.isEmpty())
            out += QLatin1Char(' ');
        out += part;
    }
    return trimWhite(out);
}

// HTML as the text it shows: tags dropped, character references decoded, a line
// break or the end of a block as a space, runs of white space as one space. A
// no-break space (and the other typographer's spaces) is a space the author asked
// for: it is kept as an ordinary space, not merged with its neighbours.
QString toText(const QString& html, Losses* losses) {
    static const QStringList breaking = {
        QStringLiteral("br"),         QStringLiteral("p"),          QStringLiteral("div"),
        QStringLiteral("li"),         QStringLiteral("ul"),         QStringLiteral("ol"),
        QStringLiteral("h1"),         QStringLiteral("h2"),         QStringLiteral("h3"),
        QStringLiteral("h4"),         QStringLiteral("h5"),         QStringLiteral("h6"),
        QStringLiteral("tr"),         QStringLiteral("td"),         QStringLiteral("th"),
        QStringLiteral("table"),      QStringLiteral("blockquote"), QStringLiteral("pre"),
        QStringLiteral("hr"),         QStringLiteral("dl"),         QStringLiteral("dt"),
        QStringLiteral("dd"),         QStringLiteral("section"),    QStringLiteral("figure"),
        QStringLiteral("figcaption"), QStringLiteral("caption"),    QStringLiteral("address")};
    QString out;
    bool space = false; // white space seen since the last character
    const auto put = [&](QStringView text) {
        for (const QChar c : text) {
            const char32_t u = c.unicode();
            if (isWhite(u)) {
                space = true;
                continue;
            }
            if (space && !out.isEmpty())
                out += QLatin1Char(' ');
            space = false;
            const bool hard = u == 0xA0 || u == 0x2002 || u == 0x2003 || u == 0x2009;
            out += hard ? QLatin1Char(' ') : c;
        }
    };
    qsizetype k = 0;
    while (k < html.size()) {
        const QChar c = html.at(k);
        if (c == QLatin1Char('&')) {
            if (const auto entity = entityAt(html, k)) {
                put(entity->first);
                k += entity->second;
            } else {
                put(QStringLiteral("&"));
                ++k;
            }
            continue;
        }
        if (c != QLatin1Char('<')) {
            put(QStringView(&c, 1));
            ++k;
            continue;
        }
        const QChar next = k + 1 < html.size() ? html.at(k + 1) : QChar();
        if (html.mid(k, 4) == QLatin1String("<!--")) {
            const qsizetype close = html.indexOf(QLatin1String("-->"), k + 4);
            k = close < 0 ? html.size() : close + 3;
            continue;
        }
        const bool closing = next == QLatin1Char('/');
        const qsizetype nameAt = closing ? k + 2 : k + 1;
        const bool markup = next == QLatin1Char('!') || next == QLatin1Char('?');
        if (!markup && !(nameAt < html.size() && isTagStart(html.at(nameAt)))) {
            put(QStringLiteral("<")); // a '<' that starts no tag is the character
            ++k;
            continue;
        }
        const qsizetype end = tagEnd(html, k);
        if (end < 0) {
            put(html.mid(k));
            break;
        }
        const QString tag = html.mid(k, end - k + 1);
        qsizetype nameEnd = nameAt;
        while (nameEnd < end && (html.at(nameEnd).isLetterOrNumber()))
            ++nameEnd;
        const QString name = html.mid(nameAt, nameEnd - nameAt).toLower();
        k = end + 1;
        if (markup)
            continue;
        if (breaking.contains(name))
            space = true;
        if (closing)
            continue;
        if (name == QLatin1String("img"))
            losses->picture = true;
        else if (tag.contains(QLatin1String("@@PLUGINFILE@@")))
            losses->platformFile = true;
        if (name == QLatin1String("table"))
            losses->table = true;
        if (name == QLatin1String("script") || name == QLatin1String("style")) {
            // Their content is no text.
            const qsizetype close =
                html.indexOf(QLatin1String("</") + name, k, Qt::CaseInsensitive);
            const qsizetype after = close < 0 ? -1 : tagEnd(html, close);
            k = after < 0 ? html.size() : after + 1;
        }
    }
    return trimWhite(out);
}

void noteLosses(const Losses& losses, int line, const QString& place, QList<Note>* notes) {
    using support::warning;
    if (losses.picture)
        notes->append(warning(line, place + QStringLiteral(": a picture (<img>) dropped")));
    if (losses.platformFile)
        notes->append(warning(line, place + QStringLiteral(": a link to a file on the platform "
                                                           "(@@PLUGINFILE@@) dropped, its text "
                                                           "kept")));
    if (losses.table)
        notes->append(warning(line, place + QStringLiteral(": a table read as plain text")));
}

} // namespace dyr::html
