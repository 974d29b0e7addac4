#!/usr/bin/env bash
# Installs the Debian packages that the build and the tests need and are
# missing, or checks that every program they call is there.
#   scripts/setup.sh           what the native build (preset default) needs
#   scripts/setup.sh --cross   also the 32-bit and Windows tool chains, Wine,
#                              qemu-user where the kernel runs no 32-bit
#                              programs, and 32-bit Wine where it does
#   scripts/setup.sh --check   lists every program and library the build and
#                              the tests call, says which is missing, and
#                              exits 1 when any is
# Package-manager failures are reported and never stop the caller: whatever
# is then missing shows up in --check, which the test command runs next.
# With --cross the last line says what became of 32-bit Wine:
# "wine32: installed", "wine32: already installed" or "wine32: not installed (why)".

native_packages=(cmake ninja-build g++ libgtest-dev libbenchmark-dev gfortran libcli11-dev nlohmann-json3-dev
    clang libclang-rt-dev lld llvm pkg-config dpkg-dev unzip ccache)
# wine provides /usr/bin/wine and wineserver, which the Windows tests start;
# wine64 the 64-bit loader behind them.
cross_packages=(g++-multilib gcc-multilib g++-mingw-w64-i686 g++-mingw-w64-x86-64 wine wine64)

mode=native
case "${1:-}" in
    --cross) mode=cross ;;
    --check) mode=check ;;
    "") ;;
    *) echo "usage: scripts/setup.sh [--cross|--check]" >&2; exit 2 ;;
esac

installed() { dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q "install ok installed"; }

# Whether this kernel runs 32-bit x86 programs: "yes", "no", or "unknown"
# while gcc -m32 is not there to make the check.
kernel_runs_32bit() {
    local dir answer=unknown
    dir=$(mktemp -d)
    printf 'int main(void) { return 0; }\n' >"$dir/probe.c"
    if gcc -m32 "$dir/probe.c" -o "$dir/probe" >/dev/null 2>&1; then
        if "$dir/probe" >/dev/null 2>&1; then answer=yes; else answer=no; fi
    fi
    rm -rf "$dir"
    echo $answer
}

if [ $mode = check ]; then
    # Every program the presets, the tests and the scripts start, with the
    # package that brings it.
    programs=(
        "cmake cmake" "ctest cmake" "cpack cmake" "ninja ninja-build" "gcc gcc" "g++ g++" "gfortran gfortran"
        "clang clang" "clang++ clang" "pkg-config pkg-config" "lld-link lld" "llvm-readobj llvm"
        "llvm-dlltool llvm" "objdump binutils" "ccache ccache"
        "i686-w64-mingw32-gcc-posix g++-mingw-w64-i686" "i686-w64-mingw32-g++-posix g++-mingw-w64-i686"
        "i686-w64-mingw32-objdump binutils-mingw-w64-i686" "i686-w64-mingw32-dlltool binutils-mingw-w64-i686"
        "x86_64-w64-mingw32-gcc-posix g++-mingw-w64-x86-64" "x86_64-w64-mingw32-g++-posix g++-mingw-w64-x86-64"
        "x86_64-w64-mingw32-objdump binutils-mingw-w64-x86-64"
        "wine wine" "wineserver wine"
    )
    # Headers and sources the build reads, with their packages.
    files=(
        "/usr/include/gtest/gtest.h libgtest-dev" "/usr/src/googletest/CMakeLists.txt googletest"
        "/usr/include/benchmark/benchmark.h libbenchmark-dev" "/usr/include/CLI/CLI.hpp libcli11-dev"
        "/usr/include/nlohmann/json.hpp nlohmann-json3-dev"
    )
    missing=0
    for entry in "${programs[@]}"; do
        set -- $entry
        if path=$(command -v "$1"); then
            echo "found    $1 ($path)"
        else
            echo "MISSING  $1 (Debian package $2)"
            missing=1
        fi
    done
    for entry in "${files[@]}"; do
        set -- $entry
        if [ -e "$1" ]; then echo "found    $1"; else echo "MISSING  $1 (Debian package $2)"; missing=1; fi
    done
    # 32-bit programs: natively where the kernel runs them, else under qemu-i386.
    case $(kernel_runs_32bit) in
        yes) echo "found    32-bit programs run natively on this kernel" ;;
        no)
            if path=$(command -v qemu-i386); then
                echo "found    qemu-i386 ($path): this kernel runs no 32-bit programs"
            else
                echo "MISSING  qemu-i386 (Debian package qemu-user): this kernel runs no 32-bit programs"
                missing=1
            fi ;;
        *) echo "MISSING  gcc -m32 (Debian package gcc-multilib)"; missing=1 ;;
    esac
    if [ $missing = 1 ]; then
        echo "setup: missing programs above; scripts/setup.sh --cross installs them"
        exit 1
    fi
    echo "setup: every program the build and the tests call is there"
    exit 0
