#include "settings/RecordFile.h"

#include "FileHelpers.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

namespace {

QByteArray record(int length, const QByteArray &chars)
{
    QByteArray r(RecordFile::RecordSize, '\0');
    r[0] = char(length & 0xff);
    r[1] = char(length >> 8);
    r.replace(2, chars.size(), chars);
    return r;
}

} // namespace

class tst_RecordFile : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    QString path() const { return m_dir.filePath(QStringLiteral("r.dat")); }

private slots:
    void init()
    {
        QFile::remove(path());
    }

    // Record 3 reads back after reopening; on disk the records before it
    // are zeros and it holds its length and its Windows-1252 bytes. What a
    // record cannot hold is refused, and the record keeps what it had.
    void writeThenRead_data()
    {
        QTest::addColumn<QString>("value");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<bool>("refused");
        QTest::newRow("empty") << QString() << QByteArray() << false;
        QTest::newRow("126 characters") << QString(126, u'x') << QByteArray(126, 'x') << false;
        QTest::newRow("windows-1252 letters") << QStringLiteral("C:\\Spiele\\Mod\u00e9\u20ac")
                                              << QByteArray("C:\\Spiele\\Mod\xe9\x80") << false;
        QTest::newRow("127 characters") << QString(127, u'y') << QByteArray("kept") << true;
        QTest::newRow("character outside windows-1252") << QStringLiteral("mod\u0416") << QByteArray("kept") << true;
    }
    void writeThenRead()
    {
        QFETCH(QString, value);
        QFETCH(QByteArray, bytes);
        QFETCH(bool, refused);
        {
            RecordFile file;
            QVERIFY(file.open(path()).ok());
            QVERIFY(file.write(3, QStringLiteral("kept")).ok());
            QCOMPARE(file.write(3, value).ok(), !refused);
            QVERIFY(file.commit().ok());
        }
        QCOMPARE(readAll(path()), QByteArray(2 * RecordFile::RecordSize, '\0') + record(int(bytes.size()), bytes));
        RecordFile again;
        QVERIFY(again.open(path()).ok());
        QCOMPARE(again.read(3), refused ? QStringLiteral("kept") : value);
        QCOMPARE(again.read(2), QString());
    }

    void readsDamagedRecords_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("recordNumber");
        QTest::addColumn<QString>("expected");
        QTest::newRow("length over 126 reads the record's characters only")
            << (record(300, QByteArray(126, 'a')) + record(1, "b")) << 1 << QString(126, u'a');
        QTest::newRow("last record ending after its characters")
            << (record(0, {}) + record(2, "xy").left(4)) << 2 << QStringLiteral("xy");
        QTest::newRow("last record cut inside its characters")
            << (record(5, "hello").left(5)) << 1 << QStringLiteral("hel");
        QTest::newRow("half a length field") << QByteArray(1, '\x05') << 1 << QString();
    }
    void readsDamagedRecords()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(int, recordNumber);
        writeAll(path(), bytes);
        RecordFile file;
        QVERIFY(file.open(path()).ok());
        QTEST(file.read(recordNumber), "expected");
    }

};

QTEST_APPLESS_MAIN(tst_RecordFile)
#include "tst_RecordFile.moc"
