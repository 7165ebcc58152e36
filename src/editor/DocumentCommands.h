#pragma once

#include <QString>

#include <functional>

class EditBox;
class Prompts;
struct mdlVars;

// New, Open, Save and Save As on the edit box's text.
//
// strFilename is set only by Open and cleared by New, so a Save after New
// asks for a name. Before the edited text is replaced the user is asked
// whether to save it; a file that cannot be read or written is reported.
class DocumentCommands
{
public:
    DocumentCommands(mdlVars &vars, EditBox &box, Prompts &prompts);

    void newDocument();
    // Each returns whether it did its work (false: cancelled or failed).
    bool open();
    bool save();
    bool saveAs();

    // Loads the file named on the command line without making it the
    // current file; strips one pair of surrounding double quotes.
    void loadCommandLine(const QString &argument);

    // Asks about unsaved changes; false when the user cancels.
    bool maybeSave();

    // Called after New, Open or the command-line load has replaced the
    // whole text (the box is then unmodified): the undo history of the old
    // text no longer applies to the new one.
    void setDocumentReplacedHandler(std::function<void()> handler) { m_onReplaced = std::move(handler); }

    // The path the file dialog starts from: the last one chosen.
    const QString &dialogFileName() const { return m_dialogFileName; }

private:
    bool saveTo(const QString &path);
    void replaceText(QString text);

    mdlVars &m_vars;
    EditBox &m_box;
    Prompts &m_prompts;
    QString m_dialogFileName;
    std::function<void()> m_onReplaced;
};
