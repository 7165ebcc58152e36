#include "catalogue/CatalogueSource.h"

#include <QFileInfo>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

namespace {

// Values that stress the source form: separators, comment marks, leading
// and trailing spaces, Windows-1252 letters, the longest value.
QString randomValue(QRandomGenerator &rng)
{
    static const QString pool = QStringLiteral("ab :#\t-0.9\u00e9\u20ac\u00ff\\\"");
    if (rng.bounded(10) == 0)
        return QString(126, u'x');
    QString v;
    for (int n = rng.bounded(12); n > 0; --n)
        v += pool[rng.bounded(pool.size())];
    return v;
}

CatalogueEntry entry(const QString &name, const QString &range = {})
{
    CatalogueEntry e;
    e.name = name;
    e.range = range;
    return e;
}

} // namespace

class tst_CatalogueSource : public QObject
{
    Q_OBJECT

private slots:
    void sourceAndDatRoundTrip()
    {
        QTemporaryDir dir;
        const QString dat = dir.filePath(QStringLiteral("commands.dat"));
        QRandomGenerator rng(7);
        for (int round = 0; round < 30; ++round) {
            QList<CatalogueEntry> entries(rng.bounded(round == 0 ? 1500 : 40) + 1);
            for (CatalogueEntry &e : entries) {
                e = {randomValue(rng), randomValue(rng), randomValue(rng),
                     randomValue(rng), randomValue(rng), randomValue(rng)};
                if (rng.bounded(8) == 0)
                    e.field2 = e.field4 = e.text = QString();
                e.name = e.name.left(125) + u'n'; // six empty fields make a free slot
            }
            const auto source = CatalogueSource::write(entries);
            QVERIFY(source.ok());
            const auto parsed = CatalogueSource::parse(source.value(), QStringLiteral("s"));
            QVERIFY2(parsed.ok(), qPrintable(parsed.error()));
            QCOMPARE(parsed.value().entries, entries);

            QVERIFY(CatalogueSource::compile(entries, dat).ok());
            QCOMPARE(QFileInfo(dat).size(), 1152000);
            const auto dumped = CatalogueSource::dump(dat);
            QVERIFY(dumped.ok());
            QCOMPARE(dumped.value(), entries);
        }
    }

    void refusesBadSource_data()
    {
        QTest::addColumn<QByteArray>("source");
        QTest::addColumn<QString>("error");
        QByteArray tooMany;
        for (int i = 0; i <= 1500; ++i)
            tooMany += "name: n" + QByteArray::number(i) + "\n\n";
        QTest::newRow("field over 126") << "name: a\ntext: " + QByteArray(127, 'x') << "s:2: text is 127";
        QTest::newRow("outside windows-1252") << QByteArray("# c\nname: a\nnote: \xd0\x96") << "s:3: note holds U+0416";
        QTest::newRow("1501 entries") << tooMany << "s:3001: entry 1501 is one too many";
        QTest::newRow("invalid utf-8") << QByteArray("name: a\nrange: \xff") << "s:2: the line is not valid UTF-8";
        QTest::newRow("unknown key") << QByteArray("name: a\nhint: b") << "s:2: expected";
        QTest::newRow("blank line missing") << QByteArray("name: a\nname: b") << "s:2: name given twice";
        QTest::newRow("family twice") << QByteArray("name: a\nfamily: x\nfamily: y") << "s:3: family given twice";
        QTest::newRow("no name") << QByteArray("name: a\n\r\n\ntext: b\nnote: c") << "s:4: the entry has no name";
    }
    void refusesBadSource()
    {
        QFETCH(QByteArray, source);
        QFETCH(QString, error);
        const auto parsed = CatalogueSource::parse(source, QStringLiteral("s"));
        QVERIFY(!parsed.ok());
        QVERIFY2(parsed.error().contains(error), qPrintable(parsed.error()));
    }

    void reportsDuplicateNames()
    {
        const auto parsed = CatalogueSource::parse("name: a\n\nname: b\n\nname: a\ntext: second\n", "s");
        QVERIFY(parsed.ok());
        QCOMPARE(parsed.value().entries.size(), 3);
        QCOMPARE(parsed.value().warnings, QStringList{"s:5: \"a\" repeats the entry of line 1, which is the one shown"});
    }

    // Several parts make one catalogue; where a fact was verified is not compiled.
    void readsSeveralSources()
    {
        const auto parsed = CatalogueSource::parse({{"name: a\nverified: engine cmd.cpp\nfamily: rehlds\nkind: command\n"
                                                     "flags: server\nverified: engine sv_main.cpp\ntext: t\n",
                                                     "one.txt"},
                                                    {"# part two\nname: b\n\nname: a\n", "two.txt"}});
        QVERIFY2(parsed.ok(), qPrintable(parsed.error()));
        CatalogueEntry first = entry("a");
        first.text = QStringLiteral("t");
        QCOMPARE(parsed.value().entries, (QList<CatalogueEntry>{first, entry("b"), entry("a")}));
        QCOMPARE(parsed.value().warnings,
                 QStringList{"two.txt:4: \"a\" repeats the entry of one.txt:1, which is the one shown"});
        const auto broken = CatalogueSource::parse({{"name: a\n", "one.txt"}, {"name: b\nhint: x\n", "two.txt"}});
        QVERIFY(!broken.ok());
        QCOMPARE(broken.error(), QStringLiteral("two.txt:2: expected \"name:\", \"range:\", \"text:\", \"note:\", "
                                                "\"verified:\", \"family:\", \"kind:\", \"flags:\", \"field2:\" or "
                                                "\"field4:\" followed by the value"));
    }

    void compileRefusalKeepsOldFile()
    {
        QTemporaryDir dir;
        const QString dat = dir.filePath(QStringLiteral("commands.dat"));
        QVERIFY(CatalogueSource::compile({entry("kept")}, dat).ok());
        QVERIFY(!CatalogueSource::compile({entry("a", QStringLiteral("\u0416"))}, dat).ok());
        QVERIFY(!CatalogueSource::compile(QList<CatalogueEntry>(1501, entry("n")), dat).ok());
        QCOMPARE(CatalogueSource::dump(dat).value(), QList<CatalogueEntry>{entry("kept")});
        QVERIFY(!CatalogueSource::dump(dir.filePath(QStringLiteral("missing.dat"))).ok());
        QVERIFY(!QFileInfo::exists(dir.filePath(QStringLiteral("missing.dat"))));
    }
};

QTEST_APPLESS_MAIN(tst_CatalogueSource)
#include "tst_CatalogueSource.moc"
