# Installs the build into a temporary prefix and checks the layout: one program folder with the
# program and its clips, the link on the path, the desktop entry and the icon.
set(prefix "${BUILD_DIR}/install-check")
file(REMOVE_RECURSE "${prefix}")
execute_process(COMMAND ${CMAKE_COMMAND} --install "${BUILD_DIR}" --prefix "${prefix}"
                RESULT_VARIABLE result OUTPUT_QUIET)
if(NOT result EQUAL 0)
    message(FATAL_ERROR "cmake --install failed: ${result}")
endif()
file(GLOB program_folder LIST_DIRECTORIES true "${prefix}/lib*/quorvane")
foreach(f
        "${program_folder}/quorvane"
        "${program_folder}/tamsel-gallery"
        "${program_folder}/Download.avi"
        "${program_folder}/AccessDatabase.avi"
        "${prefix}/bin/quorvane"
        "${prefix}/share/applications/quorvane.desktop"
        "${prefix}/share/icons/hicolor/128x128/apps/quorvane.png")
    if(NOT EXISTS "${f}")
        message(FATAL_ERROR "missing after install: ${f}")
    endif()
endforeach()
file(READ "${prefix}/share/applications/quorvane.desktop" entry)
# The entry starts the program from the PATH, where the link above puts it.
if(NOT entry MATCHES "\nExec=quorvane\n")
    message(FATAL_ERROR "desktop entry without Exec line:\n${entry}")
endif()
file(REMOVE_RECURSE "${prefix}")
