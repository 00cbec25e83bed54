// Placeholder until this unit lands.
#include <QTest>

class TestEndtoend : public QObject {
    Q_OBJECT
private slots:
    void placeholder() { QSKIP("not built yet"); }
};

QTEST_MAIN(TestEndtoend)
#include "tst_endtoend.moc"
