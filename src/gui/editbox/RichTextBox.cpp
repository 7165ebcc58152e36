#include "gui/editbox/RichTextBox.h"

#include "gui/editbox/RichTextBoxAccessible.h"

#include <Qsci/qscilexer.h>

#include <QAccessible>
#include <QScopedValueRollback>

#include <algorithm>
#include <utility>

namespace {

using Sci = QsciScintillaBase;
constexpr long Utf16Index = Sci::SC_LINECHARACTERINDEX_UTF16;

// Bytes and UTF-16 units of the UTF-8 sequence a lead byte starts.
struct Sequence
{
    int bytes;
    int units;
};
Sequence sequenceAt(unsigned char lead)
{
    if (lead < 0x80)
        return {1, 1};
    if ((lead & 0xE0) == 0xC0)
        return {2, 1};
    if ((lead & 0xF0) == 0xE0)
        return {3, 1};
    if ((lead & 0xF8) == 0xF0)
        return {4, 2};
    return {1, 1}; // a stray continuation byte
}

} // namespace

RichTextBox::RichTextBox(Clipboard &clipboard, QWidget *parent) : QsciScintilla(parent), EditBox(clipboard)
{
    setUtf8(true);
    SendScintilla(SCI_SETEOLMODE, SC_EOL_CRLF);
    SendScintilla(SCI_SETUNDOCOLLECTION, 0L);
    SendScintilla(SCI_EMPTYUNDOBUFFER);
    // Every change of the text is the box's own doing and is told from there.
    // Scintilla's change notification would cost a count of the characters
    // before the change (QScintilla's accessibility hook): 0.6 s a key at the
    // end of 20 MB.
    SendScintilla(SCI_SETMODEVENTMASK, 0L);
    SendScintilla(SCI_USEPOPUP, 0L);
    SendScintilla(SCI_SETSCROLLWIDTHTRACKING, 1L);
    SendScintilla(SCI_SETSCROLLWIDTH, 1L);
    // A rectangular selection has no single start and length: no modifier makes one.
    SendScintilla(SCI_SETRECTANGULARSELECTIONMODIFIER, SCMOD_SUPER);
    setContextMenuPolicy(Qt::PreventContextMenu);
    setAcceptDrops(false);
    viewport()->setAcceptDrops(false);
    keepOnlyMovingKeys();
    setMarginWidth(1, 0);
    setMarginLineNumbers(0, true);
    updateMarginWidth();
    // Assistive technology edits through the engine too.
    RichTextBoxAccessible::install();
    connect(this, &QsciScintillaBase::SCN_UPDATEUI, this, [this](int updated) {
        if (SendScintilla(SCI_SELECTIONISRECTANGLE))
            SendScintilla(SCI_SETSELECTIONMODE, SC_SEL_STREAM);
        if (updated & SC_UPDATE_SELECTION)
            emit caretMoved();
    });
}

void RichTextBox::setLineNumbersShown(bool shown)
{
    m_lineNumbers = shown;
    m_marginDigits = -1;
    updateMarginWidth();
}

void RichTextBox::updateMarginWidth()
{
    int digits = 3;
    for (long lines = SendScintilla(SCI_GETLINECOUNT); lines >= 1000; lines /= 10)
        ++digits;
    if (digits == m_marginDigits)
        return;
    m_marginDigits = digits;
    if (m_lineNumbers)
        setMarginWidth(0, QString(digits + 1, u'9'));
    else
        setMarginWidth(0, 0);
}

void RichTextBox::needIndex()
{
    if (m_indexed)
        return;
    SendScintilla(SCI_ALLOCATELINECHARACTERINDEX, Utf16Index);
    m_indexed = true;
    m_lastLine.number = -1;
}

RichTextBox::Line RichTextBox::lineInfo(long number) const
{
    if (number == m_lastLine.number)
        return m_lastLine;
    Line line;
    line.number = number;
    line.start16 = SendScintilla(SCI_INDEXPOSITIONFROMLINE, number, Utf16Index);
    line.startByte = SendScintilla(SCI_POSITIONFROMLINE, number);
    line.units = SendScintilla(SCI_INDEXPOSITIONFROMLINE, number + 1, Utf16Index) - line.start16;
    line.bytes = SendScintilla(SCI_POSITIONFROMLINE, number + 1) - line.startByte;
    m_lastLine = line;
    return line;
}

