#include "gui/editbox/CompletionPopup.h"

#include "completion/CompletionKeys.h"
#include "config/KnownCommands.h"
#include "editbox/VirtualKey.h"
#include "gui/editbox/RichTextBox.h"

#include <QAbstractListModel>

#include <algorithm>
#include <functional>
#include <QFrame>
#include <QKeyEvent>
#include <QListView>
#include <QPainter>
#include <QStaticText>
#include <QHash>
#include <QStyledItemDelegate>
#include <QScreen>
#include <QVBoxLayout>

namespace {

constexpr int ShownRows = 8;
constexpr int ListWidth = 340;
// The line before the caret that the context is read from.
constexpr int LineLimit = 1000;

} // namespace

// The shown items, pointing into the completion list (or the popup's own
// offers) until the next narrowing: a reset costs nothing per item, so a
// keystroke with 2,500 names matching is as cheap as one with three.
class CompletionModel : public QAbstractListModel
{
public:
    using QAbstractListModel::QAbstractListModel;

    const QList<const CompletionList::Item *> &items() const { return m_items; }
    void setItems(QList<const CompletionList::Item *> items)
    {
        beginResetModel();
        m_items = std::move(items);
        endResetModel();
    }
    const CompletionList::Item *item(int row) const
    {
        return row >= 0 && row < m_items.size() ? m_items[row] : nullptr;
    }
    int rowCount(const QModelIndex &parent = {}) const override { return parent.isValid() ? 0 : int(m_items.size()); }
    QVariant data(const QModelIndex &index, int role) const override
    {
        const CompletionList::Item *it = item(index.row());
        if (!it)
            return {};
        if (role == Qt::DisplayRole || role == Qt::AccessibleTextRole)
            return it->name;
        if (role == Qt::ToolTipRole || role == Qt::AccessibleDescriptionRole)
            return it->explanation;
        return {};
    }

private:
    QList<const CompletionList::Item *> m_items;
};

// A row as plain text on its background: the style's item drawing lays
// each row's text out afresh, which cost more than the typing itself.
class CompletionRow : public QStyledItemDelegate
{
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override
    {
        const bool current = option.state & QStyle::State_Selected;
        const QPalette::ColorGroup group = option.state & QStyle::State_Active ? QPalette::Active : QPalette::Inactive;
        if (current)
            painter->fillRect(option.rect, option.palette.brush(group, QPalette::Highlight));
        painter->setPen(option.palette.color(group, current ? QPalette::HighlightedText : QPalette::Text));
        // Each name is laid out once and drawn from then on.
        const QString name = index.data(Qt::DisplayRole).toString();
        auto found = m_texts.find(name);
        if (found == m_texts.end()) {
            if (m_texts.size() > MaxTexts)
                m_texts.clear();
            QStaticText text(name);
            text.setTextFormat(Qt::PlainText);
            text.prepare(painter->transform(), option.font);
            found = m_texts.insert(name, text);
        }
        const int top = option.rect.top() + (option.rect.height() - option.fontMetrics.height()) / 2;
        painter->setFont(option.font);
        painter->setClipRect(option.rect);
        painter->drawStaticText(option.rect.left() + 3, top, *found);
        painter->setClipping(false);
    }

private:
    static constexpr qsizetype MaxTexts = 5000;
    mutable QHash<QString, QStaticText> m_texts;
};

// The highlighted item's explanation, wrapped to its width. A label would
// ask its window to lay itself out again on every change of text.
class ExplanationBox : public QFrame
{
public:
    using QFrame::QFrame;

    void setText(const QString &text)
    {
        if (text == m_text.text())
            return;
        m_text.setText(text);
        m_text.setTextFormat(Qt::PlainText);
        setAccessibleDescription(text);
        update();
    }

protected:
    void paintEvent(QPaintEvent *event) override
    {
        QFrame::paintEvent(event);
        QPainter painter(this);
        const QRect room = contentsRect().adjusted(3, 2, -3, -2);
        m_text.setTextWidth(room.width());
        painter.setPen(palette().color(QPalette::ToolTipText));
        painter.setClipRect(room);
        painter.drawStaticText(room.topLeft(), m_text);
    }

private:
    QStaticText m_text;
};

