# qv_add_library(<name> SOURCES <files...> [LINKS <targets...>] [PRIVATE_LINKS <targets...>])
# The one static library of a folder. LINKS are what its public headers use (Qt modules and the
# project's libraries below it): they are public, so the link line shows the library's layer and
# whatever links it gets them too. PRIVATE_LINKS are what only its sources and private headers
# use (the third-party libraries): whatever links the library gets their code, never their
# headers. Includes are written from the top of the tree ("transfer/ftpsession.h"). It is built
# with the strict warnings (qv_strict).
function(qv_add_library name)
    cmake_parse_arguments(L "" "" "SOURCES;LINKS;PRIVATE_LINKS" ${ARGN})
    add_library(${name} STATIC ${L_SOURCES})
    target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR})
    target_link_libraries(${name} PUBLIC ${L_LINKS})
    target_link_libraries(${name} PRIVATE ${L_PRIVATE_LINKS})
    target_link_libraries(${name} PRIVATE qv_strict)
endfunction()

# qv_add_test(<name> SOURCES <files...> [LIBS <targets...>] [WIDGETS] [KEYRING]
#             [TIMEOUT <seconds>])
# One Qt Test executable, registered with CTest; widget tests run on the offscreen platform.
# Every test gets the window-free test support; WIDGETS adds its widget part (and the main
# window's library, quorvane_app). KEYRING runs the test inside a private D-Bus session with an
# unlocked GNOME Keyring of its own (tests/support/withkeyring.sh; skipped without gnome-keyring).
function(qv_add_test name)
    cmake_parse_arguments(T "WIDGETS;KEYRING" "TIMEOUT" "SOURCES;LIBS" ${ARGN})
    if(NOT T_TIMEOUT)
        set(T_TIMEOUT 300)
    endif()
    set(support qv_test_support)
    if(T_WIDGETS)
        set(support qv_test_support_widgets)
    endif()
    add_executable(${name} ${T_SOURCES})
    target_link_libraries(${name} PRIVATE ${T_LIBS} ${support} Qt6::Test qv_warnings)
    if(T_KEYRING)
        add_test(NAME ${name}
            COMMAND ${PROJECT_SOURCE_DIR}/tests/support/withkeyring.sh $<TARGET_FILE:${name}>)
        set_tests_properties(${name} PROPERTIES SKIP_RETURN_CODE 77)
    else()
        add_test(NAME ${name} COMMAND ${name})
    endif()
    set_tests_properties(${name} PROPERTIES
        TIMEOUT ${T_TIMEOUT}
        ENVIRONMENT "QT_QPA_PLATFORM=offscreen;QV_SOURCE_DIR=${PROJECT_SOURCE_DIR};QV_BUILD_DIR=${PROJECT_BINARY_DIR}")
endfunction()
