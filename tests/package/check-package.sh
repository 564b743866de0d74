#!/usr/bin/env bash
# Installs the game into a scratch root with `cmake --install` and checks that it is laid out like
# a Debian game, that its launcher starts it from its data folder, and that its desktop entry,
# metainfo and manual page are valid. With "deb", it also builds the package with CPack, checks
# its control fields and contents, unpacks it into a second root and checks that one the same way,
# and checks that the packaged program carries Debian's hardening.
#
# Usage: check-package.sh <build-dir> <source-dir> <cpack> <version> deb|install
set -euo pipefail

build=$1
source=$2
cpack=$3
version=$4
mode=$5

id=io.github.hexaglint.Hexaglint
scratch=$(mktemp -d "${TMPDIR:-/tmp}/hexaglint-package.XXXXXX")
game=""
cleanup() {
    if [ -n "$game" ]; then
        kill -KILL "$game" 2>/dev/null || true
        wait "$game" 2>/dev/null || true
    fi
    rm -rf "$scratch"
}
trap cleanup EXIT

failures=0
fail() {
    echo "FAIL: $*" >&2
    failures=$((failures + 1))
}
step() { echo "== $*"; }

# Every file the install puts down, relative to the root; nothing more may appear.
expected() {
    echo usr/games/hexaglint
    echo usr/lib/games/hexaglint/hexaglint
    (cd "$source/data" && find images fonts audio -type f) | sed 's|^|usr/share/games/hexaglint/|'
    echo "usr/share/applications/$id.desktop"
    echo "usr/share/metainfo/$id.metainfo.xml"
    for size in $(iconSizes); do
        echo "usr/share/icons/hicolor/${size}x$size/apps/$id.png"
    done
    echo usr/share/man/man6/hexaglint.6.gz
    for doc in copyright changelog.gz README.md README.data.md; do
        echo "usr/share/doc/hexaglint/$doc"
    done
}

# The sizes the game's icon is painted at, from its files (data/images/icon-<size>.png).
iconSizes() { (cd "$source/data/images" && ls icon-*.png) | tr -dc '0-9\n'; }

# Width and height from a PNG's header.
pngSize() {
    od -An -tu1 -j16 -N8 "$1" | awk '{ print $1 * 16777216 + $2 * 65536 + $3 * 256 + $4 "x" \
                                               $5 * 16777216 + $6 * 65536 + $7 * 256 + $8 }'
}

checkTree() {
    local root=$1
    local usr=$root/usr
    step "layout of $root"

    diff -u <(expected | sort) <(cd "$root" && find . ! -type d | sed 's|^\./||' | sort) ||
        fail "the installed files differ from the expected list (- expected, + installed)"

    local badModes
    badModes=$(cd "$root" && find . -mindepth 1 -type d ! -perm 755 -o -type f ! -perm 644 \
        ! -path ./usr/games/hexaglint ! -path ./usr/lib/games/hexaglint/hexaglint)
    [ -z "$badModes" ] || fail "modes other than 755 for folders and 644 for data: $badModes"
    [ "$(stat -c %a "$usr/games/hexaglint")" = 755 ] || fail "the launcher is not mode 755"
    [ "$(stat -c %a "$usr/lib/games/hexaglint/hexaglint")" = 755 ] || fail "the program is not mode 755"

    [ "$(head -c 4 "$usr/lib/games/hexaglint/hexaglint" | od -An -c | tr -d ' ')" = '177ELF' ] ||
        fail "usr/lib/games/hexaglint/hexaglint is not an ELF program"
    sh -n "$usr/games/hexaglint" || fail "the launcher is not a valid shell script"

    local file
    for file in $(cd "$source/data" && find images fonts audio -type f); do
        cmp -s "$source/data/$file" "$usr/share/games/hexaglint/$file" ||
            fail "usr/share/games/hexaglint/$file differs from data/$file"
    done
    local size icon
    for size in $(iconSizes); do
        icon=$usr/share/icons/hicolor/${size}x$size/apps/$id.png
        cmp -s "$source/data/images/icon-$size.png" "$icon" ||
            fail "the ${size}x$size icon differs from data/images/icon-$size.png"
        [ "$(pngSize "$icon")" = "${size}x$size" ] ||
            fail "the ${size}x$size icon is $(pngSize "$icon") pixels"
    done
    cmp -s "$source/packaging/copyright" "$usr/share/doc/hexaglint/copyright" ||
        fail "the copyright file differs from packaging/copyright"
    grep -q '^License: Expat$' "$usr/share/doc/hexaglint/copyright" &&
        grep -q '^License: OFL-1.1$' "$usr/share/doc/hexaglint/copyright" ||
        fail "the copyright file does not cover both the MIT (Expat) and the font's OFL licence"

    step "desktop entry"
    local desktop=$usr/share/applications/$id.desktop
    local output
    output=$(desktop-file-validate "$desktop" 2>&1) || fail "desktop-file-validate: $output"
    [ -z "$output" ] || echo "$output"
    if echo "$output" | grep -qi 'error\|warning'; then
        fail "desktop-file-validate complains"
    fi
    grep -qx 'Exec=hexaglint' "$desktop" || fail "the desktop entry does not run the hexaglint command"
    grep -qx "Icon=$id" "$desktop" || fail "the desktop entry does not name the icon $id"

    step "metainfo"
    local metainfo=$usr/share/metainfo/$id.metainfo.xml
    appstreamcli validate --no-net --no-color "$metainfo" || fail "appstreamcli validate"
    grep -q "<id>$id</id>" "$metainfo" || fail "the metainfo's id is not $id"
    grep -q '<url type="homepage">https://' "$metainfo" || fail "the metainfo names no homepage"
    grep -q "<launchable type=\"desktop-id\">$id.desktop</launchable>" "$metainfo" ||
        fail "the metainfo does not launch $id.desktop"
    grep -q "<release version=\"$version\"" "$metainfo" || fail "the metainfo has no release $version"

    step "manual page"
    local man=$usr/share/man/man6/hexaglint.6.gz
    gzip -t "$man" || fail "the manual page is not a valid gzip file"
    # Whole texts, not pipes, for grep -q: it stops reading early, which pipefail counts as failing.
    local page latest
    page=$(zcat "$man")
    for section in NAME SYNOPSIS DESCRIPTION 'HOW TO PLAY' OPTIONS FILES 'EXIT STATUS'; do
        grep -q "^\.SH \"*$section\"*$" <<<"$page" || fail "the manual page has no $section"
    done
    if command -v groff >/dev/null; then
        output=$(zcat "$man" | LC_ALL=C.UTF-8 groff -man -Tutf8 -ww -z 2>&1)
        [ -z "$output" ] || fail "groff warns about the manual page: $output"
    fi
    latest=$(zcat "$usr/share/doc/hexaglint/changelog.gz" | sed -n 1p)
    grep -q "^hexaglint ($version) " <<<"$latest" ||
        fail "the change log's latest entry is not version $version"
}

