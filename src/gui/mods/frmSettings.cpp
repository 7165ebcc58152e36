#include "gui/mods/frmSettings.h"

#include "settings/mdlVars.h"
#include "gui/mods/frmAddmod.h"
#include "store/ModPrompts.h"
#include "store/StoreCommands.h"
#include "backups/Versions.h"

#include <QDir>
#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QPainter>
#include <QPushButton>
#include <QSignalBlocker>

#include <algorithm>

namespace {

inline constexpr char RestoreNote[] = "Note: A restore keeps the file now in your mod folder as the newest "
                                      "version. To undo it, restore that version.";

// A frame whose border runs through its caption, so the places of the
// controls inside it leave room for the caption as they expect.
class CaptionFrame : public QGroupBox
{
public:
    using QGroupBox::QGroupBox;

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(this);
        const QFontMetrics metrics(font());
        const int middle = metrics.height() / 2;
        painter.setPen(palette().color(QPalette::Mid));
        painter.drawRect(QRect(0, middle, width() - 1, height() - middle - 1));
        const QRect caption(7, 0, metrics.horizontalAdvance(title()) + 4, metrics.height());
        painter.fillRect(caption, palette().color(QPalette::Window));
        painter.setPen(palette().color(QPalette::WindowText));
        painter.drawText(caption, Qt::AlignCenter, title());
    }
};

QGroupBox *addFrame(QWidget *parent, const char *title, const char *name, const QRect &geometry)
{
    auto *frame = new CaptionFrame(QString::fromLatin1(title), parent);
    frame->setObjectName(QString::fromLatin1(name));
    frame->setGeometry(geometry);
    return frame;
}

QListWidget *addList(QWidget *parent, const char *name, const QString &accessibleName, const QRect &geometry)
{
    auto *list = new QListWidget(parent);
    list->setObjectName(QString::fromLatin1(name));
    list->setAccessibleName(accessibleName);
    list->setGeometry(geometry);
    return list;
}

} // namespace

frmSettings::frmSettings(mdlVars &vars, const QString &dataFolder, ModPrompts &prompts,
                         std::function<Status()> save, QWidget *parent)
    : ModDialog(parent),
      m_vars(vars),
      m_dataFolder(dataFolder),
      m_prompts(prompts),
      m_save(std::move(save)),
      m_pending(dataFolder)
{
    setObjectName(QStringLiteral("frmSettings"));
    setWindowTitle(QStringLiteral("Settings"));
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                   | Qt::WindowCloseButtonHint);
    setFixedSize(twips(0, 0, 7080, 6150).size());

    cmdOk = addButton("Ok", "cmdOk", twips(4230, 5625, 1215, 375));
    fraMods = addFrame(this, "Mods", "fraMods", twips(105, 150, 3270, 5040));
    lstMods = addList(fraMods, "lstMods", tr("Mods"), twips(135, 255, 2955, 4155));
    fraFiles = addFrame(this, "Files", "fraFiles", twips(3510, 135, 3390, 5055));
    // The files above, the dated versions of the selected one below.
    lstFiles = addList(fraFiles, "lstFiles", tr("Backed-up files"), twips(195, 240, 2955, 2475));
    lblVersions = new QLabel(QStringLiteral("Versions (newest first):"), fraFiles);
    lblVersions->setObjectName(QStringLiteral("lblVersions"));
    lblVersions->setGeometry(twips(195, 2760, 2955, 255));
    lstVersions = addList(fraFiles, "lstVersions", tr("Backup versions of the selected file"),
                          twips(195, 3030, 2955, 1380));
    lblVersions->setBuddy(lstVersions);
    cmdAddmod = addButton("Add", "cmdAddmod", twips(195, 4515, 495, 345), fraMods);
    cmdDelmod = addButton("Del", "cmdDelmod", twips(765, 4515, 495, 345), fraMods);
    cmdCancel = addButton("Cancel", "cmdCancel", twips(5505, 5625, 1215, 375));
    cmdRestore = addButton("Restore Backup", "cmdRestore", twips(285, 4530, 1425, 330), fraFiles);
    cmdBackup = addButton("Back Up", "cmdBackup", twips(1335, 4515, 855, 345), fraMods);
    Label1 = new QLabel(QString::fromLatin1(RestoreNote), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setWordWrap(true);
    Label1->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    Label1->setGeometry(twips(105, 5295, 3450, 675));

    setTabOrder(cmdOk, lstMods);
    setTabOrder(lstMods, lstFiles);
    setTabOrder(lstFiles, lstVersions);
    setTabOrder(lstVersions, cmdAddmod);
    setTabOrder(cmdAddmod, cmdDelmod);
    setTabOrder(cmdDelmod, cmdBackup);
    setTabOrder(cmdBackup, cmdCancel);
    setTabOrder(cmdCancel, cmdRestore);
    cmdOk->setFocus();

    connect(lstMods, &QListWidget::currentRowChanged, this, &frmSettings::lstMods_Click);
    connect(cmdAddmod, &QPushButton::clicked, this, &frmSettings::cmdAddmod_Click);
    connect(cmdDelmod, &QPushButton::clicked, this, &frmSettings::cmdDelmod_Click);
    connect(cmdRestore, &QPushButton::clicked, this, &frmSettings::cmdRestore_Click);
    connect(cmdBackup, &QPushButton::clicked, this, &frmSettings::cmdBackup_Click);
    connect(lstFiles, &QListWidget::currentRowChanged, this, &frmSettings::lstFiles_Click);
    connect(cmdOk, &QPushButton::clicked, this, &frmSettings::cmdOk_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &frmSettings::cmdCancel_Click);

    Form_Load();
}

