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

    // Opens a temporary folder to the user's reading and entering, so what
    // is given inside it can be reached.
    static bool enterable(const QString &folder)
    {
        return QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner | QFile::ReadOther
                                                 | QFile::ExeOther);
    }

    // A session of the user's own, its data and runtime folders in `home`.
    static QProcessEnvironment session(const QString &home)
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("HOME"), home);
        env.insert(QStringLiteral("XDG_DATA_HOME"), home + QStringLiteral("/.local/share"));
        env.insert(QStringLiteral("XDG_RUNTIME_DIR"), home);
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        return env;
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
