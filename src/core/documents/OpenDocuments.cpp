#include "documents/OpenDocuments.h"

#include "documents/Prompts.h"
#include "documents/TabLabels.h"
#include "documents/Texts.h"
#include "editbox/EditBox.h"
#include "settings/RegularFile.h"

#include <QSet>

#include <utility>

OpenDocument::OpenDocument(EditBox &box, Prompts &prompts)
    : commands(std::make_unique<DocumentCommands>(box, prompts)), m_box(box)
{
}

OpenDocument::~OpenDocument() = default;

bool OpenDocument::isBlank() const
{
    return fileName().isEmpty() && !commands->unsaved() && m_box.TextLength() == 0;
}

const QString &OpenDocument::fileIdentity() const
{
    const QString &file = fileName();
    if (file != m_identityOf) {
        m_identity = ::fileIdentity(file);
        m_identityOf = file;
    }
    return m_identity;
}

OpenDocuments::OpenDocuments(Prompts &prompts, Maker make) : m_prompts(prompts), m_make(std::move(make)) {}

// The documents go before the views that made them.
OpenDocuments::~OpenDocuments()
{
    m_current = nullptr;
    m_documents.clear();
}

void OpenDocuments::setRecoveryStore(RecoveryStore *store)
{
    m_recovery = store;
    for (const auto &document : m_documents)
        document->commands->setRecoveryStore(store, document->commands->document().recoverySlot);
}

int OpenDocuments::indexOf(const OpenDocument *document) const
{
    for (size_t i = 0; i < m_documents.size(); ++i) {
        if (m_documents[i].get() == document)
            return int(i);
    }
    return -1;
}

OpenDocument *OpenDocuments::find(const QString &path) const
{
    const QString identity = fileIdentity(path);
    if (identity.isEmpty())
        return nullptr;
    for (const auto &document : m_documents) {
        if (document->fileIdentity() == identity)
            return document.get();
    }
    return nullptr;
}

std::unique_ptr<OpenDocument> OpenDocuments::make()
{
    std::unique_ptr<OpenDocument> owned = m_make();
    OpenDocument &document = *owned;
    DocumentCommands &commands = *document.commands;
    commands.setRecoveryStore(m_recovery, m_nextRecoverySlot++);
    if (m_current)
        commands.setLastChosen(m_current->commands->lastChosen());
    // Two documents never hold one file: a later save in either would
    // overwrite the other. Unsaved changes in the one Save As replaces are asked about.
    commands.setSaveAsCheck([this, &document](const QString &path) {
        const OpenDocument *other = find(path);
        return !other || other == &document || !other->commands->unsaved()
               || m_prompts.askYesNo(Texts::replaceOpenFile(path));
    });
    commands.setSavedAsHandler([this, &document] {
        closeOthersOf(document);
        if (m_views.named)
            m_views.named(document);
        changed();
    });
    return owned;
}

OpenDocument &OpenDocuments::insert(std::unique_ptr<OpenDocument> owned)
{
    OpenDocument &document = *owned;
    m_documents.push_back(std::move(owned));
    if (m_views.added)
        m_views.added(document);
    return document;
}

OpenDocument &OpenDocuments::add()
{
    return insert(make());
}

void OpenDocuments::start()
{
    if (m_documents.empty())
        bringForward(add());
}

void OpenDocuments::bringForward(OpenDocument &document, bool justRead)
{
    m_current = &document;
    if (m_views.broughtForward)
        m_views.broughtForward(document, justRead);
}

void OpenDocuments::setCurrent(int index)
{
    if (index < 0 || index >= count() || m_documents[size_t(index)].get() == m_current)
        return;
    bringForward(*m_documents[size_t(index)]);
    changed();
}

void OpenDocuments::next(int step)
{
    if (count() > 1)
        setCurrent((currentIndex() + step % count() + count()) % count());
}

void OpenDocuments::move(int from, int to)
{
    if (from == to || from < 0 || to < 0 || from >= count() || to >= count())
        return;
    std::unique_ptr<OpenDocument> moved = std::move(m_documents[size_t(from)]);
    m_documents.erase(m_documents.begin() + from);
    m_documents.insert(m_documents.begin() + to, std::move(moved));
    changed();
}

void OpenDocuments::addBlank()
{
    if (!m_current || !m_current->isBlank())
        bringForward(add());
    changed();
}

OpenDocuments::Opened OpenDocuments::open(const QString &path)
{
    if (OpenDocument *open = find(path)) {
        if (open != m_current) {
            bringForward(*open);
            changed();
        }
        return Opened::AlreadyOpen;
    }
    // Read before it is shown: its label and the views follow the file at once.
    const bool replacing = m_current && m_current->isBlank();
    std::unique_ptr<OpenDocument> made = replacing ? nullptr : make();
    OpenDocument &loading = replacing ? *m_current : *made;
    if (!loading.commands->openPath(path))
        return Opened::Failed;
    OpenDocument &document = made ? insert(std::move(made)) : loading;
    if (m_views.loaded)
        m_views.loaded(document);
    bringForward(document, true);
    changed();
    return Opened::Opened;
}

void OpenDocuments::openCommandLine(const QString &argument)
{
    m_current->commands->loadCommandLine(argument);
    changed();
}

bool OpenDocuments::close(int index)
{
    if (index < 0 || index >= count())
        return false;
    OpenDocument &document = *m_documents[size_t(index)];
    if (document.commands->unsaved()) {
        if (&document != m_current)
            bringForward(document);
        if (!document.commands->maybeSave()) {
            changed();
            return false;
        }
    }
    document.commands->forgetRecoveryCopy();
    // The window keeps a document: the last one closed leaves a blank Untitled one.
    if (count() == 1)
        bringForward(add());
    remove(indexOf(&document));
    changed();
    return true;
}

