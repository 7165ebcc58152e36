#include "gui/editbox/SyntaxColours.h"

#include "gui/editbox/RichTextBox.h"

#include "catalogue/CaretHint.h"
#include "config/ConfigHints.h"

#include <QHelpEvent>
#include <QToolTip>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <optional>
#include <vector>

namespace {

using Sci = QsciScintillaBase;
using Kind = SyntaxToken::Kind;

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

QTextCharFormat coloured(const QColor &colour)
{
    QTextCharFormat format;
    format.setForeground(colour);
    return format;
}

SyntaxColours::Formats madeFormats(const QColor &base, const QColor &text, const QColor &link)
{
    const auto hue = [&](int h) { return coloured(readable(QColor::fromHsl(h, 200, 128), base)); };
    SyntaxColours::Formats f;
    f.kind[int(Kind::Known)] = coloured(readable(link, base));
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
    // Milder: dotted, in a calm blue.
    f.notice.setUnderlineStyle(QTextCharFormat::DotLine);
    f.notice.setUnderlineColor(readable(QColor::fromHsl(210, 200, 128), base));
    // The problems' weights each their own: a red wave for an error, amber
    // dashes for a warning, grey dots for a notice.
    f.problem.setUnderlineStyle(QTextCharFormat::WaveUnderline);
    f.problem.setUnderlineColor(readable(QColor::fromHsl(355, 230, 120), base));
    f.warning.setUnderlineStyle(QTextCharFormat::DashUnderline);
    f.warning.setUnderlineColor(readable(QColor::fromHsl(35, 240, 120), base));
    f.problemNotice.setUnderlineStyle(QTextCharFormat::DotLine);
    f.problemNotice.setUnderlineColor(readable(muted, base));
    return f;
}

// An edit adding more lines than this reindexes the aliases in one pass and
// colours every line afresh as shown.
constexpr int ManyLines = 1000;

} // namespace

SyntaxColours::SyntaxColours(RichTextBox &box, const Catalogue &catalogue, QObject *parent)
    : QsciLexerCustom(parent), m_box(box), m_catalogue(catalogue), m_formats(formatsFor(box.palette()))
{
    setDefaultFont(box.font());
    setFont(box.font(), -1);
    applyFormats();
    box.setLexer(this);
    box.SendScintilla(Sci::SCI_INDICSETSTYLE, BadValueIndicator, long(Sci::INDIC_SQUIGGLE));
    box.SendScintilla(Sci::SCI_INDICSETSTYLE, NoticeIndicator, long(Sci::INDIC_DOTS));
    box.SendScintilla(Sci::SCI_INDICSETSTYLE, ProblemIndicator, long(Sci::INDIC_SQUIGGLE));
    box.SendScintilla(Sci::SCI_INDICSETSTYLE, WarningIndicator, long(Sci::INDIC_DASH));
    box.SendScintilla(Sci::SCI_INDICSETSTYLE, ProblemNoticeIndicator, long(Sci::INDIC_DOTS));
    // Under the value marks where both fall on one word.
    for (const int indicator : {ProblemIndicator, WarningIndicator, ProblemNoticeIndicator})
        box.SendScintilla(Sci::SCI_INDICSETUNDER, indicator, 1L);
    // Widths of that many short runs are kept (see colourLine); with the
    // default 1024, a key typed in a 1 MB line of settings and binds with
    // varied values costs 220 ms, with this 100 ms (a bare box: 410 ms).
    box.SendScintilla(Sci::SCI_SETPOSITIONCACHE, 16384L);
    connect(&box, &RichTextBox::linesReplaced, this, &SyntaxColours::edited);
    box.installEventFilter(this);
    box.viewport()->installEventFilter(this);
    m_stamps.assign(size_t(box.SendScintilla(Sci::SCI_GETLINECOUNT)), 0);
    indexAllLines();
}

SyntaxColours::~SyntaxColours()
{
    if (m_box.lexer() == this)
        m_box.setLexer(nullptr);
}

const char *SyntaxColours::language() const
{
    return "Tessary";
}

QString SyntaxColours::description(int style) const
{
    static const char *const names[] = {"Plain", "Known", "Command", "String", "Number",
                                        "Comment", "Separator", "Prefix", "Keyword", "Blank"};
    static_assert(std::size(names) == BlankStyle + 1);
    return style >= 0 && style < int(std::size(names)) ? QString::fromLatin1(names[style]) : QString();
}