void frmSettings::Form_Load()
{
    m_modSlots = ModStore::listedMods(m_vars);
    for (int slot : m_modSlots)
        lstMods->addItem(m_vars.strModName[slot]);
}

// A save or another editor may have moved mods to other slots; the same
// mod and file stay selected.
void frmSettings::refill()
{
    const int oldSlot = m_modSlots.value(lstMods->currentRow(), -1);
    const QString name = oldSlot >= 0 ? lstMods->currentItem()->text() : QString();
    const QString file = selectedFile();
    const int version = lstVersions->currentRow();
    const QSignalBlocker quiet(lstMods);
    lstMods->clear();
    lstFiles->clear();
    lstVersions->clear();
    m_filesSlot = -1;
    Form_Load();
    int row = m_modSlots.indexOf(oldSlot);
    if (row < 0 || m_vars.strModName[oldSlot] != name)
        row = int(std::find_if(m_modSlots.begin(), m_modSlots.end(),
                               [&](int slot) { return m_vars.strModName[slot] == name; })
                  - m_modSlots.begin());
    if (oldSlot < 0 || row >= m_modSlots.size())
        return;
    lstMods->setCurrentRow(row);
    lstMods_Click();
    for (int i = 0; i < lstFiles->count(); ++i) {
        if (lstFiles->item(i)->data(Qt::UserRole).toString() == file) {
            lstFiles->setCurrentRow(i);
            break;
        }
    }
    if (version >= 0 && version < lstVersions->count())
        lstVersions->setCurrentRow(version);
}

void frmSettings::lstMods_Click()
{
    const QSignalBlocker quiet(lstFiles);
    lstFiles->clear();
    lstVersions->clear();
    m_filesSlot = m_modSlots.value(lstMods->currentRow(), -1);
    for (int entry : ModStore::backupsOf(m_vars, m_filesSlot)) {
        const QString &file = m_vars.strBackupFile[entry];
        const QString date = StoreCommands::copyDate(m_dataFolder, m_vars.strModName[m_filesSlot], file);
        const QString shown = QDir::toNativeSeparators(file);
        auto *item = new QListWidgetItem(date.isEmpty() ? QStringLiteral("%1   (no copy)").arg(shown)
                                                        : QStringLiteral("%1   %2").arg(shown, date),
                                         lstFiles);
        item->setData(Qt::UserRole, file);
    }
}

