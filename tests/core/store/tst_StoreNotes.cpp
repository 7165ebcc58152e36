// Hostile notes: a restore journal or pending-add note written by someone
// else, naming files outside the mods' folders, links, or a stand-in for
// /etc inside a temporary fake root, with hashes chosen so that the note
// would be acted on. Nothing outside changes; the note is named once and
// kept aside.
#include "store/StoreNotes.h"

#include "store/PendingAdds.h"
#include "backups/Restore.h"
#include "backups/RestoreJournal.h"
#include "settings/mdlVars.h"

#include "core/store/StoreFolders.h"


#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

namespace {

QString hashOf(const QString &path)
{
    return QString::fromLatin1(RestoreJournal::hash(readAll(path)));
}

} // namespace

class tst_StoreNotes : public QObject
{
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> m_root;
    QString m_startFolder;

    QString at(const QString &relative) const { return m_root->filePath(relative); }

private slots:
    void init()
    {
        m_root = std::make_unique<QTemporaryDir>();
        m_startFolder = QDir::currentPath();
        for (const char *folder : {"prog/m/cfg", "prog/temp/cfg", "game/cfg", "etc/empty", "outside"})
            QVERIFY(QDir().mkpath(at(folder)));
        writeAll(at("etc/passwd"), "root:x:0:0:root:/root:/bin/bash\n");
        for (const char *bait : {"etc/config.cfg", "etc/x.cfg", "x.cfg", "prog/x.cfg", "outside/x.cfg"})
            writeAll(at(bait), "not the mod's");
        for (const QString file : {"config.cfg", "cfg/x.cfg"}) {
            writeAll(at("game/" + file), "live");
            writeAll(at("prog/m/" + file), "backup");
            writeAll(at("prog/temp/" + file), "scratch");
        }
        // Relative paths in a note would resolve against the working folder.
        QVERIFY(QDir::setCurrent(m_root->path()));
    }
    void cleanup() { QDir::setCurrent(m_startFolder); }

    void hostileNote_data()
    {
        QTest::addColumn<QString>("kind");   // journal or pending
        QTest::addColumn<QString>("field");  // the note's entry that names the target
        QTest::addColumn<QString>("target"); // "@" is the fake root
        QTest::addColumn<QStringList>("links"); // "link>target", below the fake root
        QTest::addColumn<bool>("noteIsLink");
        const QStringList none;
        QTest::newRow("journal: backup copy outside") << "journal" << "backupCopy" << "@/etc/passwd" << none << false;
        QTest::newRow("journal: relative backup copy") << "journal" << "backupCopy" << "etc/passwd" << none << false;
        QTest::newRow("journal: scratch copy outside") << "journal" << "scratchCopy" << "@/etc/passwd" << none << false;
        QTest::newRow("journal: backup folder is a link")
            << "journal" << "backupCopy" << "@/prog/m/config.cfg" << QStringList{"prog/m>etc"} << false;
        QTest::newRow("journal: backup copy is a link")
            << "journal" << "backupCopy" << "@/prog/m/config.cfg" << QStringList{"prog/m/config.cfg>etc/passwd"} << false;
        QTest::newRow("journal: the note is a link") << "journal" << "backupCopy" << "@/etc/passwd" << none << true;
        // "file" names the swap of one backed-up file in a subfolder.
        QTest::newRow("journal: subfolder of the backups is a link out")
            << "journal" << "file" << "cfg/x.cfg" << QStringList{"prog/m/cfg>etc"} << false;
        QTest::newRow("journal: dot dot below a subfolder")
            << "journal" << "file" << "cfg/../../x.cfg" << none << false;
        QTest::newRow("pending: copy outside, old bytes put back") << "pending" << "old" << "@/etc/passwd" << none << false;
        QTest::newRow("pending: backup folder outside") << "pending" << "backupFolder" << "@/etc/empty" << none << false;
        QTest::newRow("pending: backup folder is a link")
            << "pending" << "path" << "@/prog/m/config.cfg" << QStringList{"prog/m>etc"} << false;
        QTest::newRow("pending: copy after a link and dot dot")
            << "pending" << "path" << "@/prog/m/up/../config.cfg" << QStringList{"prog/m/up>etc/empty"} << false;
        QTest::newRow("pending: copy in a subfolder linked out")
            << "pending" << "path" << "@/prog/m/cfg/x.cfg" << QStringList{"prog/m/cfg>etc"} << false;
    }

    void hostileNote()
    {
        QFETCH(QString, kind);
        QFETCH(QString, field);
        QFETCH(QString, target);
        QFETCH(QStringList, links);
        QFETCH(bool, noteIsLink);
        target.replace("@", m_root->path());
        for (const QString &link : links) {
            const QString from = at(link.section(u'>', 0, 0));
            QDir(from).removeRecursively();
            QFile::remove(from);
            QVERIFY(QFile::link(at(link.section(u'>', 1)), from));
        }

        QJsonObject note;
        auto vars = std::make_unique<mdlVars>(kind == "journal" ? oneMod("m", at("game"), "config.cfg") : mdlVars());
        if (kind == "journal") {
            const QString file = field == "file" ? target : QStringLiteral("config.cfg");
            vars->strBackupFile[0] = file;
            note = {{"modFile", at("game/" + file)}, {"backupCopy", at("prog/m/" + file)}, {"scratchCopy", at("prog/temp/" + file)}};
            if (field != "file")
                note[field] = target;
            // As if the mod's file was replaced: the scratch copy would finish the swap.
            note["backupHash"] = hashOf(note["modFile"].toString());
            note["modHash"] = hashOf(note["scratchCopy"].toString());
            if (field == "scratchCopy")
                note["modHash"] = QString(64, u'0');
        } else {
            const QString copy = field == "backupFolder" ? at("prog/m/config.cfg") : target;
            QJsonObject entry{{"path", copy}, {"hash", hashOf(copy)}};
            if (field == "old")
                entry["old"] = QString::fromLatin1(QByteArray("overwritten").toBase64());
            note = {{"name", "m"},
                    {"folder", at("game")},
                    {"backupFolder", field == "backupFolder" ? target : at("prog/m")},
                    {"madeFolder", field == "backupFolder"},
                    {"copies", QJsonArray{entry}}};
        }
        const QString notePath = kind == "journal" ? RestoreJournal::path(at("prog"))
                                                   : at("prog/6f1c-hostile.pending-add");
        writeAll(noteIsLink ? at("outside/note") : notePath, QJsonDocument(note).toJson());
        if (noteIsLink)
            QVERIFY(QFile::link(at("outside/note"), notePath));
        QMap<QString, QByteArray> before = tree(m_root->path());
        before.remove("prog/" + QFileInfo(notePath).fileName());

        const Status s = kind == "journal" ? Restore::RecoverInterrupted(at("prog"), *vars)
                                           : PendingAdds::recoverAbandoned(at("prog"), *vars);

        QMap<QString, QByteArray> after = tree(m_root->path());
        const QString aside = "prog/" + QFileInfo(notePath).fileName() + ".ignored";
        const bool keptAside = after.remove(aside) == 1;
        after.remove("prog/" + QFileInfo(notePath).fileName());
        QCOMPARE(after, before);
        QVERIFY2(!s && s.error().contains(QDir::toNativeSeparators(notePath)), qPrintable(s.error()));
        QVERIFY(keptAside);
    }
};

QTEST_GUILESS_MAIN(tst_StoreNotes)
#include "tst_StoreNotes.moc"
