// HTML and Markdown as the plain text a set holds: what the learning platforms'
// formats write their texts in.
#include "htmltext.h"

#include "support.h"

#include <QHash>
#include <QRegularExpression>
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

namespace {

// One character of a Markdown text on its way to HTML: an escaped or code character
// is itself (literal); a run of * or _ may open or close emphasis.
struct MdChar {
    QChar c;
    bool literal = false;
    bool opens = false;
    bool closes = false;
    bool mark = false; // taken off as a mark
};

bool asciiPunct(QChar c) {
    return c.unicode() > 32 && c.unicode() < 127 && !c.isLetterOrNumber();
}

// The lines of a Markdown text without the marks that begin a block: headings, quotes,
// bullets, rules and the lines under a heading. A numbered list keeps its numbers,
// which its reader sees.
QString withoutBlockMarks(const QString& text, bool* marks) {
    static const QRegularExpression heading(QStringLiteral("^ {0,3}#{1,6}(?:[ \t]+|$)"));
    static const QRegularExpression closing(QStringLiteral("[ \t]+#+[ \t]*$"));
    static const QRegularExpression quote(QStringLiteral("^ {0,3}>[ \t]?"));
    static const QRegularExpression bullet(QStringLiteral("^[ \t]*[-*+][ \t]+(?=\\S)"));
    static const QRegularExpression rule(QStringLiteral("^ {0,3}([-*_])(?:[ \t]*\\1){2,}[ \t]*$"));
    static const QRegularExpression underline(QStringLiteral("^ {0,3}(?:=+|-+)[ \t]*$"));
    QStringList out;
    bool afterText = false; // the line before holds text
    for (QString line : text.split(QLatin1Char('\n'))) {
        const auto take = [&](const QRegularExpression& re) {
            const QRegularExpressionMatch m = re.match(line);
            if (!m.hasMatch())
                return false;
            line.remove(m.capturedStart(), m.capturedLength());
            *marks = true;
            return true;
        };
        while (take(quote)) {
        }
        if ((afterText && underline.match(line).hasMatch()) || rule.match(line).hasMatch()) {
            *marks = true;
            line.clear();
        } else if (take(heading)) {
            take(closing);
        } else {
            take(bullet);
        }
        afterText = !trimWhite(line).isEmpty();
        out << line;
    }
    return out.join(QLatin1Char('\n'));
}

// Marks each * and _ as able to open or close emphasis by where it stands: against a
// word on one side and a space or a punctuation mark on the other. An _ inside a
// word is itself (snake_case), as in the platform's Markdown.
void flank(QList<MdChar>& cs) {
    for (qsizetype k = 0; k < cs.size(); ++k) {
        const QChar c = cs[k].c;
        if (cs[k].literal || (c != QLatin1Char('*') && c != QLatin1Char('_')))
            continue;
        qsizetype end = k;
        while (end < cs.size() && cs[end].c == c && !cs[end].literal)
            ++end;
        const QChar before = k > 0 ? cs[k - 1].c : QLatin1Char(' ');
        const QChar after = end < cs.size() ? cs[end].c : QLatin1Char(' ');
        const bool spaceBefore = isWhite(before.unicode());
        const bool spaceAfter = isWhite(after.unicode());
        const bool left = !spaceAfter && (!asciiPunct(after) || spaceBefore || asciiPunct(before));
        const bool right = !spaceBefore && (!asciiPunct(before) || spaceAfter || asciiPunct(after));
        const bool star = c == QLatin1Char('*');
        for (qsizetype j = k; j < end; ++j) {
            cs[j].opens = star ? left : left && (!right || asciiPunct(before));
            cs[j].closes = star ? right : right && (!left || asciiPunct(after));
        }
        k = end - 1;
    }
}

// Pairs each closing run of * or _ with the nearest opening run of the same
// character before it and takes off what they share (two for strong emphasis, one
// for emphasis); what pairs with nothing is itself.
void pairEmphasis(QList<MdChar>& cs, bool* marks) {
    struct Run {
        qsizetype at = 0;   // its first character still unpaired
        qsizetype left = 0; // how many are unpaired
        QChar c;
    };
    QList<Run> openers;
    for (qsizetype k = 0; k < cs.size();) {
        const QChar c = cs[k].c;
        if (cs[k].literal || (c != QLatin1Char('*') && c != QLatin1Char('_'))) {
            ++k;
            continue;
        }
        qsizetype end = k;
        while (end < cs.size() && cs[end].c == c && !cs[end].literal)
            ++end;
        Run run{k, end - k, c};
        if (cs[k].closes) {
            for (qsizetype o = openers.size() - 1; o >= 0 && run.left > 0; --o) {
                if (openers[o].c != c)
                    continue;
                Run& opener = openers[o];
                const qsizetype use = opener.left >= 2 && run.left >= 2 ? 2 : 1;
                for (qsizetype j = 0; j < use; ++j) {
                    cs[opener.at + opener.left - 1 - j].mark = true;
                    cs[run.at + j].mark = true;
                }
                *marks = true;
                opener.left -= use;
                run.at += use;
                run.left -= use;
                // The openers after this one are inside the emphasis: they close
                // nothing now.
                openers.resize(opener.left > 0 ? o + 1 : o);
                o = openers.size();
            }
        }
        if (run.left > 0 && cs[k].opens)
            openers.append(run);
        k = end;
    }
}

// A link's text and address, [text](address), starting at its '[': where the text
// ends (its ']') and where the whole ends; nothing when it is no link.
std::optional<std::pair<qsizetype, qsizetype>> linkAt(const QString& md, qsizetype from) {
    qsizetype depth = 0;
    for (qsizetype k = from; k < md.size(); ++k) {
        const QChar c = md.at(k);
        if (c == QLatin1Char('\\')) {
            ++k;
        } else if (c == QLatin1Char('[')) {
            ++depth;
        } else if (c == QLatin1Char(']') && --depth == 0) {
            if (k + 1 >= md.size() || md.at(k + 1) != QLatin1Char('('))
                return std::nullopt;
            const qsizetype close = md.indexOf(QLatin1Char(')'), k + 2);
            if (close < 0)
                return std::nullopt;
            return std::pair{k, close + 1};
        }
    }
    return std::nullopt;
}

// The characters of a Markdown text with its inline marks read: escapes and code are
// literal, a link's text kept and its address dropped, a picture dropped.
void readInline(const QString& md, QList<MdChar>* out, Losses* losses) {
    static const QRegularExpression autolink(
        QStringLiteral("<([A-Za-z][A-Za-z0-9+.-]{1,31}:[^<>\\s]*)>"));
    qsizetype k = 0;
    while (k < md.size()) {
        const QChar c = md.at(k);
        const QChar next = k + 1 < md.size() ? md.at(k + 1) : QChar();
        if (c == QLatin1Char('\\') && asciiPunct(next)) {
            out->append({next, true});
            k += 2;
            continue;
        }
        if (c == QLatin1Char('`')) {
            qsizetype run = k;
            while (run < md.size() && md.at(run) == QLatin1Char('`'))
                ++run;
            const qsizetype length = run - k;
            // The next run of exactly as many backquotes closes it.
            qsizetype close = -1;
            for (qsizetype j = run; j < md.size() && close < 0;) {
                if (md.at(j) != QLatin1Char('`')) {
                    ++j;
                    continue;
                }
                qsizetype e = j;
                while (e < md.size() && md.at(e) == QLatin1Char('`'))
                    ++e;
                if (e - j == length)
                    close = j;
                j = e;
            }
            if (close < 0) {
                for (qsizetype j = k; j < run; ++j)
                    out->append({md.at(j), true});
                k = run;
                continue;
            }
            for (const QChar t : md.mid(run, close - run))
                out->append({t, true});
            losses->markdownMarks = true;
            k = close + length;
            continue;
        }
        const bool picture = c == QLatin1Char('!') && next == QLatin1Char('[');
        if (picture || c == QLatin1Char('[')) {
            const qsizetype open = picture ? k + 1 : k;
            if (const auto link = linkAt(md, open)) {
                const QString address = md.mid(link->first + 2, link->second - link->first - 3);
                if (picture) {
                    losses->markdownPicture = true;
                } else {
                    readInline(md.mid(open + 1, link->first - open - 1), out, losses);
                    losses->markdownMarks = true;
                    if (address.contains(QLatin1String("@@PLUGINFILE@@")))
                        losses->platformFile = true;
                }
                k = link->second;
                continue;
            }
        }
        if (c == QLatin1Char('<')) {
            // <https://...>: the address is the link's text.
            const QRegularExpressionMatch m =
                autolink.match(md, k, QRegularExpression::NormalMatch,
                               QRegularExpression::AnchorAtOffsetMatchOption);
            if (m.hasMatch()) {
                for (const QChar t : m.captured(1))
                    out->append({t, true});
                k += m.capturedLength();
                continue;
            }
        }
        out->append({c, false});
        ++k;
    }
}

} // namespace

