// Compiles the readable command catalogue into commands.dat, and dumps a
// commands.dat back to the readable form.
#include "catalogue/CatalogueSource.h"

#include <QDir>
#include <QFile>
#include <QSaveFile>

#include <cstdio>

namespace {

int usage()
{
    std::fputs("usage: tessary-catalogue compile SOURCE.txt OUTPUT.dat\n"
               "       tessary-catalogue dump INPUT.dat [OUTPUT.txt]\n",
               stderr);
    return 2;
}

int fail(const QString &message)
{
    std::fprintf(stderr, "%s\n", qPrintable(message));
    return 1;
}

int compile(const QString &sourcePath, const QString &datPath)
{
    QFile source(sourcePath);
    if (!source.open(QIODevice::ReadOnly))
        return fail(QStringLiteral("%1 cannot be read: %2")
                        .arg(QDir::toNativeSeparators(sourcePath), source.errorString()));
    const auto parsed = CatalogueSource::parse(source.readAll(), QDir::toNativeSeparators(sourcePath));
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
    if (sourcePath.isEmpty()) {
        std::fwrite(text.value().constData(), 1, text.value().size(), stdout);
        return std::fflush(stdout) == 0 ? 0 : fail(QStringLiteral("the output cannot be written"));
    }
    QSaveFile out(sourcePath);
    if (!out.open(QIODevice::WriteOnly) || out.write(text.value()) != text.value().size() || !out.commit())
        return fail(QStringLiteral("%1 cannot be written: %2")
                        .arg(QDir::toNativeSeparators(sourcePath), out.errorString()));
    return 0;
}

} // namespace

int main(int argc, char *argv[])
{
    QStringList args;
    for (int i = 1; i < argc; ++i)
        args.append(QString::fromLocal8Bit(argv[i]));
    if (args.size() == 3 && args[0] == QLatin1String("compile"))
        return compile(args[1], args[2]);
    if ((args.size() == 2 || args.size() == 3) && args[0] == QLatin1String("dump"))
        return dump(args[1], args.value(2));
    return usage();
}
