#pragma once

#include <QString>
#include <QStringList>

// How one engine's console reads and runs commands: its sizes and the few
// rules in which the engines differ. The original engine is the default;
// Xash3D FWGS is a separate engine some players run the game on.
struct EngineProfile
{
    enum class Engine { Original, Xash };
    // The game the folder holds, where the engine treats games apart.
    enum class Game { Other, CStrike, CZero, Tfc };

    Engine engine = Engine::Original;
    Game game = Game::Other;
    int bufferSize = 16384;  // the command buffer, in characters
    int lineLength = 1024;   // a command's buffer, its last character the ending zero
    int words = 80;          // words a command holds at most
    int wordLength = 515;    // a word this long ends the command's words; 0: no limit
    int aliasName = 32;      // an alias name this long is refused
    bool aliasFirst = false; // aliases are looked up before commands
    bool escapes = false;    // \" inside quotes is a quote character
    bool commentAfterBlank = false; // "//" after a blank ends the command at once
    bool waitFrames = false; // wait N waits N frames
    bool execDefaultsCfg = false;   // exec adds .cfg to a name without an extension
    bool refusesVariableAlias = true; // alias refuses the name of a variable

    static EngineProfile original(Game game = Game::Other);
    static EngineProfile xash(Game game = Game::Other);

    // The game of a folder by its name, as the original engine tells them
    // apart (rehlds engine/common.cpp SetCStrikeFlags).
    static Game gameOf(const QString &folderName);

    // "original", "xash3d": how tessary.ini remembers it.
    QString id() const;
    // The profile of that id for a game, the original engine for any other id.
    static EngineProfile fromId(const QString &id, Game game = Game::Other);
    static QStringList ids();
    // "The original engine (Steam Half-Life)", "Xash3D FWGS".
    static QString name(const QString &id);

    bool operator==(const EngineProfile &) const = default;
};
