// Compiles the readable command catalogue into commands.dat, dumps a
// commands.dat back to the readable form, and measures how much of real
// config files the catalogue explains.
#include "catalogue/Catalogue.h"
#include "catalogue/CatalogueSource.h"
#include "catalogue/UseTable.h"

#include <QCoreApplication>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QMap>
#include <QSaveFile>

#include <algorithm>
#include <cstdio>
#include <memory>

namespace {

int usage()
{
    std::fputs("usage: tessary-catalogue compile [--saved SAVED.txt] SOURCE.txt... OUTPUT.dat\n"
               "       tessary-catalogue dump INPUT.dat [OUTPUT.txt]\n"
               "       tessary-catalogue uses CONFIG-OR-FOLDER...\n"
               "       tessary-catalogue saved GAME-WRITTEN-CONFIG.cfg...\n"
               "       tessary-catalogue coverage [--catalogue COMMANDS.dat] [--scope OUT-OF-SCOPE.txt]\n"
               "                                  CONFIG-OR-FOLDER-OR-USES.tsv...\n",
               stderr);
    return 2;
}

int fail(const QString &message)
{
    std::fprintf(stderr, "%s\n", qPrintable(message));
    return 1;
}

Result<QByteArray> readFile(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return Status::failure(
            QStringLiteral("%1 cannot be read: %2").arg(QDir::toNativeSeparators(path), file.errorString()));
    return file.readAll();
}

int writeOut(const QByteArray &bytes)
{
    std::fwrite(bytes.constData(), 1, bytes.size(), stdout);
    return std::fflush(stdout) == 0 ? 0 : fail(QStringLiteral("the output cannot be written"));
}

int compile(QStringList sourcePaths, const QString &datPath)
{
    QString savedPath;
    if (sourcePaths.size() >= 3 && sourcePaths[0] == QLatin1String("--saved")) {
        savedPath = sourcePaths[1];
        sourcePaths = sourcePaths.mid(2);
    }
    QList<CatalogueSource::Source> sources;
    for (const QString &path : sourcePaths) {
        const auto bytes = readFile(path);
        if (!bytes)
            return fail(bytes.error());
        sources.append({bytes.value(), QDir::toNativeSeparators(path)});
    }
    const auto parsed = CatalogueSource::parse(sources);
    if (!parsed)
        return fail(parsed.error());
    for (const QString &warning : parsed.value().warnings)
        std::fprintf(stderr, "warning: %s\n", qPrintable(warning));
    // The test of the built catalogue fails on these; the build goes on.
    for (const QString &problem : CatalogueSource::readingProblems(parsed.value()))
        std::fprintf(stderr, "warning: %s\n", qPrintable(problem));
    if (!savedPath.isEmpty()) {
        const auto text = readFile(savedPath);
        if (!text)
            return fail(text.error());
        const auto saved = CatalogueSource::parseSaved(text.value(), QDir::toNativeSeparators(savedPath));
        if (!saved)
            return fail(saved.error());
        for (const QString &problem : CatalogueSource::savedFlagProblems(parsed.value(), saved.value()))
            std::fprintf(stderr, "warning: %s\n", qPrintable(problem));
    }
    if (const qsizetype awaiting = CatalogueSource::awaitingSecondReading(parsed.value()))
        std::printf("%lld of %lld entries await their second reading\n", qlonglong(awaiting),
                    qlonglong(parsed.value().entries.size()));
    if (const Status written = CatalogueSource::compile(parsed.value().entries, datPath); !written)
        return fail(written.error());
    return 0;
}

int dump(const QString &datPath, const QString &sourcePath)
{
    const auto entries = CatalogueSource::dump(datPath);
    if (!entries)
        return fail(entries.error());
    const auto text = CatalogueSource::write(entries.value());
    if (!text)
        return fail(text.error());
    if (sourcePath.isEmpty())
        return writeOut(text.value());
    QSaveFile out(sourcePath);
    if (!out.open(QIODevice::WriteOnly) || out.write(text.value()) != text.value().size() || !out.commit())
        return fail(QStringLiteral("%1 cannot be written: %2")
                        .arg(QDir::toNativeSeparators(sourcePath), out.errorString()));
    return 0;
}

// Config files are read byte for byte (names are plain ASCII), after the
// mark some editors put at the start of UTF-8; a .tsv file is a use table
// made earlier and adds its counts. A folder stands for its .cfg and .rc
// files, subfolders included, and files given from one folder (or its
// subfolders) count together: they run in one console, so an alias one of
// them defines is the folder's own in all of them.
struct Counted
{
    UseTable table;
    qint64 ownAliasUses = 0;
};

// Sven Co-op reads a map's settings (maps/MAP.cfg, MAP_skl.cfg, and
// default_map_settings.cfg, the model its header says to copy) itself, not
// through the console: one setting a line, its first word the name and the
// second its value, so ';' does not split it, and "##" starts a comment
// ("The ## indicates to the game to ignore all information on that line",
// svencoop.com/cfgguide.php; wootguy/SevenKewp dlls/game/gamerules.cpp,
// execMapCfg, splits each line so and sets aside a first word it does not
// know, which a '#' is).
bool isMapSettings(const QString &path)
{
    const QFileInfo info(path);
    const QString folder = info.absolutePath();
    const auto named = [](const QString &path, QLatin1String name) {
        return QFileInfo(path).fileName().startsWith(name, Qt::CaseInsensitive);
    };
    if (QFileInfo(folder).fileName().compare(QLatin1String("maps"), Qt::CaseInsensitive) == 0)
        return named(QFileInfo(folder).path(), QLatin1String("svencoop"));
    return named(folder, QLatin1String("svencoop"))
           && info.fileName().compare(QLatin1String("default_map_settings.cfg"), Qt::CaseInsensitive) == 0;
}

// Each setting as the one console command it stands for.
QString mapSettingsAsScript(QString text)
{
    QString script;
    for (QStringView line : QStringView(text.replace(u'\t', u' ')).split(u'\n')) {
        const QList<QStringView> words = line.trimmed().split(u' ', Qt::SkipEmptyParts);
        if (!words.isEmpty() && !words[0].startsWith(u'#')) {
            script += words[0];
            if (words.size() > 1 && !words[0].startsWith(QLatin1String("//")) && !words[1].startsWith(QLatin1String("//")))
                script += QLatin1String(" \"") + words[1].toString().remove(u'"') + u'"';
        }
        script += u'\n';
    }
    return script;
}

Result<QString> scriptOf(const QString &path)
{
    const auto bytes = readFile(path);
    if (!bytes)
        return Status::failure(bytes.error());
    QByteArrayView script(bytes.value());
    if (script.startsWith("\xef\xbb\xbf"))
        script = script.sliced(3);
    const QString text = QString::fromLatin1(script);
    return isMapSettings(path) ? mapSettingsAsScript(text) : text;
}

Result<Counted> countUses(const QStringList &paths)
{
    Counted counted;
    QMap<QString, QStringList> folders; // folder, its files in the order given
    for (const QString &path : paths) {
        const QFileInfo info(path);
        if (info.isDir()) {
            QStringList files;
            QDirIterator it(path, {QStringLiteral("*.cfg"), QStringLiteral("*.rc")}, QDir::Files,
                            QDirIterator::Subdirectories);
            while (it.hasNext())
                files.append(it.next());
            files.sort();
            folders[info.absoluteFilePath()] += files;
        } else if (path.endsWith(QLatin1String(".tsv"))) {
            const auto bytes = readFile(path);
            if (!bytes)
                return Status::failure(bytes.error());
            const auto read = UseTable::fromTsv(bytes.value(), QDir::toNativeSeparators(path));
            if (!read)
                return Status::failure(read.error());
            counted.table.add(read.value());
        } else {
            folders[info.absolutePath()].append(path);
        }
    }
    // A folder inside another given one belongs to it: cfg/ beside
    // userconfig.cfg is the same game folder. The map's order puts a folder
    // before those inside it.
    QMap<QString, QStringList> games;
    for (auto it = folders.cbegin(); it != folders.cend(); ++it) {
        QString root = it.key();
        for (auto game = games.cbegin(); game != games.cend(); ++game)
            if (it.key().startsWith(game.key() + u'/'))
                root = game.key();
        games[root] += it.value();
    }
    for (const QStringList &files : std::as_const(games)) {
        QStringList scripts;
        for (const QString &path : files) {
            const auto script = scriptOf(path);
            if (!script)
                return Status::failure(script.error());
            scripts.append(script.value());
        }
        counted.ownAliasUses += counted.table.addFolder(scripts);
    }
    return counted;
}

// One block per file for data/catalogue/saved.txt, headed by the path
// given (replace it with where the file is published).
int saved(const QStringList &paths)
{
    QByteArray out;
    for (const QString &path : paths) {
        const auto bytes = readFile(path);
        if (!bytes)
            return fail(bytes.error());
        const auto lines = CatalogueSource::savedLinesOf(bytes.value(), QDir::toNativeSeparators(path));
        if (!lines)
            return fail(lines.error());
        out += '[' + path.toUtf8() + "]\n" + lines.value() + '\n';
    }
    return writeOut(out);
}

int uses(const QStringList &paths)
{
    const auto counted = countUses(paths);
    return counted ? writeOut(counted.value().table.toTsv()) : fail(counted.error());
}

QString listed(const QList<std::pair<QString, qint64>> &names, const CoverageScope &scope)
{
    QString out;
    for (const auto &[name, count] : names) {
        const QString project = scope.projectOf(name);
        out += project.isEmpty() || !CoverageScope::isName(name)
                   ? QStringLiteral("%1\t%2\n").arg(count).arg(name)
                   : QStringLiteral("%1\t%2\t%3\n").arg(count).arg(name, project);
    }
    return out;
}

int coverage(QStringList args, const QString &toolFolder)
{
    // Beside the tool when installed, one folder up in the build tree.
    QString datPath = QDir(toolFolder).filePath(QStringLiteral("commands.dat"));
    if (!QFileInfo::exists(datPath))
        datPath = QDir(toolFolder).filePath(QStringLiteral("../commands.dat"));
    // The source tree's list of third-party names, when the tool runs there.
    QString scopePath = QStringLiteral(TESSARY_SCOPE_LIST);
    if (!QFileInfo::exists(scopePath))
        scopePath.clear();
    while (args.size() >= 2 && (args[0] == QLatin1String("--catalogue") || args[0] == QLatin1String("--scope"))) {
        (args[0] == QLatin1String("--catalogue") ? datPath : scopePath) = args[1];
        args = args.mid(2);
    }
    if (args.isEmpty())
        return usage();
    const auto entries = CatalogueSource::dump(datPath);
    if (!entries)
        return fail(entries.error());
    auto catalogue = std::make_unique<Catalogue>();
    for (qsizetype k = 0; k < entries.value().size(); ++k)
        catalogue->strCmdName[k + 1] = entries.value()[k].name;
    catalogue->reindex();
    CoverageScope scope;
    if (!scopePath.isEmpty()) {
        const auto text = readFile(scopePath);
        if (!text)
            return fail(text.error());
        auto read = CoverageScope::fromText(text.value(), QDir::toNativeSeparators(scopePath));
        if (!read)
            return fail(read.error());
        scope = read.take();
    }
    const auto counted = countUses(args);
    if (!counted)
        return fail(counted.error());
    const Coverage c = coverageOf(counted.value().table, *catalogue, scope);
    const qint64 own = counted.value().ownAliasUses;
    QString out = QStringLiteral("%1 of %2 command uses have an entry: %3%\n")
                      .arg(c.covered)
                      .arg(c.uses)
                      .arg(100.0 * c.share(), 0, 'f', 1);
    out += QStringLiteral("%1 of %2 uses in scope have an entry: %3% (left out: %4 uses of tokens that are "
                          "not names, %5 uses of third-party names%6)\n")
               .arg(c.coveredInScope)
               .arg(c.usesInScope())
               .arg(100.0 * c.shareInScope(), 0, 'f', 1)
               .arg(c.notNames)
               .arg(c.outOfScope)
               .arg(scopePath.isEmpty() ? QStringLiteral(", no list given")
                                        : QStringLiteral(" listed in ") + QDir::toNativeSeparators(scopePath));
    // The folder's own aliases are left out above; counted as known, as the console runs them:
    out += QStringLiteral("%1 uses of the folders' own aliases; with them, %2 of %3 uses are known: %4%, "
                          "%5 of %6 in scope: %7%\n")
               .arg(own)
               .arg(c.covered + own)
               .arg(c.uses + own)
               .arg(100.0 * double(c.covered + own) / double(std::max<qint64>(1, c.uses + own)), 0, 'f', 1)
               .arg(c.coveredInScope + own)
               .arg(c.usesInScope() + own)
               .arg(100.0 * double(c.coveredInScope + own) / double(std::max<qint64>(1, c.usesInScope() + own)), 0, 'f', 1);
    if (!c.uncovered.isEmpty())
        out += QStringLiteral("without an entry (uses):\n") + listed(c.uncovered, scope);
    if (!c.uncoveredOutOfScope.isEmpty())
        out += QStringLiteral("left out, third-party (uses, project):\n") + listed(c.uncoveredOutOfScope, scope);
    if (!c.uncoveredNotNames.isEmpty())
        out += QStringLiteral("left out, not names (uses):\n") + listed(c.uncoveredNotNames, scope);
    return writeOut(out.toUtf8());
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QStringList args = app.arguments().mid(1);
    const QString command = args.value(0);
    args = args.mid(1);
    if (command == QLatin1String("compile") && args.size() >= 2)
        return compile(args.first(args.size() - 1), args.last());
    if (command == QLatin1String("dump") && (args.size() == 1 || args.size() == 2))
        return dump(args[0], args.value(1));
    if (command == QLatin1String("uses") && !args.isEmpty())
        return uses(args);
    if (command == QLatin1String("saved") && !args.isEmpty())
        return saved(args);
    if (command == QLatin1String("coverage"))
        return coverage(args, QCoreApplication::applicationDirPath());
    return usage();
}
