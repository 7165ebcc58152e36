#include "editor/Catalogue.h"

#include "app/RecordFile.h"

#include <QFileInfo>

QString Catalogue::path(const QString &programFolder)
{
    return programFolder + QStringLiteral("/commands.dat");
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
    std::array<QString, Catalogue::Entries + 1> *fields[Catalogue::Fields] = {
        &catalogue.strCmdName, &catalogue.strCmdField2, &catalogue.strCmdRange,
        &catalogue.strCmdField4, &catalogue.strCmdText, &catalogue.strCmdNote,
    };
    for (int field = 0; field < Catalogue::Fields; ++field) {
        for (int k = 1; k <= Catalogue::Entries; ++k)
            (*fields[field])[k] = file.read(field * Catalogue::Entries + k);
    }
    catalogue.reindex();
    // A missing catalogue that cannot be created only leaves the hint line bare.
    return existed ? opened : Status::success();
}