void OpenDocuments::remove(int index)
{
    OpenDocument &document = *m_documents[size_t(index)];
    if (&document == m_current) {
        const int next = index + 1 < count() ? index + 1 : index - 1;
        bringForward(*m_documents[size_t(next)]);
    }
    if (m_views.removing)
        m_views.removing(index, document);
    const std::unique_ptr<OpenDocument> gone = std::move(m_documents[size_t(index)]);
    m_documents.erase(m_documents.begin() + index);
}

void OpenDocuments::closeOthersOf(const OpenDocument &saved)
{
    for (int i = count() - 1; i >= 0; --i) {
        OpenDocument &other = *m_documents[size_t(i)];
        if (&other != &saved && other.fileIdentity() == saved.fileIdentity()) {
            other.commands->forgetRecoveryCopy();
            remove(i);
        }
    }
}

void OpenDocuments::offerRecovery()
{
    if (!m_current)
        return;
    m_current->commands->offerRecovery([this](const RecoveryStore::Copy &copy) -> DocumentCommands & {
        // Its file's own document, even one restored a moment ago: a second
        // copy of the file is asked about there rather than opened beside it.
        OpenDocument *document = find(copy.documentPath);
        if (!document)
            document = m_current->isBlank() ? m_current : &add();
        if (document != m_current)
            bringForward(*document);
        return *document->commands;
    });
    changed();
}

bool OpenDocuments::maybeSaveAll()
{
    const QStringList names = tabLabels([this] {
        QStringList paths;
        for (const auto &document : m_documents)
            paths << document->fileName();
        return paths;
    }());
    std::vector<OpenDocument *> unsaved;
    QStringList unsavedNames;
    for (size_t i = 0; i < m_documents.size(); ++i) {
        if (m_documents[i]->commands->unsaved()) {
            unsaved.push_back(m_documents[i].get());
            unsavedNames << names[qsizetype(i)];
        }
    }
    if (unsaved.empty())
        return true;
    if (unsaved.size() == 1) {
        if (unsaved.front() != m_current)
            bringForward(*unsaved.front());
        const bool answered = unsaved.front()->commands->maybeSave();
        changed();
        return answered;
    }
    switch (m_prompts.askSaveAll(unsavedNames)) {
    case Prompts::SaveChoice::Save:
        return saveAll();
    case Prompts::SaveChoice::Discard:
        return true;
    case Prompts::SaveChoice::Cancel:
        break;
    }
    return false;
}

bool OpenDocuments::saveAll()
{
    std::vector<OpenDocument *> unsaved;
    for (const auto &document : m_documents) {
        if (document->commands->unsaved())
            unsaved.push_back(document.get());
    }
    bool saved = true;
    for (OpenDocument *document : unsaved) {
        // Gone: an earlier document's Save As took its file, as the user agreed.
        if (indexOf(document) < 0)
            continue;
        if (document != m_current)
            bringForward(*document);
        if (!document->commands->save()) {
            saved = false;
            break;
        }
    }
    changed();
    return saved;
}

void OpenDocuments::forgetRecoveryCopies()
{
    for (const auto &document : m_documents)
        document->commands->forgetRecoveryCopy();
}

QStringList OpenDocuments::labels() const
{
    QStringList paths;
    for (const auto &document : m_documents)
        paths << document->fileName();
    QStringList labels = tabLabels(paths);
    for (size_t i = 0; i < m_documents.size(); ++i) {
        if (m_documents[i]->commands->unsaved())
            labels[qsizetype(i)] += u'*';
    }
    return labels;
}

QStringList OpenDocuments::sessionFiles() const
{
    QStringList files;
    for (const auto &document : m_documents) {
        if (!document->fileName().isEmpty())
            files << document->fileName();
    }
    return files;
}

// An Untitled document in front: the first file.
int OpenDocuments::sessionCurrent() const
{
    if (!m_current || m_current->fileName().isEmpty())
        return 0;
    int current = 0;
    for (const auto &document : m_documents) {
        if (document.get() == m_current)
            break;
        if (!document->fileName().isEmpty())
            ++current;
    }
    return current;
}

QStringList OpenDocuments::beginSession(const QStringList &files, int current, bool reopen)
{
    QStringList missing;
    if (!reopen) {
        m_session = std::make_pair(files, current);
        return missing;
    }
    const QString front = files.value(current);
    QSet<QString> seen;
    for (const QString &file : files) {
        if (!RegularFile::exists(file) || !RegularFile::check(file)) {
            missing << file;
            continue;
        }
        // Once each, however often the list names a file.
        if (const QString identity = fileIdentity(file); !seen.contains(identity)) {
            seen.insert(identity);
            open(file);
        }
    }
    if (OpenDocument *document = find(front); document && document != m_current)
        bringForward(*document);
    // Told once, when it differs from the saved one (files gone, say).
    m_session = std::make_pair(files, current);
    changed();
    return missing;
}

void OpenDocuments::changed()
{
    if (m_views.labelsChanged)
        m_views.labelsChanged();
    if (!m_session)
        return;
    auto now = std::make_pair(sessionFiles(), sessionCurrent());
    if (now == *m_session)
        return;
    m_session = std::move(now);
    if (m_views.sessionChanged)
        m_views.sessionChanged(m_session->first, m_session->second);
}
