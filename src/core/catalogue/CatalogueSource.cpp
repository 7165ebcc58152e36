#include "catalogue/CatalogueSource.h"

#include "settings/CodePage.h"
#include "settings/RecordFile.h"
#include "catalogue/Catalogue.h"
#include "catalogue/CatalogueFamily.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QSet>
#include <QStringDecoder>

#include <algorithm>
#include <array>
#include <memory>

namespace {

// The six fields in record order, as the compiler names them in messages.
const std::array<QLatin1StringView, Catalogue::Fields> Keys = {
    QLatin1StringView("name"), QLatin1StringView("family"), QLatin1StringView("range"),
    QLatin1StringView("kind"), QLatin1StringView("text"), QLatin1StringView("note"),
};

// The keys of a source block; kind and flags together make field 4.
enum Key { NameKey, FamilyKey, RangeKey, KindKey, TextKey, NoteKey, FlagsKey, VerifiedKey, PendingKey, SavedKey, KeyCount };
const std::array<QLatin1StringView, KeyCount> SourceKeys = {
    QLatin1StringView("name"), QLatin1StringView("family"), QLatin1StringView("range"),
    QLatin1StringView("kind"), QLatin1StringView("text"), QLatin1StringView("note"),
    QLatin1StringView("flags"), QLatin1StringView("verified"), QLatin1StringView("pending"),
    QLatin1StringView("saved"),
};

const QLatin1StringView Command("command");
const QLatin1StringView Variable("variable");

QString &fieldOf(CatalogueEntry &e, int f)
{
    QString *fields[Catalogue::Fields] = {&e.name, &e.field2, &e.range, &e.field4, &e.text, &e.note};
    return *fields[f];
}

const QString &fieldOf(const CatalogueEntry &e, int f)
{
    return fieldOf(const_cast<CatalogueEntry &>(e), f);
}

QString familyIds()
{
    QStringList ids;
    for (const CatalogueFamily &family : CatalogueFamilies::all())
        ids.append(family.id);
    return ids.join(QStringLiteral(", "));
}

// An entry being read, with the line of each key for messages.
struct Block
{
    CatalogueEntry entry;
    QString kind;
    QString flags;
    int firstLine = 0;
    std::array<int, KeyCount> lines{};
    CatalogueSource::Readings readings;
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
        const QStringView keyText = colon < 0 ? QStringView() : QStringView(text).left(colon);
        const int key = colon < 0 ? KeyCount
                                  : int(std::find(SourceKeys.begin(), SourceKeys.end(), keyText) - SourceKeys.begin());
        if (key == KeyCount) {
            error(number, QStringLiteral("expected \"name:\", \"family:\", \"kind:\", \"flags:\", \"range:\", "
                                         "\"text:\", \"note:\", \"verified:\", \"pending:\" or \"saved:\" followed by the value"));
            return;
        }
        if (!m_open) {
            m_open = true;
            m_block = Block();
            m_block.firstLine = number;
        }
        QString value = text.mid(colon + 1);
        if (value.startsWith(u' '))
            value.remove(0, 1);
        // Each reading of the sources adds a line of its own.
        if (key == VerifiedKey) {
            if (!value.trimmed().isEmpty())
                ++m_block.readings.verified;
            return;
        }
        int &seen = m_block.lines[key];
        if (seen) {
            error(number, QStringLiteral("%1 given twice in one entry (is a blank line missing?)").arg(keyText));
            return;
        }
        seen = number;
        if (key == PendingKey)
            m_block.readings.pending = true;
        else if (key == SavedKey)
            m_block.readings.savedCited = !value.trimmed().isEmpty();
        else if (key == KindKey)
            m_block.kind = value;
        else if (key == FlagsKey)
            m_block.flags = value;
        else
            fieldOf(m_block.entry, key) = value;
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
        checkFacts();
        for (int f = 0; f < Catalogue::Fields; ++f)
            check(f);
        const QString &name = m_block.entry.name;
        if (name.isEmpty() || name.contains(u' '))
            warn(m_block.lines[0], QStringLiteral("\"%1\" can never be looked up: a name has no spaces").arg(name));
        // The game ignores letter case, so a name differing only in it repeats one.
        else if (const auto first = m_firstPlaceOf.constFind(Catalogue::foldedName(name)); first != m_firstPlaceOf.cend())
            warn(m_block.lines[0], QStringLiteral("\"%1\" repeats the entry of %2, which is the one shown")
                                       .arg(name, first->source == m_source
                                                      ? QStringLiteral("line %1").arg(first->line)
                                                      : QStringLiteral("%1:%2").arg(first->source).arg(first->line)));
        else
            m_firstPlaceOf.insert(Catalogue::foldedName(name), {m_source, m_block.lines[0]});
        m_parsed.entries.append(m_block.entry);
        m_block.readings.place = where(m_block.lines[NameKey]).chopped(2);
        m_parsed.readings.append(m_block.readings);
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

