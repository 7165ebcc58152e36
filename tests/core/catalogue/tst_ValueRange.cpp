#include "catalogue/ValueRange.h"

#include <QTest>

class tst_ValueRange : public QObject
{
    Q_OBJECT

private slots:
    // Each row: range text, value, and the problem found ("" when the value fits,
    // "-" when the range is not checked at all).
    void check_data()
    {
        QTest::addColumn<QString>("range");
        QTest::addColumn<QString>("value");
        QTest::addColumn<QString>("problem");
        QTest::newRow("inside") << "0.1-10" << "3" << "";
        QTest::newRow("low end") << "0.1-10" << "0.1" << "";
        QTest::newRow("high end") << "0.1-10" << "10" << "";
        QTest::newRow("above") << "0.1-10" << "300" << "300 is above 10";
        QTest::newRow("just below") << "0.1-10" << "0.09" << "0.09 is below 0.1";
        QTest::newRow("trailing point") << "0-1" << "1." << "";
        QTest::newRow("negative low end") << "-1-1" << "-1" << "";
        QTest::newRow("below negative low end") << "-1-1" << "-1.5" << "-1.5 is below -1";
        QTest::newRow("above negative high end") << "-10--2" << "-1" << "-1 is above -2";
        QTest::newRow("letters") << "10-101" << "abc" << "\"abc\" is not a number";
        QTest::newRow("two points") << "0-1" << "0.5.1" << "\"0.5.1\" is not a number";
        QTest::newRow("double sign") << "-1-1" << "--1" << "\"--1\" is not a number";
        QTest::newRow("exponent") << "0-1" << "1e-1" << "\"1e-1\" is not a number";
        QTest::newRow("empty value") << "0-1" << "" << "the value is empty";
        QTest::newRow("or more, at the end") << "20 or more" << "20" << "";
        QTest::newRow("or more, below") << "20 or more" << "19.5" << "19.5 is below 20";
        QTest::newRow("any number, negative") << "any number" << "-0.022" << "";
        QTest::newRow("any number, not one") << "any number" << "fast" << "\"fast\" is not a number";
        QTest::newRow("any text") << "any text" << "fast" << "-";
        QTest::newRow("none") << "none" << "1" << "-";
        QTest::newRow("empty range") << "" << "x" << "-";
        QTest::newRow("reversed ends") << "10-1" << "5" << "-";
        QTest::newRow("fraction without digits") << "1.-2" << "5" << "-";
    }
    void check()
    {
        QFETCH(QString, range);
        QFETCH(QString, value);
        QFETCH(QString, problem);
        const ValueRange parsed = ValueRange::parse(range);
        QCOMPARE(parsed.isChecked(), problem != QLatin1String("-"));
        QCOMPARE(parsed.problem(value), problem == QLatin1String("-") ? QString() : problem);
    }
};

QTEST_GUILESS_MAIN(tst_ValueRange)
#include "tst_ValueRange.moc"
