#include "desktop/FileTypes.h"

#include "FileHelpers.h"

#include <QRegularExpression>
#include <QSet>
#include <QTest>

class tst_FileTypes : public QObject
{
    Q_OBJECT

private slots:
    // The installed entry and MIME definitions must name what the program asks for.
    void installedFilesAgreeWithTheTable()
    {
        const QString entry = QString::fromUtf8(readAll(QStringLiteral(TESSARY_DATA_DIR "/tessary.desktop")));
        const QString mime = QString::fromUtf8(readAll(QStringLiteral(TESSARY_DATA_DIR "/tessary-mime.xml")));
        QRegularExpression mimeLine(QStringLiteral("^MimeType=(.*);$"), QRegularExpression::MultilineOption);
        QStringList entryTypes = mimeLine.match(entry).captured(1).split(u';');
        QStringList tableTypes;
        QSet<QString> defined;
        for (const FileTypes::FileType &type : FileTypes::all()) {
            tableTypes << QString::fromLatin1(type.mimeType);
            if (tableTypes.last().contains(QStringLiteral("tessary")))
                defined << QStringLiteral("%1 *.%2").arg(tableTypes.last(), QString::fromLatin1(type.extension));
        }
        QCOMPARE(entryTypes, tableTypes);
        QSet<QString> inXml;
        QRegularExpression typeAndGlob(QStringLiteral("type=\"([^\"]+)\">[^<]*<sub-class-of[^>]*>[^<]*<comment>[^<]*"
                                                      "</comment>\\s*<glob pattern=\"([^\"]+)\""));
        for (auto it = typeAndGlob.globalMatch(mime); it.hasNext();) {
            const auto m = it.next();
            inXml << m.captured(1) + u' ' + m.captured(2);
        }
        QCOMPARE(inXml, defined);
        QVERIFY(entry.contains(QStringLiteral("\nExec=tessary %f\n")));
    }

    void associate_data()
    {
        QTest::addColumn<QString>("entry");
        QTest::addColumn<bool>("started");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<bool>("ran");
        QTest::addColumn<QString>("lineHas");
        QTest::newRow("done") << "/usr/share/applications/tessary.desktop" << true << 0 << true << ".cfg, .lst";
        QTest::newRow("not installed") << "" << true << 0 << false << "not installed";
        QTest::newRow("xdg-mime fails") << "/x/tessary.desktop" << true << 4 << true << "no access";
    }
    void associate()
    {
        QFETCH(QString, entry);
        QFETCH(bool, started);
        QFETCH(int, exitCode);
        QFETCH(bool, ran);
        QFETCH(QString, lineHas);
        QStringList call;
        const Result<QString> result = FileTypes::associate(entry, FileTypes::all(), [&](const QString &program, const QStringList &args) {
            call = QStringList{program} + args;
            return FileTypes::CommandOutcome{started, exitCode, QStringLiteral("no access\nmore")};
        });
        QCOMPARE(result.ok(), ran && started && exitCode == 0);
        QVERIFY2((result ? result.value() : result.error()).contains(lineHas), qPrintable(result.error()));
        if (ran) {
            QStringList expected = {"xdg-mime", "default", "tessary.desktop"};
            for (const FileTypes::FileType &type : FileTypes::all())
                expected << QString::fromLatin1(type.mimeType);
            QCOMPARE(call, expected);
        } else {
            QVERIFY(call.isEmpty());
        }
    }
};

QTEST_GUILESS_MAIN(tst_FileTypes)
#include "tst_FileTypes.moc"