SyntaxColours::Formats SyntaxColours::formatsFor(const QPalette &palette)
{
    const QColor base = palette.color(QPalette::Base);
    const QColor text = palette.color(QPalette::Text);
    // Each new tab's box asks with the same palette: the search for readable
    // colours is made once for it.
    struct Made
    {
        QColor base, text, link;
        Formats formats;
    };
    static std::optional<Made> last;
    const QColor link = palette.color(QPalette::Link);
    if (!last || last->base != base || last->text != text || last->link != link)
        last = Made{base, text, link, madeFormats(base, text, link)};
    return last->formats;
}


void SyntaxColours::applyFormats()
{
    const QPalette palette = m_box.palette();
    setDefaultPaper(palette.color(QPalette::Base));
    setPaper(palette.color(QPalette::Base), -1);
    setDefaultColor(palette.color(QPalette::Text));
    for (int k = 0; k < int(m_formats.kind.size()); ++k) {
        const QTextCharFormat &f = m_formats.kind[k];
        setColor(f.hasProperty(QTextFormat::ForegroundBrush) ? f.foreground().color() : palette.color(QPalette::Text),
                 k);
    }
    setColor(palette.color(QPalette::Text), BlankStyle);
    m_box.SendScintilla(Sci::SCI_INDICSETFORE, uintptr_t(BadValueIndicator), m_formats.badValue.underlineColor());
    m_box.SendScintilla(Sci::SCI_INDICSETFORE, uintptr_t(NoticeIndicator), m_formats.notice.underlineColor());
    m_box.SendScintilla(Sci::SCI_INDICSETFORE, uintptr_t(ProblemIndicator), m_formats.problem.underlineColor());
    m_box.SendScintilla(Sci::SCI_INDICSETFORE, uintptr_t(WarningIndicator), m_formats.warning.underlineColor());
    m_box.SendScintilla(Sci::SCI_INDICSETFORE, uintptr_t(ProblemNoticeIndicator),
                        m_formats.problemNotice.underlineColor());
}

int SyntaxColours::indicatorFor(ProblemWeight weight)
{
    return weight == ProblemWeight::Error     ? ProblemIndicator
           : weight == ProblemWeight::Warning ? WarningIndicator
                                              : ProblemNoticeIndicator;
}

void SyntaxColours::setSyntax(FileSyntax syntax)
{
    if (syntax == m_syntax)
        return;
    m_syntax = syntax;
    recolourAll();
}

void SyntaxColours::recolourAll()
{
    if (++m_generation == 0)
        ++m_generation;
    m_box.viewport()->update();
}

std::pair<long, long> SyntaxColours::window() const
{
    const long top = m_box.SendScintilla(Sci::SCI_GETFIRSTVISIBLELINE);
    const long lines = m_box.SendScintilla(Sci::SCI_GETLINECOUNT);
    const long first = m_box.SendScintilla(Sci::SCI_DOCLINEFROMVISIBLE, top);
    const long last = m_box.SendScintilla(Sci::SCI_DOCLINEFROMVISIBLE, top + m_box.SendScintilla(Sci::SCI_LINESONSCREEN));
    return {first, qMin(lines - 1, last)};
}

// Styles set outside a paint would make Scintilla paint again; styles set
// inside it for lines it does not paint would make it abandon the paint and
// start over. So colouring waits for the paint that shows the line.
void SyntaxColours::resumeAtStaleLine()
{
    const long styled = m_box.SendScintilla(Sci::SCI_LINEFROMPOSITION, m_box.SendScintilla(Sci::SCI_GETENDSTYLED));
    const auto [first, last] = window();
    for (long line = first; line <= qMin(last, styled - 1); ++line) {
        if (stale(line)) {
            m_box.SendScintilla(Sci::SCI_STARTSTYLING, m_box.SendScintilla(Sci::SCI_POSITIONFROMLINE, line), 0x1fL);
            return;
        }
    }
}

void SyntaxColours::styleText(int start, int end)
{
    if (!editor())
        return;
    const long firstLine = m_box.SendScintilla(Sci::SCI_LINEFROMPOSITION, long(start));
    const long lastLine = m_box.SendScintilla(Sci::SCI_LINEFROMPOSITION, long(qMax(start, end - 1)));
    const auto [first, last] = window();
    for (long line = qMax(firstLine, first); line <= qMin(lastLine, last); ++line) {
        if (stale(line))
            colourLine(line);
    }
    // Lines off screen keep their stamps and are coloured when shown.
    startStyling(end);
}