// The newest version is selected, so Restore takes it unless another is chosen.
void frmSettings::lstFiles_Click()
{
    lstVersions->clear();
    const QString file = selectedFile();
    if (file.isEmpty() || m_filesSlot < 0)
        return;
    const QList<Versions::Version> versions = Versions::of(m_dataFolder, m_vars.strModName[m_filesSlot], file);
    for (qsizetype i = 0; i < versions.size(); ++i)
        lstVersions->addItem(i == 0 ? QStringLiteral("%1   (newest)").arg(Versions::shownDate(versions[i].when))
                                    : Versions::shownDate(versions[i].when));
    lstVersions->setCurrentRow(0);
}

QString frmSettings::selectedFile() const
{
    const QListWidgetItem *item = lstFiles->currentItem();
    return item ? item->data(Qt::UserRole).toString() : QString();
}

void frmSettings::cmdAddmod_Click()
{
    if (!m_frmAddmod)
        m_frmAddmod = new frmAddmod(
            m_vars, m_dataFolder, m_prompts, [this](const ModStore::AddOutcome &added) { modAdded(added); },
            &m_pending, this);
    m_frmAddmod->setSuggestedFolder(m_suggestedFolder);
    m_frmAddmod->exec();
}

// The new mod is selected, so the files listed and the mod a restore works
// on are always the same one.
void frmSettings::modAdded(const ModStore::AddOutcome &outcome)
{
    m_modSlots << outcome.modSlot;
    lstMods->addItem(m_vars.strModName[outcome.modSlot]);
    lstMods->setCurrentRow(lstMods->count() - 1);
}

void frmSettings::cmdRestore_Click()
{
    const StoreCommands::Restored restored = StoreCommands::restore(
        m_vars, m_dataFolder, m_filesSlot, selectedFile(), qMax(0, lstVersions->currentRow()), m_prompts);
    lstVersions->setCurrentRow(-1);
    refill(); // the versions and their dates changed
    if (!restored.modFile.isEmpty() && m_restored)
        m_restored(restored.modFile, restored.when);
}

void frmSettings::cmdBackup_Click()
{
    const int slot = m_modSlots.value(lstMods->currentRow(), -1);
    StoreCommands::backup(m_vars, m_dataFolder, slot, m_prompts);
    refill(); // new files and versions
}

// Saving writes the pending adds too, so they are no longer Cancel's to take back.
void frmSettings::cmdDelmod_Click()
{
    const int slot = m_modSlots.value(lstMods->currentRow(), -1);
    const bool removed = StoreCommands::remove(m_vars, m_dataFolder, slot, m_prompts, [this] {
        const Status saved = m_save();
        if (saved)
            m_pending.commit();
        return saved;
    });
    if (removed)
        refill();
}

void frmSettings::cmdOk_Click()
{
    // Unsaved adds stay noted; a later save, or the next start, settles them.
    if (const Status saved = m_save(); !saved)
        m_prompts.showError(QStringLiteral("The mod list was not saved.\n\n%1").arg(saved.error()));
    else
        m_pending.commit();
    refill();
    hide();
}

// Mods added since "Ok" are taken back with the copies they made.
void frmSettings::cmdCancel_Click()
{
    if (!m_pending.isEmpty()) {
        m_pending.rollBack(m_vars);
        refill();
    }
    hide();
}

void frmSettings::saved()
{
    m_pending.commit();
}

void frmSettings::closeEvent(QCloseEvent *event)
{
    if (!m_pending.isEmpty())
        m_pending.rollBack(m_vars);
    ModDialog::closeEvent(event);
}

frmAddmod *frmSettings::addDialog() const
{
    return m_frmAddmod;
}
