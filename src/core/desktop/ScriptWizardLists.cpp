#include "desktop/ScriptWizardLists.h"

namespace ScriptWizardLists {

const QStringList &keys()
{
    static const QStringList list = {
        "A ", "B ", "C ", "D ", "E ", "F ", "G ", "H ", "I ", "J ", "K ", "L ", "M ", "N ", "O ", "P ", "Q ", "R ",
        "S ", "T ", "U ", "V ", "W ", "X ", "Y ", "Z ", "1 ", "2 ", "3 ", "4 ", "5 ", "6 ", "7 ", "8 ", "9 ", "0 ",
        "MOUSE1 ", "MOUSE2 ", "MOUSE3 ", "MOUSE4 ", "MWHEELUP ", "MWHEELDOWN ", "AUX5 ", "AUX6 ", "JOY1 ", "JOY2 ",
        "JOY3 ", "JOY4 ", "Enter ", "Space ", "Shift ", "Ctrl ", "Pause ", "ALT ", "BACKSPACE ", "TAB ", "CAPSLOCK ",
        "F1 ", "F2 ", "F3 ", "F4 ", "F5 ", "F6 ", "F7 ", "F8 ", "F9 ", "F10 ", "F11 ", "F12 ", "Ins ", "Del ",
        "Home ", "End ", "Pgdn ", "Pgup ", "Leftarrow ", "Rightarrow ", "Uparrow ", "Downarrow ", "kp_leftarrow ",
        "kp_rightarrow ", "kp_downarrow ", "kp_uparrow ", "kp_del ", "kp_end ", "kp_pgup ", "kp_ins ", "kp_5 ",
        "kp_plus ", "kp_enter ", "kp_pgdn ", "kp_slash ", "kp_minus ", "kp_home ", ", ", ". ", "/ ", "\\ ", "; ",
        "' ", "* ", "[ ", "] ", "- ", "= ", "~ ",
    };
    return list;
}

const QStringList &gameCommands()
{
    static const QStringList list = {
        "+attack", "+attack2", "+back", "+camdistance", "+camin", "+cammousemove", "+camout", "+campitchdown",
        "+campitchup", "+camyawleft", "+camyawright", "+commandmenu", "+det20", "+det5", "+det50", "+duck",
        "+forward", "+graph", "+gren1", "+gren2", "+jlook", "+jump", "+klook", "+left", "+lookdown", "+lookup",
        "+mlook", "+movedown", "+moveleft", "+moveright", "+moveup", "+reload", "+right", "+score", "+showscores",
        "+speed", "+strafe", "+use", "build", "centerview", "changeclass", "changeteam", "detdispenser", "detsentry",
        "discard", "dropitems", "escape", "feign", "flaginfo", "force_centerview", "fov 90", "hideconsole",
        "invnext", "invprev 0", "kill", "lastinv", "messagemode", "messagemode2", "pause", "primeone", "primetwo",
        "saveme", "sfeign", "slot1", "slot10", "slot2", "slot3", "slot4", "slot5", "slot6", "slot7", "slot8",
        "slot9", "special", "spectator 0", "s_verbwet 0.250", "tell \"message\"", "console open", "tf_weapon_ac",
        "tf_weapon_autorifle", "tf_weapon_axe", "tf_weapon_flamethrower", "tf_weapon_gl", "tf_weapon_ic",
        "tf_weapon_knife", "tf_weapon_medikit", "tf_weapon_ng", "tf_weapon_pl", "tf_weapon_railgun", "tf_weapon_rpg",
        "tf_weapon_sniperrifle", "tf_weapon_spanner", "tf_weapon_superng", "tf_weapon_supershotgun",
        "tf_weapon_tranq", "throwgren", "togglebrowser", "toggleconsole", "weapon_357", "weapon_9mmAR",
        "weapon_9mmhandgun", "weapon_crossbow", "weapon_crowbar", "weapon_displacer", "weapon_eagle", "weapon_egon",
        "weapon_gauss", "weapon_grapple", "weapon_handgrenade", "weapon_hornetgun", "weapon_knife", "weapon_m249",
        "weapon_pipewrench", "weapon_rpg", "weapon_satchel", "weapon_shockrifle", "weapon_shotgun", "weapon_snark",
        "weapon_sniperrifle", "weapon_sporelauncher", "weapon_tripmine",
    };
    return list;
}

const QStringList &mouseSettings()
{
    static const QStringList list = {
        "hud_capturemouse 1", "lookspring 0", "lookstrafe 0", "m_filter 0", "m_forward 1", "m_pitch -0.022",
        "m_side 0.800", "m_yaw 0.022", "sensitivity 3", "zoom_sensitivity_ratio 1.200",
    };
    return list;
}

} // namespace ScriptWizardLists