fi

wanted=("${native_packages[@]}")
[ $mode = cross ] && wanted+=("${cross_packages[@]}")

missing=()
for package in "${wanted[@]}"; do
    installed "$package" || missing+=("$package")
done

# 32-bit Wine is worth trying only where the kernel can run it; where it
# cannot, 32-bit Linux programs need qemu-i386. The kernel can only be asked
# once gcc -m32 is there, so this is decided again after the install.
wine32_note=""
needs_kernel_probe=0
if [ $mode = cross ]; then
    if installed wine32:i386; then
        wine32_note="wine32: already installed"
    else
        needs_kernel_probe=1
    fi
fi
kernel32=unknown
if [ $mode = cross ]; then
    kernel32=$(kernel_runs_32bit)
    if [ "$kernel32" = no ] && ! installed qemu-user; then
        missing+=(qemu-user)
    fi
fi
try_wine32=0
if [ $needs_kernel_probe = 1 ]; then
    if [ "$kernel32" = no ]; then
        wine32_note="wine32: not installed (this kernel runs no 32-bit programs: IA-32 emulation is off)"
    else
        try_wine32=1
    fi
fi

if [ ${#missing[@]} = 0 ] && [ $try_wine32 = 0 ]; then
    echo "setup: every package needed is installed"
    [ -n "$wine32_note" ] && echo "$wine32_note"
    exit 0
fi

as_root=()
if [ "$(id -u)" != 0 ]; then
    if command -v sudo >/dev/null 2>&1 && sudo -n true 2>/dev/null; then
        as_root=(sudo -n)
    else
        echo "setup: not root, cannot install: ${missing[*]}" >&2
        [ $mode = cross ] && echo "${wine32_note:-wine32: not installed (not root)}"
        exit 0
    fi
fi

apt() {
    DEBIAN_FRONTEND=noninteractive "${as_root[@]}" apt-get -q -o DPkg::Lock::Timeout=300 "$@" </dev/null
}
log=$(mktemp -d)

if [ $try_wine32 = 1 ] && ! dpkg --print-foreign-architectures | grep -qx i386; then
    # Added before the update, so that one update serves both.
    "${as_root[@]}" dpkg --add-architecture i386 || echo "setup: could not add the i386 architecture" >&2
fi

wanted_now=("${missing[@]}")
[ $try_wine32 = 1 ] && wanted_now+=(wine32:i386)
echo "setup: apt-get update (missing: ${wanted_now[*]})"
if ! apt update >"$log/update" 2>&1; then
    echo "setup: apt-get update failed:" >&2
    tail -5 "$log/update" >&2
fi

if [ ${#missing[@]} != 0 ]; then
    echo "setup: installing ${missing[*]}"
    if ! apt install -y --no-install-recommends --no-remove "${missing[@]}" >"$log/install" 2>&1; then
        echo "setup: installing failed:" >&2
        tail -20 "$log/install" >&2
    fi
fi

if [ $mode = cross ] && [ "$kernel32" = unknown ]; then
    # gcc -m32 has just been installed: now the kernel can be asked.
    kernel32=$(kernel_runs_32bit)
    if [ "$kernel32" = no ]; then
        try_wine32=0
        wine32_note="wine32: not installed (this kernel runs no 32-bit programs: IA-32 emulation is off)"
        if ! installed qemu-user; then
            echo "setup: installing qemu-user (this kernel runs no 32-bit programs)"
            apt install -y --no-install-recommends --no-remove qemu-user >"$log/qemu" 2>&1 ||
                { echo "setup: installing qemu-user failed:" >&2; tail -5 "$log/qemu" >&2; }
        fi
    fi
fi

if [ $try_wine32 = 1 ]; then
    echo "setup: trying wine32:i386"
    # --no-remove: a mirror in an inconsistent state may offer a
    # "solution" that takes installed packages away.
    if apt install -y --no-install-recommends --no-remove wine32:i386 >"$log/wine32" 2>&1; then
        wine32_note="wine32: installed"
    else
        wine32_note="wine32: not installed (apt-get: $(grep -m1 '^E:' "$log/wine32" | cut -c4-))"
    fi
fi
rm -rf "$log"
[ -n "$wine32_note" ] && echo "$wine32_note"
exit 0
