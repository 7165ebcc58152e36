#include "gui/SyntaxColours.h"

#include <QAbstractTextDocumentLayout>
#include <QHelpEvent>
#include <QPlainTextEdit>
#include <QScopedValueRollback>
#include <QTextBlock>
#include <QTextDocument>
#include <QToolTip>

#include <cmath>
#include <utility>

namespace {

double luminance(const QColor &c)
{
    const auto channel = [](double v) { return v <= 0.03928 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4); };
    return 0.2126 * channel(c.redF()) + 0.7152 * channel(c.greenF()) + 0.0722 * channel(c.blueF());
}

double contrast(const QColor &a, const QColor &b)
{
    const double la = luminance(a);
    const double lb = luminance(b);
    return (qMax(la, lb) + 0.05) / (qMin(la, lb) + 0.05);
}

// The colour of this hue nearest to mid lightness that reads on the background.
QColor readable(const QColor &wanted, const QColor &background)
{
    constexpr double Goal = 4.5;
    const bool darkBackground = luminance(background) < 0.18;
    const double hue = qMax(0.0, wanted.hslHueF());
    const double saturation = wanted.hslSaturationF();
    QColor best = wanted;
    for (double lightness = 0.5; lightness >= 0 && lightness <= 1; lightness += darkBackground ? 0.02 : -0.02) {
        best = QColor::fromHslF(float(hue), float(saturation), float(lightness));
        if (contrast(best, background) >= Goal)
            break;
    }
    return best;
}

// What a block was coloured from, so a pass skips blocks that have not changed.
struct ColourStamp : QTextBlockUserData
{
    size_t textHash;
    int generation;
};

QTextCharFormat coloured(const QColor &colour)
{
    QTextCharFormat format;
    format.setForeground(colour);
    return format;
}

} // namespace

SyntaxColours::SyntaxColours(QPlainTextEdit &edit, const Catalogue &catalogue, QObject *parent)
    : QObject(parent), m_edit(edit), m_catalogue(catalogue), m_formats(formatsFor(edit.palette()))
{
    // An edit colours its own blocks as it happens; the passes come after the
    // widget has laid the edit or the scroll out, so they see what will be
    // painted. The scroll bar's own signal misses the widget's own scrolling;
    // the update request with a distance catches every scroll.
    connect(edit.document(), &QTextDocument::contentsChange, this, &SyntaxColours::colourEdited);
    connect(edit.document(), &QTextDocument::contentsChanged, this, [this] {
        m_inEdit = false;
        // Typing within a line needs nothing more than colourEdited did.
        if (!std::exchange(m_editColoured, false) || m_dirty)
            colourVisible();
    });
    connect(&edit, &QPlainTextEdit::updateRequest, this, [this](const QRect &, int dy) {
        if (dy == 0)
            return;
        // A scroll while the widget lays an edit out waits for the edit's end.
        if (m_inEdit)
            m_dirty = true;
        else
            colourVisible();
    });
    edit.installEventFilter(this);
    edit.viewport()->installEventFilter(this);
    trackAliases(0, edit.document()->characterCount());
}

SyntaxColours::Formats SyntaxColours::formatsFor(const QPalette &palette)
{
    using Kind = SyntaxToken::Kind;
    const QColor base = palette.color(QPalette::Base);
    const QColor text = palette.color(QPalette::Text);
    const auto hue = [&](int h) { return coloured(readable(QColor::fromHsl(h, 200, 128), base)); };
    Formats f;
    f.kind[int(Kind::Known)] = coloured(readable(palette.color(QPalette::Link), base));
    f.kind[int(Kind::Command)] = hue(280);
    f.kind[int(Kind::String)] = hue(120);
    f.kind[int(Kind::Number)] = hue(25);
    f.kind[int(Kind::Separator)] = hue(330);
    f.kind[int(Kind::Prefix)] = hue(330);
    f.kind[int(Kind::Keyword)] = hue(190);
    // Comments recede toward the background, as far as they stay readable.
    const QColor muted = QColor::fromRgbF((text.redF() + base.redF()) / 2, (text.greenF() + base.greenF()) / 2,
                                          (text.blueF() + base.blueF()) / 2);
    f.kind[int(Kind::Comment)] = coloured(readable(muted, base));
    f.badValue.setUnderlineStyle(QTextCharFormat::WaveUnderline);
    f.badValue.setUnderlineColor(readable(QColor::fromHsl(0, 230, 128), base));
    return f;
}