QString SyntaxColours::lineText(long line) const
{
    const long start = m_box.SendScintilla(Sci::SCI_POSITIONFROMLINE, line);
    const long end = m_box.SendScintilla(Sci::SCI_GETLINEENDPOSITION, line);
    return m_box.textRange(m_box.fromBuffer(start), m_box.fromBuffer(end));
}

void SyntaxColours::colourLine(long line)
{
    if (line < long(m_stamps.size()))
        m_stamps[size_t(line)] = m_generation;
    const long start = m_box.SendScintilla(Sci::SCI_POSITIONFROMLINE, line);
    const long end = m_box.SendScintilla(Sci::SCI_GETLINEENDPOSITION, line);
    // Read in place; the gap moves only when the line spans it.
    const auto *data = reinterpret_cast<const char *>(
        m_box.SendScintilla(Sci::SCI_GETRANGEPOINTER, uintptr_t(start), end - start));
    const QString text = QString::fromUtf8(data, end - start);
    // Byte offset of each UTF-16 position of the line.
    std::vector<int> byteOf;
    if (end - start != text.size()) {
        byteOf.reserve(text.size() + 1);
        for (qsizetype i = 0, b = 0; i <= text.size(); ++i) {
            byteOf.push_back(int(b));
            if (i < text.size())
                b += text[i].isLowSurrogate() ? 2 : text[i].unicode() < 0x80 ? 1 : text[i].unicode() < 0x800 ? 2
                                                                              : text[i].isHighSurrogate() ? 2 : 3;
        }
    }
    const auto bytes = [&](int unit) { return byteOf.empty() ? unit : byteOf[unit]; };
    for (const int indicator : {BadValueIndicator, NoticeIndicator}) {
        m_box.SendScintilla(Sci::SCI_SETINDICATORCURRENT, indicator);
        m_box.SendScintilla(Sci::SCI_INDICATORCLEARRANGE, start, end - start);
    }
    QByteArray styles(end - start, char(Kind::Plain));
    for (const SyntaxToken &token : tokenizeLine(text, m_syntax, m_catalogue, &m_aliases, m_elsewhere)) {
        const int from = bytes(token.start);
        const int length = bytes(token.start + token.length) - from;
        std::fill_n(styles.begin() + from, length, char(token.kind));
        if (token.badValue || token.valueNotice) {
            // The analysis reports the same value: the box's own mark, which follows typing, stands alone.
            for (const int indicator : {ProblemIndicator, WarningIndicator}) {
                m_box.SendScintilla(Sci::SCI_SETINDICATORCURRENT, indicator);
                m_box.SendScintilla(Sci::SCI_INDICATORCLEARRANGE, start + from, long(length));
            }
            m_box.SendScintilla(Sci::SCI_SETINDICATORCURRENT, token.badValue ? BadValueIndicator : NoticeIndicator);
            m_box.SendScintilla(Sci::SCI_INDICATORFILLRANGE, start + from, long(length));
        }
    }
    // Scintilla lays a changed line out whole, measuring it in runs of one
    // style, and keeps the widths of runs under 30 bytes. With the blanks
    // between plain words a run of their own, a long line is measured from
    // that cache word by word: a key typed in a 1 MB line of words costs
    // 31 ms instead of 450 ms.
    for (qsizetype i = 0; i < styles.size(); ++i) {
        if (styles[i] == char(Kind::Plain) && (data[i] == ' ' || data[i] == '\t'))
            styles[i] = char(BlankStyle);
    }
    startStyling(int(start));
    m_box.SendScintilla(Sci::SCI_SETSTYLINGEX, uintptr_t(styles.size()), styles.constData());
}

// Rescans only the lines the edit touched; when a name starts or stops
// being an alias, every line is coloured afresh as shown.
void SyntaxColours::edited(int first, int removed, int added)
{
    if (first + removed > long(m_stamps.size())) {
        m_stamps.assign(size_t(m_box.SendScintilla(Sci::SCI_GETLINECOUNT)), 0);
    } else {
        // The styles of the lines replaced are gone; those below move with their text.
        const auto at = m_stamps.begin() + first;
        const int kept = qMin(removed, added);
        std::fill(at, at + kept, 0u);
        if (removed > added)
            m_stamps.erase(at + kept, at + removed);
        else
            m_stamps.insert(at + kept, size_t(added - kept), 0u);
    }
    if (added > ManyLines || first + removed > m_aliases.lineCount()) {
        indexAllLines();
        return;
    }
    QStringList lines;
    for (int n = 0; n < added; ++n)
        lines.append(lineText(first + n));
    const quint64 names = m_aliases.namesGeneration();
    m_aliases.replaceLines(first, removed, lines);
    if (m_aliases.namesGeneration() != names)
        recolourAll();
}

