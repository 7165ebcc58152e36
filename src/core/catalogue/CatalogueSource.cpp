#include "catalogue/CatalogueSource.h"

#include "settings/CodePage.h"
#include "settings/RecordFile.h"
#include "catalogue/Catalogue.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QStringDecoder>

#include <array>
#include <memory>

namespace {

const std::array<QLatin1StringView, Catalogue::Fields> Keys = {
    QLatin1StringView("name"), QLatin1StringView("field2"), QLatin1StringView("range"),
    QLatin1StringView("field4"), QLatin1StringView("text"), QLatin1StringView("note"),
};

const QLatin1StringView VerifiedKey("verified");

// Read for the family switches and the source's readers; not compiled.
constexpr std::array<QLatin1StringView, 3> DescriptiveKeys = {
    QLatin1StringView("family"), QLatin1StringView("kind"), QLatin1StringView("flags"),
};

QString &fieldOf(CatalogueEntry &e, int f)
{
    QString *fields[Catalogue::Fields] = {&e.name, &e.field2, &e.range, &e.field4, &e.text, &e.note};
    return *fields[f];
}

const QString &fieldOf(const CatalogueEntry &e, int f)
{
    return fieldOf(const_cast<CatalogueEntry &>(e), f);
}

// An entry being read, with the line of each field for messages.
struct Block
{
    CatalogueEntry entry;
    int firstLine = 0;
    std::array<int, Catalogue::Fields> lines{};
    std::array<int, DescriptiveKeys.size()> descriptiveLines{};
};

// Where an entry's name stands, for messages.
struct Place
{
    QString source;
    int line = 0;
};

class Parser
{
public:
    // Later sources continue the catalogue of the earlier ones.
    void startSource(const QString &sourceName)
    {
        finish();
        m_source = sourceName;
    }

    void line(int number, const QString &text)
    {
        if (text.trimmed().isEmpty()) {
            finish();
            return;
        }
        if (text.startsWith(u'#'))
            return;
        const qsizetype colon = text.indexOf(u':');
        const QStringView key = colon < 0 ? QStringView() : QStringView(text).left(colon);
        const int f = colon < 0 ? -1 : int(std::find(Keys.begin(), Keys.end(), key) - Keys.begin());
        const bool verified = key == VerifiedKey;
        const int d = int(std::find(DescriptiveKeys.begin(), DescriptiveKeys.end(), key) - DescriptiveKeys.begin());
        const bool descriptive = colon >= 0 && d < int(DescriptiveKeys.size());
        if (!verified && !descriptive && (f < 0 || f >= Catalogue::Fields)) {
            error(number, QStringLiteral("expected \"name:\", \"range:\", \"text:\", \"note:\", \"verified:\", "
                                         "\"family:\", \"kind:\", \"flags:\", \"field2:\" or \"field4:\" "
                                         "followed by the value"));
            return;
        }
        if (!m_open) {
            m_open = true;
            m_block = Block();
            m_block.firstLine = number;
        }
        // Each reading of the source gets a verified: line of its own.
        if (verified)
            return;
        int &seen = descriptive ? m_block.descriptiveLines[d] : m_block.lines[f];
        if (seen) {
            error(number, QStringLiteral("%1 given twice in one entry (is a blank line missing?)").arg(key));
            return;
        }
        seen = number;
        if (descriptive)
            return;
        QString value = text.mid(colon + 1);
        if (value.startsWith(u' '))
            value.remove(0, 1);
        fieldOf(m_block.entry, f) = value;
    }

    void finish()
    {
        if (!m_open)
            return;
        m_open = false;
        if (!m_block.lines[0]) {
            error(m_block.firstLine, QStringLiteral("the entry has no name line"));
            return;
        }
        for (int f = 0; f < Catalogue::Fields; ++f)
            check(f);
        const QString &name = m_block.entry.name;
        if (name.isEmpty() || name.contains(u' '))
            warn(m_block.lines[0], QStringLiteral("\"%1\" can never be looked up: a name has no spaces").arg(name));
        else if (const auto first = m_firstPlaceOf.constFind(name); first != m_firstPlaceOf.cend())
            warn(m_block.lines[0], QStringLiteral("\"%1\" repeats the entry of %2, which is the one shown")
                                       .arg(name, first->source == m_source
                                                      ? QStringLiteral("line %1").arg(first->line)
                                                      : QStringLiteral("%1:%2").arg(first->source).arg(first->line)));
        else
            m_firstPlaceOf.insert(name, {m_source, m_block.lines[0]});
        m_parsed.entries.append(m_block.entry);
        if (m_parsed.entries.size() == Catalogue::Entries + 1)
            error(m_block.firstLine, QStringLiteral("entry %1 is one too many: the catalogue holds %2")
                                         .arg(Catalogue::Entries + 1)
                                         .arg(Catalogue::Entries));
    }

    void error(int number, const QString &reason) { m_errors.append(where(number) + reason); }

    Result<CatalogueSource::Parsed> result() const
    {
        if (!m_errors.isEmpty())
            return Status::failure(m_errors.join(u'\n'));
        return m_parsed;
    }

private:
    QString where(int number) const { return QStringLiteral("%1:%2: ").arg(m_source).arg(number); }
    void warn(int number, const QString &reason) { m_parsed.warnings.append(where(number) + reason); }

