// The editor under a monkey: thousands of random actions for a fixed seed (typing
// any text into any box, every button and option, file choices, open, save, close),
// checking after every step that the editor is alive, that every set on disk is made
// of whole records, that a set changes only by a save and then holds what the user
// saw, and that nothing the user saw is dropped without a question.
// QO_MONKEY_SEED and QO_MONKEY_STEPS replace the seed and the number of steps.
#include "codepage.h"
#include "program.h"
#include "testsupport.h"

#include <QDir>
#include <QRandomGenerator>
#include <QScopeGuard>
#include <QTest>

#include <memory>
#include <optional>

using testsupport::bytesOf;
using testsupport::MessageCall;
using testsupport::readAll;

namespace {

constexpr int Positions = 21;
constexpr qsizetype TableBytes = Positions * qo::RecordLength;
const QString SetFiles[] = {QStringLiteral("varnikol.dyr"), QStringLiteral("tuvek.dyr"),
                            QStringLiteral("neko.dyr")};
const QString SaveBeforeOpen = QStringLiteral("Sacuvati izmene?");
const QString SaveBeforeExit = QStringLiteral("Sacuvati izmene pre izlaska?");

// Texts a user might type: numbers the number box must refuse or round, empty,
// scripts and digits the file's code page can't hold, and text past the width.
const QStringList Texts = {
    QStringLiteral("1"),
    QStringLiteral("5"),
    QStringLiteral("20"),
    QStringLiteral("21"),
    QStringLiteral("0"),
    QStringLiteral("22"),
    QStringLiteral("-1"),
    QStringLiteral("2.5"),
    QStringLiteral("1e1"),
    QStringLiteral("12345678901234567890"),
    QString(),
    QStringLiteral(" 3 "),
    QStringLiteral(u"\u0662\u0663"), // Arabic-Indic digits
    QStringLiteral(u"Ћирилица 7"),
    QStringLiteral(u"Šta je čćžšđ?"),
    QStringLiteral(u"Emoji \U0001F600 na kraju"),
    QStringLiteral("Ko je osnovao forum?"),
    QString(79, u'x') + QStringLiteral(u"\U0001F600yz"),
    QString(90, u'w'),
};

// One question as the user sees it, in the file's bytes: texts up to a NUL and
// without the trailing space fill; a number that names no question shows as its
// position's own.
struct Question {
    QByteArray number;
    std::array<QByteArray, 5> texts;
    int correct = 0;
    bool operator==(const Question&) const = default;
};
using SeenSet = std::array<Question, Positions>;

QByteArray shownText(const QByteArray& field) {
    QByteArray text = field.left(field.indexOf('\0') < 0 ? field.size() : field.indexOf('\0'));
    while (text.endsWith(' '))
        text.chop(1);
    return text;
}

// The set the bytes of records 1 to 21 show; records past the end show as the
// editor's Open gives them: empty and numbered.
SeenSet seenOf(const QByteArray& bytes) {
    SeenSet set;
    for (int p = 0; p < Positions; ++p) {
        Question& q = set[p];
        if ((p + 1) * qo::RecordLength > bytes.size()) {
            q.number = QByteArray::number(p + 1);
            continue;
        }
        const QByteArray record = bytes.mid(p * qo::RecordLength, qo::RecordLength);
        const QByteArray number = record.left(10);
        q.number = editor::Module1::namedPosition(rt::fromCodePage(number))
                       ? shownText(number)
                       : QByteArray::number(p + 1);
        q.texts[0] = shownText(record.mid(10, 80));
        for (int i = 0; i < 4; ++i)
            q.texts[i + 1] = shownText(record.mid(92 + 80 * i, 80));
        q.correct = qo::QuestionRecord::fromBytes(record).Correct;
    }
    return set;
}

bool sameTexts(const SeenSet& a, const SeenSet& b) {
    for (int p = 0; p < Positions; ++p) {
        if (a[p].texts != b[p].texts || a[p].correct != b[p].correct)
            return false;
    }
    return true;
}

QList<qo::QuestionRecord> sampleSet(int count, const QString& author) {
    QList<qo::QuestionRecord> set;
    for (int k = 1; k <= count; ++k) {
        qo::QuestionRecord r;
        r.Number = QString::number(k);
        r.Question = QStringLiteral("%1: pitanje %2").arg(author).arg(k);
        r.Correct = static_cast<std::int16_t>(k % 4);
        for (int i = 0; i < 4; ++i)
            r.Answers[i] = QStringLiteral("odgovor %1%2").arg(QChar(u'A' + i)).arg(k);
        set.append(r);
    }
    return set;
}

class Monkey {
public:
    explicit Monkey(quint32 seed) : m_random(seed) {
        writeFile(SetFiles[0], bytesOf(sampleSet(Positions, QStringLiteral("VarNiKoL"))));
        // Records past the 21st must survive every save untouched.
        writeFile(SetFiles[1], bytesOf(sampleSet(30, QStringLiteral("Tuvek"))));
        m_tail = readAll(path(SetFiles[1])).mid(TableBytes);
        m_responder.chooseAnswer = [this](const MessageCall& call) {
            int answer = rt::vbOK;
            if ((call.flags & 7) == rt::vbYesNoCancel)
                answer = QList<int>{rt::vbYes, rt::vbNo, rt::vbCancel}[m_random.bounded(3)];
            else if ((call.flags & 7) == rt::vbYesNo)
                answer = m_random.bounded(2) ? rt::vbYes : rt::vbNo;
            m_answers.append(answer);
            return answer;
        };
        restart();
    }

