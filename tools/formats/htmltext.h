// HTML and Markdown as the plain text a set holds: tags and marks dropped, character
// references decoded, breaks and runs of white space as one space; and what is lost on
// the way.
#pragma once

#include "formats.h"

#include <QList>
#include <QString>

namespace dyr::html {

// What an HTML text loses on its way into a set.
struct Losses {
    bool picture = false;
    bool platformFile = false; // a link to one of the platform's files
    bool table = false;
    bool markdownMarks = false;   // emphasis, code, links, headings, lists or quotes
    bool markdownPicture = false; // ![...](...)
};

// HTML as the text it shows. A no-break space is a space the author asked for: it
// is kept as an ordinary space, not merged with its neighbours.
QString toText(const QString& html, Losses* losses);

// Markdown as the text it shows: the marks of emphasis, code, links, headings, lists
// and quotes taken off where they would be marks, a picture dropped, and the rest read
// as HTML (which Markdown may hold). A character escaped with \ is itself.
QString markdownText(const QString& markdown, Losses* losses);

// Notes, as warnings at line, of what a text lost; place names the text.
void noteLosses(const Losses& losses, int line, const QString& place, QList<Note>* notes);

// Plain text as written: only the white space at either end, and each line break with
// the blanks around it (a hand-written file's indentation), is not the text's own; a
// line break is read as one space. So a text written on one line comes back exactly,
// inner spaces included.
QString plainText(const QString& text);

// White space as XML and HTML know it (the no-break space is not), a text without
// it at either end, and a text with its runs read as one space and none at the ends.
bool isWhite(char32_t c);
QString trimWhite(const QString& text);
QString collapse(const QString& text);

} // namespace dyr::html
