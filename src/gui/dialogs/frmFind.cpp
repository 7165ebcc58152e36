#include "gui/dialogs/frmFind.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace {

constexpr int TwipsPerPixel = 15;

QRect twips(int left, int top, int width, int height)
{
    return QRect(left / TwipsPerPixel, top / TwipsPerPixel, width / TwipsPerPixel, height / TwipsPerPixel);
}

QPushButton *addButton(QWidget *parent, const char *caption, const char *name, const QRect &geometry)
{
    auto *button = new QPushButton(QString::fromLatin1(caption), parent);
    button->setObjectName(QString::fromLatin1(name));
    // Enter and Esc press no button.
    button->setAutoDefault(false);
    button->setDefault(false);
    button->setGeometry(geometry);
    return button;
}

} // namespace

// A plain widget with a dialog frame rather than a QDialog: a QDialog
// presses a button on Enter and hides itself on Esc.
frmFind::frmFind(QWidget *mainWindow, std::function<void(const QString &)> find)
    : QWidget(mainWindow, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint
                              | Qt::MSWindowsFixedSizeDialogHint),
      m_mainWindow(mainWindow),
      m_find(std::move(find))
{
    setObjectName(QStringLiteral("frmFind"));
    setWindowTitle(QStringLiteral("Find"));
    setAttribute(Qt::WA_DeleteOnClose);
    setFixedSize(twips(0, 0, 7545, 1140).size());
    // The main window's control font: "Search For:" fits its label in it.
    QFont formFont(QStringLiteral("Arial"));
    formFont.setPointSizeF(8.25);
    setFont(formFont);

    Label1 = new QLabel(QStringLiteral("Search For:"), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setGeometry(twips(255, 120, 975, 255));

    txtSearch = new QLineEdit(this);
    txtSearch->setObjectName(QStringLiteral("txtSearch"));
    txtSearch->setGeometry(twips(255, 360, 4815, 285));
    txtSearch->setAccessibleName(tr("Search for"));
    Label1->setBuddy(txtSearch);

    cmdFind = addButton(this, "Find", "cmdFind", twips(6120, 120, 1215, 375));
    cmdCancel = addButton(this, "Cancel", "cmdCancel", twips(6120, 600, 1215, 375));

    setTabOrder(txtSearch, cmdFind);
    setTabOrder(cmdFind, cmdCancel);
    txtSearch->setFocus();

    connect(cmdFind, &QPushButton::clicked, this, &frmFind::cmdFind_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &frmFind::cmdCancel_Click);
}

// Every search starts at the top; the main window then shows the match.
void frmFind::cmdFind_Click()
{
    m_find(txtSearch->text());
    hide();
    show();
    m_mainWindow->activateWindow();
}

void frmFind::cmdCancel_Click()
{
    hide();
}
