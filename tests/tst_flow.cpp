// Placeholder until this unit lands.
#include <QTest>

class TestFlow : public QObject {
    Q_OBJECT
private slots:
    void placeholder() { QSKIP("not built yet"); }
};

QTEST_MAIN(TestFlow)
#include "tst_flow.moc"
