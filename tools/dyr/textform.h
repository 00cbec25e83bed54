// The text form of a set: "field: value" lines that dump writes and build reads.
#pragma once

#include "questionrecord.h"

#include <QList>
#include <QString>

namespace dyr {

// A fault in a text source, at a line counted from 1.
struct SourceError {
    int line = 0;
    QString message;
    bool operator==(const SourceError&) const = default;
};

struct Parsed {
    QList<qo::QuestionRecord> records; // only meaningful when errors is empty
    QList<SourceError> errors;
};

// Reads a set's text form (UTF-8).
Parsed parse(const QByteArray& source);

// The text form of records; parse gives back exactly the same records.
QString format(const QList<qo::QuestionRecord>& records);

// Characters as a value of the text form writes them: escapes where needed, and
// spaces at the start as \s, since the reader drops the spaces in front of a value.
QString escapeText(const QString& chars);
// The \xHH escape of a character of the code page.
QString byteEscape(QChar c);

// Whether a field was never filled: it holds only NUL bytes.
bool neverFilled(const QString& field);
// The text without the characters c at its end.
QString withoutTrailing(QString text, QChar c);

} // namespace dyr
