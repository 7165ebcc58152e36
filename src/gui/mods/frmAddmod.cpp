#include "gui/mods/frmAddmod.h"

#include "gui/mods/frmBrowse.h"
#include "store/ModPrompts.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QDir>
#include <QFileInfo>
#include <QKeyEvent>
#include <QShowEvent>

namespace {

QLabel *addLabel(QWidget *parent, const char *text, const char *name, const QRect &geometry)
{
    auto *label = new QLabel(QString::fromLatin1(text), parent);
    label->setObjectName(QString::fromLatin1(name));
    label->setGeometry(geometry);
    return label;
}

QLineEdit *addField(QWidget *parent, const char *name, const QString &accessibleName, const QRect &geometry)
{
    auto *field = new QLineEdit(parent);
    field->setObjectName(QString::fromLatin1(name));
    field->setAccessibleName(accessibleName);
    field->setGeometry(geometry);
    return field;
}

} // namespace

frmAddmod::frmAddmod(mdlVars &vars, const QString &dataFolder, ModPrompts &prompts, AddedHandler added,
                     PendingAdds *pending, QWidget *parent)
    : ModDialog(parent),
      m_vars(vars),
      m_dataFolder(dataFolder),
      m_prompts(prompts),
      m_added(std::move(added)),
      m_pending(pending)
{
    setObjectName(QStringLiteral("frmAddmod"));
    setWindowTitle(QStringLiteral("Add Mod"));
    resize(twips(0, 0, 5640, 1710).size());

    lblModname = addLabel(this, "Mod Name:", "lblModname", twips(135, 225, 885, 255));
    txtModname = addField(this, "txtModname", tr("Mod name"), twips(1275, 210, 3735, 285));
    lblModdir = addLabel(this, "Mod Directory:", "lblModdir", twips(150, 705, 1065, 255));
    txtModdir = addField(this, "txtModdir", tr("Mod directory"), twips(1260, 690, 3750, 285));
    lblModname->setBuddy(txtModname);
    lblModdir->setBuddy(txtModdir);
    cmdOk = addButton("Ok", "cmdOk", twips(2790, 1125, 1215, 390));
    cmdCancel = addButton("Cancel", "cmdCancel", twips(4095, 1125, 1215, 405));
    cmdBrowse = addButton("...", "cmdBrowse", twips(5100, 705, 405, 285));
    cmdBrowse->setAccessibleName(tr("Browse for the mod directory"));

    setTabOrder(txtModname, txtModdir);
    setTabOrder(txtModdir, cmdOk);
    setTabOrder(cmdOk, cmdCancel);
    setTabOrder(cmdCancel, cmdBrowse);
    txtModname->setFocus();

    connect(cmdOk, &QPushButton::clicked, this, &frmAddmod::cmdOk_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &frmAddmod::cmdCancel_Click);
    connect(cmdBrowse, &QPushButton::clicked, this, &frmAddmod::cmdBrowse_Click);
}

// A refused add keeps the dialog open so the entry can be corrected.
void frmAddmod::cmdOk_Click()
{
    const ModStore::AddOutcome outcome =
        ModStore::AddMod(m_vars, m_dataFolder, txtModname->text(), txtModdir->text(), m_prompts, m_pending);
    if (outcome.added && m_added)
        m_added(outcome);
    if (!outcome.message.isEmpty())
        m_prompts.showError(outcome.message);
    if (outcome.added)
        hide();
}

// Shown again by the window system (un-minimized), it keeps what is typed.
void frmAddmod::showEvent(QShowEvent *event)
{
    if (!event->spontaneous()) {
        const QString folder = QDir::cleanPath(m_suggestedFolder);
        txtModname->setText(m_suggestedFolder.isEmpty() ? QString() : QFileInfo(folder).fileName());
        txtModdir->setText(m_suggestedFolder.isEmpty() ? QString() : QDir::toNativeSeparators(folder));
        txtModname->setFocus();
        txtModname->selectAll();
    }
    ModDialog::showEvent(event);
}

// Enter is Ok here, as in any dialog that asks for a few words.
void frmAddmod::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        event->accept();
        cmdOk_Click();
        return;
    }
    ModDialog::keyPressEvent(event);
}

void frmAddmod::cmdCancel_Click()
{
    hide();
}

void frmAddmod::cmdBrowse_Click()
{
    if (!m_frmBrowse)
        m_frmBrowse = new frmBrowse(txtModdir, m_prompts, this);
    m_frmBrowse->exec();
}

frmBrowse *frmAddmod::browser() const
{
    return m_frmBrowse;
}
