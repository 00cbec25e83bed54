// Text and number conversions: spaces, rounding halves to even, and the errors.
#include "conversions.h"
#include "rterror.h"

#include <QTest>

using rt::ErrorKind;

namespace {
template <typename F> ErrorKind errorOf(F f) {
    try {
        f();
    } catch (const rt::RuntimeError& e) {
        return e.kind();
    }
    return ErrorKind(-1);
}
} // namespace

class TestConversions : public QObject {
    Q_OBJECT
private slots:
    void val_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<double>("value");
        QTest::newRow("spaces around") << " 5 " << 5.0;
        QTest::newRow("padded number field") << "12        " << 12.0;
        QTest::newRow("negative") << "-3" << -3.0;
        QTest::newRow("fraction") << "2.5" << 2.5;
        QTest::newRow("leading point") << ".5" << 0.5;
        QTest::newRow("exponent") << "1e2" << 100.0;
    }
    void val() {
        QFETCH(QString, text);
        QFETCH(double, value);
        QCOMPARE(rt::Val(text), value);
    }

    void noNumberIsTypeMismatch_data() {
        QTest::addColumn<QString>("text");
        QTest::newRow("empty") << "";
        QTest::newRow("blank") << "          ";
        QTest::newRow("letters") << "abc";
        QTest::newRow("NUL field") << QString(10, QChar(0));
        QTest::newRow("trailing letters") << "5a";
        QTest::newRow("two numbers") << "1 2";
    }
    void noNumberIsTypeMismatch() {
        QFETCH(QString, text);
        QCOMPARE(errorOf([&] { rt::Val(text); }), ErrorKind::TypeMismatch);
        QVERIFY(!rt::tryVal(text, nullptr));
    }

    void roundsHalvesToEven_data() {
        QTest::addColumn<double>("value");
        QTest::addColumn<int>("result");
        QTest::newRow("2.5") << 2.5 << 2;
        QTest::newRow("3.5") << 3.5 << 4;
        QTest::newRow("-2.5") << -2.5 << -2;
        QTest::newRow("1.5") << 1.5 << 2;
        QTest::newRow("2.4") << 2.4 << 2;
        QTest::newRow("32767") << 32767.0 << 32767;
        QTest::newRow("-32768") << -32768.0 << -32768;
    }
    void roundsHalvesToEven() {
        QFETCH(double, value);
        QFETCH(int, result);
        QCOMPARE(int(rt::CInt(value)), result);
        QCOMPARE(rt::CLng(value), result);
    }

    void outOfRangeIsOverflow_data() {
        QTest::addColumn<double>("value");
        QTest::newRow("32768") << 32768.0;
        QTest::newRow("32767.5") << 32767.5;
        QTest::newRow("-32769") << -32769.0;
    }
    void outOfRangeIsOverflow() {
        QFETCH(double, value);
        QCOMPARE(errorOf([&] { rt::CInt(value); }), ErrorKind::Overflow);
    }

    void longRangeAndCounters() {
        QCOMPARE(rt::CLng(32768.0), 32768);
        QCOMPARE(errorOf([] { rt::CLng(3e9); }), ErrorKind::Overflow);
        QCOMPARE(int(rt::add16(32766, 1)), 32767);
        QCOMPARE(errorOf([] { rt::add16(32767, 1); }), ErrorKind::Overflow);
    }

    void textForms() {
        QCOMPARE(rt::Str(5LL), QStringLiteral("5"));
        QCOMPARE(rt::Str(-12LL), QStringLiteral("-12"));
        QCOMPARE(rt::Str(20.0), QStringLiteral("20"));
        QCOMPARE(rt::Str(2.5), QStringLiteral("2.5"));
        QCOMPARE(rt::Left(QStringLiteral("[qo] Kviz"), 4), QStringLiteral("[qo]"));
        QCOMPARE(rt::Left(QStringLiteral("[qo] Kviz"), 12), QStringLiteral("[qo] Kviz"));
        QCOMPARE(rt::fixedAssign(QStringLiteral("ab"), 4), QStringLiteral("ab  "));
        QCOMPARE(rt::fixedAssign(QStringLiteral("abcdef"), 4), QStringLiteral("abcd"));
        // Widths count code points: an emoji is one character and is never split.
        const QString smile = QStringLiteral(u"\U0001F600");
        QCOMPARE(rt::fixedAssign(smile, 3), smile + QStringLiteral("  "));
        QCOMPARE(rt::fixedAssign(QStringLiteral("abc") + smile, 4), QStringLiteral("abc") + smile);
        QCOMPARE(rt::fixedAssign(QStringLiteral("abc") + smile, 3), QStringLiteral("abc"));
        int count = 0;
        QCOMPARE(rt::leftCodePoints(smile + smile + u'a', 2, &count), smile + smile);
        QCOMPARE(count, 2);
    }
};

QTEST_APPLESS_MAIN(TestConversions)
#include "tst_conversions.moc"