# Starts the installed launcher on the X display with an argument for the toolkit, checks after
# two seconds that the program it became is running from the data folder with that argument and
# has said nothing, then stops it.
checkLaunch() {
    local root=$1
    step "launching $root/usr/games/hexaglint"
    if [ -z "${DISPLAY:-}" ]; then
        echo "no X display: the game is not started"
        return
    fi
    SDL_AUDIODRIVER=dummy "$root/usr/games/hexaglint" -display "$DISPLAY" \
        >"$scratch/stdout" 2>"$scratch/stderr" &
    game=$!
    sleep 2
    if ! kill -0 "$game" 2>/dev/null; then
        wait "$game" && status=0 || status=$?
        game=""
        fail "the game ended within two seconds with status $status: $(cat "$scratch/stderr")"
        return
    fi
    local dataDir program
    dataDir=$(readlink -f "$root/usr/share/games/hexaglint")
    program=$(readlink -f "$root/usr/lib/games/hexaglint/hexaglint")
    [ "$(readlink "/proc/$game/cwd")" = "$dataDir" ] ||
        fail "the game runs in $(readlink "/proc/$game/cwd"), not in $dataDir"
    [ "$(readlink "/proc/$game/exe")" = "$program" ] ||
        fail "the launcher became $(readlink "/proc/$game/exe"), not $program"
    tr '\0' '\n' <"/proc/$game/cmdline" | grep -qx -- -display ||
        fail "the launcher did not pass its arguments on"
    # SDL turns SIGTERM into a quit event that the game never reads, so it is killed outright.
    kill -KILL "$game"
    wait "$game" 2>/dev/null || true
    game=""
    [ ! -s "$scratch/stderr" ] || fail "the game wrote to standard error: $(cat "$scratch/stderr")"
    [ ! -s "$scratch/stdout" ] || fail "the game wrote to standard output: $(cat "$scratch/stdout")"
}

# Without its type face the game stops with status 1, and the launcher hands that status back.
checkFontFailure() {
    local root=$1
    step "launching $root/usr/games/hexaglint without its type face"
    [ -n "${DISPLAY:-}" ] || return 0
    local face=$root/usr/share/games/hexaglint/fonts/FORTE.TTF
    mv "$face" "$face.away"
    local status=0
    SDL_AUDIODRIVER=dummy timeout 20 "$root/usr/games/hexaglint" >/dev/null 2>"$scratch/stderr" ||
        status=$?
    mv "$face.away" "$face"
    [ "$status" = 1 ] || fail "without its type face the game ended with status $status, not 1"
    grep -q 'font file' "$scratch/stderr" ||
        fail "without its type face the game did not say why: $(cat "$scratch/stderr")"
}

