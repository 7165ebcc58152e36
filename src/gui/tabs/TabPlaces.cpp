#include "gui/tabs/TabPlaces.h"

#include "gui/editbox/RichTextBox.h"
#include "gui/tabs/DocumentTab.h"
#include "gui/tabs/DocumentTabs.h"
#include "search/JumpHistory.h"
#include "documents/Prompts.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

TabPlaces::TabPlaces(DocumentTabs &tabs, Prompts &prompts, std::function<void(const QString &)> open)
    : m_tabs(tabs), m_prompts(prompts), m_open(std::move(open))
{
}

QString TabPlaces::keyOf(const DocumentTab &tab)
{
    if (tab.commands->fileName().isEmpty())
        return QStringLiteral("\x01tab %1").arg(quintptr(&tab));
    return tab.fileIdentity();
}

JumpPlace TabPlaces::here() const
{
    const DocumentTab &front = m_tabs.front();
    return JumpPlace{keyOf(front), front.box->SelStart()};
}

bool TabPlaces::goTo(const JumpPlace &place)
{
    OpenDocuments &documents = m_tabs.documents();
    DocumentTab *target = nullptr;
    for (DocumentTab *tab : m_tabs.all()) {
        if (keyOf(*tab) == place.document)
            target = tab;
    }
    // A file whose tab was closed opens again.
    if (!target && !place.document.startsWith(u'\x01') && QFileInfo::exists(place.document)) {
        m_open(place.document);
        target = static_cast<DocumentTab *>(documents.find(place.document));
    }
    if (!target)
        return false;
    if (target != &m_tabs.front())
        documents.setCurrent(documents.indexOf(target));
    RichTextBox &box = *m_tabs.front().box;
    box.setSelStart(qMin(place.position, box.TextLength()));
    box.SetFocus();
    return true;
}

void TabPlaces::appendLine(const QString &path, const QString &line)
{
    if (!QFileInfo::exists(path)) {
        QFile made(path);
        if (!made.open(QIODevice::WriteOnly)) {
            m_prompts.showError(QCoreApplication::translate("frmTessary", "%1 cannot be made: %2")
                                    .arg(QDir::toNativeSeparators(path), made.errorString()));
            return;
        }
    }
    m_open(path);
    OpenDocuments &documents = m_tabs.documents();
    const OpenDocument *document = documents.find(path);
    if (!document || document != documents.current())
        return;
    DocumentTab &front = m_tabs.front();
    RichTextBox &box = *front.box;
    const int end = box.TextLength();
    const bool lineEnded = end == 0 || box.textRange(end - 1, end) == u"\n";
    box.setSelStart(end);
    // Through the undo engine, so one undo takes it back.
    front.undo->InsertText((lineEnded ? QString() : QStringLiteral("\r\n")) + line + QStringLiteral("\r\n"));
    box.SetFocus();
}
