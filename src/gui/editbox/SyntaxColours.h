#pragma once

#include "catalogue/AliasIndex.h"
#include "catalogue/ScriptSyntax.h"
#include "config/ConfigAnalysis.h"

#include <Qsci/qscilexercustom.h>

#include <QTextCharFormat>

#include <array>
#include <memory>

class QPalette;
class QPoint;
class RichTextBox;
struct Catalogue;

// Colours what the edit box shows and explains it on hover: a custom lexer
// for Scintilla.
//
// Scintilla asks for styles from the first line not yet styled up to the
// last line it shows; only the lines on screen and a screenful either side
// are coloured, the rest of the range is left as it is and coloured when
// scrolled into view. Each coloured line keeps, as its line state, a hash of
// the text and colours it was coloured for, so a pass skips lines that have
// not changed. Values out of their range are marked with an indicator, values
// the game takes but changes with a milder one, and the problems the
// configuration's analysis finds in the document with a third.
// Styles are no change of the text: no change notification, no modified
// flag, no undo step.
class SyntaxColours : public QsciLexerCustom
{
    Q_OBJECT

public:
    SyntaxColours(RichTextBox &box, const Catalogue &catalogue, QObject *parent = nullptr);
    ~SyntaxColours() override;

    // The indicator that marks a bad value.
    static constexpr int BadValueIndicator = 8;
    // A value the game takes but changes (keeps it within bounds).
    static constexpr int NoticeIndicator = 9;
    // A problem of the configuration in this document; its value is the
    // problem's index in problems(), from 1.
    static constexpr int ProblemIndicator = 10;

    FileSyntax syntax() const { return m_syntax; }
    void setSyntax(FileSyntax syntax);
    // Colours every line afresh as it is shown, as after a change of syntax:
    // for a text that replaced the whole document.
    void recolourAll();

    // Colours the lines on screen now (also done by itself after each scroll).
    void colourVisible();

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
        QTextCharFormat problem;
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
    void schedule();
    void edited(int first, int removed, int added);
    void indexAllLines();
    QString lineText(long line) const;
    // Styles the line unless its text and colours are as when last styled;
    // returns whether it did.
    bool colourLine(long line);
    // The lines worth colouring now: on screen and a screenful either side.
    std::pair<long, long> window() const;

    RichTextBox &m_box;
    const Catalogue &m_catalogue;
    AliasIndex m_aliases;
    FileSyntax m_syntax = FileSyntax::Script;
    std::shared_ptr<const ConfigModel> m_model;
    QList<ConfigProblem> m_problems;
    KnownNames m_elsewhere;
    Formats m_formats;
    // Counts changes of syntax, palette and aliases, which call for fresh colours.
    uint m_generation = 1;
    bool m_posted = false;
};
