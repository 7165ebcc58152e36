#pragma once

#include "search/DocumentSearch.h"

#include <QWidget>

#include <functional>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;

// The modeless find dialog. Its buttons only hide it, so it keeps its
// phrase; closing it from its frame destroys it. Enter is Find, Esc Cancel.
class frmFind : public QWidget
{
    Q_OBJECT

public:
    struct Actions
    {
        // Searches on from the caret with the phrase; says which match of how
        // many is selected ("3 of 12"), or nothing.
        std::function<QString(const QString &, SearchOptions)> find;
        // The dialog is hidden: what it marked in the document goes.
        std::function<void()> hidden = {};
        // Where the dialog stays clear of, on the screen: the document's view
        // it is placed over, and the match in it.
        std::function<QRect()> view = {};
        std::function<QRect()> match = {};
    };

    // mainWindow takes the focus after a search started with the button.
    frmFind(QWidget *mainWindow, Actions actions);

    // Over the document's view, in a corner that leaves the match in sight;
    // so neither the menu nor the hint line is covered.
    void placeClear();

    // Match case and Whole word as the other searches last used them.
    void setOptions(SearchOptions options);

    void cmdFind_Click();
    void cmdCancel_Click();

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void hideEvent(QHideEvent *event) override;

private:
    void search();

    QWidget *m_mainWindow;
    Actions m_actions;
    bool m_placed = false;
    bool m_researching = false;

    QLabel *Label1 = nullptr;
    QLineEdit *txtSearch = nullptr;
    QPushButton *cmdFind = nullptr;
    QPushButton *cmdCancel = nullptr;
    QCheckBox *chkCase = nullptr;
    QCheckBox *chkWord = nullptr;
    QLabel *lblCount = nullptr;
};
