#pragma once

#include <QUrl>

#include <functional>

// Opens an address in the user's web browser. Where the desktop's opener
// reports only later that no browser took the address (xdg-open), `failed`
// runs then. False when nothing could be started at all.
bool openInBrowser(const QUrl &url, std::function<void()> failed);
