#include "core/config/FakeCommands.h"

#include "completion/FileFacts.h"
#include "config/ConfigAnalysis.h"
#include "config/ConfigFile.h"

#include "FileHelpers.h"

#include <QTemporaryDir>
#include <QTest>

class tst_FileFacts : public QObject
{
    Q_OBJECT

private slots:
    // The configuration's aliases for completion: each name once, the
    // body that runs first, an edited document's text read anew.
    void aliasesOfTheConfiguration()
    {
        QTemporaryDir dir;
        const QStringList files = {
            "valve.rc", "exec autoexec.cfg\n",
            "autoexec.cfg", "alias +jd \"+jump; +duck\"\nexec more.cfg\nalias quick \"buy\"\n",
            "more.cfg", "alias QUICK \"say first\"\nalias spin \"+left\"\n",
        };
        for (qsizetype i = 0; i + 1 < files.size(); i += 2)
            writeAll(dir.filePath(files[i]), files[i + 1].toLatin1());
        FakeCommands known;
        ConfigAnalyzer analyzer(GameFolder::at(dir.path()), known);
        FileFacts facts(known);
        QString more = files[5];
        const auto textOf = [&](const QString &path) {
            return path.endsWith("more.cfg") ? more : QString::fromLatin1(readAll(path));
        };
        const auto text = [](const QList<std::pair<QString, QString>> &aliases) {
            QStringList out;
            for (const auto &[name, body] : aliases)
                out.append(name + '=' + body);
            return out.join(u'|');
        };
        QCOMPARE(text(configAliases(analyzer.analyze(), facts, textOf)),
                 "+jd=+jump; +duck|quick=say first|spin=+left");
        const QString autoexec = configPath(dir.filePath("autoexec.cfg"));
        const auto before = facts.of(autoexec, textOf(autoexec));
        more += "alias fresh \"kill\"\n";
        analyzer.setDocument(dir.filePath("more.cfg"), more);
        QCOMPARE(text(configAliases(analyzer.analyze(), facts, textOf)),
                 "+jd=+jump; +duck|quick=say first|spin=+left|fresh=kill");
        // Unchanged text is not read again.
        QCOMPARE(facts.of(autoexec, textOf(autoexec)), before);
    }
};

QTEST_GUILESS_MAIN(tst_FileFacts)
#include "tst_FileFacts.moc"