    void check(int f)
    {
        const QString &value = fieldOf(m_block.entry, f);
        const int number = m_block.lines[f];
        if (value.size() > RecordFile::MaxChars)
            error(number, QStringLiteral("%1 is %2 characters long; at most %3 fit")
                              .arg(Keys[f])
                              .arg(value.size())
                              .arg(RecordFile::MaxChars));
        if (const qsizetype bad = CodePage::firstUnencodable(value); bad >= 0)
            error(number, QStringLiteral("%1 holds U+%2 at character %3, which Windows-1252 cannot hold")
                              .arg(Keys[f])
                              .arg(value[bad].unicode(), 4, 16, QLatin1Char('0'))
                              .arg(bad + 1));
    }

    QString m_source;
    CatalogueSource::Parsed m_parsed;
    QStringList m_errors;
    QHash<QString, Place> m_firstPlaceOf;
    Block m_block;
    bool m_open = false;
};

} // namespace

namespace CatalogueSource {

namespace {

void parseInto(Parser &parser, const QByteArray &utf8, const QString &sourceName)
{
    parser.startSource(sourceName);
    QByteArrayView rest(utf8);
    if (rest.startsWith("\xef\xbb\xbf"))
        rest = rest.sliced(3);
    int number = 0;
    while (!rest.isEmpty()) {
        ++number;
        const qsizetype end = rest.indexOf('\n');
        QByteArrayView bytes = end < 0 ? rest : rest.first(end);
        rest = end < 0 ? QByteArrayView() : rest.sliced(end + 1);
        if (bytes.endsWith('\r'))
            bytes.chop(1);
        QStringDecoder decoder(QStringDecoder::Utf8);
        const QString text = decoder(bytes);
        if (decoder.hasError())
            parser.error(number, QStringLiteral("the line is not valid UTF-8"));
        else
            parser.line(number, text);
    }
    parser.finish();
}

} // namespace

Result<Parsed> parse(const QByteArray &utf8, const QString &sourceName)
{
    return parse({{utf8, sourceName}});
}

Result<Parsed> parse(const QList<Source> &sources)
{
    Parser parser;
    for (const Source &source : sources)
        parseInto(parser, source.utf8, source.name);
    return parser.result();
}

Result<QByteArray> write(const QList<CatalogueEntry> &entries)
{
    QString out;
    for (qsizetype i = 0; i < entries.size(); ++i) {
        if (i > 0)
            out += u'\n';
        for (int f = 0; f < Catalogue::Fields; ++f) {
            const QString &value = fieldOf(entries[i], f);
            if (f > 0 && value.isEmpty())
                continue;
            if (value.contains(u'\n') || value.contains(u'\r'))
                return Status::failure(QStringLiteral("%1 of entry %2 (\"%3\") holds a line break")
                                           .arg(Keys[f])
                                           .arg(i + 1)
                                           .arg(entries[i].name));
            out += Keys[f] + (value.isEmpty() ? QString(u':') : QStringLiteral(": ") + value) + u'\n';
        }
    }
    return out.toUtf8();
}

QList<CatalogueEntry> entriesOf(const Catalogue &catalogue)
{
    QList<CatalogueEntry> entries;
    for (int k = 1; k <= Catalogue::Entries; ++k) {
        CatalogueEntry e;
        bool empty = true;
        for (int f = 0; f < Catalogue::Fields; ++f) {
            fieldOf(e, f) = catalogue.field(f)[k];
            empty = empty && fieldOf(e, f).isEmpty();
        }
        if (!empty)
            entries.append(e);
    }
    return entries;
}

Status compile(const QList<CatalogueEntry> &entries, const QString &path)
{
    if (entries.size() > Catalogue::Entries)
        return Status::failure(QStringLiteral("%1 entries given; the catalogue holds %2")
                                   .arg(entries.size())
                                   .arg(Catalogue::Entries));
    const auto fill = [&entries](RecordFile &file) -> Status {
        for (int f = 0; f < Catalogue::Fields; ++f) {
            for (int k = 1; k <= Catalogue::Entries; ++k) {
                const QString value = k <= entries.size() ? fieldOf(entries[k - 1], f) : QString();
                if (const Status written = file.write(Catalogue::record(f, k), value); !written)
                    return Status::failure(
                        QStringLiteral("%1 of entry %2: %3").arg(Keys[f]).arg(k).arg(written.error()));
            }
        }
        return Status::success();
    };
    // Everything is checked in memory before the old file is touched.
    RecordFile staged;
    if (const Status checked = fill(staged); !checked)
        return checked;
    // A fresh file, so no bytes of a longer old one stay behind.
    if (QFileInfo::exists(path) && !QFile::remove(path))
        return Status::failure(QStringLiteral("%1 cannot be replaced").arg(QDir::toNativeSeparators(path)));
    RecordFile file;
    if (const Status opened = file.open(path); !opened)
        return opened;
    fill(file);
    return file.commit();
}

Result<QList<CatalogueEntry>> dump(const QString &path)
{
    if (!QFileInfo(path).isFile())
        return Status::failure(QStringLiteral("%1 does not exist").arg(QDir::toNativeSeparators(path)));
    RecordFile file;
    if (const Status opened = file.open(path); !opened)
        return opened;
    auto catalogue = std::make_unique<Catalogue>();
    for (int f = 0; f < Catalogue::Fields; ++f) {
        for (int k = 1; k <= Catalogue::Entries; ++k)
            catalogue->field(f)[k] = file.read(Catalogue::record(f, k));
    }
    return entriesOf(*catalogue);
}

} // namespace CatalogueSource
