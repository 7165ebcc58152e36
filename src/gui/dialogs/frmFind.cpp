#include "gui/dialogs/frmFind.h"

#include <QCheckBox>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>

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
frmFind::frmFind(QWidget *mainWindow, Actions actions)
    : QWidget(mainWindow, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint
                              | Qt::MSWindowsFixedSizeDialogHint),
      m_mainWindow(mainWindow),
      m_actions(std::move(actions))
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

    // "3 of 12": which match is selected, of how many.
    lblCount = new QLabel(this);
    lblCount->setObjectName(QStringLiteral("lblCount"));
    lblCount->setGeometry(twips(4200, 720, 1800, 285));
    lblCount->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    lblCount->setAccessibleName(tr("Matches"));

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
    lblCount->setText(m_actions.find(txtSearch->text(), {chkCase->isChecked(), chkWord->isChecked()}));
    placeClear();
}

void frmFind::placeClear()
{
    if (!m_actions.view)
        return;
    const QRect view = m_actions.view();
    const QRect match = m_actions.match ? m_actions.match() : QRect();
    // The frame's own size is known once the window system has shown it.
    const QSize outer = frameGeometry().size().expandedTo(size());
    constexpr int Gap = 12;
    // A window narrower than the dialog would put it past the screen's edge.
    const QScreen *screen = QGuiApplication::screenAt(view.center());
    const QRect area = screen ? screen->availableGeometry() : QRect();
    const auto onScreen = [&area](QRect r) {
        if (area.isValid()) {
            r.moveLeft(qMax(area.left(), qMin(r.left(), area.right() + 1 - r.width())));
            r.moveTop(qMax(area.top(), qMin(r.top(), area.bottom() + 1 - r.height())));
        }
        return r;
    };
    const QRect top = onScreen(QRect(QPoint(view.right() - outer.width() - Gap, view.top() + Gap), outer));
    const QRect bottom = onScreen(QRect(QPoint(top.left(), view.bottom() - outer.height() - Gap), outer));
    QRect wanted = m_placed ? frameGeometry() : top;
    if (wanted.intersects(match))
        wanted = wanted.top() == top.top() ? bottom : top;
    m_placed = true;
    if (wanted.topLeft() != frameGeometry().topLeft())
        move(wanted.topLeft()); // a window's position is its frame's
}

void frmFind::hideEvent(QHideEvent *event)
{
    QWidget::hideEvent(event);
    // Hidden and shown again after each search: only a real hiding clears.
    if (!isVisible() && m_actions.hidden && !m_researching)
        m_actions.hidden();
}

// Each search goes on from the match before; the main window then shows the match.
void frmFind::cmdFind_Click()
{
    search();
    m_researching = true;
    hide();
    show();
    m_researching = false;
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