RichTextBox::Line RichTextBox::lineAt16(int position) const
{
    if (m_lastLine.number >= 0 && position >= m_lastLine.start16 && position < m_lastLine.start16 + m_lastLine.units)
        return m_lastLine;
    return lineInfo(SendScintilla(SCI_LINEFROMINDEXPOSITION, position, Utf16Index));
}

QByteArray RichTextBox::bytes(long from, long to) const
{
    if (to <= from)
        return {};
    QByteArray out(to - from + 1, Qt::Uninitialized);
    SendScintilla(SCI_GETTEXTRANGE, from, to, out.data());
    out.chop(1); // the terminating zero
    return out;
}

char RichTextBox::byteAt(long position) const
{
    return char(SendScintilla(SCI_GETCHARAT, position));
}

bool RichTextBox::insideLineBreak(long bytePosition) const
{
    return bytePosition > 0 && byteAt(bytePosition - 1) == '\r' && byteAt(bytePosition) == '\n';
}

long RichTextBox::toBuffer(int position, bool forward) const
{
    position = qBound(0, position, TextLength());
    if (!m_indexed)
        return position;
    const Line line = lineAt16(position);
    const long offset = position - line.start16;
    if (line.ascii())
        return line.startByte + offset;
    const QByteArray text = bytes(line.startByte, line.startByte + line.bytes);
    long units = 0;
    qsizetype i = 0;
    while (i < text.size()) {
        const Sequence s = sequenceAt(uchar(text[i]));
        if (units + s.units > offset) {
            if (forward && units < offset)
                i += s.bytes;
            break;
        }
        units += s.units;
        i += s.bytes;
    }
    return line.startByte + long(i);
}

int RichTextBox::fromBuffer(long bytePosition) const
{
    if (!m_indexed)
        return int(bytePosition);
    const Line line = lineInfo(SendScintilla(SCI_LINEFROMPOSITION, bytePosition));
    const long offset = bytePosition - line.startByte;
    if (line.ascii())
        return int(line.start16 + offset);
    const QByteArray text = bytes(line.startByte, bytePosition);
    long units = 0;
    for (qsizetype i = 0; i < text.size();) {
        const Sequence s = sequenceAt(uchar(text[i]));
        units += s.units;
        i += s.bytes;
    }
    return int(line.start16 + units);
}

QString RichTextBox::Text() const
{
    if (!m_textValid) {
        const long length = SendScintilla(SCI_GETLENGTH);
        const auto *data = static_cast<const char *>(SendScintillaPtrResult(SCI_GETCHARACTERPOINTER));
        m_text = QString::fromUtf8(data, length);
        m_textValid = true;
    }
    return m_text;
}

EditBox::TextSnapshot RichTextBox::textSnapshot() const
{
    if (m_textValid)
        return [text = m_text] { return text; };
    // The bytes are copied now and decoded later, on whichever thread asks.
    const long length = SendScintilla(SCI_GETLENGTH);
    QByteArray copy(static_cast<const char *>(SendScintillaPtrResult(SCI_GETCHARACTERPOINTER)), length);
    return [copy = std::move(copy)] { return QString::fromUtf8(copy); };
}

void RichTextBox::setText(QString text)
{
    QByteArray utf8;
    bool ascii = true;
    {
        // The decoded text goes before the buffer takes its copy.
        const QString lines = std::move(text);
        utf8 = lines.toUtf8();
        ascii = utf8.size() == lines.size();
    }
    const int linesBefore = int(SendScintilla(SCI_GETLINECOUNT));
    {
        SendScintilla(SCI_CLEARALL);
        if (!ascii) {
            needIndex();
        } else if (m_indexed) {
            SendScintilla(SCI_RELEASELINECHARACTERINDEX, Utf16Index);
            m_indexed = false;
            m_lastLine.number = -1;
        }
        SendScintilla(SCI_APPENDTEXT, uintptr_t(utf8.size()), utf8.constData());
        SendScintilla(SCI_SETEMPTYSELECTION, 0L);
        SendScintilla(SCI_SETFIRSTVISIBLELINE, 0L);
        SendScintilla(SCI_SETXOFFSET, 0L);
    }
    if (QAccessible::isActive()) {
        QAccessibleTextUpdateEvent event(this, 0, QString(), QString());
        QAccessible::updateAccessibility(&event);
    }
    changed(0, linesBefore, int(SendScintilla(SCI_GETLINECOUNT)));
}

