#include "console/EngineProfile.h"

EngineProfile EngineProfile::original(Game game)
{
    // rehlds engine/cmd.h: MAX_CMD_BUFFER 16384, MAX_CMD_LINE 1024,
    // MAX_CMD_TOKENS 80; cmd.cpp Cmd_TokenizeString stops at a word with
    // Q_strlen + 1 >= 516; APIProxy.h MAX_ALIAS_NAME 32.
    EngineProfile p;
    p.game = game;
    return p;
}

EngineProfile EngineProfile::xash(Game game)
{
    // FWGS/xash3d-fwgs engine/common/cmd.c: MAX_CMD_BUFFER 32768,
    // MAX_CMD_LINE 2048, MAX_ALIAS_NAME 32; common.h MAX_CMD_TOKENS 80.
    // Cmd_ExecuteStringWithPrivilegeCheck tries an alias before a command;
    // Cbuf_ExecuteCommandsFromBuffer skips \" in quotes and starts a comment
    // at "//" after a blank; Cmd_Wait_f takes a frame count; Cmd_Exec_f adds
    // ".cfg" (COM_DefaultExtension); Cmd_Alias_f checks no variable.
    EngineProfile p;
    p.engine = Engine::Xash;
    p.game = game;
    p.bufferSize = 32768;
    p.lineLength = 2048;
    p.wordLength = 0;
    p.aliasFirst = true;
    p.escapes = true;
    p.commentAfterBlank = true;
    p.waitFrames = true;
    p.execDefaultsCfg = true;
    p.refusesVariableAlias = false;
    return p;
}

EngineProfile::Game EngineProfile::gameOf(const QString &folderName)
{
    // rehlds engine/sv_main.cpp SetCStrikeFlags compares com_gamedir with Q_stricmp.
    const QString name = folderName.toLower();
    if (name == QLatin1String("cstrike") || name == QLatin1String("cstrike_beta"))
        return Game::CStrike;
    if (name == QLatin1String("czero"))
        return Game::CZero;
    if (name == QLatin1String("tfc"))
        return Game::Tfc;
    return Game::Other;
}

QString EngineProfile::id() const
{
    return engine == Engine::Xash ? QStringLiteral("xash3d") : QStringLiteral("original");
}

EngineProfile EngineProfile::fromId(const QString &id, Game game)
{
    return id == QLatin1String("xash3d") ? xash(game) : original(game);
}

QStringList EngineProfile::ids()
{
    return {QStringLiteral("original"), QStringLiteral("xash3d")};
}

QString EngineProfile::name(const QString &id)
{
    return id == QLatin1String("xash3d") ? QStringLiteral("Xash3D FWGS")
                                          : QStringLiteral("The original engine (Steam Half-Life)");
}
