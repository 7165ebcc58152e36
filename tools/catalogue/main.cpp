// Compiles the readable command catalogue into commands.dat, and dumps a
// commands.dat back to the readable form.
#include "catalogue/CatalogueSource.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QSaveFile>

#include <cstdio>

namespace {

int usage()
{
    std::fputs("usage: tessary-catalogue compile SOURCE.txt... OUTPUT.dat\n"
               "       tessary-catalogue dump INPUT.dat [OUTPUT.txt]\n",
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

int compile(const QStringList &sourcePaths, const QString &datPath)
{
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
    return usage();
}