CompletionPopup::CompletionPopup(RichTextBox &box, QObject *parent)
    : QObject(parent)
{
    // A tool-tip window that never takes the focus: the box keeps every key.
    // A window of its own, not a child of the box, so that the box's
    // repainting of the line typed in does not lay out the list again.
    // Its parent is the box's window: the window's other boxes take it over.
    m_frame = new QFrame(box.window(), Qt::ToolTip | Qt::FramelessWindowHint);
    m_frame->setAttribute(Qt::WA_ShowWithoutActivating);
    m_frame->setObjectName(QStringLiteral("completionPopup"));
    m_frame->setFrameShape(QFrame::Box);
    m_frame->setAutoFillBackground(true);
    m_frame->setFocusPolicy(Qt::NoFocus);
    m_frame->setAccessibleName(tr("Completion list"));
    auto *layout = new QVBoxLayout(m_frame);
    layout->setContentsMargins(1, 1, 1, 1);
    layout->setSpacing(1);
    m_model = new CompletionModel(this);
    m_view = new QListView(m_frame);
    m_view->setObjectName(QStringLiteral("completionItems"));
    m_view->setAccessibleName(tr("Completions"));
    m_view->setModel(m_model);
    m_view->setItemDelegate(new CompletionRow(m_view));
    m_view->setUniformItemSizes(true);
    // No scroll bar: keeping its range and drawing it on every key cost a
    // tenth of the typing. The wheel, the arrows and Page Up/Down scroll.
    m_view->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_view->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_view->setFocusPolicy(Qt::NoFocus);
    m_view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_view->setSelectionMode(QAbstractItemView::SingleSelection);
    m_explanation = new ExplanationBox(m_frame);
    m_explanation->setObjectName(QStringLiteral("completionExplanation"));
    m_explanation->setAccessibleName(tr("Explanation of the highlighted completion"));
    m_explanation->setFrameShape(QFrame::StyledPanel);
    m_explanation->setAutoFillBackground(true);
    m_explanation->setForegroundRole(QPalette::ToolTipText);
    m_explanation->setBackgroundRole(QPalette::ToolTipBase);
    layout->addWidget(m_view);
    layout->addWidget(m_explanation);
    m_frame->hide();
    connect(m_view->selectionModel(), &QItemSelectionModel::currentChanged, this, [this] { showExplanation(); });
    connect(m_view, &QListView::activated, this, [this] { take(); });

    setBox(box);
}

void CompletionPopup::setBox(RichTextBox &box)
{
    if (m_box == &box)
        return;
    if (m_box) {
        close();
        m_box->removeEventFilter(this);
        disconnect(m_box, nullptr, this, nullptr);
    }
    m_box = &box;
    box.installEventFilter(this);
    connect(&box, &RichTextBox::linesReplaced, this, [this] { m_changed = true; });
    // A click, an undo or any move not made by a key typed here closes it
    // once the caret has left the word; Scintilla tells of a typed key's
    // move again when it paints, which leaves the word as it was.
    connect(&box, &RichTextBox::caretMoved, this, [this] {
        if (!m_inKey && isOpen() && m_box->SelStart() + m_box->SelLength() != m_caret && contextAtCaret() != m_context)
            close();
    });
}

CompletionPopup::~CompletionPopup() = default;

void CompletionPopup::setKnown(std::shared_ptr<const KnownCommands> known)
{
    close();
    m_known = std::move(known);
}

void CompletionPopup::setEnabled(bool on)
{
    m_enabled = on;
    if (!on)
        close();
}

bool CompletionPopup::isOpen() const
{
    return m_open;
}

QStringList CompletionPopup::shownNames() const
{
    QStringList names;
    for (int row = 0; row < m_model->rowCount(); ++row)
        names.append(m_model->item(row)->name);
    return names;
}

int CompletionPopup::currentRow() const
{
    return isOpen() ? m_view->currentIndex().row() : -1;
}

QString CompletionPopup::currentExplanation() const
{
    const CompletionList::Item *item = m_model->item(currentRow());
    return item ? item->explanation : QString();
}

CompletionContext CompletionPopup::contextAtCaret(int *wordStart) const
{
    if (!m_known || m_box->SelLength() != 0)
        return {};
    const QString line = m_box->lineBeforeCaret(LineLimit);
    CompletionContext context = CompletionContext::at(line, *m_known);
    if (wordStart)
        *wordStart = m_box->SelStart() - int(line.size() - context.start);
    return context;
}