namespace {

// The first "alias" in any letter case in [from, to), or to: Boyer-Moore-Horspool,
// so most bytes of the buffer are skipped unread.
const char *findAlias(const char *from, const char *to)
{
    static constexpr char Word[] = "alias";
    static const auto skip = [] {
        std::array<unsigned char, 256> table;
        table.fill(5);
        for (int i = 0; i < 4; ++i) {
            table[uchar(Word[i])] = uchar(4 - i);
            table[uchar(Word[i] & ~0x20)] = uchar(4 - i);
        }
        return table;
    }();
    for (const char *p = from; p + 5 <= to; p += skip[uchar(p[4])]) {
        if ((p[4] | 0x20) == 's' && (p[0] | 0x20) == 'a' && (p[1] | 0x20) == 'l' && (p[2] | 0x20) == 'i'
            && (p[3] | 0x20) == 'a')
            return p;
    }
    return to;
}

} // namespace

// Only a line holding the word alias can define one: the buffer is searched
// for the word, and only the lines it is found on are decoded and read; the
// rest keep their place in the index as empty lines. A document of millions
// of short lines is never held as a list of strings.
void SyntaxColours::indexAllLines()
{
    constexpr int Piece = 4096;
    m_aliases = AliasIndex();
    const long lines = m_box.SendScintilla(Sci::SCI_GETLINECOUNT);
    const long length = m_box.SendScintilla(Sci::SCI_GETLENGTH);
    const auto *data = static_cast<const char *>(m_box.SendScintillaPtrResult(Sci::SCI_GETCHARACTERPOINTER));
    QStringList piece;
    const auto addEmptyLinesUpTo = [&](long line) {
        while (m_aliases.lineCount() + piece.size() < line) {
            piece.append(QString());
            if (piece.size() >= Piece) {
                m_aliases.replaceLines(m_aliases.lineCount(), 0, piece);
                piece.clear();
            }
        }
    };
    // Line breaks are CR LF or a lone LF here.
    const char *const stop = data + length;
    for (const char *from = data; from < stop;) {
        const char *found = findAlias(from, stop);
        if (found == stop)
            break;
        const char *start = found;
        while (start > from && start[-1] != '\n')
            --start;
        const long line = m_box.SendScintilla(Sci::SCI_LINEFROMPOSITION, long(found - data));
        const auto *next = static_cast<const char *>(std::memchr(found, '\n', size_t(stop - found)));
        const char *end = next ? next : stop;
        addEmptyLinesUpTo(line);
        piece.append(QString::fromUtf8(start, (end > start && end[-1] == '\r' ? end - 1 : end) - start));
        if (!next)
            break;
        from = next + 1;
    }
    addEmptyLinesUpTo(lines);
    m_aliases.replaceLines(m_aliases.lineCount(), 0, piece);
    recolourAll();
}

QString SyntaxColours::toolTipAt(const QPoint &viewportPoint) const
{
    const long at = m_box.SendScintilla(Sci::SCI_CHARPOSITIONFROMPOINTCLOSE, uintptr_t(viewportPoint.x()),
                                        long(viewportPoint.y()));
    if (at < 0)
        return {};
    const long line = m_box.SendScintilla(Sci::SCI_LINEFROMPOSITION, at);
    if (at >= m_box.SendScintilla(Sci::SCI_GETLINEENDPOSITION, line))
        return {};
    const long start = m_box.SendScintilla(Sci::SCI_POSITIONFROMLINE, line);
    const int column = m_box.fromBuffer(at) - m_box.fromBuffer(start);
    const QString text = lineText(line);
    QStringList parts;
    for (const int indicator : {ProblemIndicator, WarningIndicator, ProblemNoticeIndicator}) {
        const long problem = m_box.SendScintilla(Sci::SCI_INDICATORVALUEAT, indicator, at);
        if (problem > 0 && problem <= m_problems.size())
            parts.append(m_problems[problem - 1].message);
    }
    QString explained = hoverText(text, column, m_syntax, m_catalogue, &m_aliases);
    // An alias another file of the configuration defines.
    if (explained.isEmpty() && m_model && m_syntax == FileSyntax::Script) {
        const auto boundary = [](QChar c) { return c.isSpace() || c == u'"' || c == u';'; };
        qsizetype from = column, to = column;
        while (from > 0 && !boundary(text[from - 1]))
            --from;
        while (to < text.size() && !boundary(text[to]))
            ++to;
        if (to > from)
            explained = m_model->aliasExplanation(QStringView(text).mid(from, to - from));
    }
    if (!explained.isEmpty() && !parts.contains(explained))
        parts.append(explained);
    // What applies at start-up, as the hint line says it with the caret here.
    if (!explained.isEmpty() && m_model && m_syntax == FileSyntax::Script) {
        const ConfigHints wider(m_model, m_path, int(line));
        const QString startup = hintAtCaret(text.left(column + 1), m_catalogue, &m_aliases, &wider,
                                            QStringView(text).mid(column + 1)).startup;
        if (!startup.isEmpty())
            parts.append(startup);
    }
    return parts.join(u'\n');
}

