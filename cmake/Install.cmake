# `cmake --install build [--prefix DIR]` puts the program and the clips it reads in one folder,
# the program folder (<prefix>/lib/quorvane), links <prefix>/bin/quorvane to it, and adds a
# desktop entry and an icon. Pictures are compiled into the program.
include(GNUInstallDirs)
set(QV_INSTALL_FOLDER "${CMAKE_INSTALL_LIBDIR}/quorvane")
set(QV_INSTALL_FULL_FOLDER "${CMAKE_INSTALL_FULL_LIBDIR}/quorvane")

install(TARGETS quorvane RUNTIME DESTINATION ${QV_INSTALL_FOLDER})
install(FILES ${PROJECT_SOURCE_DIR}/assets/Download.avi ${PROJECT_SOURCE_DIR}/assets/AccessDatabase.avi
        DESTINATION ${QV_INSTALL_FOLDER})
install(CODE "
    file(MAKE_DIRECTORY \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}\")
    file(CREATE_LINK \"../${QV_INSTALL_FOLDER}/quorvane\"
         \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}/quorvane\" SYMBOLIC)")

configure_file(${PROJECT_SOURCE_DIR}/assets/desktop/quorvane.desktop.in
               ${PROJECT_BINARY_DIR}/quorvane.desktop @ONLY)
install(FILES ${PROJECT_BINARY_DIR}/quorvane.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${PROJECT_SOURCE_DIR}/assets/desktop/quorvane.png
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/128x128/apps)
