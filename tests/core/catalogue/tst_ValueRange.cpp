#include "catalogue/ValueRange.h"

#include <QTest>

class tst_ValueRange : public QObject
{
    Q_OBJECT

private slots:
    // What the game makes of a value: "" taken as it is, "notice: ..." taken
    // but changed, "error: ..." refused or read as something else, "-" a
    // range that is not checked at all.
    void check_data()
    {
        QTest::addColumn<QString>("range");
        QTest::addColumn<QString>("value");
        QTest::addColumn<QString>("verdict");
        QTest::newRow("low end") << "0.1-10" << "0.1" << "";
        QTest::newRow("above") << "0.1-10" << "300" << "error: 300 is above 10";
        QTest::newRow("just below") << "0.1-10" << "0.09" << "error: 0.09 is below 0.1";
        QTest::newRow("trailing point") << "0-1" << "1." << "";
        QTest::newRow("above negative high end") << "-10--2" << "-1" << "error: -1 is above -2";
        QTest::newRow("two points") << "0-1" << "0.5.1" << "error: \"0.5.1\" is not a number";
        QTest::newRow("exponent") << "0-1" << "1e-1" << "error: \"1e-1\" is not a number";
        QTest::newRow("empty value") << "0-1" << "" << "error: the value is empty";
        QTest::newRow("or more, below") << "20 or more" << "19.5" << "error: 19.5 is below 20";
        QTest::newRow("any number, not one") << "any number" << "fast" << "error: \"fast\" is not a number";
        QTest::newRow("any text") << "any text" << "fast" << "-";
        QTest::newRow("empty range") << "" << "x" << "-";
        QTest::newRow("fraction without digits") << "1.-2" << "5" << "-";
        const QString updaterate = QStringLiteral("10 or more, kept at most 102");
        QTest::newRow("clamp: at the end") << updaterate << "102" << "";
        QTest::newRow("clamp: above") << updaterate << "500" << "notice: 500: the game keeps it at most 102";
        QTest::newRow("clamp: below the range") << updaterate << "5" << "error: 5 is below 10";
        const QString rate = QStringLiteral("0 or more, kept 1000-100000");
        QTest::newRow("kept between: above") << rate << "500000" << "notice: 500000: the game keeps it at most 100000";
        QTest::newRow("kept between: below") << rate << "500" << "notice: 500: the game keeps it at least 1000";
        QTest::newRow("unreadable clamp: unchecked") << "0-1, kept lots" << "9" << "-";
        const QString size = QStringLiteral("one of auto|small|medium|large|0-3");
        QTest::newRow("choice, other case") << size << "Large" << "";
        QTest::newRow("choice by number") << size << "2" << "";
        QTest::newRow("no such choice") << size << "huge"
                                        << "error: \"huge\" is not one of auto, small, medium, large, 0 to 3";
        QTest::newRow("number beyond the choices") << size << "4"
                                                   << "error: \"4\" is not one of auto, small, medium, large, 0 to 3";
        const QString colour = QStringLiteral("3 numbers: any number, kept 0-255");
        QTest::newRow("three numbers") << colour << "50 250 50" << "";
        QTest::newRow("two numbers") << colour << "50 250" << "error: 3 numbers are needed, \"50 250\" has 2";
        QTest::newRow("one number kept") << colour << "50 300 0" << "notice: 300: the game keeps it at most 255";
        QTest::newRow("error outweighs notice") << colour << "300 x 0" << "error: \"x\" is not a number";
        QTest::newRow("a stray quote after it") << "10-101" << "30\"" << "notice: 30\": the game reads it as 30";
        QTest::newRow("a stray quote, out of range") << "10-101" << "300\"\"" << "error: 300 is above 101";
    }
    void check()
    {
        QFETCH(QString, range);
        QFETCH(QString, value);
        const ValueRange parsed = ValueRange::parse(range);
        const ValueRange::Check check = parsed.check(value);
        const char *const names[] = {"", "notice: ", "error: "};
        QTEST(parsed.isChecked() ? QString::fromLatin1(names[int(check.severity)]) + check.message : QStringLiteral("-"),
              "verdict");
    }
};

QTEST_GUILESS_MAIN(tst_ValueRange)
#include "tst_ValueRange.moc"