    // One random action and the checks after it; an empty text when all is well.
    QString step() {
        m_responder.clear();
        m_answers.clear();
        const Before before = snapshot();
        const auto count = qScopeGuard([this] {
            m_errors += errorShown();
            m_lossQuestions += lostCharactersAsked();
            m_changeQuestions += asked(SaveBeforeOpen) || asked(SaveBeforeExit);
        });
        const int action = m_random.bounded(100);
        if (action < 40)
            typeSomething();
        else if (action < 47)
            press(QStringLiteral("answer mark"), form().Option(m_random.bounded(4)));
        else if (action < 53)
            press(QStringLiteral("file choice"), form().Option1(m_random.bounded(3)));
        else if (action < 60)
            return open(before);
        else if (action < 69)
            return save(before);
        else if (action < 73)
            press(QStringLiteral("clear"), form().Command3);
        else if (action < 84)
            press(QStringLiteral("<<"), form().Command4);
        else if (action < 98)
            press(QStringLiteral(">>"), form().Command5);
        else
            return close(before);
        if (const QString fault = common(); !fault.isEmpty())
            return fault;
        return filesUnchanged(before);
    }

    QStringList lastActions() const { return m_log; }

    // How often the interesting things happened, for the log.
    QString tally() const {
        return QStringLiteral("%1 saves, %2 opens, %3 questions about changes, %4 about '?', "
                              "%5 error boxes, %6 restarts")
            .arg(m_saves)
            .arg(m_opens)
            .arg(m_changeQuestions)
            .arg(m_lossQuestions)
            .arg(m_errors)
            .arg(m_restarts);
    }

private:
    struct Before {
        std::optional<SeenSet> seen;
        bool lossy = false;
        std::array<QByteArray, 3> files;
        std::array<bool, 3> exists{};
        QString chosen;
    };

    editor::Form1& form() { return m_program->form1; }
    QString path(const QString& name) const { return m_folder.file(name); }

    void writeFile(const QString& name, const QByteArray& bytes) {
        testsupport::writeAll(path(name), bytes);
    }

    void logged(const QString& what) {
        m_log.append(what);
        if (m_log.size() > 25)
            m_log.removeFirst();
    }

    void restart() {
        m_program.reset();
        m_program = std::make_unique<editor::Program>();
        m_program->start();
        m_baseline = uiSet();
        m_origin.clear();
        ++m_restarts;
        logged(QStringLiteral("start"));
    }

    static void click(QAbstractButton* button) { QTest::mouseClick(button, Qt::LeftButton); }
    void press(const QString& what, QAbstractButton* button) {
        logged(what + QLatin1Char(' ') + button->objectName());
        click(button);
    }

    void typeSomething() {
        rt::TextBox* const boxes[] = {form().Text1, form().Text2, form().Text3,
                                      form().Text4, form().Text5, form().Text6};
        // The number box gets a third of the typing, mostly numbers of questions.
        rt::TextBox* box = m_random.bounded(3) == 0 ? boxes[0] : boxes[m_random.bounded(1, 6)];
        const QString text = box == boxes[0] && m_random.bounded(3) != 0
                                 ? QString::number(m_random.bounded(1, 22))
                                 : Texts[m_random.bounded(Texts.size())];
        logged(QStringLiteral("type \"%1\" into %2").arg(text, box->objectName()));
        box->selectAll();
        if (text.isEmpty()) {
            QTest::keyClick(box, Qt::Key_Delete);
        } else if (std::all_of(text.begin(), text.end(),
                               [](QChar c) { return c.unicode() < 0x100; })) {
            QTest::keyClicks(box, text);
        } else {
            // keyClicks refuses characters past Latin-1: one key press carries them all.
            QTest::sendKeyEvent(QTest::Click, box, Qt::Key_unknown, text, Qt::NoModifier);
        }
    }