QList<const CompletionList::Item *> CompletionPopup::matches(const CompletionContext &context)
{
    if (context.kind == CompletionContext::Kind::Command) {
        // A longer word matches a subset of what the shorter one did: only
        // those are tried again, in the same order, as the list does.
        if (isOpen() && m_context.kind == context.kind && !m_context.prefix.isEmpty()
            && context.prefix.startsWith(m_context.prefix, Qt::CaseInsensitive))
            return narrowed(context.prefix);
        return m_list.matchNames(context.prefix);
    }
    QList<const CompletionList::Item *> items;
    if (context.kind == CompletionContext::Kind::None)
        return items;
    m_owned = m_list.complete(context, *m_known);
    items.reserve(m_owned.size());
    for (const CompletionList::Item &item : std::as_const(m_owned))
        items.append(&item);
    return items;
}

QList<const CompletionList::Item *> CompletionPopup::narrowed(const QString &prefix) const
{
    // The shown items are the list's names, each group in the names' order:
    // their addresses in that array keep the order.
    QList<const CompletionList::Item *> starting;
    QList<const CompletionList::Item *> holding;
    for (int row = 0; row < m_model->rowCount(); ++row) {
        const CompletionList::Item *item = m_model->item(row);
        if (item->name.startsWith(prefix, Qt::CaseInsensitive))
            starting.append(item);
        else if (item->name.contains(prefix, Qt::CaseInsensitive))
            holding.append(item);
    }
    std::sort(holding.begin(), holding.end(), std::less<>());
    return starting + holding;
}

bool CompletionPopup::open()
{
    if (!m_enabled || !m_known)
        return false;
    int wordStart = 0;
    const CompletionContext context = contextAtCaret(&wordStart);
    if (context.kind == CompletionContext::Kind::None)
        return false;
    // Aliases and the folder's files as they are now; they stay while it is open.
    if (m_refresh)
        m_refresh(m_list);
    QList<const CompletionList::Item *> items = matches(context);
    if (items.isEmpty()) {
        close();
        return false;
    }
    show(context, wordStart, std::move(items));
    return true;
}

void CompletionPopup::show(const CompletionContext &context, int wordStart,
                           QList<const CompletionList::Item *> items)
{
    m_context = context;
    m_wordStart = wordStart;
    m_caret = m_box->SelStart();
    // A key that leaves the same items (the rest of a word only one name
    // starts with) repaints nothing.
    if (isOpen() && items == m_model->items())
        return;
    m_model->setItems(std::move(items));
    m_view->setCurrentIndex(m_model->index(0));
    if (!isOpen()) {
        m_open = true;
        place();
        m_frame->show();
    }
    showExplanation();
}

void CompletionPopup::close()
{
    if (!isOpen())
        return;
    m_open = false;
    m_frame->hide();
    m_model->setItems({});
    m_owned.clear();
}

// Below the caret's line, or above it where the box has no room below.
void CompletionPopup::place()
{
    // Under the start of the word, where the name it takes will start.
    const long caret = m_box->toBuffer(m_wordStart);
    const int x = int(m_box->SendScintilla(QsciScintilla::SCI_POINTXFROMPOSITION, 0UL, caret));
    const int y = int(m_box->SendScintilla(QsciScintilla::SCI_POINTYFROMPOSITION, 0UL, caret));
    const long line = m_box->SendScintilla(QsciScintilla::SCI_LINEFROMPOSITION, caret);
    const int lineHeight = int(m_box->SendScintilla(QsciScintilla::SCI_TEXTHEIGHT, line));
    const QSize area = m_box->viewport()->size();
    // The layout is worked out once: laying it out costs a key's worth. Its
    // height follows the items it opens with, and stays as it narrows.
    const int rowHeight = m_view->fontMetrics().height() + 2;
    const int listFrame = 2 * m_view->frameWidth();
    if (!m_size.isValid()) {
        m_explanation->setFixedWidth(ListWidth - 2);
        m_explanation->setFixedHeight(m_explanation->fontMetrics().lineSpacing() * 3 + 6);
        m_view->setFixedHeight(rowHeight * ShownRows + listFrame);
        m_frame->adjustSize();
        m_size = QSize(ListWidth, m_frame->sizeHint().height());
    }
    const int rows = qBound(1, m_model->rowCount(), ShownRows);
    if (rows != m_rows) {
        m_rows = rows;
        m_view->setFixedHeight(rowHeight * m_rows + listFrame);
        // Its window's smallest size follows at once, not when next laid out.
        m_frame->layout()->activate();
    }
    const QSize size(m_size.width(), m_size.height() - rowHeight * (ShownRows - m_rows));
    int top = y + lineHeight;
    if (top + size.height() > area.height() && y - size.height() >= 0)
        top = y - size.height();
    QPoint at = m_box->viewport()->mapToGlobal(QPoint(qMax(0, x), top));
    // Kept on the screen the box is on.
    if (const QScreen *screen = m_box->screen()) {
        const QRect room = screen->availableGeometry();
        at.setX(qBound(room.left(), at.x(), qMax(room.left(), room.right() - size.width())));
        at.setY(qBound(room.top(), at.y(), qMax(room.top(), room.bottom() - size.height())));
    }
    m_frame->setGeometry(QRect(at, size));
}

