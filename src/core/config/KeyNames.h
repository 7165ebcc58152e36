#pragma once

#include <QList>
#include <QString>
#include <QStringView>

// The key names `bind` and `unbind` take, as the engine's key-name table
// lists them, each with a plain description for completion and the hint.
namespace KeyNames {

struct Key
{
    const char *name;        // as the table spells it, upper case
    const char *description; // "left mouse button"
};

// Every named key in the engine's order.
const QList<Key> &all();

// Whether the game has a key of that name: a table name in any letter
// case, or any single printable character (which is its own name).
bool isKey(QStringView name);

// The spelling that names one key, for comparing binds: a table name in
// upper case, a single character as written; empty for no key.
QString canonical(QStringView name);

// A number that stands for one key, as the engine's key number does: the
// character's code for a single character, else past 0xFFFF; -1 for no key.
int code(QStringView name);

// "MOUSE1: left mouse button", "a: the a key"; empty for no key.
QString describe(QStringView name);

} // namespace KeyNames
