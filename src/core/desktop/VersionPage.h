#pragma once

#include "settings/Result.h"

#include <QUrl>

#include <functional>

// The project's page that tells whether a newer release exists. "Check For
// New Version" and the about box's link both open it.
namespace VersionPage {

// Opens an address in the user's web browser; false when none could be started.
using UrlOpener = std::function<bool(const QUrl &)>;

// The project's web address, as the about box shows it.
QString siteAddress();
QUrl url();

// What the user is told when no browser opened the page: its address, to copy.
QString notOpened();

// Opens the page; a failure is notOpened().
Status open(const UrlOpener &openUrl);

} // namespace VersionPage