void RichTextBox::changed(int first, int removed, int added)
{
    m_textValid = false;
    m_text.clear();
    m_lastLine.number = -1;
    if (removed != added)
        updateMarginWidth();
    emit linesReplaced(first, removed, added);
    raiseChange();
    emit caretMoved();
}

int RichTextBox::TextLength() const
{
    if (!m_indexed)
        return int(SendScintilla(SCI_GETLENGTH));
    return int(SendScintilla(SCI_INDEXPOSITIONFROMLINE, SendScintilla(SCI_GETLINECOUNT), Utf16Index));
}

int RichTextBox::SelStart() const
{
    return fromBuffer(SendScintilla(SCI_GETSELECTIONSTART));
}

int RichTextBox::SelLength() const
{
    const long start = SendScintilla(SCI_GETSELECTIONSTART);
    const long end = SendScintilla(SCI_GETSELECTIONEND);
    return start == end ? 0 : fromBuffer(end) - fromBuffer(start);
}

void RichTextBox::select(int start, int end)
{
    long from = toBuffer(start);
    if (insideLineBreak(from))
        --from;
    long to = from;
    if (end > start) {
        to = toBuffer(end, true);
        if (insideLineBreak(to))
            ++to;
        to = qMax(from, to);
    }
    SendScintilla(SCI_SETSEL, from, to);
    // Up and Down go on from here, as after Scintilla's own moves.
    SendScintilla(SCI_CHOOSECARETX);
    emit caretMoved();
}

void RichTextBox::setSelStart(int position)
{
    select(position, position);
}

void RichTextBox::setSelLength(int length)
{
    const int start = SelStart();
    select(start, start + qMax(0, length));
}

QString RichTextBox::lineBeforeCaret(int limit) const
{
    const long caret = SendScintilla(SCI_GETSELECTIONEND);
    const long lineStart = SendScintilla(SCI_POSITIONFROMLINE, SendScintilla(SCI_LINEFROMPOSITION, caret));
    // Only the piece asked for is read: a line may be megabytes long.
    const QByteArray piece = bytes(qMax(lineStart, caret - 4 * long(limit)), caret);
    qsizetype skip = 0;
    while (skip < piece.size() && (uchar(piece[skip]) & 0xC0) == 0x80)
        ++skip;
    QString text = QString::fromUtf8(piece.constData() + skip, piece.size() - skip);
    // A caret placed between a CR and its LF sits on the line the pair ends.
    if (const qsizetype end = text.lastIndexOf(u'\r'); end >= 0)
        text.remove(0, end + 1);
    if (text.size() > limit)
        text.remove(0, text.size() - limit);
    return text;
}

QString RichTextBox::SelText() const
{
    return QString::fromUtf8(bytes(SendScintilla(SCI_GETSELECTIONSTART), SendScintilla(SCI_GETSELECTIONEND)));
}

QString RichTextBox::textRange(int start, int end) const
{
    return QString::fromUtf8(bytes(toBuffer(start), toBuffer(end)));
}

void RichTextBox::setSelText(const QString &text)
{
    replaceSelection(text);
}

void RichTextBox::setForm(const TextForm &form)
{
    EditBox::setForm(form);
    // Scintilla's own commands (none reach it with the engine bound) write this line end.
    const TextForm::LineBreak eol = form.lineBreak;
    SendScintilla(SCI_SETEOLMODE, eol == TextForm::LineBreak::Lf ? SC_EOL_LF
                                  : eol == TextForm::LineBreak::Cr ? SC_EOL_CR
                                                                   : SC_EOL_CRLF);
}

