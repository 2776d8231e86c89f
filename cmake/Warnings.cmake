# The warnings our own targets are built with.
#
# qv_warnings: the common set, for every target of the project.
# qv_strict:   qv_warnings plus casts, virtual functions and format strings checked, and no
#              implicit conversion of a `const char*` to QString (write u"..."_s, QStringLiteral
#              or QLatin1StringView). Every library (qv_add_library links it) and program links
#              it; the tests and benchmarks, which reach into the window, link qv_warnings.
#
# With QV_WERROR a warning fails the build. It is on by default in Debug builds and in builds
# without a type (developer builds); the test command (scripts/test.sh) turns it on for every build.
if(NOT CMAKE_BUILD_TYPE OR CMAKE_BUILD_TYPE STREQUAL "Debug")
    set(QV_WERROR_DEFAULT ON)
else()
    set(QV_WERROR_DEFAULT OFF)
endif()
option(QV_WERROR "Treat compiler warnings as errors" ${QV_WERROR_DEFAULT})

add_library(qv_warnings INTERFACE)
target_compile_options(qv_warnings INTERFACE
    -Wall -Wextra -Wpedantic -Wshadow
    $<$<BOOL:${QV_WERROR}>:-Werror>)

add_library(qv_strict INTERFACE)
target_link_libraries(qv_strict INTERFACE qv_warnings)
target_compile_options(qv_strict INTERFACE
    -Wcast-qual -Wformat=2
    $<$<COMPILE_LANGUAGE:CXX>:-Wold-style-cast -Wnon-virtual-dtor -Woverloaded-virtual>)
target_compile_definitions(qv_strict INTERFACE QT_NO_CAST_FROM_ASCII QT_STRICT_ITERATORS)
