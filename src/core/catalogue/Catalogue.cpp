#include "catalogue/Catalogue.h"

#include "settings/RecordFile.h"

#include <QFileInfo>

QString Catalogue::path(const QString &programFolder)
{
    return programFolder + QStringLiteral("/commands.dat");
}

std::array<QString, Catalogue::Entries + 1> &Catalogue::field(int f)
{
    std::array<QString, Entries + 1> *fields[Fields] = {
        &strCmdName, &strCmdField2, &strCmdRange, &strCmdField4, &strCmdText, &strCmdNote,
    };
    return *fields[f];
}

const std::array<QString, Catalogue::Entries + 1> &Catalogue::field(int f) const
{
    return const_cast<Catalogue *>(this)->field(f);
}

int Catalogue::find(const QString &name) const
{
    return m_index.value(name, 0);
}

void Catalogue::reindex()
{
    m_index.clear();
    // Walking down lets the lowest-numbered of equal names win.
    for (int k = Entries; k >= 1; --k) {
        if (!strCmdName[k].isEmpty())
            m_index.insert(strCmdName[k], k);
    }
}

QString Catalogue::explanation(int k) const
{
    return strCmdText[k] + QStringLiteral(" (Range: ") + strCmdRange[k] + QStringLiteral(") (") + strCmdNote[k]
           + QLatin1Char(')');
}

Status LoadCatalogue(Catalogue &catalogue, const QString &programFolder)
{
    const QString path = Catalogue::path(programFolder);
    const bool existed = QFileInfo::exists(path);
    RecordFile file;
    const Status opened = file.open(path);
    for (int f = 0; f < Catalogue::Fields; ++f) {
        auto &values = catalogue.field(f);
        for (int k = 1; k <= Catalogue::Entries; ++k)
            values[k] = file.read(Catalogue::record(f, k));
    }
    catalogue.reindex();
    // A missing catalogue that cannot be created only leaves the hint line bare.
    return existed ? opened : Status::success();
}
