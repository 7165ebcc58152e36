#include "gui/dialogs/MatchMarks.h"

#include "gui/editbox/RichTextBox.h"
#include "gui/editbox/SyntaxColours.h"

#include <QCoreApplication>
#include <QPalette>

namespace MatchMarks {

static_assert(Indicator > SyntaxColours::ProblemNoticeIndicator && Indicator > SyntaxColours::WarningIndicator
                  && Indicator > SyntaxColours::ProblemIndicator && Indicator > SyntaxColours::NoticeIndicator
                  && Indicator > SyntaxColours::BadValueIndicator,
              "the find marks share an indicator with the editor's own");

using Sci = QsciScintillaBase;

MatchCount mark(RichTextBox &box, const QString &text, SearchOptions options)
{
    clear(box);
    const QList<int> starts = occurrences(box.Text(), text, options);
    box.SendScintilla(Sci::SCI_INDICSETSTYLE, Indicator, long(Sci::INDIC_ROUNDBOX));
    box.SendScintilla(Sci::SCI_INDICSETFORE, uintptr_t(Indicator), box.palette().color(QPalette::Highlight));
    box.SendScintilla(Sci::SCI_INDICSETALPHA, Indicator, 90L);
    box.SendScintilla(Sci::SCI_INDICSETUNDER, Indicator, 1L);
    box.SendScintilla(Sci::SCI_SETINDICATORCURRENT, Indicator);
    const int length = int(text.size());
    for (qsizetype i = 0; i < starts.size() && i < MostMarked; ++i) {
        const long from = box.toBuffer(starts[i]);
        box.SendScintilla(Sci::SCI_INDICATORFILLRANGE, from, box.toBuffer(starts[i] + length, true) - from);
    }
    return countAt(starts, box.SelStart());
}

void clear(RichTextBox &box)
{
    box.SendScintilla(Sci::SCI_SETINDICATORCURRENT, Indicator);
    box.SendScintilla(Sci::SCI_INDICATORCLEARRANGE, 0L, box.SendScintilla(Sci::SCI_GETLENGTH));
}

void centre(RichTextBox &box)
{
    const long caret = box.SendScintilla(Sci::SCI_GETCURRENTPOS);
    const long shown = box.SendScintilla(Sci::SCI_VISIBLEFROMDOCLINE, box.SendScintilla(Sci::SCI_LINEFROMPOSITION, caret));
    const long first = box.SendScintilla(Sci::SCI_GETFIRSTVISIBLELINE);
    const long onScreen = qMax(1L, box.SendScintilla(Sci::SCI_LINESONSCREEN));
    if (shown >= first + onScreen / 4 && shown < first + onScreen - onScreen / 4)
        return;
    box.SendScintilla(Sci::SCI_SETFIRSTVISIBLELINE, qMax(0L, shown - onScreen / 2));
}

QRect selectionOnScreen(const RichTextBox &box)
{
    auto &scintilla = const_cast<RichTextBox &>(box);
    const long from = scintilla.SendScintilla(Sci::SCI_GETSELECTIONSTART);
    const long to = scintilla.SendScintilla(Sci::SCI_GETSELECTIONEND);
    const long line = scintilla.SendScintilla(Sci::SCI_LINEFROMPOSITION, from);
    const int left = int(scintilla.SendScintilla(Sci::SCI_POINTXFROMPOSITION, 0UL, from));
    const int top = int(scintilla.SendScintilla(Sci::SCI_POINTYFROMPOSITION, 0UL, from));
    const int right = int(scintilla.SendScintilla(Sci::SCI_POINTXFROMPOSITION, 0UL, to));
    const int height = int(scintilla.SendScintilla(Sci::SCI_TEXTHEIGHT, line));
    const QRect inView(QPoint(left, top), QPoint(qMax(left, right), top + height - 1));
    return QRect(box.viewport()->mapToGlobal(inView.topLeft()), inView.size());
}

frmFind::Actions findActions(std::function<RichTextBox &()> box, std::function<void(const QString &, SearchOptions)> find)
{
    frmFind::Actions actions;
    actions.find = [box, find](const QString &text, SearchOptions options) {
        find(text, options);
        centre(box());
        const MatchCount count = mark(box(), text, options);
        const auto tr = [](const char *text) { return QCoreApplication::translate("frmTessary", text); };
        return count.total == 0  ? tr("No matches")
               : count.number > 0 ? tr("%1 of %2").arg(count.number).arg(count.total)
                                  : tr("%1 matches").arg(count.total);
    };
    actions.hidden = [box] { clear(box()); };
    actions.view = [box] { return QRect(box().mapToGlobal(QPoint(0, 0)), box().size()); };
    actions.match = [box] { return selectionOnScreen(box()); };
    return actions;
}

} // namespace MatchMarks
