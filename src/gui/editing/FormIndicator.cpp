#include "gui/editing/FormIndicator.h"

#include "editbox/EditBox.h"
#include "undo/clsUndo.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QLayout>
#include <QMenu>
#include <QToolButton>

namespace {

QToolButton *statusButton(QWidget *parent, const QString &accessibleName, const QString &toolTip)
{
    auto *button = new QToolButton(parent);
    button->setAutoRaise(true);
    button->setToolButtonStyle(Qt::ToolButtonTextOnly);
    button->setAccessibleName(accessibleName);
    button->setToolTip(toolTip);
    return button;
}

} // namespace

FormIndicator::FormIndicator(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("formIndicator"));
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    m_game = statusButton(this, tr("Make it the game's form"),
                          tr("Write the file as the game's own files are: Windows-1252 with CR LF line ends"));
    m_game->setObjectName(QStringLiteral("formGame"));
    m_game->setText(tr("To game's form"));
    m_encoding = statusButton(this, tr("Encoding"), tr("How the file's characters are written; click to change"));
    m_encoding->setObjectName(QStringLiteral("formEncoding"));
    m_lineEnds = statusButton(this, tr("Line ends"), tr("What ends the file's lines; click to change them all"));
    m_lineEnds->setObjectName(QStringLiteral("formLineEnds"));
    for (QToolButton *button : {m_game, m_encoding, m_lineEnds})
        layout->addWidget(button);

    auto *encodings = new QMenu(m_encoding);
    // Also here, for a status bar too narrow to show the button.
    QAction *toGame = encodings->addAction(m_game->text());
    toGame->setObjectName(QStringLiteral("formGameItem"));
    encodings->addSeparator();
    for (auto encoding : {TextForm::Encoding::Windows1252, TextForm::Encoding::Utf8, TextForm::Encoding::Utf8Bom}) {
        QAction *item = encodings->addAction(TextForm::name(encoding));
        item->setCheckable(true);
        item->setData(int(encoding));
        connect(item, &QAction::triggered, this, [this, encoding] {
            TextForm form = m_box->form();
            form.encoding = encoding;
            change(form, false);
        });
    }
    m_encoding->setMenu(encodings);
    m_encoding->setPopupMode(QToolButton::InstantPopup);

    auto *lineEnds = new QMenu(m_lineEnds);
    for (auto lineBreak : {TextForm::LineBreak::CrLf, TextForm::LineBreak::Lf, TextForm::LineBreak::Cr}) {
        QAction *item = lineEnds->addAction(TextForm::name(lineBreak));
        item->setCheckable(true);
        item->setData(int(lineBreak));
        connect(item, &QAction::triggered, this,
                [this, lineBreak] { change(m_box->form().withLineBreak(lineBreak), true); });
    }
    m_lineEnds->setMenu(lineEnds);
    m_lineEnds->setPopupMode(QToolButton::InstantPopup);

    const auto makeGame = [this] {
        TextForm form = m_box->form().withLineBreak(TextForm::LineBreak::CrLf);
        form.encoding = TextForm::Encoding::Windows1252;
        change(form, true);
    };
    connect(m_game, &QToolButton::clicked, this, makeGame);
    connect(toGame, &QAction::triggered, this, makeGame);
    if (parent)
        parent->installEventFilter(this);
}

bool FormIndicator::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == parent() && (event->type() == QEvent::Resize || event->type() == QEvent::LayoutRequest))
        fit();
    return QWidget::eventFilter(watched, event);
}

// Short of room, the status bar squeezes its parts below their text, so the
// button goes first; the encoding menu still offers it. This layout has no
// spacing, so showing it needs exactly its own width.
void FormIndicator::fit()
{
    auto *bar = parentWidget();
    if (!m_box || !bar || !bar->layout())
        return;
    const int needed = bar->layout()->minimumSize().width();
    const bool shown = m_game->isVisibleTo(bar);
    const bool room = shown ? bar->width() >= needed : bar->width() >= needed + m_game->sizeHint().width();
    const bool wanted = !m_box->form().isGame() && room;
    if (shown != wanted)
        m_game->setVisible(wanted);
}

void FormIndicator::setBox(EditBox &box, clsUndo &undo)
{
    m_box = &box;
    m_undo = &undo;
    refresh();
}

void FormIndicator::change(const TextForm &form, bool allLineEnds)
{
    if (!m_box || !m_undo)
        return;
    m_undo->ChangeForm(form, allLineEnds);
    m_box->SetFocus();
    refresh();
}

void FormIndicator::refresh()
{
    if (!m_box)
        return;
    const TextForm form = m_box->form();
    m_encoding->setText(TextForm::name(form.encoding));
    m_lineEnds->setText(TextForm::name(form.lineBreak));
    for (QAction *item : m_encoding->menu()->actions()) {
        if (item->isCheckable())
            item->setChecked(item->data().toInt() == int(form.encoding));
        else if (!item->isSeparator())
            item->setVisible(!form.isGame());
    }
    for (QAction *item : m_lineEnds->menu()->actions())
        item->setChecked(item->data().toInt() == int(form.lineBreak));
    if (form.isGame())
        m_game->hide();
    fit();
}
