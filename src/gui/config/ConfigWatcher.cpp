#include "gui/config/ConfigWatcher.h"

#include "config/ConfigAnalysis.h"
#include "config/KnownCommands.h"

#include <QFileInfo>
#include <QMutex>
#include <QPointer>
#include <QTimer>

namespace {

// Long enough that steady typing takes no snapshot of a large document.
constexpr int PauseMs = 400;

} // namespace

// A large folder's model takes long to free (a 20 MB config holds hundreds
// of thousands of assignments), and the last to let go of it is often a
// view on the window's thread: it is freed on the analysis thread instead.
struct ConfigWatcher::Releaser
{
    QMutex mutex;
    QObject *worker = nullptr; // null once the thread is ending: freed where let go

    std::shared_ptr<const ConfigModel> hold(ConfigModel model, const std::shared_ptr<Releaser> &self)
    {
        return std::shared_ptr<const ConfigModel>(new ConfigModel(std::move(model)), [self](const ConfigModel *m) {
            {
                QMutexLocker lock(&self->mutex);
                if (self->worker && QThread::currentThread() != self->worker->thread()) {
                    QMetaObject::invokeMethod(self->worker, [m] { delete m; });
                    return;
                }
            }
            delete m;
        });
    }
};

ConfigWatcher::ConfigWatcher(const Catalogue &catalogue, Snapshot snapshot, QObject *parent)
    : QObject(parent), m_catalogue(catalogue), m_snapshot(std::move(snapshot))
{
    m_pause = new QTimer(this);
    m_pause->setSingleShot(true);
    m_pause->setInterval(PauseMs);
    connect(m_pause, &QTimer::timeout, this, &ConfigWatcher::start);
    m_worker = new QObject;
    m_worker->moveToThread(&m_thread);
    connect(&m_thread, &QThread::finished, m_worker, &QObject::deleteLater);
    m_thread.setObjectName(QStringLiteral("configuration analysis"));
    m_thread.start(QThread::LowPriority);
    m_releaser = std::make_shared<Releaser>();
    m_releaser->worker = m_worker;
}

ConfigWatcher::~ConfigWatcher()
{
    // Closing waits for no analysis: one under way ends at its next step.
    if (m_analyzer)
        m_analyzer->cancel();
    {
        QMutexLocker lock(&m_releaser->mutex);
        m_releaser->worker = nullptr;
    }
    // The models handed to the thread to free are freed before it ends.
    QMetaObject::invokeMethod(m_worker, [] {}, Qt::BlockingQueuedConnection);
    m_thread.quit();
    m_thread.wait();
}

void ConfigWatcher::documentNamed(const QString &path)
{
    const std::optional<GameFolder> folder = GameFolder::forFile(path);
    const bool sameFolder = folder && m_folder && folder->folder() == m_folder->folder();
    if (!sameFolder) {
        // Its result would be dropped: a job still running on it ends early.
        if (m_analyzer)
            m_analyzer->cancel();
        m_analyzer.reset();
        m_given.clear();
        if (folder) {
            // The catalogue is read by now; it does not change while the program runs.
            if (!m_known)
                m_known = std::make_shared<CatalogueCommands>(m_catalogue);
            m_analyzer = std::make_shared<ConfigAnalyzer>(*folder, *m_known);
            m_last = std::make_shared<std::weak_ptr<const ConfigModel>>();
            if (m_engineOf)
                m_analyzer->setProfile(EngineProfile::fromId(
                    m_engineOf(folder->folder()), EngineProfile::gameOf(QFileInfo(folder->folder()).fileName())));
        }
    }
    m_folder = folder;
    m_path = path;
    m_textChanged = true;
    if (!m_analyzer) {
        m_model.reset();
        m_latest->store(++m_requested);
        emit analysed();
        return;
    }
    syncOpen();
    start();
}

void ConfigWatcher::textChanged()
{
    m_textChanged = true;
    if (m_analyzer)
        m_pause->start();
}

void ConfigWatcher::setAcceptedNames(const QStringList &names)
{
    if (names == m_accepted)
        return;
    m_accepted = names;
    if (m_analyzer)
        start();
}

void ConfigWatcher::refresh()
{
    if (!m_analyzer)
        return;
    syncOpen();
    start();
}

void ConfigWatcher::flushText()
{
    if (!m_analyzer || !m_textChanged || m_path.isEmpty())
        return;
    m_pause->stop();
    giveDocument(m_path, m_snapshot());
    m_textChanged = false;
}

void ConfigWatcher::giveDocument(const QString &path, EditBox::TextSnapshot text)
{
    m_given.insert(path);
    QMetaObject::invokeMethod(m_worker, [analyzer = m_analyzer, path, text = std::move(text)] {
        analyzer->setDocument(path, text());
    });
}

void ConfigWatcher::syncOpen()
{
    QSet<QString> open;
    if (m_open) {
        for (const auto &[file, box] : m_open()) {
            if (file.isEmpty())
                continue;
            const QString path = configPath(file);
            if (path == m_path)
                continue;
            const std::optional<GameFolder> folder = GameFolder::forFile(path);
            if (!folder || folder->folder() != m_folder->folder())
                continue;
            open.insert(path);
            if (!m_given.contains(path))
                giveDocument(path, box->textSnapshot());
        }
    }
    // A closed document, or the old name of one saved under another, is read from disk again.
    for (auto it = m_given.begin(); it != m_given.end();) {
        if (*it == m_path || open.contains(*it)) {
            ++it;
            continue;
        }
        QMetaObject::invokeMethod(m_worker, [analyzer = m_analyzer, path = *it] { analyzer->closeDocument(path); });
        it = m_given.erase(it);
    }
}

void ConfigWatcher::catalogueChanged()
{
    // A job still running keeps the commands it started with.
    m_known.reset();
    if (m_analyzer)
        m_analyzer->cancel();
    m_analyzer.reset();
    m_folder.reset();
    if (!m_path.isEmpty())
        documentNamed(m_path);
}

void ConfigWatcher::start()
{
    m_pause->stop();
    if (!m_analyzer)
        return;
    const quint64 request = ++m_requested;
    m_latest->store(request);
    QPointer<ConfigWatcher> self(this);
    // An unchanged document is not taken and read again: only the files on disk are looked at.
    EditBox::TextSnapshot text = m_textChanged ? m_snapshot() : EditBox::TextSnapshot();
    if (m_textChanged)
        m_given.insert(m_path);
    m_textChanged = false;
    // The analyzer and the commands it reads go with the job, so a job still
    // running when the folder changes finishes on what it started with.
    QMetaObject::invokeMethod(
        m_worker, [self, request, analyzer = m_analyzer, known = m_known, path = m_path, text = std::move(text),
                   accepted = m_accepted, releaser = m_releaser, last = m_last, latest = m_latest] {
            analyzer->setAcceptedNames(accepted);
            if (text)
                analyzer->setDocument(path, text());
            // Opening a file asks several times at once (its name, its text,
            // the window's activation): only the last is analysed, and only
            // when something changed since the last analysis.
            if (request != latest->load())
                return;
            std::shared_ptr<const ConfigModel> model = analyzer->upToDate() ? last->lock() : nullptr;
            if (!model) {
                model = releaser->hold(analyzer->analyze(), releaser);
                *last = model;
            }
            QMetaObject::invokeMethod(self.data(), [self, request, model] {
                // Only the latest request's result is shown; an older one is
                // dropped, and the one shown again changes nothing.
                if (!self || request != self->m_requested || model == self->m_model)
                    return;
                self->m_model = model;
                emit self->analysed();
            });
        });
}
