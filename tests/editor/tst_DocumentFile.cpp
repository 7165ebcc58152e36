#include "editor/DocumentFile.h"

#include "FileHelpers.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

class tst_DocumentFile : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    QString path(const char *name = "doc.cfg") const { return m_dir.filePath(QString::fromLatin1(name)); }

private slots:
    void lineRule_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QString>("text");
        QTest::newRow("CR LF lines") << QByteArray("a\r\nb\r\n") << QStringLiteral("a\r\nb");
        QTest::newRow("no line end at the end") << QByteArray("a\r\nb") << QStringLiteral("a\r\nb");
        QTest::newRow("empty file") << QByteArray() << QString();
        QTest::newRow("only a line end") << QByteArray("\r\n") << QString();
        QTest::newRow("empty last line kept") << QByteArray("a\r\n\r\n") << QStringLiteral("a\r\n");
        QTest::newRow("lone LF stays in the line") << QByteArray("a\nb\n") << QStringLiteral("a\nb\n");
        QTest::newRow("lone CR ends a line") << QByteArray("a\rb\r") << QStringLiteral("a\r\nb");
        QTest::newRow("CR CR LF") << QByteArray("a\r\r\nb") << QStringLiteral("a\r\n\r\nb");
        QTest::newRow("LF CR") << QByteArray("a\n\rb") << QStringLiteral("a\n\r\nb");
        QTest::newRow("windows-1252 letters") << QByteArray("caf\xe9 \x80\r\n") << QStringLiteral("caf\u00e9 \u20ac");
        QTest::newRow("nul byte") << QByteArray("a\0b", 3) << QString::fromLatin1("a\0b", 3);
    }
    void lineRule()
    {
        QFETCH(QByteArray, file);
        QFETCH(QString, text);
        writeAll(path(), file);
        const Result<QString> loaded = LoadDocument(path());
        QVERIFY2(loaded.ok(), qPrintable(loaded.error()));
        QCOMPARE(loaded.value(), text);
    }

    void savingAddsOneLineEnd_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QByteArray>("file");
        QTest::newRow("two lines") << QStringLiteral("a\r\nb") << QByteArray("a\r\nb\r\n");
        QTest::newRow("empty document") << QString() << QByteArray("\r\n");
        QTest::newRow("lone LF") << QStringLiteral("a\nb") << QByteArray("a\nb\r\n");
        QTest::newRow("euro") << QStringLiteral("\u20ac") << QByteArray("\x80\r\n");
        QTest::newRow("unstorable written as question mark") << QStringLiteral("a\u0416\U0001F600b")
                                                              << QByteArray("a??b\r\n");
    }
    void savingAddsOneLineEnd()
    {
        QFETCH(QString, text);
        QFETCH(QByteArray, file);
        QVERIFY(SaveDocument(path(), text).ok());
        QCOMPARE(readAll(path()), file);
    }

    void everyByteSurvivesOpenThenSave()
    {
        const QByteArray all = everyByteValue();
        writeAll(path(), all);
        const Result<QString> loaded = LoadDocument(path());
        QVERIFY(loaded.ok());
        QVERIFY(SaveDocument(path("copy.cfg"), loaded.value()).ok());
        QCOMPARE(readAll(path("copy.cfg")), all);
    }

    void unreadableFilesAreReported_data()
    {
        QTest::addColumn<QString>("name");
        QTest::newRow("missing") << QStringLiteral("missing.cfg");
        QTest::newRow("a folder") << QStringLiteral(".");
    }
    void unreadableFilesAreReported()
    {
        QFETCH(QString, name);
        const Result<QString> loaded = LoadDocument(m_dir.filePath(name));
        QVERIFY(!loaded.ok());
        QVERIFY2(loaded.error().contains(m_dir.path()), qPrintable(loaded.error()));
    }

    void failedSaveLeavesTheFileIntact()
    {
        // No room for the temporary file's name beside it: the write fails even for root.
        const QString longName = m_dir.filePath(QString(250, u'c'));
        writeAll(longName, "old\r\n");
        const Status saved = SaveDocument(longName, QStringLiteral("new"));
        QVERIFY(!saved.ok());
        QVERIFY(saved.error().contains(QStringLiteral("cccc")));
        QCOMPARE(readAll(longName), QByteArray("old\r\n"));

        const Status missingFolder = SaveDocument(m_dir.filePath(QStringLiteral("no/such.cfg")), QStringLiteral("x"));
        QVERIFY(!missingFolder.ok());
    }

    void firstUnencodable_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("position");
        QTest::addColumn<int>("line");
        QTest::addColumn<QString>("character");
        QTest::newRow("none") << QStringLiteral("a\r\nb") << -1 << 0 << QString();
        QTest::newRow("first character") << QStringLiteral("\u0416") << 0 << 1 << QStringLiteral("\u0416");
        QTest::newRow("third line") << QStringLiteral("a\r\nb\nc\r\nd\u03a9") << 9 << 3 << QStringLiteral("\u03a9");
        QTest::newRow("surrogate pair stays whole") << QStringLiteral("\r\n\U0001F600") << 2 << 2
                                                    << QStringLiteral("\U0001F600");
    }
    void firstUnencodable()
    {
        QFETCH(QString, text);
        QFETCH(int, position);
        QFETCH(int, line);
        QFETCH(QString, character);
        const DocumentFile::Unencodable found = DocumentFile::firstUnencodable(text);
        QCOMPARE(found.position, qsizetype(position));
        if (position >= 0) {
            QCOMPARE(found.line, line);
            QCOMPARE(found.character, character);
        }
    }
};

QTEST_APPLESS_MAIN(tst_DocumentFile)
#include "tst_DocumentFile.moc"
