#include "settings/ViewSettings.h"

#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

#include <map>
#include <vector>

namespace {

// The latest change to a path that some window has written.
struct Known
{
    qint64 at = 0;
    bool removed = false;
};

// Newest first: the paths whose latest written change opened them.
QStringList openedNewestFirst(const std::map<QString, Known> &known, int limit)
{
    std::vector<std::pair<qint64, QString>> opened;
    for (const auto &[path, change] : known) {
        if (!change.removed)
            opened.emplace_back(change.at, path);
    }
    std::sort(opened.begin(), opened.end(), std::greater<>());
    QStringList paths;
    for (const auto &entry : opened)
        paths << entry.second;
    return paths.mid(0, limit);
}

void check(const QStringList &onDisk, const std::map<QString, Known> &written, int files, bool exact)
{
    const QStringList expected = openedNewestFirst(written, ViewSettings::RecentLimit);
    if (exact) {
        QCOMPARE(onDisk, expected);
        return;
    }
    // Each is one the windows last opened, in the order they did.
    const QStringList all = openedNewestFirst(written, files);
    qsizetype previous = -1;
    for (const QString &path : onDisk) {
        const qsizetype at = all.indexOf(path);
        QVERIFY2(at > previous, qPrintable(path));
        previous = at;
    }
    QCOMPARE(onDisk.value(0), expected.value(0));
}

} // namespace

class tst_RecentFiles : public QObject
{
    Q_OBJECT

private slots:
    // Three windows of one data folder open files and take missing ones off the
    // list in random turns, each writing now and then what it did. Whatever
    // the order, the file holds what the windows' written changes say,
    // newest first: no window wipes another's files, and a file taken away
    // comes back only when a window opened it after that.
    void windowsMergeTheirLists_data()
    {
        QTest::addColumn<int>("files");
        QTest::addColumn<int>("removals"); // in a hundred changes
        QTest::addColumn<bool>("exact");
        QTest::newRow("fewer files than the list holds") << 7 << 25 << true;
        QTest::newRow("more files, only opened") << 14 << 0 << true;
        // A file the limit pushed out stays out when newer ones are taken away.
        QTest::newRow("more files, both") << 14 << 30 << false;
    }
    void windowsMergeTheirLists()
    {
        QFETCH(int, files);
        constexpr int windows = 3;
        QFETCH(int, removals);
        QFETCH(bool, exact);
        for (quint32 seed = 1; seed <= 3; ++seed) {
            QTemporaryDir dir;
            QRandomGenerator random(seed);
            std::vector<ViewSettings> window(windows);
            std::vector<std::map<QString, Known>> unwritten(windows);
            std::map<QString, Known> written;
            qint64 clock = 1000;
            for (int step = 0; step < 80; ++step) {
                const int w = random.bounded(windows);
                const int roll = random.bounded(100);
                const QString path = QStringLiteral("/cfg/f%1.cfg").arg(random.bounded(files));
                if (roll < 30) {
                    const bool everything = roll < 10;
                    // The menu shows, read afresh, what writing would make of the list.
                    const bool shown = roll % 3 == 0;
                    if (shown)
                        window[w].refreshRecentFiles(dir.path());
                    const QStringList menu = window[w].recentFiles();
                    QVERIFY(everything ? window[w].save(dir.path()) : window[w].saveRecentFiles(dir.path()));
                    if (shown)
                        QCOMPARE(window[w].recentFiles(), menu);
                    for (const auto &[changed, change] : unwritten[w]) {
                        Known &latest = written[changed];
                        if (change.at > latest.at)
                            latest = change;
                    }
                    unwritten[w].clear();
                    // The window shows what it wrote.
                    QCOMPARE(window[w].recentFiles(), ViewSettings::load(dir.path()).recentFiles());
                    check(ViewSettings::load(dir.path()).recentFiles(), written, files, exact);
                    if (QTest::currentTestFailed())
                        QFAIL(qPrintable(QStringLiteral("seed %1, step %2").arg(seed).arg(step)));
                } else if (roll < 30 + removals * 70 / 100) {
                    window[w].removeRecentFile(path, ++clock);
                    unwritten[w][path] = {clock, true};
                    QVERIFY(!window[w].recentFiles().contains(path));
                } else {
                    window[w].addRecentFile(path, ++clock);
                    unwritten[w][path] = {clock, false};
                    QCOMPARE(window[w].recentFiles().value(0), path);
                }
            }
        }
    }
};

QTEST_GUILESS_MAIN(tst_RecentFiles)
#include "tst_RecentFiles.moc"
