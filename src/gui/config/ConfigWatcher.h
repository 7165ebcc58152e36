#pragma once

#include "config/GameFolder.h"
#include "editbox/EditBox.h"

#include <QObject>
#include <QSet>
#include <QStringList>
#include <QThread>

#include <atomic>
#include <functional>
#include <memory>
#include <optional>

class ConfigAnalyzer;
class ConfigModel;
class KnownCommands;
class QTimer;
struct Catalogue;

// Keeps the analysis of the open document's game folder up to date. It runs
// on a thread of its own, on a snapshot of the document's text taken when
// typing pauses; each result replaces the one before when it arrives, and
// the window never waits for it.
class ConfigWatcher : public QObject
{
    Q_OBJECT

public:
    using Snapshot = std::function<EditBox::TextSnapshot()>;
    // Every open document's path and box, the one in front included.
    using OpenDocuments = std::function<QList<std::pair<QString, const EditBox *>>()>;

    // `snapshot` takes the document's text cheaply on the window's thread.
    ConfigWatcher(const Catalogue &catalogue, Snapshot snapshot, QObject *parent = nullptr);
    ~ConfigWatcher() override;

    // The document now has this path (empty for a new one): its folder is
    // the game folder, or it stands alone. Analyses at once.
    void documentNamed(const QString &path);
    // The text changed: analysed again once typing pauses.
    void textChanged();
    // The other open documents of the folder take part with the text they
    // hold, unsaved changes included, rather than their files on disk.
    void setOpenDocuments(OpenDocuments open) { m_open = std::move(open); }
    // Before another document comes forward: the last changes of this one
    // are handed to the analysis now, not lost with the pause.
    void flushText();
    // Files on disk may have changed (the window became active again).
    void refresh();
    // What the catalogue knows changed (families switched on or off): the
    // analysis starts afresh.
    void catalogueChanged();
    // Where the engine chosen for a folder is read from ("original" without it).
    void setEngineOf(std::function<QString(const QString &folder)> engineOf) { m_engineOf = std::move(engineOf); }
    // The engine chosen for the folder changed: the analysis starts afresh.
    void engineChanged() { catalogueChanged(); }

    // Names declared fine in this folder: analysed again without them.
    void setAcceptedNames(const QStringList &names);

    const std::optional<GameFolder> &folder() const { return m_folder; }
    const QString &documentPath() const { return m_path; }
    // The latest result; null until the first arrives or when the document stands alone.
    std::shared_ptr<const ConfigModel> model() const { return m_model; }

signals:
    void analysed();

private:
    void start();
    // Hands the analysis the open documents of the folder it has not had,
    // and takes back those closed or renamed since.
    void syncOpen();
    void giveDocument(const QString &path, EditBox::TextSnapshot text);

    const Catalogue &m_catalogue;
    Snapshot m_snapshot;
    std::function<QString(const QString &)> m_engineOf;
    std::shared_ptr<const KnownCommands> m_known;
    std::optional<GameFolder> m_folder;
    QString m_path;
    std::shared_ptr<ConfigAnalyzer> m_analyzer;
    // Touched on the thread only: the analyzer's last model, while anybody holds it.
    std::shared_ptr<std::weak_ptr<const ConfigModel>> m_last;
    // The latest request, read by the thread: a job a later one replaced before it began is not run.
    std::shared_ptr<std::atomic<quint64>> m_latest = std::make_shared<std::atomic<quint64>>(0);
    std::shared_ptr<const ConfigModel> m_model;
    QStringList m_accepted;
    quint64 m_requested = 0;
    bool m_textChanged = true;
    OpenDocuments m_open;
    QSet<QString> m_given; // documents whose text the analyzer holds
    QTimer *m_pause = nullptr;
    QThread m_thread;
    QObject *m_worker = nullptr; // lives on m_thread
    struct Releaser;
    std::shared_ptr<Releaser> m_releaser; // frees the models on m_thread
};