    QString chosenFile() {
        for (int i = 0; i < 3; ++i) {
            if (form().Option1(i)->isChecked())
                return SetFiles[i];
        }
        return QString();
    }

    // What a save would write now: the table with the boxes in the position the
    // number box names. Nothing when it names none.
    std::optional<SeenSet> uiSet(bool* lossy = nullptr) {
        int shown = 0;
        if (!editor::Module1::namedPosition(form().Text1->Text(), &shown))
            return std::nullopt;
        QByteArray bytes;
        bool fits = true;
        for (int p = 0; p < Positions; ++p) {
            qo::QuestionRecord r = m_program->module1.QuestionTable[p];
            if (p == shown) {
                r.Number = form().Text1->Text();
                r.Question = form().Text2->Text();
                r.Correct = m_program->module1.CorrectIndex;
                rt::TextBox* answers[] = {form().Text3, form().Text4, form().Text5, form().Text6};
                for (int i = 0; i < 4; ++i)
                    r.Answers[i] = answers[i]->Text();
            }
            fits = fits && rt::fitsCodePage(r.Number) && rt::fitsCodePage(r.Question);
            for (const auto& answer : r.Answers)
                fits = fits && rt::fitsCodePage(answer);
            bytes += r.toBytes();
        }
        if (lossy)
            *lossy = !fits;
        return seenOf(bytes);
    }

    Before snapshot() {
        Before b;
        b.seen = uiSet(&b.lossy);
        for (int i = 0; i < 3; ++i) {
            b.exists[i] = QFile::exists(path(SetFiles[i]));
            b.files[i] = readAll(path(SetFiles[i]));
        }
        b.chosen = chosenFile();
        return b;
    }

    bool changed(const Before& before) const { return !before.seen || *before.seen != m_baseline; }

    bool asked(const QString& prompt, int* answer = nullptr) const {
        for (int i = 0; i < m_responder.calls().size(); ++i) {
            if (m_responder.calls()[i].prompt == prompt) {
                if (answer)
                    *answer = m_answers.value(i);
                return true;
            }
        }
        return false;
    }

    bool errorShown() const {
        for (const MessageCall& call : m_responder.calls()) {
            if (call.title == QStringLiteral("Greska"))
                return true;
        }
        return false;
    }

    // The answer to the question about characters stored as '?'; 0 when not asked.
    int lostCharactersAnswer() const {
        for (int i = 0; i < m_responder.calls().size(); ++i) {
            if (m_responder.calls()[i].prompt.contains(QStringLiteral("kao '?'")))
                return m_answers.value(i);
        }
        return 0;
    }
    bool lostCharactersAsked() const { return lostCharactersAnswer() != 0; }
    bool lostCharactersDeclined() const {
        return lostCharactersAsked() && lostCharactersAnswer() != rt::vbYes;
    }

    // Alive, and every set on disk whole records with the records past the 21st intact.
    QString common() {
        for (const MessageCall& call : m_responder.calls()) {
            if (call.prompt.startsWith(QStringLiteral("Neocekivana greska")))
                return QStringLiteral("unexpected error: ") + call.prompt;
        }
        if (!m_program->form1.isLoaded())
            return QStringLiteral("the window is gone");
        for (const QString& name : SetFiles) {
            const qint64 size = QFileInfo(path(name)).size();
            if (size % qo::RecordLength != 0)
                return QStringLiteral("%1 is %2 bytes, not whole records").arg(name).arg(size);
        }
        if (readAll(path(SetFiles[1])).mid(TableBytes) != m_tail)
            return QStringLiteral("records 22 onward of tuvek.dyr changed");
        const QStringList entries = QDir(m_folder.path()).entryList(QDir::Files | QDir::Hidden);
        for (const QString& entry : entries) {
            if (!QStringList(std::begin(SetFiles), std::end(SetFiles)).contains(entry))
                return QStringLiteral("a stray file is left: ") + entry;
        }
        return QString();
    }

    // Files change only by a save (except), or by an Open that creates a missing
    // set empty (created).
    QString filesUnchanged(const Before& before, const QString& except = QString(),
                           const QString& created = QString()) {
        for (int i = 0; i < 3; ++i) {
            if (SetFiles[i] == except)
                continue;
            const bool exists = QFile::exists(path(SetFiles[i]));
            const QByteArray bytes = readAll(path(SetFiles[i]));
            if (SetFiles[i] == created && !before.exists[i] && (!exists || bytes.isEmpty()))
                continue;
            if (exists != before.exists[i] || bytes != before.files[i])
                return QStringLiteral("%1 changed without a save").arg(SetFiles[i]);
        }
        return QString();
    }

