#include "settings/Settings.h"

#include "settings/RecordFile.h"
#include "settings/mdlVars.h"

#include "FileHelpers.h"

#include <QFile>
#include <QTemporaryDir>
#include <QSet>
#include <QFileInfo>
#include <QTest>

namespace {

QByteArray recordBytes(const QByteArray &file, int record)
{
    return file.mid((record - 1) * RecordFile::RecordSize, RecordFile::RecordSize);
}

// What an editor does to its lists between loading and saving.
void act(mdlVars &vars, const QString &action)
{
    if (action.startsWith(u'+')) {
        const QString name = action.mid(1);
        const int mod = Settings::firstEmptySlot(vars.strModName.data(), mdlVars::ModSlots);
        const int entry = Settings::firstEmptySlot(vars.strBackupFile.data(), mdlVars::StoredBackupSlots);
        vars.strModName[mod] = name;
        vars.strModDir[mod] = u'/' + name;
        vars.strBackupFile[entry] = QStringLiteral("config.cfg");
        vars.strBackupMod[entry] = name;
    } else if (action.startsWith(u'-')) {
        for (int i = 0; i < mdlVars::ModSlots; ++i)
            if (vars.strModName[i] == action.mid(1))
                vars.strModName[i].clear(), vars.strModDir[i].clear();
        for (int j = 0; j < mdlVars::BackupSlots; ++j)
            if (vars.strBackupMod[j] == action.mid(1))
                vars.strBackupFile[j].clear(), vars.strBackupMod[j].clear();
    }
}

// The mods as "name dir" and the backup entries as "file mod".
QSet<QString> entries(const mdlVars &vars)
{
    QSet<QString> all;
    for (int i = 0; i < mdlVars::ModSlots; ++i)
        if (!vars.strModName[i].isEmpty())
            all << vars.strModName[i] + u' ' + vars.strModDir[i];
    for (int j = 0; j < mdlVars::StoredBackupSlots; ++j)
        if (!vars.strBackupFile[j].isEmpty())
            all << vars.strBackupFile[j] + u' ' + vars.strBackupMod[j];
    return all;
}

constexpr int FileSize = Settings::LastRecord * RecordFile::RecordSize; // 320,768

} // namespace

