#pragma once

#include "desktop/FileTypes.h"
#include "settings/Result.h"

#include <QDialog>

#include <functional>

class QPushButton;

// Makes Tessary the user's default application for the file types the user
// ticks.
// "Close" hides the window and keeps it.
class frmAss : public QDialog
{
    Q_OBJECT

public:
    // associate does the work for the types the user chose and returns one
    // line for the user; tell shows it.
    using Associate = std::function<Result<QString>(const QList<FileTypes::FileType> &)>;
    using Tell = std::function<void(bool ok, const QString &line)>;
    frmAss(Associate associate, Tell tell, QWidget *parent = nullptr);

    void cmdAss_Click();
    void cmdClose_Click();

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    Associate m_associate;
    Tell m_tell;
    QPushButton *cmdAss = nullptr;
    QPushButton *cmdClose = nullptr;
};
