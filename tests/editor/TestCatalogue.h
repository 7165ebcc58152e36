#pragma once

#include "editor/Catalogue.h"

#include <memory>

// A small catalogue of real-looking entries: name, range, text, note.
inline std::unique_ptr<Catalogue> testCatalogue()
{
    static const char *const entries[][4] = {
        {"sensitivity", "0.1-10", "Mouse sensitivity", "default 3"},
        {"cl_updaterate", "10-101", "Updates a second from the server", ""},
        {"volume", "0-1", "Sound volume", ""},
        {"fps_max", "20 or more", "Frame rate cap", ""},
        {"m_yaw", "any number", "Mouse yaw factor", ""},
        {"name", "any text", "Player name", ""},
        {"+attack", "none", "Fire while held", ""},
        {"lookspring", "-1-1", "Centre the view when moving", ""},
        {"jump", "none", "Jump once", ""},
    };
    auto catalogue = std::make_unique<Catalogue>();
    int k = 0;
    for (const auto &e : entries) {
        ++k;
        catalogue->strCmdName[k] = QString::fromLatin1(e[0]);
        catalogue->strCmdRange[k] = QString::fromLatin1(e[1]);
        catalogue->strCmdText[k] = QString::fromLatin1(e[2]);
        catalogue->strCmdNote[k] = QString::fromLatin1(e[3]);
    }
    catalogue->reindex();
    return catalogue;
}