    // Field 2 and field 4 are compiled from family, kind and flags.
    void checkFacts()
    {
        const int familyLine = m_block.lines[FamilyKey];
        if (!familyLine)
            error(m_block.firstLine, QStringLiteral("the entry has no family line"));
        else if (!CatalogueFamilies::find(m_block.entry.field2))
            error(familyLine, QStringLiteral("family \"%1\" is none of %2").arg(m_block.entry.field2, familyIds()));
        const int kindLine = m_block.lines[KindKey];
        if (!kindLine)
            error(m_block.firstLine, QStringLiteral("the entry has no kind line"));
        else if (m_block.kind != Command && m_block.kind != Variable)
            error(kindLine, QStringLiteral("kind \"%1\" is neither command nor variable").arg(m_block.kind));
        const QStringList flags = m_block.flags.split(u' ', Qt::SkipEmptyParts);
        for (qsizetype i = 0; i < flags.size(); ++i) {
            if (!Catalogue::flagWords().contains(flags[i]))
                error(m_block.lines[FlagsKey], QStringLiteral("flag \"%1\" is none of %2")
                                                   .arg(flags[i], Catalogue::flagWords().join(QStringLiteral(", "))));
            else if (flags.indexOf(flags[i]) < i)
                error(m_block.lines[FlagsKey], QStringLiteral("flag \"%1\" given twice").arg(flags[i]));
        }
        m_block.entry.field4 = Catalogue::kindField(m_block.kind == Variable, flags);
        m_block.lines[KindKey] = kindLine ? kindLine : m_block.lines[FlagsKey];
    }

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
        const CatalogueEntry &e = entries[i];
        const qsizetype space = e.field4.indexOf(u' ');
        const std::pair<QLatin1StringView, QString> lines[] = {
            {SourceKeys[NameKey], e.name},
            {SourceKeys[FamilyKey], e.field2},
            {SourceKeys[KindKey], space < 0 ? e.field4 : e.field4.left(space)},
            {SourceKeys[FlagsKey], space < 0 ? QString() : e.field4.mid(space + 1)},
            {SourceKeys[RangeKey], e.range},
            {SourceKeys[TextKey], e.text},
            {SourceKeys[NoteKey], e.note},
        };
        for (const auto &[key, value] : lines) {
            if (key != SourceKeys[NameKey] && value.isEmpty())
                continue;
            if (value.contains(u'\n') || value.contains(u'\r'))
                return Status::failure(
                    QStringLiteral("%1 of entry %2 (\"%3\") holds a line break").arg(key).arg(i + 1).arg(e.name));
            out += key + (value.isEmpty() ? QString(u':') : QStringLiteral(": ") + value) + u'\n';
        }
    }
    return out.toUtf8();
}

QStringList readingProblems(const Parsed &parsed)
{
    QStringList problems;
    for (qsizetype i = 0; i < parsed.entries.size() && i < parsed.readings.size(); ++i) {
        const Readings &r = parsed.readings[i];
        const QString &name = parsed.entries[i].name;
        if (r.verified == 0)
            problems.append(QStringLiteral("%1: \"%2\" has no verified: line").arg(r.place, name));
        else if (r.verified < 2 && !r.pending)
            problems.append(QStringLiteral("%1: \"%2\" has one verified: reading and no pending: line")
                                .arg(r.place, name));
        else if (r.verified >= 2 && r.pending)
            problems.append(QStringLiteral("%1: \"%2\" has two verified: readings; its pending: line goes")
                                .arg(r.place, name));
    }
    return problems;
}

qsizetype awaitingSecondReading(const Parsed &parsed)
{
    return std::count_if(parsed.readings.begin(), parsed.readings.end(),
                         [](const Readings &r) { return r.verified < 2; });
}

namespace {

// Lines of a text, without their line ends.
QList<QByteArrayView> linesOf(QByteArrayView text)
{
    QList<QByteArrayView> lines;
    while (!text.isEmpty()) {
        const qsizetype end = text.indexOf('\n');
        QByteArrayView line = end < 0 ? text : text.first(end);
        text = end < 0 ? QByteArrayView() : text.sliced(end + 1);
        if (line.endsWith('\r'))
            line.chop(1);
        lines.append(line);
    }
    return lines;
}

// `name "value"` as Cvar_WriteVariables prints it: a name without spaces
// or quotes, one space, the value in quotes.
bool variableLine(QByteArrayView line, QByteArrayView &name, QByteArrayView &value)
{
    const qsizetype space = line.indexOf(' ');
    if (space <= 0 || line.size() < space + 3 || line[space + 1] != '"' || !line.endsWith('"'))
        return false;
    name = line.first(space);
    value = line.sliced(space + 2).chopped(1);
    return !name.contains('"') && !value.contains('"');
}

// As Q_stricmp compares names (rehlds engine/cvar.cpp Cvar_FindVar): ASCII letters folded to lower case.
QByteArray folded(QByteArrayView name)
{
    QByteArray out = name.toByteArray();
    for (char &c : out)
        if (c >= 'A' && c <= 'Z')
            c = char(c - 'A' + 'a');
    return out;
}

} // namespace

