#include "common/NumberFormat.h"
#include "common/Win1251.h"

#include <QTest>

using namespace NumberFormat;

class TestNumberFormat : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void fixedRoundsHalfAwayFromZeroAfter18Digits_data()
    {
        QTest::addColumn<double>("value");
        QTest::addColumn<int>("decimals");
        QTest::addColumn<QString>("expected");
        QTest::newRow("1726.5") << 1726.5 << 0 << "1727";
        QTest::newRow("1727.5") << 1727.5 << 0 << "1728";
        QTest::newRow("1726.0") << 1726.0 << 0 << "1726";
        QTest::newRow("0.5") << 0.5 << 0 << "1";
        QTest::newRow("-0.5") << -0.5 << 0 << "-1";
        QTest::newRow("2.5") << 2.5 << 0 << "3";
        QTest::newRow("0.125 two") << 0.125 << 2 << "0.13";
        QTest::newRow("0.05 one") << 0.05 << 1 << "0.1";   // 0.05000000000000000277
        QTest::newRow("0.15 one") << 0.15 << 1 << "0.1";   // 0.149999999999999994
        QTest::newRow("18 digits make the half") << 0.1245 << 3 << "0.125"; // 0.12449999999999999955
        QTest::newRow("18 digits make the half 2") << 0.0195 << 3 << "0.020";
        QTest::newRow("1.005 two") << 1.005 << 2 << "1.00"; // 1.00499999999999989
        QTest::newRow("25.6375") << 25.6375 << 1 << "25.6";
        QTest::newRow("7.55155") << 7.55155 << 1 << "7.6";
        QTest::newRow("99.99") << 99.99 << 1 << "100.0";
        QTest::newRow("9.995 two") << 9.995 << 2 << "9.99"; // 9.99499999999999922
        QTest::newRow("9.9951 two") << 9.9951 << 2 << "10.00";
        QTest::newRow("carry to new digit") << 999.96 << 1 << "1000.0";
        QTest::newRow("zero") << 0.0 << 2 << "0.00";
        QTest::newRow("negative zero") << -0.0 << 1 << "0.0";
        QTest::newRow("tiny negative") << -0.04 << 1 << "0.0";
        QTest::newRow("negative") << -12.345 << 1 << "-12.3";
        QTest::newRow("small") << 0.001 << 2 << "0.00";
        QTest::newRow("large") << 123456789012.0 << 0 << "123456789012";
        QTest::newRow("1e20") << 1e20 << 0 << "100000000000000000000";
    }
    void fixedRoundsHalfAwayFromZeroAfter18Digits()
    {
        QFETCH(double, value);
        QFETCH(int, decimals);
        QFETCH(QString, expected);
        QCOMPARE(fixed(value, decimals), expected);
    }

    void roundHalfEvenTakesTheEvenNeighbourOnExactHalves_data()
    {
        QTest::addColumn<double>("value");
        QTest::addColumn<qint64>("expected");
        QTest::newRow("4.5") << 4.5 << qint64(4);
        QTest::newRow("7.5") << 7.5 << qint64(8);
        QTest::newRow("1.5*3") << 1.5 * 3 << qint64(4);
        QTest::newRow("1.5*5") << 1.5 * 5 << qint64(8);
        QTest::newRow("-2.5") << -2.5 << qint64(-2);
        QTest::newRow("2.4999") << 2.4999 << qint64(2);
        QTest::newRow("2.5001") << 2.5001 << qint64(3);
        QTest::newRow("huge") << 1e30 << std::numeric_limits<qint64>::max();
        QTest::newRow("nan") << std::nan("") << qint64(0);
    }
    void roundHalfEvenTakesTheEvenNeighbourOnExactHalves()
    {
        QFETCH(double, value);
        QFETCH(qint64, expected);
        QCOMPARE(roundHalfEven(value), expected);
    }

    void wholeNumbersParseOnlyDigitsWithASign_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("ok");
        QTest::addColumn<int>("expected");
        QTest::newRow("digits") << "38400" << true << 38400;
        QTest::newRow("signed") << "-12" << true << -12;
        QTest::newRow("plus") << "+7" << true << 7;
        QTest::newRow("max") << "2147483647" << true << 2147483647;
        QTest::newRow("min") << "-2147483648" << true << int(-2147483648LL);
        QTest::newRow("overflow") << "2147483648" << false << 0;
        QTest::newRow("empty") << "" << false << 0;
        QTest::newRow("sign only") << "-" << false << 0;
        QTest::newRow("blank inside") << "38 400" << false << 0;
        QTest::newRow("leading blank") << " 4" << false << 0;
        QTest::newRow("decimal") << "2.3" << false << 0;
        QTest::newRow("letters") << "M4" << false << 0;
        QTest::newRow("arabic-indic digits") << QString::fromUtf8("\u0664") << false << 0;
    }
    void wholeNumbersParseOnlyDigitsWithASign()
    {
        QFETCH(QString, text);
        QFETCH(bool, ok);
        QFETCH(int, expected);
        const auto v = tryParseWholeNumber(text);
        QCOMPARE(v.has_value(), ok);
        if (ok) {
            QCOMPARE(*v, expected);
            QCOMPARE(parseWholeNumber(text), expected);
        } else {
            try {
                parseWholeNumber(text);
                QFAIL("no error raised");
            } catch (const ConversionError& e) {
                QVERIFY(e.message().contains(QLatin1Char('\'') + text + QLatin1Char('\'')));
            }
        }
    }

    void decimalsParseWithAPoint_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("ok");
        QTest::addColumn<double>("expected");
        QTest::newRow("12.6") << "12.6" << true << 12.6;
        QTest::newRow("blanks") << " 12.6 " << true << 12.6;
        QTest::newRow("int") << "14" << true << 14.0;
        QTest::newRow("exp") << "1.5e1" << true << 15.0;
        QTest::newRow("question") << "?" << false << 0.0;
        QTest::newRow("comma") << "12,6" << false << 0.0;
        QTest::newRow("empty") << "" << false << 0.0;
        QTest::newRow("unit left") << "12.6V" << false << 0.0;
        QTest::newRow("nan") << "nan" << false << 0.0;
        QTest::newRow("inf") << "inf" << false << 0.0;
        QTest::newRow("overflow") << "1e999" << false << 0.0;
    }
    void decimalsParseWithAPoint()
    {
        QFETCH(QString, text);
        QFETCH(bool, ok);
        QFETCH(double, expected);
        const auto v = tryParseDecimal(text);
        QCOMPARE(v.has_value(), ok);
        if (ok)
            QCOMPARE(*v, expected);
        else
            QVERIFY_THROWS_EXCEPTION(ConversionError, parseDecimal(text));
    }

    void win1251RoundTripsCyrillic()
    {
        const QString text = QString::fromUtf8("скорость,км/ч");
        const QByteArray bytes = Win1251::encode(text);
        QCOMPARE(bytes.size(), 13);
        QCOMPARE(quint8(bytes[0]), quint8(0xF1)); // с
        QCOMPARE(Win1251::decode(bytes), text);
        QCOMPARE(Win1251::encodeLines({QStringLiteral("a"), QStringLiteral("Из файла")}),
                 QByteArray("a\r\n\xC8\xE7 \xF4\xE0\xE9\xEB\xE0\r\n"));
    }
};

QTEST_GUILESS_MAIN(TestNumberFormat)
#include "test_number_format.moc"
