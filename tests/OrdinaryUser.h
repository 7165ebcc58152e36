#pragma once

#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTest>

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

// Permission failures only show for an ordinary user: root may write anywhere.
// A root test runs the part that needs it as "nobody"; anyone else is
// ordinary already.
struct OrdinaryUser
{
    bool available = false;
    uid_t uid = 0;
    gid_t gid = 0;
    QString why; // when not available

    static OrdinaryUser find()
    {
        OrdinaryUser user;
        if (::geteuid() != 0) {
            user = {true, ::geteuid(), ::getegid(), {}};
        } else if (const passwd *nobody = ::getpwnam("nobody")) {
            user = {true, nobody->pw_uid, nobody->pw_gid, {}};
        } else {
            user.why = QStringLiteral("running as root and there is no user \"nobody\" to drop to");
        }
        return user;
    }

    // Hands a path to the user, with the given mode.
    bool give(const QString &path, mode_t mode) const
    {
        const QByteArray p = QFile::encodeName(path);
        if (::geteuid() == 0 && ::lchown(p.constData(), uid, gid) != 0)
            return false;
        return ::chmod(p.constData(), mode) == 0;
    }

    // Starts a program as the user.
    void start(QProcess &process, const QString &program, const QStringList &arguments) const
    {
        if (::geteuid() == 0) {
            process.start(QStringLiteral("setpriv"), QStringList{"--reuid=" + QString::number(uid),
                                                                 "--regid=" + QString::number(gid), "--clear-groups",
                                                                 program} + arguments);
        } else {
            process.start(program, arguments);
        }
    }
};

inline struct stat statOf(const QString &path)
{
    struct stat st = {};
    ::lstat(QFile::encodeName(path).constData(), &st);
    return st;
}
