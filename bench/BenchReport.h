#pragma once

#include <QByteArray>
#include <QCoreApplication>
#include <QString>
#include <QtGlobal>

#include <cstdio>
#include <cstdlib>

// What every benchmark shares: where it draws, and how it states a goal.

// Widgets draw offscreen unless the caller chose a platform.
inline void drawOffscreenUnlessChosen()
{
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
}

// "met" or "MISSED"; a miss makes the whole run fail.
inline const char *verdict(bool met, bool &allMet)
{
    allMet = allMet && met;
    return met ? "met" : "MISSED";
}

// A benchmark that cannot measure what it set out to ends with its reason.
[[noreturn]] inline void fail(const QString &why)
{
    std::fprintf(stderr, "%s: %s\n", qPrintable(QCoreApplication::applicationName()), qPrintable(why));
    std::exit(1);
}
