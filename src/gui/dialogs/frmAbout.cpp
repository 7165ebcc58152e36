#include "gui/dialogs/frmAbout.h"

#include "desktop/AboutTexts.h"
#include "gui/dialogs/Twips.h"
#include "desktop/VersionPage.h"

#include <QCloseEvent>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>

frmAbout::frmAbout(const QString &version, std::function<void()> openPage, QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                          | Qt::WindowCloseButtonHint),
      m_openPage(std::move(openPage))
{
    setObjectName(QStringLiteral("frmAbout"));
    setWindowTitle(QStringLiteral("About Tessary"));
    setFont(Twips::dialogFont());
    setFixedSize(Twips::size(6375, 3975));

    Label1 = new QLabel(QStringLiteral("Tessary"), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setFont(Twips::dialogFont(24));
    Label1->setGeometry(Twips::rect(165, 180, 4890, 615));

    Label4 = new QLabel(QStringLiteral("Shoutouts:"), this);
    Label4->setObjectName(QStringLiteral("Label4"));
    Label4->setGeometry(Twips::rect(165, 1605, 885, 240));

    txtShout = new QPlainTextEdit(this);
    txtShout->setObjectName(QStringLiteral("txtShout"));
    txtShout->setReadOnly(true);
    txtShout->setBackgroundRole(QPalette::Button);
    QPalette buttonFace = txtShout->palette();
    buttonFace.setColor(QPalette::Base, buttonFace.color(QPalette::Button));
    txtShout->setPalette(buttonFace);
    txtShout->setAccessibleName(QStringLiteral("Shoutouts"));
    txtShout->setGeometry(Twips::rect(165, 1875, 6030, 1410));
    Label4->setBuddy(txtShout);

    cmdOk = new QPushButton(QStringLiteral("Ok"), this);
    cmdOk->setObjectName(QStringLiteral("cmdOk"));
    cmdOk->setAutoDefault(false);
    cmdOk->setGeometry(Twips::rect(4980, 3420, 1140, 375));

    Label5 = new QLabel(this);
    Label5->setObjectName(QStringLiteral("Label5"));
    QFont linkFont = Twips::dialogFont();
    linkFont.setUnderline(true);
    Label5->setFont(linkFont);
    const QString address = VersionPage::siteAddress();
    Label5->setText(QStringLiteral("<a href=\"%1\" style=\"color:#0000ff;\">%1</a>").arg(address.toHtmlEscaped()));
    Label5->setTextFormat(Qt::RichText);
    Label5->setTextInteractionFlags(Qt::LinksAccessibleByMouse | Qt::LinksAccessibleByKeyboard);
    Label5->setOpenExternalLinks(false);
    Label5->setAccessibleName(QStringLiteral("Tessary's web page"));
    Label5->setGeometry(Twips::rect(285, 3600, 2130, 270));

    lblVersion = new QLabel(this);
    lblVersion->setObjectName(QStringLiteral("lblVersion"));
    lblVersion->setFont(Twips::dialogFont(13.5));
    lblVersion->setGeometry(Twips::rect(4980, 375, 1020, 375));

    QWidget::setTabOrder(txtShout, cmdOk);
    QWidget::setTabOrder(cmdOk, Label5);

    connect(cmdOk, &QPushButton::clicked, this, &frmAbout::cmdOk_Click);
    connect(Label5, &QLabel::linkActivated, this, &frmAbout::Label5_Click);
    Form_Load(version);
}

void frmAbout::Form_Load(const QString &version)
{
    txtShout->setPlainText(AboutTexts::shoutouts());
    lblVersion->setText(AboutTexts::versionText(version));
}

void frmAbout::Label5_Click()
{
    if (m_openPage)
        m_openPage();
}

void frmAbout::cmdOk_Click()
{
    hide();
}

// Closing from the frame discards the box; the next "About" builds it afresh.
void frmAbout::closeEvent(QCloseEvent *event)
{
    QDialog::closeEvent(event);
    if (event->isAccepted())
        deleteLater();
}