void CompletionPopup::showExplanation()
{
    const CompletionList::Item *item = m_model->item(m_view->currentIndex().row());
    m_explanation->setText(item ? item->explanation : QString());
}

void CompletionPopup::move(int rows)
{
    const int count = m_model->rowCount();
    if (count == 0)
        return;
    const int row = qBound(0, m_view->currentIndex().row() + rows, count - 1);
    m_view->setCurrentIndex(m_model->index(row));
}

void CompletionPopup::take()
{
    const CompletionList::Item *item = m_model->item(m_view->currentIndex().row());
    if (!item || !m_undo) {
        close();
        return;
    }
    const QString name = item->name;
    const int start = m_wordStart;
    close();
    m_inKey = true;
    CompletionKeys::take(*m_undo, *m_box, start, name);
    m_inKey = false;
}

void CompletionPopup::followTyping(bool textChanged)
{
    if (!m_enabled)
        return;
    int wordStart = 0;
    const CompletionContext context = contextAtCaret(&wordStart);
    if (isOpen()) {
        if (context.kind == m_context.kind && wordStart == m_wordStart) {
            m_context = context;
            QList<const CompletionList::Item *> items = matches(context);
            if (items.isEmpty())
                close();
            else
                show(context, wordStart, std::move(items));
            return;
        }
        // Another word, or a word of another kind (bind's key after "bind ").
        close();
    }
    if (textChanged && context.opensByItself())
        open();
}

bool CompletionPopup::eventFilter(QObject *watched, QEvent *event)
{
    if (watched != m_box)
        return false;
    if (event->type() == QEvent::FocusOut || event->type() == QEvent::Hide) {
        close();
        return false;
    }
    if (event->type() != QEvent::KeyPress)
        return false;
    auto *key = static_cast<QKeyEvent *>(event);
    const int code = VirtualKey::fromQtKey(key->key(), key->modifiers());
    const int shift = VirtualKey::shiftState(key->modifiers());
    if (!isOpen()) {
        // Ctrl+Space reaches the undo engine only to be cancelled.
        if (m_enabled && m_known && CompletionKeys::opensList(code, shift)) {
            open();
            key->accept();
            return true;
        }
    } else {
        switch (CompletionKeys::route(true, code, shift)) {
        case CompletionKeys::Action::Up: move(-1); key->accept(); return true;
        case CompletionKeys::Action::Down: move(1); key->accept(); return true;
        case CompletionKeys::Action::PageUp: move(-(ShownRows - 1)); key->accept(); return true;
        case CompletionKeys::Action::PageDown: move(ShownRows - 1); key->accept(); return true;
        case CompletionKeys::Action::Take: take(); key->accept(); return true;
        case CompletionKeys::Action::Close: close(); key->accept(); return true;
        case CompletionKeys::Action::Type: break;
        }
    }
    // Only a key that types can narrow the list or open it by itself; any
    // other goes on as always, and a caret it moves closes the list.
    const bool control = key->modifiers() & (Qt::ControlModifier | Qt::MetaModifier);
    const bool types = !control && !key->text().isEmpty() && key->text()[0].isPrint();
    const bool erases = isOpen() && shift == 0 && (code == VirtualKey::Back || code == VirtualKey::Delete);
    if (!m_enabled || !m_known || !(types || erases))
        return false;
    // The box handles the key as always (it takes every key that types);
    // the list follows what it did.
    m_changed = false;
    m_inKey = true;
    static_cast<QObject *>(m_box)->event(event);
    m_inKey = false;
    followTyping(m_changed);
    return true;
}
