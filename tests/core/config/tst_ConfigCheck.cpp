#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

namespace {

struct Ran
{
    int status = -1;
    QString out;
    QString err;
};

// The program itself, as a build or an editor runs it, with no display.
Ran check(const QStringList &arguments, const QString &folder)
{
    QProcess process;
    process.setWorkingDirectory(folder);
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.remove(QStringLiteral("DISPLAY"));
    environment.remove(QStringLiteral("WAYLAND_DISPLAY"));
    environment.remove(QStringLiteral("QT_QPA_PLATFORM"));
    process.setProcessEnvironment(environment);
    process.start(QStringLiteral(TESSARY_EXECUTABLE), QStringList{QStringLiteral("check")} + arguments);
    if (!process.waitForFinished(30000))
        return {};
    return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
            QString::fromUtf8(process.readAllStandardOutput()), QString::fromUtf8(process.readAllStandardError())};
}

void write(const QString &path, const QByteArray &text)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(text);
}

} // namespace

// `tessary check` through a real process: its lines, its JSON, its exit status.
class tst_ConfigCheck : public QObject
{
    Q_OBJECT

private slots:
    void statusAndLines_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<QStringList>("options");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("output"); // the first line, or what the error output holds
        QTest::newRow("clean") << QByteArray("sensitivity 2\nbind q +attack\n") << QStringList() << 0 << "";
        QTest::newRow("only a notice") << QByteArray("zzqx\n") << QStringList() << 0
                                       << "autoexec.cfg:1:1: notice: Unknown command \"zzqx\"";
        QTest::newRow("notices left out") << QByteArray("zzqx\n") << QStringList{"--min", "warning"} << 0 << "";
        QTest::newRow("a warning") << QByteArray("sensitivty 2\n") << QStringList() << 1
                                   << "autoexec.cfg:1:1: warning: Unknown command \"sensitivty\": did you mean sensitivity? [TS201]";
        QTest::newRow("an error") << QByteArray("\nbind mouse9 +attack\n") << QStringList() << 2
                                  << "autoexec.cfg:2:6: error: \"mouse9\" is not a key the game has. [TS109]";
        QTest::newRow("errors only") << QByteArray("sensitivty 2\n") << QStringList{"--min=error"} << 0 << "";
        QTest::newRow("a name declared fine") << QByteArray("zzqx\n") << QStringList{"--accept", "ZZQX"} << 0 << "";
        QTest::newRow("a path that is not there") << QByteArray("sensitivity 2\n") << QStringList{"missing.cfg"} << 3
                                                  << "missing.cfg: no such file or folder";
        QTest::newRow("a wrong option") << QByteArray() << QStringList{"--min", "loud"} << 64
                                        << "--min takes error, warning or notice";
    }
    void statusAndLines()
    {
        QFETCH(QByteArray, text);
        QFETCH(QStringList, options);
        QFETCH(int, status);
        QFETCH(QString, output);
        QTemporaryDir dir;
        write(dir.filePath("cstrike/autoexec.cfg"), text);
        const Ran ran = check(options + QStringList{"autoexec.cfg"}, dir.filePath("cstrike"));
        QCOMPARE(ran.status, status);
        if (status > 2)
            QVERIFY2(ran.err.contains(output), qPrintable(ran.err));
        else if (output.isEmpty())
            QCOMPARE(ran.out, QString());
        else
            QVERIFY2(ran.out.startsWith(output) && ran.out.count(u'\n') == 1, qPrintable(ran.out));
    }

    void folderAsJson()
    {
        QTemporaryDir dir;
        write(dir.filePath("cstrike/autoexec.cfg"), "exec cfg\\binds.cfg\ngg_enabled 1\n");
        write(dir.filePath("cstrike/jump.cfg"), "alias a b\nalias b a\n");
        const Ran ran = check({"--format", "json", "cstrike"}, dir.path());
        QCOMPARE(ran.status, 2);
        const QJsonArray found = QJsonDocument::fromJson(ran.out.toUtf8()).array();
        QStringList got;
        for (const QJsonValue &v : found) {
            const QJsonObject o = v.toObject();
            got.append(QStringLiteral("%1:%2:%3 %4 %5")
                           .arg(o["file"].toString())
                           .arg(o["line"].toInt())
                           .arg(o["column"].toInt())
                           .arg(o["level"].toString(), o["code"].toString()));
        }
        got.sort();
        QCOMPARE(got, QStringList({QDir::toNativeSeparators("cstrike/autoexec.cfg") + ":1:6 error TS110",
                                   QDir::toNativeSeparators("cstrike/autoexec.cfg") + ":2:1 notice TS301",
                                   QDir::toNativeSeparators("cstrike/jump.cfg") + ":1:1 error TS113"}));
    }
};

QTEST_GUILESS_MAIN(tst_ConfigCheck)
#include "tst_ConfigCheck.moc"
