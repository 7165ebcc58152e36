#pragma once

#include "search/DocumentSearch.h"

#include <QObject>
#include <QPointer>

#include <functional>

class EditBox;
class Prompts;
class QWidget;
class clsUndo;
class frmReplace;

// Find, Find Next, Find Previous, Replace and Go to Line for the main window.
// Find Next goes on from the caret with the text last searched by the
// Quick Search, the find dialog or Replace, and with the Match case and
// Whole word they last used (the Quick Search uses neither).
class SearchCommands : public QObject
{
    Q_OBJECT

public:
    // note shows one line about what a command did (the hint line).
    SearchCommands(QWidget *window, EditBox &box, clsUndo &undo, Prompts &prompts,
                   std::function<void(const QString &)> note);

    // The current tab's box and engine; the texts and options searched stay.
    void setBox(EditBox &box, clsUndo &undo)
    {
        m_box = &box;
        m_undo = &undo;
    }
    void setLastText(const QString &text) { m_lastText = text; }
    // Runs before a search or Go to Line moves the caret (for Go Back).
    void setBeforeJump(std::function<void()> beforeJump) { m_beforeJump = std::move(beforeJump); }
    const QString &lastText() const { return m_lastText; }
    SearchOptions options() const { return m_options; }

    // The find dialog: from the caret, round the document, as Find Next.
    void find(const QString &text, SearchOptions options);

    // False when there is no text to search for yet.
    bool findNext(bool forward);
    void showReplace();
    void goToLine();

private:
    // Searches, selects and returns the line to tell; "" when nothing is to be told.
    QString find(const QString &text, bool forward, SearchOptions options, bool &found);

    QWidget *m_window;
    EditBox *m_box;
    clsUndo *m_undo;
    Prompts &m_prompts;
    std::function<void(const QString &)> m_note;
    std::function<void()> m_beforeJump;
    QString m_lastText;
    SearchOptions m_options;
    QPointer<frmReplace> m_replace;
};
