#include "gui/mods/frmBrowse.h"

#include "store/ModPrompts.h"

#include <QDir>
#include <QFileSystemModel>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeView>

frmBrowse::frmBrowse(QLineEdit *target, ModPrompts &prompts, QWidget *parent)
    : ModDialog(parent), m_target(target), m_prompts(prompts)
{
    setObjectName(QStringLiteral("frmBrowse"));
    setWindowTitle(QStringLiteral("Browse Folders"));
    resize(twips(0, 0, 5580, 7155).size());

    m_folders = new QFileSystemModel(this);
    m_folders->setFilter(QDir::AllDirs | QDir::Drives | QDir::NoDotAndDotDot);
    m_folders->setRootPath(QString());

    dirPath = new QTreeView(this);
    dirPath->setObjectName(QStringLiteral("dirPath"));
    dirPath->setModel(m_folders);
    for (int column = 1; column < m_folders->columnCount(); ++column)
        dirPath->hideColumn(column);
    dirPath->setHeaderHidden(true);
    dirPath->setAccessibleName(tr("Folders"));
    dirPath->setGeometry(twips(120, 960, 5295, 5490));

    txtPath = new QLineEdit(this);
    txtPath->setObjectName(QStringLiteral("txtPath"));
    txtPath->setAccessibleName(tr("Folder path"));
    txtPath->setGeometry(twips(120, 600, 5295, 285));

    cmdOk = addButton("Ok", "cmdOk", twips(2760, 6600, 1215, 375));
    cmdCancel = addButton("Cancel", "cmdCancel", twips(4080, 6600, 1215, 375));

    Label1 = new QLabel(QStringLiteral("Select Folder:"), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setGeometry(twips(120, 360, 1095, 255));
    Label1->setBuddy(txtPath);

    cmdNewfolder = addButton("Create Folder", "cmdNewfolder", twips(4200, 120, 1095, 375));
    cmdNewfolder->setToolTip(QStringLiteral("Create Folder"));

    setTabOrder(dirPath, txtPath);
    setTabOrder(txtPath, cmdOk);
    setTabOrder(cmdOk, cmdCancel);
    setTabOrder(cmdCancel, cmdNewfolder);
    dirPath->setFocus();

    connect(dirPath, &QTreeView::activated, this,
            [this](const QModelIndex &index) { setPath(m_folders->filePath(index)); });
    connect(txtPath, &QLineEdit::textChanged, this, &frmBrowse::txtPath_Change);
    connect(cmdOk, &QPushButton::clicked, this, &frmBrowse::cmdOk_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &frmBrowse::cmdCancel_Click);
    connect(cmdNewfolder, &QPushButton::clicked, this, &frmBrowse::cmdNewfolder_Click);

    // Form_Load.
    setPath(QDir::currentPath());
    txtPath->setText(m_path);
}

bool frmBrowse::setPath(const QString &path)
{
    const QFileInfo info(path);
    if (path.isEmpty() || !info.isAbsolute() || !info.isDir())
        return false;
    const QModelIndex index = m_folders->index(info.absoluteFilePath());
    if (!index.isValid())
        return false;
    const QString listed = m_folders->filePath(index);
    if (listed == m_path)
        return true;
    m_path = listed;
    dirPath->setCurrentIndex(index);
    dirPath->expand(index);
    dirPath->scrollTo(index);
    dirPath_Change();
    return true;
}

void frmBrowse::dirPath_Change()
{
    txtPath->setText(m_path);
}

// A text naming no folder is no error: the list just stays.
void frmBrowse::txtPath_Change()
{
    setPath(txtPath->text());
}

void frmBrowse::cmdOk_Click()
{
    if (m_target)
        m_target->setText(txtPath->text());
    hide();
}

void frmBrowse::cmdCancel_Click()
{
    hide();
}

void frmBrowse::cmdNewfolder_Click()
{
    const QString name = m_prompts.askText(QStringLiteral("Please Enter the name of the new directory"),
                                           QStringLiteral("New Directory"));
    if (name.isEmpty())
        return;
    if (name == u"." || name == u".." || name.contains(u'/') || name.contains(u'\\')) {
        m_prompts.showError(QStringLiteral("\"%1\" cannot be a folder name.").arg(name));
        return;
    }
    // A root already ends in a separator.
    const QString folder = m_path.endsWith(u'/') ? m_path + name : m_path + u'/' + name;
    if (QFileInfo::exists(folder)) {
        m_prompts.showError(QStringLiteral("%1 already exists.").arg(QDir::toNativeSeparators(folder)));
        return;
    }
    if (!QDir().mkdir(folder)) {
        m_prompts.showError(QStringLiteral("The folder %1 could not be created. Check that you may write to %2.")
                                .arg(QDir::toNativeSeparators(folder), QDir::toNativeSeparators(m_path)));
        return;
    }
    dirPath->expand(m_folders->index(m_path));
}
