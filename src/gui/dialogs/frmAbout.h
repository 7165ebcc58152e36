#pragma once

#include <QDialog>

#include <functional>

class QLabel;
class QPlainTextEdit;
class QPushButton;

// The about box: name, version, acknowledgements and a link to the
// project's version page. "Ok" hides it and keeps it; closing it from the
// frame discards it.
class frmAbout : public QDialog
{
    Q_OBJECT

public:
    // version: "major.minor.revision"; openPage opens the version page and
    // reports a failure itself.
    frmAbout(const QString &version, std::function<void()> openPage, QWidget *parent = nullptr);

    void Label5_Click();
    void cmdOk_Click();

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void Form_Load(const QString &version);

    std::function<void()> m_openPage;
    QLabel *Label1 = nullptr;
    QLabel *Label4 = nullptr;
    QPlainTextEdit *txtShout = nullptr;
    QPushButton *cmdOk = nullptr;
    QLabel *Label5 = nullptr;
    QLabel *lblVersion = nullptr;
};
