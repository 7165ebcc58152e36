#include "editor/DocumentCommands.h"

#include "app/mdlVars.h"
#include "editor/DocumentFile.h"
#include "editor/EditBox.h"
#include "editor/Prompts.h"
#include "editor/Texts.h"

DocumentCommands::DocumentCommands(mdlVars &vars, EditBox &box, Prompts &prompts)
    : m_vars(vars), m_box(box), m_prompts(prompts)
{
}

void DocumentCommands::replaceText(QString text)
{
    m_box.setText(std::move(text));
    m_box.setModified(false);
    if (m_onReplaced)
        m_onReplaced();
}

void DocumentCommands::newDocument()
{
    if (!maybeSave())
        return;
    replaceText(QString());
    m_vars.strFilename.clear();
}

bool DocumentCommands::open()
{
    if (!maybeSave())
        return false;
    const QString path = m_prompts.chooseOpenPath(QString::fromLatin1(Texts::OpenTitle), Texts::fileDialogFilters(),
                                                  m_dialogFileName);
    if (path.isEmpty())
        return false;
    m_dialogFileName = path;
    Result<QString> text = LoadDocument(path);
    if (!text) {
        m_prompts.showError(Texts::couldNotOpen(text.error()));
        return false;
    }
    replaceText(text.take());
    m_vars.strFilename = path;
    return true;
}

bool DocumentCommands::save()
{
    if (m_vars.strFilename.isEmpty())
        return saveAs();
    return saveTo(m_vars.strFilename);
}

bool DocumentCommands::saveAs()
{
    const QString path = m_prompts.chooseSavePath(QString::fromLatin1(Texts::SaveAsTitle), Texts::fileDialogFilters(),
                                                  m_dialogFileName);
    if (path.isEmpty())
        return false;
    m_dialogFileName = path;
    return saveTo(path);
}

bool DocumentCommands::saveTo(const QString &path)
{
    const QString text = m_box.Text();
    const DocumentFile::Unencodable bad = DocumentFile::firstUnencodable(text);
    if (bad.position >= 0 && !m_prompts.confirmSave(Texts::lossySave(bad.line, bad.character)))
        return false;
    const Status saved = SaveDocument(path, text);
    if (!saved) {
        m_prompts.showError(Texts::couldNotSave(saved.error()));
        return false;
    }
    m_box.setModified(false);
    return true;
}

void DocumentCommands::loadCommandLine(const QString &argument)
{
    QString path = argument;
    if (path.size() >= 2 && path.startsWith(u'"') && path.endsWith(u'"'))
        path = path.mid(1, path.size() - 2);
    if (path.isEmpty())
        return;
    Result<QString> text = LoadDocument(path);
    if (!text) {
        m_prompts.showError(Texts::couldNotOpen(text.error()));
        replaceText(QString());
        return;
    }
    replaceText(text.take());
}

bool DocumentCommands::maybeSave()
{
    if (!m_box.isModified())
        return true;
    switch (m_prompts.askSaveChanges()) {
    case Prompts::SaveChoice::Save:
        return save();
    case Prompts::SaveChoice::Discard:
        return true;
    case Prompts::SaveChoice::Cancel:
        break;
    }
    return false;
}
