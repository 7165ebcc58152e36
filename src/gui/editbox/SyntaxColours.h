#pragma once

#include "catalogue/AliasIndex.h"
#include "catalogue/ScriptSyntax.h"
#include "config/ConfigAnalysis.h"

#include <Qsci/qscilexercustom.h>

#include <QTextCharFormat>

#include <array>
#include <memory>
#include <vector>

class QPalette;
class QPoint;
class RichTextBox;
struct Catalogue;

// Colours what the edit box shows and explains it on hover: a custom lexer
// for Scintilla.
//
// Only the lines on screen are coloured, as Scintilla paints them. Scintilla
// asks for styles from the first line not yet styled up to the last line it
// paints; the lines of that range off screen are left as they are, and a
// stamp per line (the colours' generation, zero after an edit) tells which
// lines still need colours when they come into view. Before each paint the
// first such line on screen is handed back to Scintilla as unstyled, so
// colouring always happens inside the paint that shows it: no second paint,
// and nothing done for lines not shown. Values out of their range are marked
// with an indicator, values the game takes but changes with a milder one,
// and the problems the configuration's analysis finds in the document with a
// third. Styles are no change of the text: no change notification, no
// modified flag, no undo step.
class SyntaxColours : public QsciLexerCustom
{
    Q_OBJECT

public:
    SyntaxColours(RichTextBox &box, const Catalogue &catalogue, QObject *parent = nullptr);
    ~SyntaxColours() override;

    // The style of blanks between plain words: plain too, but a run of its own.
    static constexpr int BlankStyle = 9;

    // The indicator that marks a bad value.
    static constexpr int BadValueIndicator = 8;
    // A value the game takes but changes (keeps it within bounds).
    static constexpr int NoticeIndicator = 9;
    // A problem of the configuration in this document, one indicator per
    // weight (error, warning, notice); its value is the problem's index in
    // problems(), from 1.
    static constexpr int ProblemIndicator = 10;
    static constexpr int WarningIndicator = 11;
    static constexpr int ProblemNoticeIndicator = 12;
    static int indicatorFor(ProblemWeight weight);

    FileSyntax syntax() const { return m_syntax; }
    void setSyntax(FileSyntax syntax);
    // Colours every line afresh as it is shown, as after a change of syntax:
    // for a text that replaced the whole document.
    void recolourAll();

    // The aliases the document defines, kept up to date with every edit.
    const AliasIndex &aliases() const { return m_aliases; }

    // The latest analysis of the configuration around the document at
    // `path`, or null: its problems here are marked, and the aliases its
    // other files define are known words. Marks follow edits until the next.
    void setConfiguration(std::shared_ptr<const ConfigModel> model, const QString &path);
    const QList<ConfigProblem> &problems() const { return m_problems; }

    // The tooltip for a point of the viewport; empty for none.
    QString toolTipAt(const QPoint &viewportPoint) const;

    // The formats for a palette: one per token kind, and the bad-value mark.
    struct Formats
    {
        std::array<QTextCharFormat, 9> kind;
        QTextCharFormat badValue;
        QTextCharFormat notice;
        QTextCharFormat problem; // an error
        QTextCharFormat warning;
        QTextCharFormat problemNotice;
    };
    static Formats formatsFor(const QPalette &palette);

    const char *language() const override;
    QString description(int style) const override;
    void styleText(int start, int end) override;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void applyFormats();
    void markProblems();
    // Before a paint: the first line on screen still to be coloured becomes
    // where Scintilla's styling resumes.
    void resumeAtStaleLine();
    void edited(int first, int removed, int added);
    void indexAllLines();
    QString lineText(long line) const;
    bool stale(long line) const { return line >= long(m_stamps.size()) || m_stamps[size_t(line)] != m_generation; }
    void colourLine(long line);
    // The document lines on screen, the last partly shown one included.
    std::pair<long, long> window() const;

    RichTextBox &m_box;
    const Catalogue &m_catalogue;
    AliasIndex m_aliases;
    FileSyntax m_syntax = FileSyntax::Script;
    std::shared_ptr<const ConfigModel> m_model;
    QString m_path; // the document's, as the model names it
    QList<ConfigProblem> m_problems;
    KnownNames m_elsewhere;
    Formats m_formats;
    // Counts changes of syntax, palette and aliases, which call for fresh colours.
    uint m_generation = 1;
    // Per line: the generation it was coloured for, 0 for none since its last edit.
    std::vector<uint> m_stamps;
};
