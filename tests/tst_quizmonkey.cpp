// The quiz under a monkey: random actions for a fixed seed (answers, "&Sledece >>>",
// "&Meni", "&Izlaz", the menu's pictures, the credits, closing windows, timer ticks)
// over sets a fuzzer made: the committed fuzz corpus of the quiz, and random
// mutations of a sound set. After every step the program is alive, the sets are as
// they were written, and whenever the score panel shows, its counts add up to 5.
// QO_MONKEY_SEED and QO_MONKEY_STEPS replace the seed and the number of steps.
#include "program.h"
#include "testsupport.h"

#include <QDir>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QTest>

#include <memory>

using testsupport::MessageCall;

namespace {

const QString SetFiles[] = {QStringLiteral("varnikol.dyr"), QStringLiteral("tuvek.dyr")};
// Numbers the quiz reads as N, and texts it can't.
const QByteArray Numbers[] = {"1",
                              "2",
                              "3",
                              "4",
                              "5",
                              "7",
                              "0",
                              "-1",
                              "2.5",
                              "1e1",
                              "5.0",
                              "32767",
                              "abc",
                              "",
                              QByteArray(10, '\0'),
                              QByteArray(10, ' ')};
const std::int16_t Corrects[] = {0, 1, 2, 3, -1, 4, 300, -32768};

QByteArray soundSet() {
    QByteArray bytes;
    for (int k = 1; k <= 5; ++k) {
        qo::QuestionRecord r;
        r.Number = QString::number(k);
        r.Question = QStringLiteral("Pitanje %1?").arg(k);
        r.Correct = static_cast<std::int16_t>(k % 4);
        for (int i = 0; i < 4; ++i)
            r.Answers[i] = QStringLiteral("Odgovor %1").arg(QChar(u'A' + i));
        bytes += r.toBytes();
    }
    return bytes;
}

// The quiz inputs the fuzzer keeps: three bytes of answers, then the set.
QList<QByteArray> corpusSets() {
    QList<QByteArray> sets;
    const QDir corpus(QStringLiteral(QO_QUIZ_CORPUS));
    for (const QString& name : corpus.entryList(QDir::Files))
        sets.append(testsupport::readAll(corpus.filePath(name)).mid(3));
    return sets;
}

class Monkey {
public:
    explicit Monkey(quint32 seed) : m_random(seed), m_corpus(corpusSets()) {
        m_responder.chooseAnswer = [this](const MessageCall& call) {
            if ((call.flags & 7) == rt::vbYesNo)
                return m_random.bounded(2) ? int(rt::vbYes) : int(rt::vbNo);
            return int(rt::vbOK);
        };
        for (const QString& name : SetFiles)
            writeSet(name);
        restart();
    }

    QString step() {
        m_responder.clear();
        const int ends = m_responder.endCount();
        kviz::Program& p = *m_program;
        if (p.form3.isLoaded())
            quizAction();
        else if (p.form4.isLoaded())
            creditsAction();
        else
            menuAction();
        if (m_responder.endCount() != ends) {
            restart(); // Yes to the exit question ends the program
            return checks();
        }
        const QString fault = checks();
        if (!p.form2.isLoaded() && !p.form3.isLoaded() && !p.form4.isLoaded())
            restart(); // the last window was closed
        return fault;
    }

    QStringList lastActions() const { return m_log; }

    QString tally() const {
        return QStringLiteral("%1 quizzes started, %2 ended, %3 score panels in view, %4 error "
                              "boxes, %5 restarts")
            .arg(m_started)
            .arg(m_ended)
            .arg(m_panels)
            .arg(m_errors)
            .arg(m_restarts);
    }

private:
    void logged(const QString& what) {
        m_log.append(what);
        if (m_log.size() > 25)
            m_log.removeFirst();
    }

    void restart() {
        m_program.reset();
        m_program = std::make_unique<kviz::Program>();
        m_program->form2.Show();
        ++m_restarts;
        logged(QStringLiteral("start at the menu"));
    }

    // A set the fuzzer kept, or a sound set with a few fields or bytes changed.
    QByteArray fuzzedSet() {
        if (!m_corpus.isEmpty() && m_random.bounded(4) == 0)
            return m_corpus[m_random.bounded(m_corpus.size())];
        QByteArray set = soundSet();
        // Fields first, then a byte anywhere, then perhaps a shorter file.
        for (int k = m_random.bounded(1, 6); k > 0; --k) {
            const int at = m_random.bounded(5) * qo::RecordLength;
            switch (m_random.bounded(3)) {
            case 0: {
                const QByteArray& number = Numbers[m_random.bounded(int(std::size(Numbers)))];
                set.replace(at, 10, number.leftJustified(10, ' ', true));
                break;
            }
            case 1: {
                const auto correct = static_cast<quint16>(Corrects[m_random.bounded(8)]);
                set[at + 90] = static_cast<char>(correct & 0xFF);
                set[at + 91] = static_cast<char>(correct >> 8);
                break;
            }
            default:
                set[m_random.bounded(set.size())] = static_cast<char>(m_random.bounded(256));
                break;
            }
        }
        if (m_random.bounded(4) == 0)
            set.truncate(m_random.bounded(set.size() + 1));
        return set;
    }

    void writeSet(const QString& name) {
        m_sets[name] = fuzzedSet();
        testsupport::writeAll(m_folder.file(name), m_sets[name]);
    }

    static void click(QWidget* widget) { QTest::mouseClick(widget, Qt::LeftButton); }

    void tick(rt::Form& form, const std::function<void()>& handler) {
        logged(QStringLiteral("timer of ") + form.design().name);
        rt::runHandler(handler);
    }

