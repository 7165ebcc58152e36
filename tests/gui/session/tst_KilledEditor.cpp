// Editors killed or ended by the system give their unsaved text back at the
// next start; each editor runs in a process of its own.
#include "OrdinaryUser.h"

#include <QDir>
#include <QDirIterator>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>

class tst_KilledEditor : public QObject
{
    Q_OBJECT

private slots:
    // Saving in place (the folder is not the user's to write) empties the
    // file before writing it: killed at that moment, the editor leaves its
    // text to be offered at the next start.
    void killedInPlaceSaveIsOffered()
    {
        const OrdinaryUser user = OrdinaryUser::find();
        if (!user.available)
            QSKIP(qPrintable(user.why));
        QTemporaryDir top;
        QVERIFY(OrdinaryUser::enterable(top.path()));
        const QString home = top.filePath(QStringLiteral("home"));
        const QString program = top.filePath(QStringLiteral("program"));
        const QString game = top.filePath(QStringLiteral("game"));
        QVERIFY(QDir().mkdir(home) && QDir().mkdir(program) && QDir().mkdir(game));
        const QString file = game + QStringLiteral("/config.cfg");
        QFile old(file);
        QVERIFY(old.open(QIODevice::WriteOnly) && old.write("bind w +forward\r\n") > 0);
        old.close();
        QVERIFY(user.give(home, 0700) && user.give(program, 0755) && user.give(file, 0644) && user.give(game, 0555));

        const QProcessEnvironment env = OrdinaryUser::session(home);
        QProcess saver;
        saver.setProcessEnvironment(env);
        user.start(saver, QStringLiteral(DOCUMENT_HELPER), {QStringLiteral("killedsave"), file, QStringLiteral("bind s +back")});
        QVERIFY(saver.waitForFinished());
        QCOMPARE(saver.exitStatus(), QProcess::CrashExit);
        QCOMPARE(QFileInfo(file).size(), 0);

        QProcess restorer;
        restorer.setProcessEnvironment(env);
        user.start(restorer, QStringLiteral(EDITOR_HELPER), {QStringLiteral("restore"), program});
        QVERIFY(restorer.waitForFinished());
        QCOMPARE(QString::fromUtf8(restorer.readAllStandardOutput()).split(u'\n').mid(0, 2),
                 QStringList({QStringLiteral("1 offered"), QStringLiteral("bind s +back")}));
    }

    // The editor is killed after typing; started again, it gets its text back,
    // while another editor that was running meanwhile did not take it. Ended
    // by SIGTERM (shutdown) it keeps text typed a moment before. Each text
    // is typed in a tab of its own, and every tab comes back.
    void killedEditorsTextComesBack_data()
    {
        QTest::addColumn<bool>("terminated");
        QTest::addColumn<QStringList>("typed");
        // Three tabs: what holds for each holds for one.
        const QStringList three = {QStringLiteral("bind w +forward"), QStringLiteral("name player"),
                                   QStringLiteral("gamma 2")};
        QTest::newRow("three tabs, killed after their copies were kept") << false << three;
        QTest::newRow("three tabs, SIGTERM a moment after typing") << true << three;
    }
    void killedEditorsTextComesBack()
    {
        QFETCH(bool, terminated);
        QFETCH(QStringList, typed);
        std::sort(typed.begin(), typed.end());
        const OrdinaryUser user = OrdinaryUser::find();
        if (!user.available)
            QSKIP(qPrintable(user.why));
        QTemporaryDir top;
        QVERIFY(OrdinaryUser::enterable(top.path()));
        const QString home = top.filePath(QStringLiteral("home"));
        const QString program = top.filePath(QStringLiteral("program"));
        QVERIFY(QDir().mkdir(home) && QDir().mkdir(program));
        QVERIFY(user.give(home, 0700) && user.give(program, 0755));

        const QProcessEnvironment env = OrdinaryUser::session(home);
        const auto editor = [&](QProcess &process, const QStringList &args) {
            process.setProcessEnvironment(env);
            user.start(process, QStringLiteral(EDITOR_HELPER), args);
            QVERIFY(process.waitForStarted());
        };
        const auto copies = [&] {
            QStringList found;
            for (QDirIterator it(home, {QStringLiteral("*.copy")}, QDir::Files | QDir::Hidden,
                                 QDirIterator::Subdirectories);
                 it.hasNext();)
                found << it.next();
            return found;
        };
        // The texts of the tabs, sorted, when each was offered.
        const auto restoredText = [&] {
            QProcess restorer;
            editor(restorer, {QStringLiteral("restore"), program});
            restorer.waitForFinished();
            QStringList out = QString::fromUtf8(restorer.readAllStandardOutput()).split(u'\n', Qt::SkipEmptyParts);
            if (out.value(0) != QStringLiteral("%1 offered").arg(typed.size()))
                return QStringList();
            out.removeFirst();
            std::sort(out.begin(), out.end());
            return out;
        };

        QProcess typing;
        editor(typing, QStringList{QStringLiteral("type"), program} + typed);
        if (terminated) {
            QByteArray said;
            QTRY_VERIFY_WITH_TIMEOUT((said += typing.readAllStandardOutput()).contains("typed"), 20000);
            // Long before the copies' pause is over.
            QTest::qWait(100);
            typing.terminate();
            QVERIFY(typing.waitForFinished());
            QCOMPARE(typing.exitStatus(), QProcess::NormalExit);
            QCOMPARE(restoredText(), typed);
            return;
        }
        QTRY_COMPARE_WITH_TIMEOUT(copies().size(), typed.size(), 20000);
        QCOMPARE(restoredText(), QStringList()); // its editor still runs
        typing.kill();
        QVERIFY(typing.waitForFinished());

        QCOMPARE(restoredText(), typed);
        // The restoring editor kept the texts under its own name; the old copies are gone.
        QCOMPARE(copies().size(), typed.size());
        QCOMPARE(restoredText(), typed);
    }
};

QTEST_MAIN(tst_KilledEditor)
#include "tst_KilledEditor.moc"
