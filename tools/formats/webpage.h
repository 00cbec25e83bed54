// dyr's web page: a set as one self-contained HTML file that plays the quiz in a
// browser, with everything inline and nothing fetched.
#pragma once

#include "formats.h"
#include "questionrecord.h"
#include "quiz.h"

#include <QByteArray>
#include <QList>
#include <QString>

namespace dyr {

// What dyr says of an odd record that the quiz asks, for the set's author
// ("zapis N: ..."), worded from the quiz's own rules (quiz.h): what the quiz window
// and the page do with it. dyr check and dyr export html both say it so.
QString oddityNote(const qo::quiz::Asked& asked, qo::quiz::Oddity oddity);
// The line the page shows on such a question, for the player; empty where the
// question plays as the author meant it.
QString oddityOnPage(const qo::quiz::Asked& asked, qo::quiz::Oddity oddity);
// What dyr check says of a set the quiz refuses, given the quiz's reason.
QString refusalNote(const QString& reason);

// What the page escapes: & < > " ' and characters that can't stand as they are.
QString htmlEscaped(const QString& text);

struct Page {
    QByteArray html; // UTF-8; empty when refused
    QList<Note> notes;
    int questions = 0;
    bool ok() const;
};

// How the page plays: without a draw and a shuffle exactly as the quiz window.
struct PageOptions {
    int draw = 0;         // ask this many of the set's questions (quiz::drawable), 0: none
    bool shuffle = false; // each question's answers in a new order for each attempt
    QString name;         // the quiz's name in the result to post and on the printed sheet
};

// The page of a set: the questions the quiz asks, in the quiz's order, each with
// what follows it and the check of its right answer, and the score panel's words;
// its script follows them and holds no rule of its own. A set the quiz refuses is
// refused with the quiz's reason; odd records are warned of (oddityNote), and the
// page says so on the question where the player would notice (oddityOnPage). With
// a draw the page holds every question that can be drawn and draws anew for each
// attempt, asking them in the set's order; a draw larger than the set allows is
// refused.
Page webPage(const QList<qo::QuestionRecord>& records, const PageOptions& options = {});

} // namespace dyr
