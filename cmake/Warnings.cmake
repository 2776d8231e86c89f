# The warnings every target of our own is built with: link `qv_warnings` privately to it.
# With QV_WERROR (what the test command builds with) a warning fails the build.
option(QV_WERROR "Treat compiler warnings as errors" OFF)

add_library(qv_warnings INTERFACE)
target_compile_options(qv_warnings INTERFACE
    -Wall -Wextra -Wpedantic -Wshadow
    $<$<BOOL:${QV_WERROR}>:-Werror>)
