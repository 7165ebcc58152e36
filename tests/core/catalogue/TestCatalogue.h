#pragma once

#include "catalogue/Catalogue.h"

#include <memory>

// Real-looking entries: name, range, text, note.
inline std::unique_ptr<Catalogue> testCatalogue()
{
    static const char *const entries[][4] = {
        {"sensitivity", "0.1-10", "Mouse sensitivity", "default 3"}, {"cl_updaterate", "10-101", "Server updates", ""},
        {"volume", "0-1", "Sound volume", ""}, {"fps_max", "20 or more", "Frame rate cap", ""},
        {"m_yaw", "any number", "Mouse yaw", ""}, {"name", "any text", "Player name", ""},
        {"+attack", "none", "Fire while held", ""}, {"lookspring", "-1-1", "Centre view", ""},
        {"jump", "none", "Jump once", ""}, {"rate", "0 or more, kept 1000-100000", "Data rate", ""},
        {"sv_alltalk", "0-1", "Everyone hears everyone", ""}};
    auto catalogue = std::make_unique<Catalogue>();
    for (int k = 1; k <= int(std::size(entries)); ++k) {
        const auto &e = entries[k - 1];
        catalogue->strCmdName[k] = QString::fromLatin1(e[0]);
        catalogue->strCmdRange[k] = QString::fromLatin1(e[1]);
        catalogue->strCmdText[k] = QString::fromLatin1(e[2]);
        catalogue->strCmdNote[k] = QString::fromLatin1(e[3]);
    }
    catalogue->reindex();
    return catalogue;
}
