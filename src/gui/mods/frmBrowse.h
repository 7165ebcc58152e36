#pragma once

#include "gui/mods/ModDialog.h"

#include <QPointer>

class ModPrompts;
class QFileSystemModel;
class QLabel;
class QLineEdit;
class QPushButton;
class QTreeView;

// Picks a mod's folder: a folder list and a path field kept in step. "Ok"
// writes the field's text, as typed, into the target field.
class frmBrowse : public ModDialog
{
    Q_OBJECT

public:
    // Starts at the process's working folder.
    frmBrowse(QLineEdit *target, ModPrompts &prompts, QWidget *parent = nullptr);

    // The folder list's current folder.
    QString path() const { return m_path; }
    // Moves the list to an existing folder given by an absolute path; false,
    // and nothing changes, otherwise.
    bool setPath(const QString &path);

    void dirPath_Change();
    void txtPath_Change();
    void cmdOk_Click();
    void cmdCancel_Click();
    void cmdNewfolder_Click();

private:
    QPointer<QLineEdit> m_target;
    ModPrompts &m_prompts;
    QString m_path;
    QFileSystemModel *m_folders = nullptr;

    QTreeView *dirPath = nullptr;
    QLineEdit *txtPath = nullptr;
    QPushButton *cmdOk = nullptr;
    QPushButton *cmdCancel = nullptr;
    QLabel *Label1 = nullptr;
    QPushButton *cmdNewfolder = nullptr;
};