void SyntaxColours::setSyntax(FileSyntax syntax)
{
    if (syntax == m_syntax)
        return;
    m_syntax = syntax;
    ++m_generation;
    schedule();
}

void SyntaxColours::recolourAll()
{
    ++m_generation;
    schedule();
}

// For changes the widget lays out later (size, palette, file type): a queued
// pass, or the next paint if that comes first.
void SyntaxColours::schedule()
{
    m_dirty = true;
    if (m_posted)
        return;
    m_posted = true;
    QMetaObject::invokeMethod(this, [this] {
        m_posted = false;
        m_inEdit = false; // no edit lasts across events
        if (m_dirty)
            colourVisible();
    }, Qt::QueuedConnection);
}

bool SyntaxColours::recolour(const QTextBlock &block)
{
    const QString text = block.text();
    const size_t hash = qHash(text);
    auto *stamp = static_cast<ColourStamp *>(block.userData());
    if (stamp && stamp->textHash == hash && stamp->generation == m_generation)
        return false;
    if (!stamp) {
        stamp = new ColourStamp;
        QTextBlock(block).setUserData(stamp); // the block owns it
    }
    stamp->textHash = hash;
    stamp->generation = m_generation;
    QTextLayout *layout = block.layout();
    const QList<QTextLayout::FormatRange> ranges = formatsOf(text);
    if (layout->formats() == ranges)
        return false;
    // Glyphs kept from laying out make painting coloured text as cheap as plain.
    layout->setCacheEnabled(true);
    layout->setFormats(ranges);
    return true;
}

QList<QTextLayout::FormatRange> SyntaxColours::formatsOf(const QString &text) const
{
    QList<QTextLayout::FormatRange> ranges;
    for (const SyntaxToken &token : tokenizeLine(text, m_syntax, m_catalogue, &m_aliases)) {
        QTextCharFormat format = m_formats.kind[int(token.kind)];
        if (token.badValue)
            format.merge(m_formats.badValue);
        if (!format.isEmpty())
            ranges.append({token.start, token.length, format});
    }
    return ranges;
}

void SyntaxColours::colourVisible()
{
    QWidget *viewport = m_edit.viewport();
    // Laying a block out again can scroll the view, which calls back here:
    // one more pass once this one is done.
    if (m_colouring) {
        schedule();
        return;
    }
    if (!m_edit.isVisible() || viewport->height() <= 0)
        return;
    m_dirty = false;
    const QScopedValueRollback<bool> colouring(m_colouring, true);
    QTextDocument *doc = m_edit.document();
    const int oldFirst = m_firstShown;
    const int oldLast = m_lastShown;
    // The end is counted in lines as laid out so far: finding it lays nothing
    // out, which the new formats would undo. A screenful before and after is
    // coloured too, before the widget lays it out, so a scroll by up to a
    // page finds its blocks ready and lays each out once.
    const int screen = viewport->height() / qMax(1, m_edit.fontMetrics().lineSpacing()) + 2;
    QTextBlock block = m_edit.cursorForPosition(QPoint(0, 0)).block();
    for (int back = 0; back < screen && block.previous().isValid(); back += qMax(1, block.lineCount()))
        block = block.previous();
    m_firstShown = block.blockNumber();
    m_lastShown = m_firstShown - 1;
    m_blockCount = doc->blockCount();
    for (int seen = 0; block.isValid() && seen < 3 * screen; block = block.next()) {
        seen += qMax(1, block.lineCount());
        ++m_lastShown;
        // Repaints, without a contents change.
        if (recolour(block))
            doc->markContentsDirty(block.position(), block.length());
    }
    // Blocks that left give their glyphs back.
    for (int n = oldFirst; n <= oldLast; ++n) {
        if (n >= m_firstShown && n <= m_lastShown)
            continue;
        const QTextBlock gone = doc->findBlockByNumber(n);
        QTextLayout *layout = gone.isValid() ? gone.layout() : nullptr;
        if (!layout || !layout->cacheEnabled())
            continue;
        layout->setCacheEnabled(false);
        layout->setFormats(layout->formats()); // frees the glyphs
        QTextBlock(gone).setUserData(nullptr);
        doc->markContentsDirty(gone.position(), gone.length());
    }
}