QString markdownText(const QString& markdown, Losses* losses) {
    QList<MdChar> cs;
    readInline(withoutBlockMarks(markdown, &losses->markdownMarks), &cs, losses);
    flank(cs);
    pairEmphasis(cs, &losses->markdownMarks);
    // What is left is HTML, which Markdown may hold; a character that is itself
    // starts no tag or character reference there.
    QString html;
    for (const MdChar& m : cs) {
        if (m.mark)
            continue;
        if (m.literal && m.c == QLatin1Char('<'))
            html += QStringLiteral("&lt;");
        else if (m.literal && m.c == QLatin1Char('&'))
            html += QStringLiteral("&amp;");
        else
            html += m.c;
    }
    return toText(html, losses);
}

void noteLosses(const Losses& losses, int line, const QString& place, QList<Note>* notes) {
    using support::warning;
    if (losses.picture)
        notes->append(warning(line, place + QStringLiteral(": slika (<img>) je izostavljena")));
    if (losses.platformFile)
        notes->append(warning(line, place + QStringLiteral(": veza ka datoteci na platformi "
                                                           "(@@PLUGINFILE@@) je izostavljena, "
                                                           "njen tekst je zadrzan")));
    if (losses.table)
        notes->append(
            warning(line, place + QStringLiteral(": tabela je procitana kao obican tekst")));
    // Said, because a * or _ meant as itself may have been read as a mark.
    if (losses.markdownMarks)
        notes->append(warning(line, place + QStringLiteral(": oznake Markdown-a (isticanje, kod, "
                                                           "veze, naslovi, spiskovi) su uklonjene, "
                                                           "tekst je zadrzan")));
    if (losses.markdownPicture)
        notes->append(
            warning(line, place + QStringLiteral(": slika (![...](...)) je izostavljena")));
}

} // namespace dyr::html
