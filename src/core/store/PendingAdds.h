#pragma once

#include "settings/Result.h"

#include <QByteArray>
#include <QList>
#include <QString>

#include <memory>
#include <optional>

struct mdlVars;

// Mods added since data.dat was last saved. Each add notes beside data.dat,
// before it makes anything, which backup folder and copies it will make or
// replace, so that "Cancel", or the next start after the editor ended
// without saving, takes back exactly what the add made and nothing else.
class PendingAdds
{
public:
    explicit PendingAdds(QString dataFolder);
    ~PendingAdds();
    PendingAdds(const PendingAdds &) = delete;
    PendingAdds &operator=(const PendingAdds &) = delete;

    struct Copy
    {
        QString path;
        QByteArray bytes;               // what the add writes there
        std::optional<QByteArray> old;  // what was there before, if anything
    };

    // Notes an add before it changes the disk; a failure means nothing may be made.
    Status begin(const QString &name, const QString &folder, const QString &backupFolder, bool makesFolder,
                 const QList<Copy> &copies);
    // The slots the add filled, once it is in the lists.
    void registered(int modSlot, const QList<int> &backupSlots);

    // Takes back the last add begun, which made it into no list.
    void discardLast();

    // data.dat now holds every pending add.
    void commit();
    // Takes back every pending add, the newest first: its copies, the folder
    // it made when empty, and its entries in the lists.
    void rollBack(mdlVars &vars);
    bool isEmpty() const;

    // Takes back adds noted by editors that ended before saving them. An add
    // that data.dat lists was saved and stays. Success, or what the user
    // must be told.
    static Status recoverAbandoned(const QString &dataFolder, const mdlVars &saved);

private:
    struct Add;
    QString m_dataFolder;
    QList<std::shared_ptr<Add>> m_adds;
};
