#include "config/KeyNames.h"

namespace KeyNames {

namespace {

// FWGS/xash3d-fwgs engine/client/input/in_keys.c, the table `keynames[]`
// (engine/client/keys.c before the move): the names Key_StringToKeynum
// matches with Q_stricmp. The table keeps GoldSrc's names (Quake's, as the
// game's own config.cfg writes them) and adds gamepad buttons. It renamed
// the lineage's JOY1, JOY2 and AUX1-AUX25 (LTRIGGER, RTRIGGER and the
// gamepad names); the original engine, whose table is closed, has them as
// its ancestor id-Software/Quake WinQuake/keys.c `keynames[]` does
// (JOY1-JOY4, AUX1-AUX32), so they are kept here too.
const QList<Key> table = {
    {"TAB", "the Tab key"},
    {"ENTER", "the Enter key"},
    {"ESCAPE", "the Escape key (the game keeps it for its menu)"},
    {"SPACE", "the space bar"},
    {"BACKSPACE", "the Backspace key"},
    {"UPARROW", "the up arrow key"},
    {"DOWNARROW", "the down arrow key"},
    {"LEFTARROW", "the left arrow key"},
    {"RIGHTARROW", "the right arrow key"},
    {"ALT", "the Alt key"},
    {"CTRL", "the Ctrl key"},
    {"SHIFT", "the Shift key"},
    {"CAPSLOCK", "the Caps Lock key"},
    {"SCROLLOCK", "the Scroll Lock key"},
    {"F1", "function key F1"},
    {"F2", "function key F2"},
    {"F3", "function key F3"},
    {"F4", "function key F4"},
    {"F5", "function key F5"},
    {"F6", "function key F6"},
    {"F7", "function key F7"},
    {"F8", "function key F8"},
    {"F9", "function key F9"},
    {"F10", "function key F10"},
    {"F11", "function key F11"},
    {"F12", "function key F12"},
    {"INS", "the Insert key"},
    {"DEL", "the Delete key"},
    {"PGDN", "the Page Down key"},
    {"PGUP", "the Page Up key"},
    {"HOME", "the Home key"},
    {"END", "the End key"},
    {"MOUSE1", "left mouse button"},
    {"MOUSE2", "right mouse button"},
    {"MOUSE3", "middle mouse button (pressing the wheel)"},
    {"MOUSE4", "mouse side button 4 (usually back)"},
    {"MOUSE5", "mouse side button 5 (usually forward)"},
    {"MWHEELUP", "mouse wheel turned up"},
    {"MWHEELDOWN", "mouse wheel turned down"},
    {"KP_HOME", "keypad 7 (Home)"},
    {"KP_UPARROW", "keypad 8 (up arrow)"},
    {"KP_PGUP", "keypad 9 (Page Up)"},
    {"KP_LEFTARROW", "keypad 4 (left arrow)"},
    {"KP_5", "keypad 5"},
    {"KP_RIGHTARROW", "keypad 6 (right arrow)"},
    {"KP_END", "keypad 1 (End)"},
    {"KP_DOWNARROW", "keypad 2 (down arrow)"},
    {"KP_PGDN", "keypad 3 (Page Down)"},
    {"KP_ENTER", "keypad Enter"},
    {"KP_INS", "keypad 0 (Insert)"},
    {"KP_DEL", "keypad . (Delete)"},
    {"KP_SLASH", "keypad /"},
    {"KP_MINUS", "keypad -"},
    {"KP_PLUS", "keypad +"},
    {"PAUSE", "the Pause key"},
    {"A_BUTTON", "gamepad A button"},
    {"B_BUTTON", "gamepad B button"},
    {"X_BUTTON", "gamepad X button"},
    {"Y_BUTTON", "gamepad Y button"},
    {"BACK", "gamepad Back button"},
    {"MODE", "gamepad Mode (guide) button"},
    {"START", "gamepad Start button"},
    {"STICK1", "gamepad left stick pressed"},
    {"STICK2", "gamepad right stick pressed"},
    {"L1_BUTTON", "gamepad left shoulder button"},
    {"R1_BUTTON", "gamepad right shoulder button"},
    {"DPAD_UP", "gamepad pad up"},
    {"DPAD_DOWN", "gamepad pad down"},
    {"DPAD_LEFT", "gamepad pad left"},
    {"DPAD_RIGHT", "gamepad pad right"},
    {"L2_BUTTON", "gamepad left trigger as a button"},
    {"R2_BUTTON", "gamepad right trigger as a button"},
    {"LTRIGGER", "gamepad left trigger (joystick button 1)"},
    {"RTRIGGER", "gamepad right trigger (joystick button 2)"},
    {"JOY1", "joystick button 1"},
    {"JOY2", "joystick button 2"},
    {"JOY3", "joystick button 3"},
    {"JOY4", "joystick button 4"},
    {"C_BUTTON", "gamepad C button"},
    {"Z_BUTTON", "gamepad Z button"},
    {"MISC_BUTTON", "gamepad extra button"},
    {"PADDLE1", "gamepad paddle 1"},
    {"PADDLE2", "gamepad paddle 2"},
    {"PADDLE3", "gamepad paddle 3"},
    {"PADDLE4", "gamepad paddle 4"},
    {"TOUCHPAD", "gamepad touchpad pressed"},
    {"AUX1", "extra button 1"},
    {"AUX2", "extra button 2"},
    {"AUX3", "extra button 3"},
    {"AUX4", "extra button 4"},
    {"AUX5", "extra button 5"},
    {"AUX6", "extra button 6"},
    {"AUX7", "extra button 7"},
    {"AUX8", "extra button 8"},
    {"AUX9", "extra button 9"},
    {"AUX10", "extra button 10"},
    {"AUX11", "extra button 11"},
    {"AUX12", "extra button 12"},
    {"AUX13", "extra button 13"},
    {"AUX14", "extra button 14"},
    {"AUX15", "extra button 15"},
    {"AUX16", "extra button 16"},
    {"AUX17", "extra button 17"},
    {"AUX18", "extra button 18"},
    {"AUX19", "extra button 19"},
    {"AUX20", "extra button 20"},
    {"AUX21", "extra button 21"},
    {"AUX22", "extra button 22"},
    {"AUX23", "extra button 23"},
    {"AUX24", "extra button 24"},
    {"AUX25", "extra button 25"},
    {"AUX26", "extra button 26"},
    {"AUX27", "extra button 27"},
    {"AUX28", "extra button 28"},
    {"AUX29", "extra button 29"},
    {"AUX30", "extra button 30"},
    {"AUX31", "extra button 31"},
    {"AUX32", "extra button 32"},
    // The table's comment: "raw semicolon seperates commands", so ';' cannot be written bare.
    {"SEMICOLON", "the ; key"},
    {"INTERNATIONAL1", "extra key 1 of international keyboards"},
    {"INTERNATIONAL2", "extra key 2 of international keyboards"},
    {"INTERNATIONAL3", "extra key 3 of international keyboards"},
    {"INTERNATIONAL4", "extra key 4 of international keyboards"},
    {"INTERNATIONAL5", "extra key 5 of international keyboards"},
    {"INTERNATIONAL6", "extra key 6 of international keyboards"},
    {"INTERNATIONAL7", "extra key 7 of international keyboards"},
    {"INTERNATIONAL8", "extra key 8 of international keyboards"},
    {"INTERNATIONAL9", "extra key 9 of international keyboards"},
};

const Key *findNamed(QStringView name)
{
    for (const Key &key : table) {
        if (name.compare(QLatin1StringView(key.name), Qt::CaseInsensitive) == 0)
            return &key;
    }
    return nullptr;
}

// Key_StringToKeynum (in_keys.c): "Single ascii characters return
// themselves"; it tests !str[1] before the table, so any one character is a
// key. Blanks and control characters never reach it as a word of their own.
// Its "0x11" hex codes are the newer engine's own addition, not the game's,
// so they are not taken here.
bool isSingleCharacter(QStringView name)
{
    return name.size() == 1 && name[0].unicode() > u' ' && name[0].unicode() != 0x7f;
}

} // namespace

const QList<Key> &all()
{
    return table;
}

bool isKey(QStringView name)
{
    return isSingleCharacter(name) || findNamed(name);
}

QString canonical(QStringView name)
{
    if (isSingleCharacter(name))
        return name.toString();
    const Key *key = findNamed(name);
    return key ? QString::fromLatin1(key->name) : QString();
}

int code(QStringView name)
{
    if (isSingleCharacter(name))
        return name[0].unicode();
    const Key *key = findNamed(name);
    return key ? 0x10000 + int(key - table.constData()) : -1;
}

QString describe(QStringView name)
{
    if (isSingleCharacter(name))
        return QStringLiteral("%1: the %1 key").arg(name);
    const Key *key = findNamed(name);
    return key ? QStringLiteral("%1: %2").arg(QLatin1StringView(key->name), QLatin1StringView(key->description))
               : QString();
}

} // namespace KeyNames
