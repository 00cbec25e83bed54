// Placeholder until this unit lands.
#include <QTest>

class TestAssets : public QObject {
    Q_OBJECT
private slots:
    void placeholder() { QSKIP("not built yet"); }
};

QTEST_MAIN(TestAssets)
#include "tst_assets.moc"
