#include "catalogue/QuickSearchNames.h"

#include "catalogue/Catalogue.h"

const QStringList &QuickSearchNames()
{
    static const QStringList names = {
        "gamma", "brightness", "con_color", "net_graph", "net_scale", "net_graphpos", "sv_voiceenable", "sv_aim",
        "hpk_maxsize", "viewsize", "ati_subdiv", "ati_npatch", "r_bmodelhighfrac", "mp_decals", "gl_dither",
        "gl_polyoffset", "gl_overbright", "gl_flipmatrix", "gl_monolights", "s_rolloff", "s_doppler", "s_distance",
        "s_automin_distance", "s_automax_distance", "s_min_distance", "s_max_distance", "s_leafnum", "s_refgain",
        "s_refdelay", "s_polykeep", "s_polysize", "s_numpolys", "s_bloat", "s_verbwet", "s_a3d", "s_eax", "volume",
        "suitvolume", "hisound", "bgmvolume", "MP3Volume", "_snd_mixahead", "name", "team", "model", "skin",
        "topcolor", "bottomcolor", "rate", "cl_updaterate", "cl_lw", "cl_lc", "cl_dlmax", "cl_himodels",
        "cl_idealpitchscale", "cl_timeout", "cl_cmdbackup", "cl_download_ingame", "cl_allowdownload",
        "cl_allowupload", "cl_cmdrate", "cl_particleinfo", "lookstrafe", "lookspring", "cl_forwardspeed",
        "cl_backspeed", "cl_vsmoothing", "m_pitch", "m_yaw", "m_forward", "m_side", "m_filter", "sensitivity",
        "joystick", "hud_takesshots", "fastsprites", "cl_corpsestay", "_cl_autowepswitch", "hud_capturemouse",
        "hud_draw", "cl_righthand", "cl_minmodels", "cl_dynamiccrosshair", "hud_fastswitch", "hud_centerid",
        "voice_modenable", "hud_classautokill", "setinfo", "+mlook", "+jlook",
    };
    return names;
}

QStringList CompletionNames(const Catalogue &catalogue)
{
    QStringList names;
    for (int k = 1; k <= Catalogue::Entries; ++k) {
        if (!catalogue.strCmdName[k].isEmpty())
            names.append(catalogue.strCmdName[k]);
    }
    names.sort(Qt::CaseInsensitive);
    names.removeDuplicates();
    return names;
}
