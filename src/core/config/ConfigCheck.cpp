#include "config/ConfigCheck.h"

#include "catalogue/Catalogue.h"
#include "config/ConfigAnalysis.h"
#include "config/KnownCommands.h"

#include <QDir>
#include <QDirIterator>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTextStream>

#include <memory>

namespace ConfigCheck {

namespace {

QString shownPath(const QString &path, const QString &currentFolder)
{
    const QString relative = QDir(currentFolder).relativeFilePath(path);
    return relative.startsWith(QLatin1String("..")) ? QDir::toNativeSeparators(path) : QDir::toNativeSeparators(relative);
}

bool isConfigName(const QString &name)
{
    return name.endsWith(QLatin1String(".cfg"), Qt::CaseInsensitive)
        || name.endsWith(QLatin1String(".rc"), Qt::CaseInsensitive);
}

// No console script starts a line with '#' or '[': the console would take
// "#..." for a command's name, and ini sections are no commands at all. Nor
// has one a line of a lone brace: the game's options scripts have them
// (settings.scr, user.scr: VERSION 1.0, DESCRIPTION SERVER_OPTIONS { ... }),
// which its menus read, not its console, and which players keep as .cfg too.
bool looksLikeScript(const QString &text)
{
    for (QStringView line : QStringView(text).split(u'\n')) {
        line = line.trimmed();
        if (line.startsWith(u'#') || (line.startsWith(u'[') && line.endsWith(u']')) || line == u"{" || line == u"}")
            return false;
    }
    return true;
}

} // namespace

QString usage()
{
    return QStringLiteral(
        "Usage: tessary check [--format gcc|json] [--min error|warning|notice] [--accept NAME,...] PATH...\n"
        "Checks configs as the game reads them. PATH is a config or a game folder.\n"
        "Prints path:line:column: error|warning|notice: message [code], or JSON with --format json.\n"
        "Exit status: 0 no errors or warnings, 1 warnings, 2 errors, 3 a path cannot be read.\n");
}

Result<Options> parse(const QStringList &arguments)
{
    Options options;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString &a = arguments[i];
        auto value = [&](const QString &option) -> std::optional<QString> {
            if (a.startsWith(option + u'='))
                return a.mid(option.size() + 1);
            if (a == option && i + 1 < arguments.size())
                return arguments[++i];
            return std::nullopt;
        };
        if (a == QLatin1String("--help") || a == QLatin1String("-h")) {
            options.help = true;
        } else if (a.startsWith(QLatin1String("--format")) || a == QLatin1String("-f")) {
            const std::optional<QString> v = value(a == QLatin1String("-f") ? a : QStringLiteral("--format"));
            if (!v || (*v != QLatin1String("json") && *v != QLatin1String("gcc")))
                return Status::failure(QStringLiteral("--format takes gcc or json."));
            options.json = *v == QLatin1String("json");
        } else if (a.startsWith(QLatin1String("--min"))) {
            const std::optional<QString> v = value(QStringLiteral("--min"));
            if (!v || !ProblemRules::parseWeight(*v, options.least))
                return Status::failure(QStringLiteral("--min takes error, warning or notice."));
        } else if (a.startsWith(QLatin1String("--accept"))) {
            const std::optional<QString> v = value(QStringLiteral("--accept"));
            if (!v)
                return Status::failure(QStringLiteral("--accept takes names, separated by commas."));
            options.accepted += v->split(u',', Qt::SkipEmptyParts);
        } else if (a == QLatin1String("--")) {
            options.paths += arguments.mid(i + 1);
            break;
        } else if (a.startsWith(u'-') && a.size() > 1) {
            return Status::failure(QStringLiteral("Unknown option %1.").arg(a));
        } else {
            options.paths.append(a);
        }
    }
    if (options.paths.isEmpty() && !options.help)
        return Status::failure(QStringLiteral("Name a config or a game folder to check."));
    return options;
}

