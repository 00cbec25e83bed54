// A set typed into the editor from scratch and saved plays in the quiz window with
// the right verdicts and score.
#include "../editor/program.h"
#include "../kviz/program.h"
#include "testsupport.h"

#include <QTest>

class TestEndToEnd : public QObject {
    Q_OBJECT

private slots:
    void editorSetPlaysInTheQuiz() {
        testsupport::ScriptedResponder responder;
        testsupport::TempAppFolder folder;
        const int right[5] = {0, 1, 2, 3, 1};
        const int chosen[5] = {0, 1, 3, 3, 2}; // questions 3 and 5 answered wrongly

        {
            editor::Program editorProgram;
            editorProgram.start();
            editor::Form1& form = editorProgram.form1;
            for (int q = 1; q <= 5; ++q) {
                QTest::keyClicks(form.Text2, QStringLiteral("Pitanje broj %1?").arg(q));
                QLineEdit* answers[] = {form.Text3, form.Text4, form.Text5, form.Text6};
                for (int i = 0; i < 4; ++i)
                    QTest::keyClicks(answers[i], QStringLiteral("odgovor %1%2").arg(q).arg(i));
                QTest::mouseClick(form.Option(right[q - 1]), Qt::LeftButton);
                if (q < 5)
                    QTest::mouseClick(form.Command5, Qt::LeftButton);
            }
            QTest::mouseClick(form.Command2, Qt::LeftButton);
            QVERIFY(responder.calls().isEmpty());
            QVERIFY(!form.hasUnsavedChanges());
        }

        kviz::Program quiz;
        quiz.module1.SetFileName = QStringLiteral("varnikol.dyr");
        quiz.form3.Show();
        kviz::Form3& window = quiz.form3;
        QVERIFY(window.isLoaded());
        QStringList verdicts;
        for (int q = 1; q <= 5; ++q) {
            QCOMPARE(window.Label1->text().trimmed(), QStringLiteral("Pitanje broj %1?").arg(q));
            QCOMPARE(window.Option1(2)->Caption().trimmed(),
                     QStringLiteral("odgovor %1%2").arg(q).arg(2));
            QTest::mouseClick(window.Option1(chosen[q - 1]), Qt::LeftButton);
            QTest::mouseClick(window.Command1, Qt::LeftButton);
            verdicts << responder.last().prompt;
        }
        QCOMPARE(verdicts, QStringList({"TACAN odgovor", "TACAN odgovor", "POGRESAN odgovor",
                                        "TACAN odgovor", "POGRESAN odgovor"}));
        QCOMPARE(responder.calls().size(), 5);
        QVERIFY(!window.Command1->isEnabled());
        QCOMPARE(window.Label6->text(), QStringLiteral("pogodili ste 3 pitanja!"));
        QCOMPARE(window.Label7->text(), QStringLiteral("a 2 niste!"));
        QVERIFY(window.Label8->text().endsWith(QStringLiteral("3, 5, ...")));
        window.Unload();
    }
};

QTEST_MAIN(TestEndToEnd)
#include "tst_endtoend.moc"
