# qv_add_test(<name> SOURCES <files...> [LIBS <targets...>] [WIDGETS] [TIMEOUT <seconds>])
# One Qt Test executable, registered with CTest; widget tests run on the offscreen platform.
# Every test gets the window-free test support; WIDGETS adds its widget part (and quorvane_ui).
function(qv_add_test name)
    cmake_parse_arguments(T "WIDGETS" "TIMEOUT" "SOURCES;LIBS" ${ARGN})
    if(NOT T_TIMEOUT)
        set(T_TIMEOUT 300)
    endif()
    set(support qv_test_support)
    if(T_WIDGETS)
        set(support qv_test_support_widgets)
    endif()
    add_executable(${name} ${T_SOURCES})
    target_link_libraries(${name} PRIVATE ${T_LIBS} ${support} Qt6::Test qv_warnings)
    add_test(NAME ${name} COMMAND ${name})
    set_tests_properties(${name} PROPERTIES
        TIMEOUT ${T_TIMEOUT}
        ENVIRONMENT "QT_QPA_PLATFORM=offscreen;QV_SOURCE_DIR=${PROJECT_SOURCE_DIR};QV_BUILD_DIR=${PROJECT_BINARY_DIR}")
endfunction()
