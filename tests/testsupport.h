// Helpers the tests share: a scripted message-box responder and a throw-away program folder.
#pragma once

#include "questionrecord.h"
#include "runtime.h"

#include <QList>
#include <QString>
#include <QTemporaryDir>

#include <functional>
#include <optional>

namespace testsupport {

struct MessageCall {
    QString prompt;
    int flags = 0;
    QString title;
};

// Stands in for the real message box, program end, file dialog, the system's opening
// of documents and the print dialog while it lives: every box is recorded and
// answered with the next scripted button (when nothing is scripted: chooseAnswer's,
// or else OK, or No for a Yes/No box); every file dialog with the next scripted file
// (else cancelled); a document is noted as opened; a print job is drawn into a PDF.
class ScriptedResponder {
public:
    ScriptedResponder();
    ~ScriptedResponder();
    ScriptedResponder(const ScriptedResponder&) = delete;
    ScriptedResponder& operator=(const ScriptedResponder&) = delete;

    void answer(int button) { m_answers.append(button); }
    const QList<MessageCall>& calls() const { return m_calls; }
    MessageCall last() const { return m_calls.isEmpty() ? MessageCall{} : m_calls.last(); }
    void clear() { m_calls.clear(); }
    int endCount() const { return m_endCount; }

    // The next file dialog's choice: a path, and the filter chosen with it.
    void answerFile(const QString& path, const QString& filter = QString()) {
        m_files.append({path, filter});
    }
    const QList<rt::FileQuestion>& fileQuestions() const { return m_fileQuestions; }
    // The documents the program had the system open, and what opening one gives.
    const QStringList& openedDocuments() const { return m_documents; }
    bool documentsOpen = true;
    // Each print job as the printer would have had it, drawn into a PDF.
    const QList<QByteArray>& printed() const { return m_printed; }
    const QList<rt::PrintJob>& printJobs() const { return m_printJobs; }

    // Runs inside a box: lets a test look at the program while the box is up.
    std::function<void(const MessageCall&)> onMessage;
    // Answers a box when nothing is scripted (a monkey test's random answers).
    std::function<int(const MessageCall&)> chooseAnswer;

private:
    QList<int> m_answers;
    QList<MessageCall> m_calls;
    int m_endCount = 0;
    QList<rt::FileAnswer> m_files;
    QList<rt::FileQuestion> m_fileQuestions;
    QStringList m_documents;
    QList<QByteArray> m_printed;
    QList<rt::PrintJob> m_printJobs;
};

// A print job drawn into a PDF, as a printer set to print into a file would.
QByteArray pdfOf(const rt::PrintJob& job);
// The text of a PDF, as pdftotext (poppler-utils) reads it with its layout; nothing
// where pdftotext isn't there (under Wine, say).
std::optional<QString> pdfText(const QByteArray& pdf);

// A temporary folder standing in for the program's own folder.
class TempAppFolder {
public:
    TempAppFolder();
    ~TempAppFolder();
    QString path() const { return m_dir.path(); }
    QString file(const QString& name) const { return m_dir.filePath(name); }

private:
    QTemporaryDir m_dir;
};

// Points the user's data location, where the user's set folder lies, at a folder
// of the test's own, so that no test touches the real one; an empty folder goes
// back to the location the test started with. On Linux that is XDG_DATA_HOME; on
// Windows, where Qt asks the system for the local application data folder, the
// user's profile folders of the process (USERPROFILE, LOCALAPPDATA) are pointed
// there and Qt's test mode is left off.
void setDataHome(const QString& folder);
// The user's data location the tests use now.
QString dataHome();

// Runs a monkey test: Monkey(seed), then its step() as often as asked, each giving
// the fault it found or an empty text. The seed and the number of steps are
// QO_MONKEY_SEED and QO_MONKEY_STEPS, or 20240610 and defaultSteps. Gives the
// failure with the seed, the step and the monkey's lastActions(), or an empty text.
template <typename Monkey> QString runMonkey(int defaultSteps) {
    bool given = false;
    const int seedValue = qEnvironmentVariableIntValue("QO_MONKEY_SEED", &given);
    const auto seed = static_cast<quint32>(given ? seedValue : 20240610);
    const int stepsValue = qEnvironmentVariableIntValue("QO_MONKEY_STEPS", &given);
    const int steps = given ? stepsValue : defaultSteps;
    Monkey monkey(seed);
    for (int step = 1; step <= steps; ++step) {
        const QString fault = monkey.step();
        if (!fault.isEmpty())
            return QStringLiteral("seed %1, step %2: %3\nlast actions:\n  %4")
                .arg(seed)
                .arg(step)
                .arg(fault, monkey.lastActions().join(QStringLiteral("\n  ")));
    }
    qInfo("%d steps for seed %u: %s", steps, seed, qPrintable(monkey.tally()));
    return QString();
}

// Drops the offscreen platform's warning that it can't raise a window, which a test
// opening thousands of windows would print thousands of times.
void quietRaiseWarnings();

QByteArray readAll(const QString& path);
// Writes the records as records 1, 2, ... of the named set in the program's folder.
void writeSet(const QString& name, const QList<qo::QuestionRecord>& records);
void writeAll(const QString& path, const QByteArray& bytes);
// Records as a set file holds them, one after another.
QByteArray bytesOf(const QList<qo::QuestionRecord>& records);
// The names in a folder, hidden ones included, sorted.
QStringList entries(const QString& folder);

// Record n of a set marked with a tag: every text field carries the tag, so a
// record put together from two versions of a set shows.
qo::QuestionRecord taggedRecord(int n, QChar tag);
// The tag of a record that is exactly taggedRecord(n, tag) for some tag; a null
// QChar for anything else (a mix, zeros, a record of another number).
QChar tagOf(const qo::QuestionRecord& record, int n);
// One row of the table of odd sets (tests/data/oddsets.json), which the quiz's rules,
// the quiz window and the web page must all play alike: the set, the answer given
// to each question asked, and what the quiz shows for it.
struct OddSet {
    QString name;
    QList<qo::QuestionRecord> records;
    QList<int> answers;
    QStringList numbers; // each question's Number, without the spaces after it
    QList<bool> verdicts;
    QStringList score;    // the score panel's three lines
    QStringList oddities; // "PLACE Kind"
    QString refused;      // the quiz's reason for refusing the set, or empty
};
QList<OddSet> oddSets();

// Whether the tests run as root, who may mount and whom permissions don't stop.
bool isRoot();
// Runs a program to its end (10 s at most); true when it ended normally with 0.
bool runProgram(const QString& program, const QStringList& args);

} // namespace testsupport
