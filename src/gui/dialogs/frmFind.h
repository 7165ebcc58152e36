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
    // find searches on from the caret with the phrase; mainWindow takes the
    // focus after a search started with the button.
    frmFind(QWidget *mainWindow, std::function<void(const QString &, SearchOptions)> find);

    // Match case and Whole word as the other searches last used them.
    void setOptions(SearchOptions options);

    void cmdFind_Click();
    void cmdCancel_Click();

protected:
    void keyPressEvent(QKeyEvent *event) override;

private:
    void search();

    QWidget *m_mainWindow;
    std::function<void(const QString &, SearchOptions)> m_find;

    QLabel *Label1 = nullptr;
    QLineEdit *txtSearch = nullptr;
    QPushButton *cmdFind = nullptr;
    QPushButton *cmdCancel = nullptr;
    QCheckBox *chkCase = nullptr;
    QCheckBox *chkWord = nullptr;
};
