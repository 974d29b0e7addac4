#!/usr/bin/env bash
# Builds the release archives into dist/: for Linux uvt-<version>-Linux.tar.gz
# and uvt_<version>_<arch>.deb, for 32- and 64-bit Windows
# uvt-<version>-win32.zip and uvt-<version>-win64.zip, each with a .sha256
# beside it. Every archive is made by cpack from an optimised build without
# tests (presets release, windows-x86, windows-x64, in build/package-<preset>)
# and is checked to hold the library, the header, the tool and the files that
# link it.
#   scripts/package.sh [preset...]   default: all three
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
presets=("$@")
[ ${#presets[@]} -gt 0 ] || presets=(release windows-x86 windows-x64)

if command -v ccache >/dev/null; then
    export CMAKE_C_COMPILER_LAUNCHER=ccache CMAKE_CXX_COMPILER_LAUNCHER=ccache
fi
mkdir -p dist

# What every archive of a platform must hold, as paths below its top folder.
linux_files=(include/uvt.h lib/libuvt.so lib/libuvt.so.0 lib/cmake/uvt/uvtConfig.cmake
    lib/cmake/uvt/uvtConfigVersion.cmake lib/cmake/uvt/uvtTargets.cmake lib/pkgconfig/uvt.pc bin/uvt
    share/doc/uvt/LICENSE share/doc/uvt/README.md share/man/man1/uvt.1 share/bash-completion/completions/uvt)
windows_files=(bin/uvt.dll bin/uvt.exe lib/uvt.lib lib/libuvt.dll.a lib/uvt.def include/uvt.h
    lib/cmake/uvt/uvtConfig.cmake lib/pkgconfig/uvt.pc share/doc/uvt/LICENSE)

# Fails unless the listing (one path a line) holds every given path.
check_listing() {
    local archive=$1 listing=$2
    shift 2
    local missing=0
    for file in "$@"; do
        if ! grep -Eq "(^|/)${file//./\\.}\$" <<<"$listing"; then
            echo "$archive lacks $file" >&2
            missing=1
        fi
    done
    return $missing
}

for preset in "${presets[@]}"; do
    build=build/package-$preset
    printf '\n===== %s =====\n' "$preset"
    cmake --preset "$preset" -B "$build" -DBUILD_TESTING=OFF
    cmake --build "$build" -j"$(nproc)"
    made=$(mktemp -d)
    (cd "$build" && cpack -B "$made")
    for archive in "$made"/*.tar.gz "$made"/*.deb "$made"/*.zip; do
        [ -e "$archive" ] || continue
        case $archive in
            *.tar.gz) check_listing "$archive" "$(tar -tzf "$archive")" "${linux_files[@]}" ;;
            *.deb) check_listing "$archive" "$(dpkg-deb -c "$archive" | awk '{print $6}')" \
                "${linux_files[@]/#/usr/}" ;;
            *.zip) check_listing "$archive" "$(unzip -Z1 "$archive")" "${windows_files[@]}" ;;
        esac
        mv -f "$archive" dist/
        [ -e "$archive.sha256" ] && mv -f "$archive.sha256" dist/
    done
    rm -rf "$made"
done
printf '\n'
ls -l dist
