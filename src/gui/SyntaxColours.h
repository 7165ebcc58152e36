#pragma once

#include "catalogue/AliasIndex.h"
#include "catalogue/ScriptSyntax.h"

#include <QObject>
#include <QTextCharFormat>
#include <QTextLayout>

#include <array>

class QPalette;
class QPlainTextEdit;
class QPoint;
class QTextBlock;
struct Catalogue;

// Colours what the edit box shows and explains it on hover, from the outside.
//
// Only the blocks on screen and a screenful either side are coloured, and
// only when shown: after an edit, a scroll, a resize or a new palette, a pass
// sets formats on those blocks' layouts, which also keep their glyphs while
// there. Layout
// formats are no change of the document: no change notification, no
// modified flag, no undo step, and the text and its rich-text form stay as
// they are.
class SyntaxColours : public QObject
{
    Q_OBJECT

public:
    SyntaxColours(QPlainTextEdit &edit, const Catalogue &catalogue, QObject *parent = nullptr);

    FileSyntax syntax() const { return m_syntax; }
    void setSyntax(FileSyntax syntax);
    // Colours every block afresh, as after a change of syntax: for a text
    // that replaced the whole document.
    void recolourAll();

    // Colours the blocks on screen now (also done by itself after each change).
    void colourVisible();

    // The aliases the document defines, kept up to date with every edit.
    const AliasIndex &aliases() const { return m_aliases; }

    // The tooltip for a point of the viewport; empty for none.
    QString toolTipAt(const QPoint &viewportPoint) const;

    // The formats for a palette: one per token kind, and the bad-value mark.
    struct Formats
    {
        std::array<QTextCharFormat, 9> kind;
        QTextCharFormat badValue;
    };
    static Formats formatsFor(const QPalette &palette);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void schedule();
    void colourEdited(int position, int removed, int added);
    void trackAliases(int position, int added);
    QList<QTextLayout::FormatRange> formatsOf(const QString &text) const;
    // Sets the block's formats unless its text is as when last coloured;
    // returns whether they changed.
    bool recolour(const QTextBlock &block);

    QPlainTextEdit &m_edit;
    const Catalogue &m_catalogue;
    AliasIndex m_aliases;
    FileSyntax m_syntax = FileSyntax::Script;
    Formats m_formats;
    bool m_dirty = false;  // a pass is wanted
    bool m_posted = false; // a queued pass is on its way
    bool m_colouring = false;
    // Counts changes of syntax and palette, which call for fresh formats.
    int m_generation = 0;
    // The blocks coloured at the last pass.
    int m_firstShown = 0;
    int m_lastShown = -1;
    int m_blockCount = 0;
    // The last edit lay within one pass's blocks and added none.
    bool m_editColoured = false;
    // Between an edit's contentsChange and its contentsChanged.
    bool m_inEdit = false;
};