void RichTextBox::replaceSelection(const QString &text)
{
    const long start = SendScintilla(SCI_GETSELECTIONSTART);
    const long end = SendScintilla(SCI_GETSELECTIONEND);
    if (start == end && text.isEmpty())
        return;
    const QByteArray utf8 = text.toUtf8();
    if (utf8.size() != text.size())
        needIndex();
    const int first = int(SendScintilla(SCI_LINEFROMPOSITION, start));
    const int removed = int(SendScintilla(SCI_LINEFROMPOSITION, end)) - first + 1;
    // A screen reader hears what changed, at the interface's positions.
    const bool told = QAccessible::isActive();
    const int offset = told ? fromBuffer(start) : 0;
    if (told && end > start) {
        QAccessibleTextRemoveEvent event(this, offset, QString::fromUtf8(bytes(start, end)));
        QAccessible::updateAccessibility(&event);
    }
    const long after = start + long(utf8.size());
    // Whether a lone CR and an LF come to stand together as one line end, or
    // part: Scintilla's count of UTF-16 units by line goes wrong when lines
    // join or part that way, so it is counted afresh.
    const char before = start > 0 ? byteAt(start - 1) : 0;
    const char next = byteAt(end);
    const char newFirst = utf8.isEmpty() ? next : utf8.front();
    const char newLast = utf8.isEmpty() ? before : utf8.back();
    // A replacement deletes first: a CR and an LF around the deleted text stand together for a moment.
    const bool pairsChange = m_indexed
        && ((before == '\r' && byteAt(start) == '\n') != (before == '\r' && newFirst == '\n')
            || (end > 0 && byteAt(end - 1) == '\r' && next == '\n') != (newLast == '\r' && next == '\n')
            || (end > start && before == '\r' && next == '\n'));
    SendScintilla(SCI_SETTARGETRANGE, start, end);
    SendScintilla(SCI_REPLACETARGET, uintptr_t(utf8.size()), utf8.constData());
    if (pairsChange) {
        SendScintilla(SCI_RELEASELINECHARACTERINDEX, Utf16Index);
        SendScintilla(SCI_ALLOCATELINECHARACTERINDEX, Utf16Index);
    }
    SendScintilla(SCI_SETSEL, after, after);
    SendScintilla(SCI_CHOOSECARETX);
    if (told && !text.isEmpty()) {
        QAccessibleTextInsertEvent event(this, offset, text);
        QAccessible::updateAccessibility(&event);
    }
    changed(first, removed, int(SendScintilla(SCI_LINEFROMPOSITION, after)) - first + 1);
}

int RichTextBox::findIn(const QString &text, int start, int end) const
{
    // The decoded text is kept until the next change, so a search after a
    // search decodes nothing.
    return EditBox::findIn(text, start, end);
}

QChar RichTextBox::charAt(int position) const
{
    if (!m_indexed)
        return QChar(uchar(byteAt(position)));
    const Line line = lineAt16(position);
    const long offset = position - line.start16;
    if (line.ascii())
        return QChar(uchar(byteAt(line.startByte + offset)));
    const QByteArray text = bytes(line.startByte, line.startByte + line.bytes);
    long units = 0;
    for (qsizetype i = 0; i < text.size();) {
        const Sequence s = sequenceAt(uchar(text[i]));
        if (units + s.units > offset)
            return QString::fromUtf8(text.constData() + i, s.bytes).at(offset - units);
        units += s.units;
        i += s.bytes;
    }
    return QChar();
}

QPoint RichTextBox::caretLineColumn() const
{
    const long caret = SendScintilla(SCI_GETCURRENTPOS);
    const long line = SendScintilla(SCI_LINEFROMPOSITION, caret);
    const int column = fromBuffer(caret) - fromBuffer(SendScintilla(SCI_POSITIONFROMLINE, line));
    return QPoint(column + 1, int(line) + 1);
}

void RichTextBox::SetFocus()
{
    setFocus(Qt::OtherFocusReason);
}

int RichTextBox::FirstVisibleLine() const
{
    return int(SendScintilla(SCI_GETFIRSTVISIBLELINE));
}

int RichTextBox::LineCount() const
{
    return int(SendScintilla(SCI_GETLINECOUNT));
}

bool RichTextBox::scrollToFirstLine(int line)
{
    SendScintilla(SCI_SETFIRSTVISIBLELINE, long(line));
    return true;
}

void RichTextBox::Scroll(ScrollAction action)
{
    const long page = qMax(1L, SendScintilla(SCI_LINESONSCREEN));
    long lines = 0;
    switch (action) {
    case ScrollAction::LineUp: lines = -1; break;
    case ScrollAction::LineDown: lines = 1; break;
    case ScrollAction::PageUp: lines = -page; break;
    case ScrollAction::PageDown: lines = page; break;
    }
    SendScintilla(SCI_LINESCROLL, 0UL, lines);
}

// The window zooms by setting the box's font; the lexer's styles, or the
// default style without one, and the margin follow.
void RichTextBox::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::FontChange && !m_settingFont) {
        const QScopedValueRollback<bool> setting(m_settingFont, true);
        const QFont f = font();
        if (lexer())
            lexer()->setFont(f);
        else
            QsciScintilla::setFont(f);
        setMarginsFont(f);
        m_marginDigits = -1;
        updateMarginWidth();
    }
    QsciScintilla::changeEvent(event);
}
