#pragma once

#include "settings/Result.h"

#include <QDialog>

#include <functional>

class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

// The Script Wizard: builds a bind or alias line from the game's vocabulary
// and inserts it into the document. Modeless; "Close" hides it and keeps
// its choices, and so does closing it from the frame.
class frmScriptwiz : public QDialog
{
    Q_OBJECT

public:
    // insert puts the line, with its line break, at the document's caret.
    explicit frmScriptwiz(std::function<void(const QString &)> insert, QWidget *parent = nullptr);

    // The line that Insert would write, or an empty string while something is missing.
    QString line() const;

    void cmdInsert_Click();
    void cmdClose_Click();

private:
    QComboBox *addList(QWidget *container, const char *name, const QStringList &entries, const QRect &geometry,
                       const QString &accessibleName);
    QLabel *addLabel(QWidget *container, const char *name, const char *text, const QRect &geometry);
    void commandPicked(QComboBox *list);
    Result<QString> build() const;
    void updateLine();

    std::function<void(const QString &)> m_insert;
    QComboBox *m_commandList = nullptr; // the list whose entry was picked last

    QGroupBox *fraScript = nullptr;
    QRadioButton *optBind = nullptr;
    QRadioButton *optAlias = nullptr;
    QGroupBox *fraKey = nullptr;
    QComboBox *cboKey = nullptr;
    QGroupBox *fraCommands = nullptr;
    QComboBox *cboGame = nullptr;
    QLabel *Label1 = nullptr;
    QComboBox *cboMouse = nullptr;
    QLabel *Label2 = nullptr;
    QComboBox *cboAudio = nullptr;
    QLabel *Label3 = nullptr;

    QLabel *lblName = nullptr;
    QLineEdit *txtName = nullptr;
    QLabel *lblLine = nullptr;
    QLineEdit *txtLine = nullptr;
    QPushButton *cmdInsert = nullptr;
    QPushButton *cmdClose = nullptr;
};
