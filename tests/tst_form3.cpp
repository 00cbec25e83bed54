// Placeholder until this unit lands.
#include <QTest>

class TestForm3 : public QObject {
    Q_OBJECT
private slots:
    void placeholder() { QSKIP("not built yet"); }
};

QTEST_MAIN(TestForm3)
#include "tst_form3.moc"