Checked analyze(const QString &path, const KnownCommands &known, const QStringList &accepted)
{
    const QFileInfo info(path);
    Checked checked;
    checked.only = info.isDir() ? QString() : configPath(path);
    ConfigAnalyzer analyzer(GameFolder::at(info.isDir() ? path : info.absolutePath()), known);
    analyzer.setAcceptedNames(accepted);
    QStringList documents;
    if (info.isDir()) {
        QDirIterator it(path, QDir::Files);
        while (it.hasNext()) {
            it.next();
            if (isConfigName(it.fileName()))
                documents.append(configPath(it.filePath()));
        }
        documents.sort();
    } else {
        documents.append(checked.only);
    }
    for (const QString &document : std::as_const(documents)) {
        Result<QString> text = readConfig(document);
        if (!text) {
            checked.unreadable.append(text.error());
            continue;
        }
        // A folder's .cfg files of other programs (a server module's
        // "key = value" file with '#' comments) are no console scripts.
        if (info.isDir() && !looksLikeScript(text.value()))
            continue;
        analyzer.setDocument(document, text.value());
    }
    checked.model = analyzer.analyze();
    return checked;
}

int exitStatus(bool warnings, bool errors)
{
    return errors ? 2 : warnings ? 1 : 0;
}

int run(const Options &options, const QString &programFolder, const QString &currentFolder, QTextStream &out,
        QTextStream &err)
{
    // The catalogue is read where it is; a check never creates it.
    Catalogue catalogue;
    if (QFileInfo::exists(Catalogue::path(programFolder))) {
        if (const Status read = LoadCatalogue(catalogue, programFolder); !read)
            err << "tessary check: " << read.error() << "\n";
    } else {
        err << "tessary check: " << QDir::toNativeSeparators(Catalogue::path(programFolder))
            << " is missing: names are not checked.\n";
    }
    const CatalogueCommands known(catalogue);

    bool unreadable = false;
    bool warnings = false;
    bool errors = false;
    QJsonArray json;
    for (const QString &given : options.paths) {
        const QFileInfo info(QDir(currentFolder).absoluteFilePath(given));
        if (!info.exists() || (!info.isDir() && !info.isFile())) {
            err << "tessary check: " << QDir::toNativeSeparators(given) << ": no such file or folder.\n";
            unreadable = true;
            continue;
        }
        const Checked checked = analyze(configPath(info.filePath()), known, options.accepted);
        for (const QString &why : checked.unreadable) {
            err << "tessary check: " << why << "\n";
            unreadable = true;
        }
        for (const ConfigProblem &p : checked.model.problems) {
            if (!checked.only.isEmpty() && p.path != checked.only)
                continue;
            if (int(p.weight()) > int(options.least))
                continue;
            warnings = warnings || p.weight() == ProblemWeight::Warning;
            errors = errors || p.weight() == ProblemWeight::Error;
            const QString file = p.path.isEmpty() ? QStringLiteral("valve.rc") : shownPath(p.path, currentFolder);
            const QString level = ProblemRules::weightWord(p.weight());
            if (options.json) {
                QJsonObject o;
                o.insert(QStringLiteral("file"), file);
                o.insert(QStringLiteral("line"), p.line + 1);
                o.insert(QStringLiteral("column"), p.column + 1);
                o.insert(QStringLiteral("endColumn"), p.column + qMax(1, p.length) + 1);
                o.insert(QStringLiteral("level"), level);
                o.insert(QStringLiteral("code"), p.code());
                o.insert(QStringLiteral("message"), p.message);
                if (!p.name.isEmpty())
                    o.insert(QStringLiteral("name"), p.name);
                json.append(o);
            } else {
                out << file << ':' << p.line + 1 << ':' << p.column + 1 << ": " << level << ": " << p.message << " ["
                    << p.code() << "]\n";
            }
        }
    }
    if (options.json)
        out << QJsonDocument(json).toJson(QJsonDocument::Compact) << "\n";
    out.flush();
    err.flush();
    return unreadable ? Unreadable : exitStatus(warnings, errors);
}

} // namespace ConfigCheck
