#include "settings/DataFolder.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <pwd.h>
#include <sys/stat.h>

class tst_DataFolder : public QObject
{
    Q_OBJECT

private slots:
    // Root may write anywhere, so the check runs as an unprivileged user.
    void choice_data()
    {
        QTest::addColumn<int>("programMode");
        QTest::addColumn<int>("userMode");
        QTest::addColumn<QString>("expected");
        QTest::addColumn<bool>("installed");
        QTest::newRow("writable program folder") << 0777 << 0777 << "program" << false;
        QTest::newRow("read-only program folder") << 0755 << 0777 << "xdg/Tessary" << false;
        QTest::newRow("nothing writable") << 0755 << 0755 << "program" << false;
        QTest::newRow("installed, writable as root is") << 0777 << 0777 << "xdg/Tessary" << true;
    }
    void choice()
    {
        QFETCH(int, programMode);
        QFETCH(int, userMode);
        QFETCH(QString, expected);
        QFETCH(bool, installed);
        if (!getpwnam("nobody") || QStandardPaths::findExecutable(QStringLiteral("setpriv")).isEmpty())
            QSKIP("needs the user nobody and setpriv");
        QTemporaryDir dir;
        const auto makeFolder = [&](const char *name, int mode) {
            const QString path = dir.filePath(QString::fromLatin1(name));
            return QDir().mkpath(path) && ::chmod(QFile::encodeName(path).constData(), mode) == 0;
        };
        QVERIFY(::chmod(QFile::encodeName(dir.path()).constData(), 0755) == 0);
        QVERIFY(makeFolder("program", programMode) && makeFolder("xdg", userMode));
        if (installed)
            QVERIFY(QFile(dir.filePath(QStringLiteral("program/") + QLatin1StringView(DataFolder::InstalledMarker)))
                        .open(QIODevice::WriteOnly));

        QProcess probe;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("XDG_DATA_HOME"), dir.filePath(QStringLiteral("xdg")));
        probe.setProcessEnvironment(env);
        probe.start(QStringLiteral("setpriv"),
                    {"--reuid=nobody", "--regid=nogroup", "--clear-groups",
                     QCoreApplication::applicationDirPath() + QStringLiteral("/datafolder_probe"),
                     dir.filePath(QStringLiteral("program"))});
        QVERIFY(probe.waitForFinished());
        QCOMPARE(probe.exitCode(), 0);
        const QStringList out = QString::fromUtf8(probe.readAllStandardOutput()).split(u'\n');
        QCOMPARE(out.value(0), dir.filePath(expected));
        // Only where neither folder can be written is the user told data.dat cannot be saved.
        QCOMPARE(out.value(1), QLatin1String(programMode == 0755 && userMode == 0755 ? "cannot save" : "saves"));
        // The user's folder is made only when it is used.
        QCOMPARE(QFileInfo(dir.filePath(QStringLiteral("xdg/Tessary"))).isDir(), expected != u"program");
    }
};

QTEST_GUILESS_MAIN(tst_DataFolder)
#include "tst_DataFolder.moc"