void SyntaxColours::setConfiguration(std::shared_ptr<const ConfigModel> model, const QString &path)
{
    m_model = std::move(model);
    m_path = path;
    m_problems.clear();
    if (m_model) {
        const QString here = configPath(path);
        // Problems come file by file: each path is made clean once a run of them.
        QString last;
        bool isHere = false;
        for (const ConfigProblem &problem : m_model->problems) {
            if (problem.path != last || last.isNull()) {
                last = problem.path;
                isHere = !path.isEmpty() && configPath(problem.path) == here;
            }
            if (isHere)
                m_problems.append(problem);
        }
        // The model is shared and never changes: the names are read from it as lines are coloured.
        m_elsewhere = [model = m_model](QStringView name) { return model->alias(name).has_value(); };
    } else {
        m_elsewhere = {};
    }
    markProblems();
    // What counts as known may have changed.
    recolourAll();
}

// The analysis ran on the text as it was when it started; a problem
// beyond the text's end now waits for the next one.
void SyntaxColours::markProblems()
{
    const long length = m_box.SendScintilla(Sci::SCI_GETLENGTH);
    for (const int indicator : {ProblemIndicator, WarningIndicator, ProblemNoticeIndicator}) {
        m_box.SendScintilla(Sci::SCI_SETINDICATORCURRENT, indicator);
        m_box.SendScintilla(Sci::SCI_INDICATORCLEARRANGE, 0L, length);
    }
    const long lines = m_box.SendScintilla(Sci::SCI_GETLINECOUNT);
    for (qsizetype i = 0; i < m_problems.size(); ++i) {
        const ConfigProblem &problem = m_problems[i];
        if (problem.line < 0 || problem.line >= lines)
            continue;
        const long lineStart = m_box.SendScintilla(Sci::SCI_POSITIONFROMLINE, long(problem.line));
        const long lineEnd = m_box.SendScintilla(Sci::SCI_GETLINEENDPOSITION, long(problem.line));
        const int first = m_box.fromBuffer(lineStart);
        const long from = qMin(lineEnd, m_box.toBuffer(first + qMax(0, problem.column)));
        // A problem of the whole line, or one of no length, marks at least a character.
        const long to = problem.length > 0 ? qMin(lineEnd, m_box.toBuffer(first + problem.column + problem.length, true))
                                           : qMin(lineEnd, from + 1);
        if (to <= from)
            continue;
        m_box.SendScintilla(Sci::SCI_SETINDICATORCURRENT, indicatorFor(problem.weight()));
        m_box.SendScintilla(Sci::SCI_SETINDICATORVALUE, long(i + 1));
        m_box.SendScintilla(Sci::SCI_INDICATORFILLRANGE, from, to - from);
    }
    m_box.SendScintilla(Sci::SCI_SETINDICATORVALUE, 1L);
}

bool SyntaxColours::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_box.viewport()) {
        if (event->type() == QEvent::ToolTip) {
            const auto *help = static_cast<QHelpEvent *>(event);
            const QString text = toolTipAt(help->pos());
            if (text.isEmpty())
                QToolTip::hideText();
            else
                QToolTip::showText(help->globalPos(), text, m_box.viewport());
            return true;
        }
        if (event->type() == QEvent::Paint)
            resumeAtStaleLine();
    } else if (watched == &m_box && event->type() == QEvent::PaletteChange) {
        m_formats = formatsFor(m_box.palette());
        applyFormats();
        // Lines off screen take the new colours when they are shown.
        recolourAll();
    }
    return QsciLexerCustom::eventFilter(watched, event);
}
