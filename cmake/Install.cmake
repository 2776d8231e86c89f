# `cmake --install build [--prefix DIR]` puts the program, the button gallery and the clips they
# read in one folder, the program folder (<prefix>/lib/quorvane), links <prefix>/bin/quorvane and
# <prefix>/bin/tamsel-gallery to it, and adds a desktop entry, an icon, the AppStream metainfo
# and the manual pages. Pictures are compiled into the program. An installed program folder is
# not writable for the operator: the program then keeps its files in ~/.local/share/Quorvane.
include(GNUInstallDirs)
# Not CMAKE_INSTALL_LIBDIR: on Debian that is a multiarch folder, meant for shared libraries.
set(QV_INSTALL_FOLDER "lib/quorvane")
set(QV_APPSTREAM_ID "org.quorvane.quorvane")

install(TARGETS quorvane tamsel-gallery RUNTIME DESTINATION ${QV_INSTALL_FOLDER})
install(FILES ${PROJECT_SOURCE_DIR}/assets/Download.avi ${PROJECT_SOURCE_DIR}/assets/AccessDatabase.avi
        DESTINATION ${QV_INSTALL_FOLDER})
foreach(program quorvane tamsel-gallery)
    install(CODE "
        file(MAKE_DIRECTORY \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}\")
        file(CREATE_LINK \"../${QV_INSTALL_FOLDER}/${program}\"
             \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}/${program}\" SYMBOLIC)")
endforeach()

install(FILES ${PROJECT_SOURCE_DIR}/assets/desktop/quorvane.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${PROJECT_SOURCE_DIR}/assets/desktop/quorvane.png
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/128x128/apps)
configure_file(${PROJECT_SOURCE_DIR}/packaging/quorvane.metainfo.xml.in
               ${PROJECT_BINARY_DIR}/${QV_APPSTREAM_ID}.metainfo.xml @ONLY)
install(FILES ${PROJECT_BINARY_DIR}/${QV_APPSTREAM_ID}.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)

# Manual pages and the package's changelog go compressed, as Debian keeps them (gzip -n: no name
# or time stamp inside, so the same source gives the same bytes).
find_program(QV_GZIP gzip REQUIRED)
set(QV_COMPRESSED)
foreach(page quorvane.1 tamsel-gallery.1 changelog)
    add_custom_command(OUTPUT ${PROJECT_BINARY_DIR}/packaging/${page}.gz
        COMMAND ${CMAKE_COMMAND} -E make_directory ${PROJECT_BINARY_DIR}/packaging
        COMMAND ${QV_GZIP} -9n -c ${PROJECT_SOURCE_DIR}/packaging/${page}
                > ${PROJECT_BINARY_DIR}/packaging/${page}.gz
        DEPENDS ${PROJECT_SOURCE_DIR}/packaging/${page} VERBATIM)
    list(APPEND QV_COMPRESSED ${PROJECT_BINARY_DIR}/packaging/${page}.gz)
endforeach()
add_custom_target(qv_manual_pages ALL DEPENDS ${QV_COMPRESSED})
install(FILES ${PROJECT_BINARY_DIR}/packaging/quorvane.1.gz
              ${PROJECT_BINARY_DIR}/packaging/tamsel-gallery.1.gz
        DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${PROJECT_BINARY_DIR}/packaging/changelog.gz
        DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/quorvane)
install(FILES ${PROJECT_SOURCE_DIR}/packaging/copyright DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/quorvane)

include(${PROJECT_SOURCE_DIR}/cmake/Package.cmake)