    QString holdsSeen(const QString& name, const SeenSet& seen) {
        const QByteArray bytes = readAll(path(name));
        if (bytes.size() < TableBytes)
            return QStringLiteral("%1 holds %2 bytes after a save").arg(name).arg(bytes.size());
        if (seenOf(bytes) != seen)
            return QStringLiteral("%1 does not hold what the user saw").arg(name);
        return QString();
    }

    QString save(const Before& before) {
        logged(QStringLiteral("save into %1").arg(before.chosen));
        click(form().Command2);
        if (QString fault = common(); !fault.isEmpty())
            return fault;
        if (before.seen && before.lossy != lostCharactersAsked())
            return QStringLiteral("the question about characters stored as '?' %1")
                .arg(before.lossy ? QStringLiteral("was not asked") : QStringLiteral("came"));
        const bool saved = before.seen && !errorShown() && !lostCharactersDeclined();
        if (!saved)
            return filesUnchanged(before);
        if (QString fault = filesUnchanged(before, before.chosen); !fault.isEmpty())
            return fault;
        if (QString fault = holdsSeen(before.chosen, *before.seen); !fault.isEmpty())
            return fault;
        m_baseline = *before.seen;
        m_origin = before.chosen;
        ++m_saves;
        return QString();
    }

    QString open(const Before& before) {
        logged(QStringLiteral("open %1").arg(before.chosen));
        click(form().Command1);
        if (QString fault = common(); !fault.isEmpty())
            return fault;
        const std::optional<SeenSet> after = uiSet();
        int answer = 0;
        const bool question = asked(SaveBeforeOpen, &answer);
        if (changed(before) && after != before.seen && !question)
            return QStringLiteral("Open dropped unsaved changes without a question");
        if (!changed(before) && question)
            return QStringLiteral("Open asked about changes when there were none");
        QString savedInto;
        if (question && answer == rt::vbYes && before.seen && !lostCharactersDeclined() &&
            !errorShown()) {
            savedInto = m_origin.isEmpty() ? before.chosen : m_origin;
            if (QString fault = holdsSeen(savedInto, *before.seen); !fault.isEmpty())
                return fault;
        }
        if (QString fault = filesUnchanged(before, savedInto, before.chosen); !fault.isEmpty())
            return fault;
        const bool opened = !errorShown() && before.seen &&
                            (!question || answer == rt::vbNo || !savedInto.isEmpty());
        if (!opened) {
            if (after != before.seen)
                return QStringLiteral("a refused or failed Open changed what the user sees");
            return QString();
        }
        if (!after || !sameTexts(*after, seenOf(readAll(path(before.chosen)))))
            return QStringLiteral("Open does not show the file's questions");
        m_baseline = *after;
        m_origin = before.chosen;
        ++m_opens;
        return QString();
    }

    QString close(const Before& before) {
        logged(QStringLiteral("close"));
        form().window()->close();
        int answer = 0;
        const bool question = asked(SaveBeforeExit, &answer);
        const bool closed = !form().isLoaded();
        if (changed(before) && closed && !question)
            return QStringLiteral("closing dropped unsaved changes without a question");
        QString savedInto;
        if (question && answer == rt::vbYes && closed) {
            savedInto = before.chosen;
            if (QString fault = holdsSeen(savedInto, *before.seen); !fault.isEmpty())
                return fault;
        }
        if (QString fault = filesUnchanged(before, savedInto); !fault.isEmpty())
            return fault;
        if (closed)
            restart();
        return common();
    }

    QRandomGenerator m_random;
    testsupport::TempAppFolder m_folder;
    testsupport::ScriptedResponder m_responder;
    QList<int> m_answers; // the answers chosen for this step's boxes, in order
    std::unique_ptr<editor::Program> m_program;
    std::optional<SeenSet> m_baseline; // what was last opened or saved, or the start
    QString m_origin;                  // the file last opened or saved
    QByteArray m_tail;
    QStringList m_log;
    int m_saves = 0;
    int m_opens = 0;
    int m_changeQuestions = 0;
    int m_lossQuestions = 0;
    int m_errors = 0;
    int m_restarts = 0;
};

} // namespace

class TestEditorMonkey : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { testsupport::quietRaiseWarnings(); }

    void randomActions() {
        const QString failure = testsupport::runMonkey<Monkey>(3000);
        QVERIFY2(failure.isEmpty(), qPrintable(failure));
    }
};

QTEST_MAIN(TestEditorMonkey)
#include "tst_editormonkey.moc"
