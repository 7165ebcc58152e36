#pragma once

#include <QWidget>

#include <functional>

class QLabel;
class QLineEdit;
class QPushButton;

// The modeless find dialog. Its buttons only hide it, so it keeps its
// phrase; closing it from its frame destroys it.
class frmFind : public QWidget
{
    Q_OBJECT

public:
    // find runs the document search with the phrase; mainWindow takes the
    // focus after each search.
    frmFind(QWidget *mainWindow, std::function<void(const QString &)> find);

    void cmdFind_Click();
    void cmdCancel_Click();

private:
    QWidget *m_mainWindow;
    std::function<void(const QString &)> m_find;

    QLabel *Label1 = nullptr;
    QLineEdit *txtSearch = nullptr;
    QPushButton *cmdFind = nullptr;
    QPushButton *cmdCancel = nullptr;
};