class tst_Settings : public QObject
{
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> m_dir;
    QString folder() const { return m_dir->path(); }
    QString dataPath() const { return Settings::path(folder()); }

private slots:
    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        QVERIFY(m_dir->isValid());
    }

    void twoEditors_data()
    {
        QTest::addColumn<QString>("before"); // the mod both editors load
        QTest::addColumn<QString>("first");  // what the editor that saves first does
        QTest::addColumn<QString>("second");
        QTest::addColumn<QStringList>("kept");
        QTest::newRow("an unchanged editor keeps the other's add") << "" << "+b" << "" << QStringList{"b"};
        QTest::newRow("both add into the same slot") << "" << "+b" << "+a" << QStringList{"a", "b"};
        QTest::newRow("a removal survives") << "m" << "-m" << "" << QStringList{};
        QTest::newRow("a removal and an add") << "m" << "-m" << "+a" << QStringList{"a"};
        QTest::newRow("both remove") << "m" << "-m" << "-m" << QStringList{};
        QTest::newRow("the other removes what one keeps") << "m" << "" << "-m" << QStringList{};
    }

    // Each editor saves its own changes and keeps what the other saved,
    // whether or not it looked at the file again in between.
    void twoEditors()
    {
        QFETCH(QString, before);
        QFETCH(QString, first);
        QFETCH(QString, second);
        QFETCH(QStringList, kept);
        QSet<QString> expected;
        for (const QString &name : kept)
            expected << name + " /" + name << "config.cfg " + name;
        for (const bool refresh : {false, true}) {
            QFile::remove(dataPath());
            auto start = std::make_unique<mdlVars>();
            act(*start, before.isEmpty() ? QString() : u'+' + before);
            QVERIFY(SaveSettings(*start, folder()).ok());
            auto one = std::make_unique<mdlVars>();
            auto two = std::make_unique<mdlVars>();
            QVERIFY(LoadSettings(*one, folder()).ok());
            QVERIFY(LoadSettings(*two, folder()).ok());
            act(*one, first);
            act(*two, second);
            QVERIFY(SaveSettings(*one, folder()).ok());
            if (refresh)
                QVERIFY(RefreshSettings(*two, folder()).ok());
            QVERIFY(SaveSettings(*two, folder()).ok());

            auto restarted = std::make_unique<mdlVars>();
            QVERIFY(LoadSettings(*restarted, folder()).ok());
            QCOMPARE(entries(*restarted), expected);
            QCOMPARE(entries(*two), expected); // the second editor now lists the same
        }
    }

    void entriesBeyondTheRecords_data()
    {
        QTest::addColumn<int>("slot");
        QTest::addColumn<QString>("file");
        QTest::addColumn<bool>("inRecords");
        QTest::newRow("slot 500, in the records") << 500 << "server.cfg" << true;
        QTest::newRow("slot 600") << 600 << "server.cfg" << false;
        QTest::newRow("name outside the code page") << 3 << QString::fromUtf8("bind\u0101.cfg") << false;
        QTest::newRow("name of 127 characters") << 4 << QString(123, u'n') + ".cfg" << false;
        QTest::newRow("file in a subfolder") << 5 << "cfg/binds.cfg" << false;
    }

    // The lists come back as saved, in the records an older version reads.
    // What a record cannot hold is kept beside data.dat, whose records stay
    // as an older version wrote them; with nothing beyond them there is no
    // second file, and an older data.dat alone reads as before.
    void entriesBeyondTheRecords()
    {
        QFETCH(int, slot);
        QFETCH(QString, file);
        QFETCH(bool, inRecords);
        mdlVars vars;
        vars.strModName[0] = QStringLiteral("ns");
        vars.strModDir[0] = QStringLiteral("C:\\Games\\Half-Life\\ns");
        vars.strModName[500] = QString(126, u'n');
        vars.strBackupFile[0] = QStringLiteral("config.cfg");
        vars.strBackupMod[0] = QStringLiteral("ns");
        vars.strBackupFile[slot] = file;
        vars.strBackupMod[slot] = QStringLiteral("ns");
        QVERIFY(SaveSettings(vars, folder()).ok());
        const QByteArray records = readAll(dataPath());
        QCOMPARE(records.size(), FileSize);
        QCOMPARE(recordBytes(records, 502).mid(2, 21), QByteArray("C:\\Games\\Half-Life\\ns"));
        QCOMPARE(recordBytes(records, 501).left(2), QByteArray("\x7e\x00", 2));
        QCOMPARE(recordBytes(records, 1004).mid(2, 10), QByteArray("config.cfg"));
        if (slot < 501)
            QCOMPARE(recordBytes(records, 1004 + slot).left(2), inRecords ? QByteArray("\x0a\0", 2) : QByteArray(2, 0));
        QCOMPARE(QFileInfo::exists(Settings::extraPath(folder())), !inRecords);

        mdlVars next;
        QVERIFY(LoadSettings(next, folder()).ok());
        QCOMPARE(next.strModName, vars.strModName);
        QCOMPARE(next.strModDir, vars.strModDir);
        QCOMPARE(next.strBackupFile, vars.strBackupFile);
        QCOMPARE(next.strBackupMod, vars.strBackupMod);

        // The records alone, as an older version reads them.
        QFile::remove(Settings::extraPath(folder()));
        mdlVars old;
        QVERIFY(LoadSettings(old, folder()).ok());
        QCOMPARE(old.strBackupFile[0], QStringLiteral("config.cfg"));
        QCOMPARE(old.strBackupFile[slot], inRecords ? file : QString());
        QVERIFY(SaveSettings(old, folder()).ok());
        if (inRecords)
            QCOMPARE(readAll(dataPath()), records);
        QVERIFY(!QFileInfo::exists(Settings::extraPath(folder())));
    }

    void unusedRecordsKeepTheirBytes()
    {
        QByteArray old(FileSize + 300, '\0');
        for (int i = 0; i < old.size(); ++i)
            old[i] = char('a' + i % 26);
        // Lengths of the records that are read must stay within 126.
        for (int r = 1; r <= Settings::LastRecord; ++r) {
            old[(r - 1) * 128] = 3;
            old[(r - 1) * 128 + 1] = 0;
        }
        writeAll(dataPath(), old);

        mdlVars vars;
        QVERIFY(LoadSettings(vars, folder()).ok());
        vars.strModName[7] = QStringLiteral("changed");
        QVERIFY(SaveSettings(vars, folder()).ok());
        const QByteArray now = readAll(dataPath());
        QCOMPARE(now.size(), old.size());
        QCOMPARE(recordBytes(now, 1003), recordBytes(old, 1003));
        for (int r = 1505; r <= 2005; ++r)
            QCOMPARE(recordBytes(now, r), recordBytes(old, r));
        QCOMPARE(now.mid(FileSize), old.mid(FileSize));
        QCOMPARE(recordBytes(now, 8).mid(2, 7), QByteArray("changed"));
    }
};

QTEST_APPLESS_MAIN(tst_Settings)
#include "tst_Settings.moc"
