#!/usr/bin/env bash
# Installs the build into a fresh prefix and asks the desktop's own tools what
# a double-click on a .sim file would do there: the entry validates, the
# shared MIME database names the file's type in any letter case, and the
# default application for that type is our entry. The environment holds only
# the prefix and the system's folders, so no user setting or session counts.
# A check whose tool is missing is skipped; if any was, the test reports a
# skip (77) after the others have run.
# Usage: DesktopTest.sh cmake build-dir work-dir examples-dir
set -uo pipefail

cmake=$1
build=$2
work=$3
examples=$4
failures=0
missing=()

tools=(desktop-file-validate update-mime-database gio update-desktop-database xdg-mime)
for tool in "${tools[@]}"; do
    command -v "$tool" >/dev/null || missing+=("$tool")
done

# True when every tool named is there.
have() {
    local tool
    for tool in "$@"; do
        command -v "$tool" >/dev/null || return 1
    done
}

fail() {
    echo "FAILED: $*" >&2
    failures=$((failures + 1))
}

rm -rf "$work"
mkdir -p "$work/home"
prefix=$work/prefix
if ! "$cmake" --install "$build" --prefix "$prefix" >/dev/null; then
    echo "FAILED: cmake --install" >&2
    exit 1
fi
share=$prefix/share

# What a desktop session would see: the prefix first, then the system, and a
# home of its own without any mimeapps.list.
desktop_env=(env -i PATH="$prefix/bin:/usr/bin:/bin" HOME="$work/home" LANG=C.UTF-8
             XDG_DATA_HOME="$share" XDG_DATA_DIRS="$share:/usr/share"
             XDG_CONFIG_HOME="$work/home/.config" XDG_CONFIG_DIRS="$work/home/.config"
             GIO_USE_VFS=local)

if have desktop-file-validate; then
    if ! report=$(desktop-file-validate "$share/applications/morvane.desktop" 2>&1); then
        fail "desktop-file-validate: $report"
    elif [[ -n $report ]]; then
        echo "desktop-file-validate: $report"
    fi
fi

if have update-mime-database gio; then
    "${desktop_env[@]}" update-mime-database "$share/mime" || fail "update-mime-database"
    # A real survey file each time: the type comes from the name, whatever the
    # content sniffing would say about Shift-JIS text.
    types=(
        "a.sim application/x-sima"
        "B.SIM application/x-sima"
        "c.Sim application/x-sima"
        "d.sim.txt text/plain"
    )
    for row in "${types[@]}"; do
        read -r name expected <<<"$row"
        cp "$examples/sample.sim" "$work/$name"
        actual=$("${desktop_env[@]}" gio info -a standard::content-type "$work/$name" |
                 sed -n 's/^ *standard::content-type: //p')
        [[ $actual == "$expected" ]] || fail "$name is '$actual', expected $expected"
    done
fi

# Both ways a file manager asks: xdg-mime (the shell tools) and GLib (GNOME
# Files, which also wants the entry's program on PATH).
if have update-desktop-database; then
    update-desktop-database "$share/applications" || fail "update-desktop-database"
    if have xdg-mime; then
        default=$("${desktop_env[@]}" xdg-mime query default application/x-sima)
        [[ $default == morvane.desktop ]] ||
            fail "xdg-mime: default for application/x-sima is '$default', expected morvane.desktop"
    fi
    if have gio; then
        default=$("${desktop_env[@]}" gio mime application/x-sima | head -n 1)
        [[ $default == *": morvane.desktop" ]] ||
            fail "gio: '$default', expected morvane.desktop as the default"
    fi
fi

if ((failures > 0)); then
    exit 1
fi
if ((${#missing[@]} > 0)); then
    echo "skipped the checks that need: ${missing[*]} (scripts/deps.sh installs them)"
    exit 77
fi
echo "a .sim file in any case opens in morvane.desktop"