// Runs before the widget lays the edit out, so an edited block on screen is
// coloured before it is painted. Formats set here join the edit's own change:
// no further notification.
void SyntaxColours::colourEdited(int position, int, int added)
{
    trackAliases(position, added);
    m_inEdit = true;
    m_editColoured = false;
    if (m_lastShown < 0)
        return;
    const QTextDocument *doc = m_edit.document();
    QTextBlock block = doc->findBlock(position);
    const int end = doc->findBlock(position + added).blockNumber();
    const int first = block.blockNumber();
    if (first < m_firstShown)
        return;
    for (int n = first; block.isValid() && n <= qMin(end, m_lastShown); ++n, block = block.next())
        recolour(block);
    m_editColoured = end <= m_lastShown && doc->blockCount() == m_blockCount;
}

// Rescans only the blocks the edit touched; when a name starts or stops being
// an alias, the blocks on screen are coloured afresh.
void SyntaxColours::trackAliases(int position, int added)
{
    const QTextDocument *doc = m_edit.document();
    QTextBlock block = doc->findBlock(position);
    QTextBlock last = doc->findBlock(position + added);
    if (!last.isValid())
        last = doc->lastBlock();
    const int first = block.isValid() ? block.blockNumber() : 0;
    const int now = last.blockNumber() - first + 1;
    const int before = now - (doc->blockCount() - m_aliases.lineCount());
    QStringList lines;
    if (before < 0 || first + before > m_aliases.lineCount()) {
        // Not an edit of the lines indexed: index the whole document.
        lines.reserve(doc->blockCount());
        for (QTextBlock b = doc->begin(); b.isValid(); b = b.next())
            lines.append(b.text());
        m_aliases = AliasIndex();
        m_aliases.replaceLines(0, 0, lines);
        ++m_generation;
        m_dirty = true;
        return;
    }
    for (int n = 0; n < now && block.isValid(); ++n, block = block.next())
        lines.append(block.text());
    const quint64 names = m_aliases.namesGeneration();
    m_aliases.replaceLines(first, before, lines);
    if (m_aliases.namesGeneration() != names) {
        ++m_generation;
        m_dirty = true;
    }
}

QString SyntaxColours::toolTipAt(const QPoint &viewportPoint) const
{
    const QTextCursor hit = m_edit.cursorForPosition(viewportPoint);
    const QTextBlock block = hit.block();
    const QTextLayout *layout = block.layout();
    const int length = block.length() - 1;
    // The character under the point lies on one side of the nearest caret position.
    for (const int column : {hit.positionInBlock() - 1, hit.positionInBlock()}) {
        if (column < 0 || column >= length)
            continue;
        QTextCursor at(block);
        at.setPosition(block.position() + column);
        const QRect caret = m_edit.cursorRect(at);
        const QTextLine line = layout->lineForTextPosition(column);
        const qreal width = line.cursorToX(column + 1) - line.cursorToX(column);
        if (viewportPoint.y() >= caret.top() && viewportPoint.y() <= caret.bottom()
            && viewportPoint.x() >= caret.left() && viewportPoint.x() < caret.left() + width)
            return hoverText(block.text(), column, m_syntax, m_catalogue, &m_aliases);
    }
    return {};
}

bool SyntaxColours::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_edit.viewport()) {
        if (event->type() == QEvent::ToolTip) {
            const auto *help = static_cast<QHelpEvent *>(event);
            const QString text = toolTipAt(help->pos());
            if (text.isEmpty())
                QToolTip::hideText();
            else
                QToolTip::showText(help->globalPos(), text, m_edit.viewport());
            return true;
        }
        if (event->type() == QEvent::Paint && m_dirty)
            colourVisible();
        if (event->type() == QEvent::Resize || event->type() == QEvent::Show)
            schedule();
    } else if (watched == &m_edit && event->type() == QEvent::PaletteChange) {
        m_formats = formatsFor(m_edit.palette());
        ++m_generation;
        // Blocks off screen take the new colours when they are shown.
        schedule();
    }
    return QObject::eventFilter(watched, event);
}
