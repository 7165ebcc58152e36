#pragma once

#include <array>

// The config files a mod's backup holds, in the order they are looked for,
// copied and listed.
inline constexpr std::array<const char *, 13> KnownFiles = {
    "config.cfg",   "autoexec.cfg",     "ns.ps",     "delta.lst",  "liblist.gam", "listenserver.cfg", "mapcycle.txt",
    "motd.txt",     "server.cfg",       "spectatormenu.txt", "titles.txt", "ui.txt", "commandmenu.txt",
};