step "cmake --install into a scratch root"
DESTDIR="$scratch/install" cmake --install "$build" --prefix /usr >/dev/null
checkTree "$scratch/install"
checkLaunch "$scratch/install"

if [ "$mode" = deb ]; then
    checkFontFailure "$scratch/install"

    step "cpack -G DEB"
    # The build is finished before the tests run, so CPack's own pre-install build finds nothing
    # to do; the package goes to the scratch folder, never next to the one `make package` makes.
    "$cpack" --config "$build/CPackConfig.cmake" -G DEB -B "$scratch/deb" >"$scratch/cpack.log" 2>&1 ||
        { cat "$scratch/cpack.log"; fail "cpack failed"; exit 1; }
    arch=$(dpkg --print-architecture)
    deb=$scratch/deb/hexaglint_${version}_$arch.deb
    [ -f "$deb" ] || { ls "$scratch/deb"; fail "cpack did not write $(basename "$deb")"; exit 1; }

    step "control fields of $(basename "$deb")"
    dpkg-deb --field "$deb"
    field() { dpkg-deb --field "$deb" "$1"; }
    [ "$(field Package)" = hexaglint ] || fail "Package is not hexaglint"
    [ "$(field Version)" = "$version" ] || fail "Version is not $version"
    [ "$(field Architecture)" = "$arch" ] || fail "Architecture is not $arch"
    [ "$(field Section)" = games ] || fail "Section is not games"
    [ "$(field Priority)" = optional ] || fail "Priority is not optional"
    [ "$(field Maintainer)" = "The Hexaglint developers <hexaglint@users.noreply.github.com>" ] ||
        fail "wrong Maintainer"
    # Each library the program loads must be installed by the package that holds it on this
    # release (libpng16-16 on Debian 12, libpng16-16t64 on 13, say), named among the
    # alternatives of one of the dependencies.
    depends=" $(field Depends | sed 's/([^)]*)//g; s/[,|]/ /g') "
    program=$build/hexaglint
    for library in $(readelf -dW "$program" | sed -n 's/.*(NEEDED).*\[\(.*\)\]$/\1/p'); do
        # Every package whose files end in this name, once each and without its architecture.
        owner=$(dpkg-query -S "*/$library" 2>/dev/null | grep -v '^diversion' |
            sed 's/: .*//; s/, /\n/g' | sed 's/:.*//' | sort -u)
        if [ -z "$owner" ]; then
            fail "no installed package holds $library, which the program loads"
        elif ! grep -q -F -x -f <(echo "$owner") <(tr -s ' ' '\n' <<<"$depends"); then
            fail "Depends lacks $(echo "$owner" | paste -sd '|'), which holds $library"
        fi
    done
    for library in libpng16 libfreetype libglut libGLU libSDL2_mixer; do
        readelf -dW "$program" | grep -q "(NEEDED).*\[$library[-.]" ||
            fail "the program does not load $library"
    done
    if echo "$depends" | grep -q 'libasan\|libubsan'; then
        fail "the package depends on a sanitizer runtime"
    fi
    owners=$(dpkg-deb --contents "$deb" | awk '$2 != "root/root"')
    [ -z "$owners" ] || fail "entries not owned by root: $owners"
    outside=$(dpkg-deb --contents "$deb" | awk '$6 != "./" && $6 !~ /^\.\/usr\//')
    [ -z "$outside" ] || fail "entries outside /usr: $outside"

    dpkg-deb --extract "$deb" "$scratch/deb-root"
    checkTree "$scratch/deb-root"
    checkLaunch "$scratch/deb-root"

    # Debian's hardening: position-independent, relocations read-only from the start, a stack
    # protector and the checked versions of the string and memory functions.
    step "hardening of the program"
    program=$scratch/deb-root/usr/lib/games/hexaglint/hexaglint
    elf=$(readelf -hldW --dyn-syms "$program")
    grep -q 'Type: *DYN' <<<"$elf" || fail "the program is not position-independent"
    grep -q GNU_RELRO <<<"$elf" || fail "the program has no read-only relocations"
    grep -q 'BIND_NOW\|FLAGS_1.* NOW' <<<"$elf" || fail "the program binds lazily"
    grep -q __stack_chk_fail <<<"$elf" || fail "the program has no stack protector"
    grep -q '_chk\b' <<<"$elf" || fail "the program calls no checked functions"

    if command -v lintian >/dev/null; then
        step "lintian"
        status=0
        output=$(lintian --display-info --fail-on error "$deb" 2>&1) || status=$?
        echo "$output" | grep -v 'running with root privileges' || true
        [ "$status" = 0 ] || fail "lintian reports errors"
        ! grep -q hardening- <<<"$output" || fail "lintian finds hardening missing"
    fi
fi

if [ "$failures" -ne 0 ]; then
    echo "$failures check(s) failed" >&2
    exit 1
fi
echo "all package checks passed"
