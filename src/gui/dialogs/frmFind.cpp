#include "gui/dialogs/frmFind.h"

#include <QCheckBox>
#include <QKeyEvent>
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
    // Enter and Esc are the dialog's own keys (keyPressEvent), whichever control has the focus.
    button->setAutoDefault(false);
    button->setDefault(false);
    button->setGeometry(geometry);
    return button;
}

} // namespace

// A plain widget with a dialog frame rather than a QDialog: a QDialog
// presses a button on Enter and hides itself on Esc.
frmFind::frmFind(QWidget *mainWindow, std::function<void(const QString &, SearchOptions)> find)
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

    chkCase = new QCheckBox(tr("Match &case"), this);
    chkCase->setObjectName(QStringLiteral("chkCase"));
    chkCase->setGeometry(twips(255, 720, 1800, 285));
    chkWord = new QCheckBox(tr("&Whole word"), this);
    chkWord->setObjectName(QStringLiteral("chkWord"));
    chkWord->setGeometry(twips(2200, 720, 1800, 285));

    setTabOrder(txtSearch, chkCase);
    setTabOrder(chkCase, chkWord);
    setTabOrder(chkWord, cmdFind);
    setTabOrder(cmdFind, cmdCancel);
    txtSearch->setFocus();

    connect(cmdFind, &QPushButton::clicked, this, &frmFind::cmdFind_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &frmFind::cmdCancel_Click);
}

void frmFind::setOptions(SearchOptions options)
{
    chkCase->setChecked(options.matchCase);
    chkWord->setChecked(options.wholeWord);
}

void frmFind::search()
{
    m_find(txtSearch->text(), {chkCase->isChecked(), chkWord->isChecked()});
}

// Each search goes on from the match before; the main window then shows the match.
void frmFind::cmdFind_Click()
{
    search();
    hide();
    show();
    m_mainWindow->activateWindow();
}

// Enter searches again and keeps the focus here, so the next Enter goes on
// to the next match rather than into the document.
void frmFind::keyPressEvent(QKeyEvent *event)
{
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        search();
        return;
    case Qt::Key_Escape:
        cmdCancel_Click();
        return;
    default:
        QWidget::keyPressEvent(event);
    }
}

void frmFind::cmdCancel_Click()
{
    hide();
}
