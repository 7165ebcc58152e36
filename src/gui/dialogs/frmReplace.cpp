#include "gui/dialogs/frmReplace.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace {

QPushButton *addButton(QWidget *parent, const QString &caption, const char *name)
{
    auto *button = new QPushButton(caption, parent);
    button->setObjectName(QString::fromLatin1(name));
    button->setAutoDefault(false);
    return button;
}

} // namespace

frmReplace::frmReplace(QWidget *mainWindow, Actions actions)
    : QWidget(mainWindow, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint),
      m_actions(std::move(actions))
{
    setObjectName(QStringLiteral("frmReplace"));
    setWindowTitle(tr("Replace"));

    auto *findLabel = new QLabel(tr("Find what:"), this);
    txtFind = new QLineEdit(this);
    txtFind->setObjectName(QStringLiteral("txtFind"));
    txtFind->setAccessibleName(tr("Find what"));
    findLabel->setBuddy(txtFind);
    auto *replaceLabel = new QLabel(tr("Replace with:"), this);
    txtReplace = new QLineEdit(this);
    txtReplace->setObjectName(QStringLiteral("txtReplace"));
    txtReplace->setAccessibleName(tr("Replace with"));
    replaceLabel->setBuddy(txtReplace);
    chkCase = new QCheckBox(tr("Match case"), this);
    chkCase->setObjectName(QStringLiteral("chkCase"));
    chkWord = new QCheckBox(tr("Whole word"), this);
    chkWord->setObjectName(QStringLiteral("chkWord"));
    cmdFindNext = addButton(this, tr("Find Next"), "cmdFindNext");
    cmdReplace = addButton(this, tr("Replace"), "cmdReplace");
    cmdReplaceAll = addButton(this, tr("Replace All"), "cmdReplaceAll");
    cmdClose = addButton(this, tr("Close"), "cmdClose");
    lblResult = new QLabel(this);
    lblResult->setObjectName(QStringLiteral("lblResult"));
    lblResult->setAccessibleName(tr("Result"));
    // The line never widens the window: a long one is cut to fit (see report).
    lblResult->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);

    auto *grid = new QGridLayout(this);
    grid->addWidget(findLabel, 0, 0);
    grid->addWidget(txtFind, 0, 1);
    grid->addWidget(replaceLabel, 1, 0);
    grid->addWidget(txtReplace, 1, 1);
    grid->addWidget(chkCase, 2, 1);
    grid->addWidget(chkWord, 3, 1);
    grid->addWidget(lblResult, 4, 0, 1, 2);
    grid->addWidget(cmdFindNext, 0, 2);
    grid->addWidget(cmdReplace, 1, 2);
    grid->addWidget(cmdReplaceAll, 2, 2);
    grid->addWidget(cmdClose, 3, 2);
    grid->setColumnMinimumWidth(1, 200);

    connect(cmdFindNext, &QPushButton::clicked, this,
            [this] { report(m_actions.findNext(txtFind->text(), options())); });
    connect(cmdReplace, &QPushButton::clicked, this,
            [this] { report(m_actions.replace(txtFind->text(), txtReplace->text(), options())); });
    connect(cmdReplaceAll, &QPushButton::clicked, this,
            [this] { report(m_actions.replaceAll(txtFind->text(), txtReplace->text(), options())); });
    connect(cmdClose, &QPushButton::clicked, this, &QWidget::hide);
    connect(txtFind, &QLineEdit::returnPressed, cmdFindNext, &QPushButton::click);
}

void frmReplace::showWith(const QString &text)
{
    if (!text.isEmpty())
        txtFind->setText(text);
    lblResult->clear();
    show();
    raise();
    activateWindow();
    txtFind->setFocus();
    txtFind->selectAll();
}

void frmReplace::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Escape) {
        hide();
        return;
    }
    QWidget::keyPressEvent(event);
}

void frmReplace::setOptions(SearchOptions options)
{
    chkCase->setChecked(options.matchCase);
    chkWord->setChecked(options.wholeWord);
}

SearchOptions frmReplace::options() const
{
    return {chkCase->isChecked(), chkWord->isChecked()};
}

// A search text of a pasted page would make the line wider than the
// screen: it is cut to one line of the window's width, and read whole in
// its tooltip.
void frmReplace::report(const QString &line)
{
    QString oneLine = line;
    oneLine.replace(u'\r', u' ').replace(u'\n', u' ');
    const QString shown = lblResult->fontMetrics().elidedText(oneLine, Qt::ElideRight, lblResult->contentsRect().width());
    lblResult->setText(shown);
    lblResult->setToolTip(shown == line ? QString() : QStringLiteral("<p>%1</p>").arg(line.toHtmlEscaped()));
    lblResult->setAccessibleDescription(line);
}
