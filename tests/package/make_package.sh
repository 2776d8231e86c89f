# Sourced by the package checks: packs the program of the build folder with CPack into a folder
# of its own and sets `package` to the .deb made there.
#   make_package <build folder> <work folder>
make_package() {
    local build=$1 work=$2
    rm -rf "$work"
    mkdir -p "$work"
    (cd "$build" && cpack -G DEB -B "$work" --config "$build/CPackConfig.cmake" >"$work/cpack.log" 2>&1) || {
        cat "$work/cpack.log" >&2
        echo "CPack could not make the package" >&2
        return 1
    }
    package=$(ls "$work"/quorvane_*.deb)
}
