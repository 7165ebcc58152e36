#include "gui/tabs/DocumentTab.h"

#include "gui/editbox/RichTextBox.h"

const QString &DocumentTab::fileIdentity() const
{
    const QString &file = commands->fileName();
    if (file != m_identityOf) {
        m_identity = ::fileIdentity(file);
        m_identityOf = file;
    }
    return m_identity;
}

bool DocumentTab::isBlank() const
{
    return commands->fileName().isEmpty() && !commands->unsaved() && box->TextLength() == 0;
}
