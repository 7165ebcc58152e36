# What makes a build on a small machine quicker, each measured (see the README):
# precompiled Qt and standard headers for every target, and mold (else lld)
# as the linker. TESSARY_FAST_BUILD=OFF builds without either.
option(TESSARY_FAST_BUILD "Precompiled headers and a fast linker" ON)
# The mutation measure (tools/mutate) turns this off, so a changed core file
# recompiles alone.
option(TESSARY_UNITY_BUILD "Build the core as a few large units (with TESSARY_FAST_BUILD)" ON)

if(TESSARY_FAST_BUILD)
    find_program(TESSARY_MOLD mold)
    find_program(TESSARY_LLD ld.lld)
    if(TESSARY_MOLD)
        add_link_options(-fuse-ld=mold)
    elseif(TESSARY_LLD)
        add_link_options(-fuse-ld=lld)
    endif()
endif()

set(TESSARY_PCH_CORE
    <QByteArray> <QDir> <QFile> <QFileInfo> <QHash> <QList> <QObject> <QString> <QStringList>
    <algorithm> <array> <functional> <memory> <optional> <vector>)
set(TESSARY_PCH_WIDGETS ${TESSARY_PCH_CORE}
    <QApplication> <QDialog> <QKeyEvent> <QLabel> <QLineEdit> <QMessageBox> <QPainter> <QPushButton> <QWidget>)

# Gives a target the precompiled headers of its layer: "core" or "widgets".
function(tessary_precompile target layer)
    if(NOT TESSARY_FAST_BUILD)
        return()
    endif()
    if(layer STREQUAL "core")
        target_precompile_headers(${target} PRIVATE ${TESSARY_PCH_CORE})
    else()
        target_precompile_headers(${target} PRIVATE ${TESSARY_PCH_WIDGETS})
    endif()
endfunction()

# Lets a target use another's precompiled headers (same layer, same flags)
# instead of making its own.
function(tessary_reuse_precompiled target from)
    if(TESSARY_FAST_BUILD)
        target_precompile_headers(${target} REUSE_FROM ${from})
    endif()
endfunction()
