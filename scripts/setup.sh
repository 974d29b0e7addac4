#!/usr/bin/env bash
# Installs the Debian packages that the build needs and are missing.
#   scripts/setup.sh           what the native build (preset default) needs
#   scripts/setup.sh --cross   also the 32-bit and Windows tool chains, Wine
#                              and qemu-user, and tries 32-bit Wine
# Package-manager failures are reported and never stop the caller: whatever
# is then missing shows up as a failing configure or build step.
# With --cross the last line says what became of 32-bit Wine:
# "wine32: installed", "wine32: already installed" or "wine32: not installed (why)".

native_packages=(cmake ninja-build g++ libgtest-dev gfortran libcli11-dev nlohmann-json3-dev clang libclang-rt-dev)
cross_packages=(g++-multilib gcc-multilib g++-mingw-w64-i686 g++-mingw-w64-x86-64 wine64 qemu-user)

cross=0
[ "${1:-}" = "--cross" ] && cross=1

wanted=("${native_packages[@]}")
[ $cross = 1 ] && wanted+=("${cross_packages[@]}")

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

missing=()
for package in "${wanted[@]}"; do
    installed "$package" || missing+=("$package")
done

# 32-bit Wine is worth trying only where the kernel can run it.
try_wine32=0
wine32_note=""
if [ $cross = 1 ]; then
    if installed wine32:i386; then
        wine32_note="wine32: already installed"
    elif [ "$(kernel_runs_32bit)" = no ]; then
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
        [ $cross = 1 ] && echo "${wine32_note:-wine32: not installed (not root)}"
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

if [ $try_wine32 = 1 ]; then
    if [ "$(kernel_runs_32bit)" = no ]; then
        wine32_note="wine32: not installed (this kernel runs no 32-bit programs: IA-32 emulation is off)"
    else
        echo "setup: trying wine32:i386"
        # --no-remove: a mirror in an inconsistent state may offer a
        # "solution" that takes installed packages away.
        if apt install -y --no-install-recommends --no-remove wine32:i386 >"$log/wine32" 2>&1; then
            wine32_note="wine32: installed"
        else
            wine32_note="wine32: not installed (apt-get: $(grep -m1 '^E:' "$log/wine32" | cut -c4-))"
        fi
    fi
fi
rm -rf "$log"
[ -n "$wine32_note" ] && echo "$wine32_note"
exit 0
