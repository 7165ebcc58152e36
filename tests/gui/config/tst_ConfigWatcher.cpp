#include "gui/config/ConfigWatcher.h"

#include "catalogue/Catalogue.h"
#include "config/ConfigAnalysis.h"

#include "FileHelpers.h"

#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

namespace {

QStringList messages(const ConfigModel *model)
{
    QStringList out;
    for (const ConfigProblem &p : model ? model->problems : QList<ConfigProblem>())
        out.append(p.message);
    return out;
}

} // namespace

// The analysis on its own thread: the document's unsaved text is what it
// reads, a change is analysed again, and a file standing alone has none.
class tst_ConfigWatcher : public QObject
{
    Q_OBJECT

private slots:
    void followsTheDocument()
    {
        QTemporaryDir dir;
        writeAll(dir.filePath("config.cfg"), "sensitivity 3\nexec userconfig.cfg\n");
        writeAll(dir.filePath("autoexec.cfg"), "echo on disk\n");
        Catalogue catalogue;
        const char *names[] = {"sensitivity", "cl_updaterate", "echo", "exec"};
        for (int k = 1; k <= 4; ++k)
            catalogue.strCmdName[k] = QString::fromLatin1(names[k - 1]);
        catalogue.reindex();
        QString text = QStringLiteral("sensitivity 2.5\ncl_updaterat 1\n");
        ConfigWatcher watcher(catalogue, [&text] { return EditBox::TextSnapshot([copy = text] { return copy; }); });
        QSignalSpy analysed(&watcher, &ConfigWatcher::analysed);

        watcher.documentNamed(dir.filePath("autoexec.cfg"));
        QVERIFY(analysed.wait(5000));
        QVERIFY(watcher.model());
        const QString replaced = QStringLiteral("sensitivity 2.5 is replaced by config.cfg (line 1) at start-up, which sets 3.");
        QCOMPARE(messages(watcher.model().get()),
                 QStringList({replaced, "Unknown command \"cl_updaterat\": did you mean cl_updaterate?"}));

        text = QStringLiteral("sensitivity 2.5\n");
        watcher.textChanged();
        QVERIFY(analysed.wait(5000));
        QCOMPARE(messages(watcher.model().get()), QStringList{replaced});

        QTemporaryDir loose;
        watcher.documentNamed(loose.filePath("notes.cfg"));
        QCOMPARE(analysed.size(), 3);
        QVERIFY(!watcher.model());
    }
};

QTEST_GUILESS_MAIN(tst_ConfigWatcher)
#include "tst_ConfigWatcher.moc"
