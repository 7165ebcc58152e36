#include "gui/window/SearchCommands.h"

#include "documents/Prompts.h"
#include "documents/Texts.h"
#include "editbox/EditBox.h"
#include "gui/dialogs/frmReplace.h"
#include "search/LineNumbers.h"

#include <QWidget>

SearchCommands::SearchCommands(QWidget *window, EditBox &box, clsUndo &undo, Prompts &prompts,
                               std::function<void(const QString &)> note)
    : QObject(window), m_window(window), m_box(&box), m_undo(&undo), m_prompts(prompts), m_note(std::move(note))
{
}

QString SearchCommands::find(const QString &text, bool forward, SearchOptions options, bool &found)
{
    if (m_beforeJump)
        m_beforeJump();
    const FoundAt at = ::findNext(*m_box, text, forward, options);
    found = at.position >= 0;
    if (!found)
        return Texts::couldNotFind(text);
    return at.wrapped ? QString::fromLatin1(forward ? Texts::WrappedToStart : Texts::WrappedToEnd) : QString();
}

void SearchCommands::find(const QString &text, SearchOptions options)
{
    m_lastText = text;
    m_options = options;
    findNext(true);
}

bool SearchCommands::findNext(bool forward)
{
    if (m_lastText.isEmpty())
        return false;
    bool found = false;
    const QString line = find(m_lastText, forward, m_options, found);
    if (!found)
        m_prompts.showMessage(QString::fromLatin1(Texts::NotFoundTitle), line);
    else if (!line.isEmpty())
        m_note(line);
    m_box->SetFocus();
    return true;
}

void SearchCommands::showReplace()
{
    if (!m_replace) {
        frmReplace::Actions actions;
        actions.findNext = [this](const QString &text, SearchOptions options) {
            m_lastText = text;
            m_options = options;
            bool found = false;
            return find(text, true, options, found);
        };
        actions.replace = [this](const QString &text, const QString &replacement, SearchOptions options) {
            m_lastText = text;
            m_options = options;
            FoundAt next;
            replaceSelected(*m_undo, *m_box, text, replacement, options, next);
            if (next.position < 0)
                return Texts::couldNotFind(text);
            return next.wrapped ? QString::fromLatin1(Texts::WrappedToStart) : QString();
        };
        actions.replaceAll = [this](const QString &text, const QString &replacement, SearchOptions options) {
            m_lastText = text;
            m_options = options;
            return Texts::replacedCount(replaceAll(*m_undo, *m_box, text, replacement, options));
        };
        m_replace = new frmReplace(m_window, std::move(actions));
    }
    m_replace->setOptions(m_options);
    // The selection, when it is one line, is what the user wants replaced.
    const QString selected = m_box->SelText();
    m_replace->showWith(selected.contains(u'\n') ? QString() : selected.isEmpty() ? m_lastText : selected);
}

void SearchCommands::goToLine()
{
    const QString text = m_box->Text();
    const int line = m_prompts.askLineNumber(LineNumbers::lineOf(text, m_box->SelStart()), LineNumbers::count(text));
    if (line < 1)
        return;
    if (m_beforeJump)
        m_beforeJump();
    m_box->setSelStart(LineNumbers::startOf(text, line));
    m_box->SetFocus();
}
