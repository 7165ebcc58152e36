#include "gui/dialogs/frmAss.h"

#include "gui/dialogs/FileTypeChooser.h"
#include "gui/dialogs/Twips.h"
#include "gui/dialogs/WrappingButton.h"

#include <QCloseEvent>

frmAss::frmAss(Associate associate, Tell tell, QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                          | Qt::WindowCloseButtonHint),
      m_associate(std::move(associate)),
      m_tell(std::move(tell))
{
    setObjectName(QStringLiteral("frmAss"));
    setWindowTitle(QStringLiteral("Settings"));
    setFont(Twips::dialogFont());
    setFixedSize(Twips::size(1710, 1575));

    cmdAss = new WrappingButton(QStringLiteral("Associate With Files"), this);
    cmdAss->setObjectName(QStringLiteral("cmdAss"));
    cmdAss->setAutoDefault(false);
    cmdAss->setGeometry(Twips::rect(240, 180, 1245, 645));
    cmdClose = new QPushButton(QStringLiteral("Close"), this);
    cmdClose->setObjectName(QStringLiteral("cmdClose"));
    cmdClose->setAutoDefault(false);
    cmdClose->setGeometry(Twips::rect(255, 1065, 1245, 375));
    QWidget::setTabOrder(cmdAss, cmdClose);

    connect(cmdAss, &QPushButton::clicked, this, &frmAss::cmdAss_Click);
    connect(cmdClose, &QPushButton::clicked, this, &frmAss::cmdClose_Click);
}

void frmAss::cmdAss_Click()
{
    FileTypeChooser chooser(this);
    if (chooser.exec() != QDialog::Accepted)
        return;
    const Result<QString> done = m_associate(chooser.chosen());
    m_tell(done.ok(), done ? done.value() : done.error());
}

void frmAss::cmdClose_Click()
{
    hide();
}

// Closing from the frame discards the window; the next showing builds it afresh.
void frmAss::closeEvent(QCloseEvent *event)
{
    QDialog::closeEvent(event);
    if (event->isAccepted())
        deleteLater();
}
