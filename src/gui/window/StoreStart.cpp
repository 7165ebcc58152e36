#include "gui/window/StoreStart.h"

#include "backups/Restore.h"
#include "documents/Prompts.h"
#include "documents/Texts.h"
#include "settings/Settings.h"
#include "settings/mdlVars.h"
#include "store/DataImport.h"
#include "store/PendingAdds.h"

namespace {

// Mods of a program folder the user cannot write are copied over once, if wanted.
void offerImport(const QString &programFolder, const QString &dataFolder, Prompts &prompts)
{
    const QStringList mods = DataImport::modsToOffer(programFolder, dataFolder);
    if (mods.isEmpty())
        return;
    if (!prompts.askYesNo(Texts::importOffer(programFolder, dataFolder, mods)))
        prompts.inform(Texts::modsLiveIn(dataFolder));
    else if (const Status copied = DataImport::copyInto(programFolder, dataFolder); !copied)
        prompts.showError(Texts::importFailed(copied.error()));
}

} // namespace

bool openStore(mdlVars &vars, const QString &programFolder, const QString &dataFolder, Prompts &prompts,
               const std::function<void(const QString &)> &warnUnsaved)
{
    offerImport(programFolder, dataFolder, prompts);
    if (const Status loaded = LoadSettings(vars, dataFolder); !loaded) {
        warnUnsaved(loaded.error());
        return false;
    }
    if (const Status writable = CheckSettingsWritable(dataFolder); !writable)
        warnUnsaved(writable.error());
    if (const Status s = Restore::RecoverInterrupted(dataFolder, vars); !s)
        prompts.showError(s.error());
    if (const Status s = PendingAdds::recoverAbandoned(dataFolder, vars); !s)
        prompts.showError(s.error());
    return true;
}
