#include "gui/dialogs/frmScriptwiz.h"

#include "desktop/ScriptLine.h"
#include "desktop/ScriptWizardLists.h"
#include "gui/dialogs/Twips.h"

#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

frmScriptwiz::frmScriptwiz(std::function<void(const QString &)> insert, QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                          | Qt::WindowCloseButtonHint),
      m_insert(std::move(insert))
{
    setObjectName(QStringLiteral("frmScriptwiz"));
    setWindowTitle(QStringLiteral("Script Wizard"));
    setFont(Twips::dialogFont());
    setFixedSize(Twips::size(7815, 4860));

    fraScript = new QGroupBox(QStringLiteral("Script Type"), this);
    fraScript->setObjectName(QStringLiteral("fraScript"));
    fraScript->setGeometry(Twips::rect(135, 135, 1185, 900));
    optBind = new QRadioButton(QStringLiteral("Bind"), fraScript);
    optBind->setObjectName(QStringLiteral("optBind"));
    optBind->setGeometry(Twips::rect(195, 270, 705, 285));
    optBind->setChecked(true);
    optAlias = new QRadioButton(QStringLiteral("Alias"), fraScript);
    optAlias->setObjectName(QStringLiteral("optAlias"));
    optAlias->setGeometry(Twips::rect(195, 525, 675, 285));

    fraKey = new QGroupBox(QStringLiteral("Key"), this);
    fraKey->setObjectName(QStringLiteral("fraKey"));
    fraKey->setGeometry(Twips::rect(1395, 135, 2415, 900));
    cboKey = addList(fraKey, "cboKey", ScriptWizardLists::keys(), Twips::rect(150, 315, 2010, 315), QStringLiteral("Key"));

    fraCommands = new QGroupBox(QStringLiteral("Commands"), this);
    fraCommands->setObjectName(QStringLiteral("fraCommands"));
    fraCommands->setGeometry(Twips::rect(135, 1095, 3675, 2985));
    // Belongs to the form, drawn over the frame's first row.
    cboGame = addList(this, "cboGame", ScriptWizardLists::gameCommands(), Twips::rect(1470, 1425, 2070, 315),
                      QStringLiteral("Game Controls"));
    Label1 = addLabel(fraCommands, "Label1", "Game Controls:", Twips::rect(135, 360, 1155, 270));
    cboMouse = addList(fraCommands, "cboMouse", ScriptWizardLists::mouseSettings(), Twips::rect(1350, 780, 2070, 315),
                       QStringLiteral("Mouse Settings"));
    Label2 = addLabel(fraCommands, "Label2", "Mouse Settings:", Twips::rect(150, 795, 1155, 270));
    cboAudio = addList(fraCommands, "cboAudio", ScriptWizardLists::mouseSettings(), Twips::rect(1350, 1215, 2070, 315),
                       QStringLiteral("Audio Settings"));
    Label3 = addLabel(fraCommands, "Label3", "Audio Settings:", Twips::rect(150, 1230, 1155, 270));
    cboGame->raise();

    // The free space on the right: the alias name, the line and the buttons.
    lblName = addLabel(this, "lblName", "Alias Name:", Twips::rect(3990, 210, 3600, 270));
    txtName = new QLineEdit(this);
    txtName->setObjectName(QStringLiteral("txtName"));
    txtName->setGeometry(Twips::rect(3990, 480, 3600, 315));
    lblName->setBuddy(txtName);
    lblLine = addLabel(this, "lblLine", "Line to insert:", Twips::rect(3990, 1185, 3600, 270));
    txtLine = new QLineEdit(this);
    txtLine->setObjectName(QStringLiteral("txtLine"));
    txtLine->setReadOnly(true);
    txtLine->setGeometry(Twips::rect(3990, 1455, 3600, 315));
    lblLine->setBuddy(txtLine);
    cmdInsert = new QPushButton(QStringLiteral("Insert"), this);
    cmdInsert->setObjectName(QStringLiteral("cmdInsert"));
    cmdInsert->setAutoDefault(false);
    cmdInsert->setGeometry(Twips::rect(5190, 4320, 1140, 375));
    cmdClose = new QPushButton(QStringLiteral("Close"), this);
    cmdClose->setObjectName(QStringLiteral("cmdClose"));
    cmdClose->setAutoDefault(false);
    cmdClose->setGeometry(Twips::rect(6450, 4320, 1140, 375));

    const QList<QWidget *> order = {optBind, optAlias, cboKey, cboGame, cboMouse, cboAudio,
                                    txtName, txtLine,  cmdInsert, cmdClose};
    for (qsizetype i = 0; i + 1 < order.size(); ++i)
        QWidget::setTabOrder(order[i], order[i + 1]);

    connect(optBind, &QRadioButton::toggled, this, &frmScriptwiz::updateLine);
    connect(cboKey, &QComboBox::currentIndexChanged, this, &frmScriptwiz::updateLine);
    for (QComboBox *list : {cboGame, cboMouse, cboAudio})
        connect(list, &QComboBox::activated, this, [this, list] { commandPicked(list); });
    connect(txtName, &QLineEdit::textChanged, this, &frmScriptwiz::updateLine);
    connect(cmdInsert, &QPushButton::clicked, this, &frmScriptwiz::cmdInsert_Click);
    connect(cmdClose, &QPushButton::clicked, this, &frmScriptwiz::cmdClose_Click);
    updateLine();
}

QComboBox *frmScriptwiz::addList(QWidget *container, const char *name, const QStringList &entries,
                                 const QRect &geometry, const QString &accessibleName)
{
    auto *list = new QComboBox(container);
    list->setObjectName(QString::fromLatin1(name));
    list->addItems(entries);
    list->setCurrentIndex(-1);
    list->setMaxVisibleItems(20);
    list->setAccessibleName(accessibleName);
    list->setGeometry(geometry);
    return list;
}

QLabel *frmScriptwiz::addLabel(QWidget *container, const char *name, const char *text, const QRect &geometry)
{
    auto *label = new QLabel(QString::fromLatin1(text), container);
    label->setObjectName(QString::fromLatin1(name));
    label->setGeometry(geometry);
    return label;
}

// One command is chosen at a time: picking from one list clears the others.
void frmScriptwiz::commandPicked(QComboBox *list)
{
    m_commandList = list;
    for (QComboBox *other : {cboGame, cboMouse, cboAudio}) {
        if (other != list)
            other->setCurrentIndex(-1);
    }
    updateLine();
}

Result<QString> frmScriptwiz::build() const
{
    ScriptChoice choice;
    choice.type = optAlias->isChecked() ? ScriptChoice::Type::Alias : ScriptChoice::Type::Bind;
    choice.key = cboKey->currentText();
    choice.aliasName = txtName->text();
    choice.command = m_commandList ? m_commandList->currentText() : QString();
    return ScriptLine(choice);
}

QString frmScriptwiz::line() const
{
    const Result<QString> built = build();
    return built ? built.value() : QString();
}

void frmScriptwiz::updateLine()
{
    const bool alias = optAlias->isChecked();
    fraKey->setEnabled(!alias);
    lblName->setEnabled(alias);
    txtName->setEnabled(alias);
    const Result<QString> built = build();
    txtLine->setText(built ? built.value() : QString());
    txtLine->setPlaceholderText(built ? QString() : built.error());
    cmdInsert->setEnabled(built.ok());
}

void frmScriptwiz::cmdInsert_Click()
{
    const QString text = line();
    if (!text.isEmpty() && m_insert)
        m_insert(text + QStringLiteral("\r\n"));
}

void frmScriptwiz::cmdClose_Click()
{
    hide();
}
