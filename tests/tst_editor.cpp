// Placeholder until this unit lands.
#include <QTest>

class TestEditor : public QObject {
    Q_OBJECT
private slots:
    void placeholder() { QSKIP("not built yet"); }
};

QTEST_MAIN(TestEditor)
#include "tst_editor.moc"
