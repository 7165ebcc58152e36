#pragma once

#include "search/DocumentSearch.h"

#include <QWidget>

#include <functional>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;

// The modeless Replace window: find text, replacement, match case, whole
// word. Closing it hides it, so it keeps what was typed.
class frmReplace : public QWidget
{
    Q_OBJECT

public:
    struct Actions
    {
        // Each returns the line the window shows about what it did.
        std::function<QString(const QString &text, SearchOptions)> findNext;
        std::function<QString(const QString &text, const QString &replacement, SearchOptions)> replace;
        std::function<QString(const QString &text, const QString &replacement, SearchOptions)> replaceAll;
    };

    frmReplace(QWidget *mainWindow, Actions actions);

    // Shows the window with this text to find, when one is given.
    void showWith(const QString &text);
    // Match case and Whole word as the other searches last used them.
    void setOptions(SearchOptions options);

protected:
    void keyPressEvent(QKeyEvent *event) override;

private:
    SearchOptions options() const;
    void report(const QString &line);

    Actions m_actions;
    QLineEdit *txtFind = nullptr;
    QLineEdit *txtReplace = nullptr;
    QCheckBox *chkCase = nullptr;
    QCheckBox *chkWord = nullptr;
    QPushButton *cmdFindNext = nullptr;
    QPushButton *cmdReplace = nullptr;
    QPushButton *cmdReplaceAll = nullptr;
    QPushButton *cmdClose = nullptr;
    QLabel *lblResult = nullptr;
};