const SavedVariable *SavedTable::find(const QString &name) const
{
    const auto it = byLowerName.constFind(QString::fromLatin1(folded(name.toLatin1())));
    return it == byLowerName.cend() ? nullptr : &*it;
}

Result<SavedTable> parseSaved(const QByteArray &text, const QString &sourceName)
{
    SavedTable table;
    QHash<QString, QHash<QString, int>> counts;
    QSet<QString> inThisFile;
    int number = 0;
    for (const QByteArrayView line : linesOf(text)) {
        ++number;
        if (line.trimmed().isEmpty() || line.startsWith('#'))
            continue;
        if (line.startsWith('[') && line.endsWith(']')) {
            table.sources.append(QString::fromUtf8(line.sliced(1).chopped(1)));
            inThisFile.clear();
            continue;
        }
        QByteArrayView name, value;
        if (table.sources.isEmpty() || !variableLine(line, name, value))
            return Status::failure(QStringLiteral("%1:%2: expected \"[source]\" or a variable line, name \"value\"")
                                       .arg(sourceName)
                                       .arg(number));
        const QString key = QString::fromLatin1(folded(name));
        SavedVariable &v = table.byLowerName[key];
        if (v.name.isEmpty())
            v.name = QString::fromLatin1(name);
        if (!inThisFile.contains(key)) {
            inThisFile.insert(key);
            ++v.files;
        }
        ++counts[key][QString::fromLatin1(value)];
    }
    for (auto it = table.byLowerName.begin(); it != table.byLowerName.end(); ++it) {
        const QHash<QString, int> &seen = counts[it.key()];
        QStringList values = seen.keys();
        std::sort(values.begin(), values.end(), [&seen](const QString &a, const QString &b) {
            return seen[a] != seen[b] ? seen[a] > seen[b] : a < b;
        });
        it->values = values;
    }
    return table;
}

Result<QByteArray> savedLinesOf(const QByteArray &configCfg, const QString &sourceName)
{
    static const QByteArrayView header("// This file is overwritten whenever you change your user settings in the game.");
    // What Host_WriteConfiguration writes besides the variables; the
    // anniversary update adds its controller file.
    static const QByteArrayView fixed[] = {"unbindall", "+mlook", "+jlook", "exec userconfig.cfg",
                                           "exec controller.cfg"};
    const QList<QByteArrayView> lines = linesOf(configCfg);
    if (lines.isEmpty() || lines.first() != header)
        return Status::failure(QStringLiteral("%1: not written by the game: it does not start with its header")
                                   .arg(sourceName));
    QByteArray out;
    QByteArray previous;
    for (qsizetype i = 1; i < lines.size(); ++i) {
        const QByteArrayView line = lines[i];
        QByteArrayView name, value;
        if (line.isEmpty() || line.startsWith("//") || std::find(std::begin(fixed), std::end(fixed), line) != std::end(fixed)
            || line.startsWith("bind \"") || line.startsWith("setinfo \""))
            continue;
        const auto refuse = [&](const QString &why) {
            return Status::failure(QStringLiteral("%1:%2: not as the game writes it: %3").arg(sourceName).arg(i + 1).arg(why));
        };
        if (!variableLine(line, name, value))
            return refuse(QStringLiteral("the game writes no such line"));
        // Cvar_RegisterVariable keeps the list in Q_stricmp order.
        const QByteArray key = folded(name);
        if (!previous.isEmpty() && key < previous)
            return refuse(QStringLiteral("%1 is out of the game's order").arg(QString::fromLatin1(name)));
        previous = key;
        out += line.toByteArray() + '\n';
    }
    return out;
}

QStringList savedFlagProblems(const Parsed &parsed, const SavedTable &saved)
{
    QStringList problems;
    for (qsizetype i = 0; i < parsed.entries.size() && i < parsed.readings.size(); ++i) {
        const CatalogueEntry &e = parsed.entries[i];
        const Readings &r = parsed.readings[i];
        const QStringList words = e.field4.split(u' ', Qt::SkipEmptyParts);
        const bool variable = words.value(0) == Variable;
        const bool archived = words.contains(QLatin1String("archived"));
        const SavedVariable *shown = saved.find(e.name);
        if (shown && !variable)
            problems.append(QStringLiteral("%1: \"%2\" is a variable the game saves (%3 of %4 of its config.cfg "
                                           "files), not a command")
                                .arg(r.place, e.name).arg(shown->files).arg(saved.sources.size()));
        else if (shown && !archived)
            problems.append(QStringLiteral("%1: \"%2\" is saved by the game (%3 of %4 of its config.cfg files) "
                                           "but not flagged archived")
                                .arg(r.place, e.name).arg(shown->files).arg(saved.sources.size()));
        else if (!shown && archived && !r.savedCited)
            problems.append(QStringLiteral("%1: \"%2\" is flagged archived, but none of the game's config.cfg "
                                           "files holds it and no saved: line cites the game's code")
                                .arg(r.place, e.name));
        else if (r.savedCited && !archived)
            problems.append(QStringLiteral("%1: \"%2\" has a saved: line but no archived flag").arg(r.place, e.name));
    }
    return problems;
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