    void menuAction() {
        kviz::Form2& menu = m_program->form2;
        const int action = m_random.bounded(20);
        if (action < 16) {
            const int author = action % 2;
            writeSet(SetFiles[author]);
            logged(QStringLiteral("picture of %1: %2 bytes")
                       .arg(SetFiles[author])
                       .arg(m_sets[SetFiles[author]].size()));
            click(menu.window()->findChild<QWidget*>(QStringLiteral("Image%1").arg(author + 1)));
            m_started += m_program->form3.isLoaded();
        } else if (action < 19) {
            logged(QStringLiteral("credits picture"));
            click(menu.window()->findChild<QWidget*>(QStringLiteral("Image5")));
        } else {
            logged(QStringLiteral("exit picture"));
            click(menu.window()->findChild<QWidget*>(QStringLiteral("Image4")));
        }
    }

    void quizAction() {
        kviz::Form3& quiz = m_program->form3;
        const int action = m_random.bounded(50);
        if (action < 30) {
            // An answer, or none, and then "&Sledece >>>" most of the time.
            const int option = m_random.bounded(5);
            if (option < 4) {
                logged(QStringLiteral("answer %1").arg(QChar(u'A' + option)));
                rt::OptionButton* button = quiz.Option1(option);
                QTest::mouseClick(button, Qt::LeftButton, {},
                                  QPoint(button->width() - 4, button->height() / 2));
            }
            if (m_random.bounded(4) != 0) {
                logged(QStringLiteral("Sledece"));
                click(quiz.Command1);
            }
        } else if (action < 37) {
            tick(quiz, [&quiz] { quiz.Timer1_Timer(); });
        } else if (action < 45) {
            // The slide takes many ticks; a burst of them brings the panel a good way in.
            logged(QStringLiteral("ticks of Timer2"));
            for (int k = 0; k < 60 && quiz.isLoaded(); ++k)
                rt::runHandler([&quiz] { quiz.Timer2_Timer(); });
        } else if (action < 48) {
            logged(QStringLiteral("Meni"));
            click(quiz.Command3);
        } else if (action < 49) {
            logged(QStringLiteral("Izlaz"));
            click(quiz.Command2);
        } else {
            logged(QStringLiteral("close the quiz window"));
            quiz.window()->close();
        }
    }

    void creditsAction() {
        kviz::Form4& credits = m_program->form4;
        const int action = m_random.bounded(4);
        if (action < 2) {
            tick(credits, [&credits] { credits.Timer1_Timer(); });
        } else if (action < 3) {
            logged(QStringLiteral("Meni of the credits"));
            click(credits.window()->findChild<QWidget*>(QStringLiteral("Command1")));
        } else {
            logged(QStringLiteral("close the credits"));
            credits.window()->close();
        }
    }

    QString checks() {
        for (const MessageCall& call : m_responder.calls()) {
            if (call.prompt.startsWith(QStringLiteral("Neocekivana greska")))
                return QStringLiteral("unexpected error: ") + call.prompt;
            m_errors += call.title == QStringLiteral("Greska");
            m_ended += call.prompt.endsWith(QStringLiteral("odgovor")) &&
                       m_program->form3.isLoaded() && m_program->form3.QuizFinished;
        }
        for (const QString& name : SetFiles) {
            if (testsupport::readAll(m_folder.file(name)) != m_sets[name])
                return QStringLiteral("the quiz changed %1").arg(name);
        }
        const kviz::Form3& quiz = m_program->form3;
        if (!quiz.isLoaded())
            return QString();
        const bool panelShows = quiz.Frame2->Left() < quiz.design().clientWidth;
        if (panelShows && !quiz.QuizFinished)
            return QStringLiteral("the score panel shows before the quiz ended");
        m_panels += panelShows && quiz.Frame2->Left() <= 120;
        if (!quiz.QuizFinished)
            return QString();
        static const QRegularExpression right(QStringLiteral("^pogodili ste (\\d+) pitanja!$"));
        static const QRegularExpression wrong(QStringLiteral("^a (\\d+) niste!$"));
        const auto r = right.match(quiz.Label6->text());
        const auto w = wrong.match(quiz.Label7->text());
        if (!r.hasMatch() || !w.hasMatch())
            return QStringLiteral("the score panel reads \"%1\" / \"%2\"")
                .arg(quiz.Label6->text(), quiz.Label7->text());
        if (r.captured(1).toInt() + w.captured(1).toInt() != 5 ||
            quiz.RightCount + quiz.WrongCount != 5)
            return QStringLiteral("the score's counts don't add up to 5: %1 and %2")
                .arg(r.captured(1), w.captured(1));
        return QString();
    }

    QRandomGenerator m_random;
    QList<QByteArray> m_corpus;
    testsupport::TempAppFolder m_folder;
    testsupport::ScriptedResponder m_responder;
    std::unique_ptr<kviz::Program> m_program;
    QHash<QString, QByteArray> m_sets;
    QStringList m_log;
    int m_started = 0;
    int m_ended = 0;
    int m_panels = 0;
    int m_errors = 0;
    int m_restarts = 0;
};

} // namespace

class TestQuizMonkey : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { testsupport::quietRaiseWarnings(); }

    void randomActions() {
        QVERIFY(!corpusSets().isEmpty());
        const QString failure = testsupport::runMonkey<Monkey>(1500);
        QVERIFY2(failure.isEmpty(), qPrintable(failure));
    }
};

QTEST_MAIN(TestQuizMonkey)
#include "tst_quizmonkey.moc"
