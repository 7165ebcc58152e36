# Brings the MIME, launcher and icon caches under DATA_DIR up to date.
# Tools that are missing are skipped: the files work without them after
# the desktop's next scan.
find_program(UPDATE_MIME update-mime-database)
find_program(UPDATE_DESKTOP update-desktop-database)
find_program(UPDATE_ICONS gtk-update-icon-cache)
if(UPDATE_MIME AND EXISTS "${DATA_DIR}/mime/packages")
    execute_process(COMMAND "${UPDATE_MIME}" "${DATA_DIR}/mime")
endif()
if(UPDATE_DESKTOP AND EXISTS "${DATA_DIR}/applications")
    execute_process(COMMAND "${UPDATE_DESKTOP}" -q "${DATA_DIR}/applications")
endif()
if(UPDATE_ICONS AND EXISTS "${DATA_DIR}/icons/hicolor/index.theme")
    execute_process(COMMAND "${UPDATE_ICONS}" -q -t -f "${DATA_DIR}/icons/hicolor")
endif()
