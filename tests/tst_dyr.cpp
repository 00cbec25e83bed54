// Placeholder until this unit lands.
#include <QTest>

class TestDyr : public QObject {
    Q_OBJECT
private slots:
    void placeholder() { QSKIP("not built yet"); }
};

QTEST_MAIN(TestDyr)
#include "tst_dyr.moc"
