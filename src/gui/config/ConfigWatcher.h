#pragma once

#include "config/GameFolder.h"
#include "editbox/EditBox.h"

#include <QObject>
#include <QStringList>
#include <QThread>

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

    // `snapshot` takes the document's text cheaply on the window's thread.
    ConfigWatcher(const Catalogue &catalogue, Snapshot snapshot, QObject *parent = nullptr);
    ~ConfigWatcher() override;

    // The document now has this path (empty for a new one): its folder is
    // the game folder, or it stands alone. Analyses at once.
    void documentNamed(const QString &path);
    // The text changed: analysed again once typing pauses.
    void textChanged();
    // Files on disk may have changed (the window became active again).
    void refresh();
    // What the catalogue knows changed (families switched on or off): the
    // analysis starts afresh.
    void catalogueChanged();

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

    const Catalogue &m_catalogue;
    Snapshot m_snapshot;
    std::shared_ptr<const KnownCommands> m_known;
    std::optional<GameFolder> m_folder;
    QString m_path;
    std::shared_ptr<ConfigAnalyzer> m_analyzer;
    std::shared_ptr<const ConfigModel> m_model;
    QStringList m_accepted;
    quint64 m_requested = 0;
    bool m_textChanged = true;
    QTimer *m_pause = nullptr;
    QThread m_thread;
    QObject *m_worker = nullptr; // lives on m_thread
};
