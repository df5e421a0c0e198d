#!/usr/bin/env bash
# Packs the build tree with CPack, as scripts/package.sh does, and checks the
# Debian package: what it holds, with Debian's owners and modes, its control
# fields with the Qt 6 libraries among the dependencies, that the packed
# morvane-check draws through the packed module, and, where lintian is
# installed, that lintian finds no error. Skipped (77) where dpkg-deb or
# dpkg-shlibdeps is missing.
# Usage: PackageTest.sh cpack build-dir work-dir version module examples-dir
# (module: the drawing module's path under /usr)
set -uo pipefail

cpack=$1
build=$2
work=$3
version=$4
module=$5
examples=$6
failures=0

for tool in dpkg-deb dpkg-shlibdeps; do
    if ! command -v $tool >/dev/null; then
        echo "skipped: no $tool (scripts/deps.sh installs dpkg-dev)"
        exit 77
    fi
done

fail() {
    echo "FAILED: $*" >&2
    failures=$((failures + 1))
}

rm -rf "$work"
umask 022
if ! "$cpack" --config "$build/CPackConfig.cmake" -B "$work" >"$work.log" 2>&1; then
    cat "$work.log" >&2
    echo "FAILED: cpack" >&2
    exit 1
fi
deb=$work/morvane_${version}_$(dpkg --print-architecture).deb
if [[ ! -f $deb ]]; then
    echo "FAILED: no $(basename "$deb") in: $(ls "$work")" >&2
    exit 1
fi

# Each file with the mode it must have; every entry belongs to root.
expected=(
    "-rwxr-xr-x ./usr/bin/morvane"
    "-rwxr-xr-x ./usr/bin/morvane-check"
    "-rw-r--r-- ./usr/share/applications/morvane.desktop"
    "-rw-r--r-- ./usr/share/mime/packages/morvane.xml"
    "-rw-r--r-- ./usr/share/icons/hicolor/scalable/apps/morvane.svg"
    "-rw-r--r-- ./usr/share/man/man1/morvane.1.gz"
    "-rw-r--r-- ./usr/share/man/man1/morvane-check.1.gz"
    "-rw-r--r-- ./usr/share/doc/morvane/copyright"
    "-rw-r--r-- ./usr/share/doc/morvane/changelog.gz"
    # A library the program loads: read, not run.
    "-rw-r--r-- ./usr/$module"
)
for size in 16 32 48 64 128 256; do
    expected+=("-rw-r--r-- ./usr/share/icons/hicolor/${size}x${size}/apps/morvane.png")
done
contents=$(dpkg-deb -c "$deb")
listed=$(awk '{ print $1, $NF }' <<<"$contents")
for entry in "${expected[@]}"; do
    grep -qxF -- "$entry" <<<"$listed" || fail "not in the package as $entry"
done
awk '$2 != "root/root" { print "FAILED: not owned by root: " $0; bad = 1 } END { exit bad }' \
    <<<"$contents" >&2 || failures=$((failures + 1))
awk '$1 ~ /^d/ && $1 != "drwxr-xr-x" { print "FAILED: folder not 0755: " $0; bad = 1 }
     END { exit bad }' <<<"$contents" >&2 || failures=$((failures + 1))

# Control fields: the Qt 6 libraries and PROJ come from the programs through dpkg-shlibdeps;
# Qt's translations are named in packaging/.
info=$(dpkg-deb -I "$deb")
fields=(
    "^ Package: morvane$"
    "^ Version: ${version//./\\.}$"
    "^ Architecture: $(dpkg --print-architecture)$"
    "^ Section: science$"
    "^ Priority: optional$"
    "^ Maintainer: .+ <.+@.+>$"
    "^ Description: .+"
    "^ Depends: .*libqt6core6"
    "^ Depends: .*libqt6gui6"
    "^ Depends: .*libqt6widgets6"
    "^ Depends: .*libqt6printsupport6"
    "^ Depends: .*libproj"
    "^ Depends: .*libc6"
    "^ Depends: .*qt6-translations-l10n"
)
for field in "${fields[@]}"; do
    grep -qE -- "$field" <<<"$info" || fail "control has no line matching '$field'"
done

# The files as a desktop and dpkg read them.
dpkg-deb -x "$deb" "$work/root"
grep -qx "Exec=morvane %f" "$work/root/usr/share/applications/morvane.desktop" ||
    fail "the desktop entry does not take a file"
changelog_version=$(gzip -dc "$work/root/usr/share/doc/morvane/changelog.gz" |
                    sed -n '1s/^morvane (\([^)]*\)).*/\1/p')
[[ $changelog_version == "$version" ]] ||
    fail "packaging/changelog names $changelog_version first, the project is $version"
# The packed program finds the packed module where the package puts it.
drawn=$(env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$work/root/usr/bin/morvane-check" \
            -q --plot "$work/plot.png" --plot-size 320x240 "$examples/sample.sim" 2>&1 >/dev/null)
status=$?
[[ $status == 1 && -z $drawn && -f $work/plot.png ]] ||
    fail "the packed morvane-check did not draw (exit $status): $drawn"
for page in morvane morvane-check; do
    man_text=$(gzip -dc "$work/root/usr/share/man/man1/$page.1.gz") || fail "$page.1.gz is no gzip file"
    grep -q "^\.TH" <<<"$man_text" || fail "$page.1.gz is no manual page"
done

if command -v lintian >/dev/null; then
    if ! report=$(lintian --fail-on error "$deb" 2>/dev/null); then
        fail "lintian: $report"
    fi
    [[ -n $report ]] && echo "lintian: $report"
else
    echo "lintian is not installed: not run"
fi

if ((failures > 0)); then
    echo "--- dpkg-deb -I" >&2 && echo "$info" >&2
    echo "--- dpkg-deb -c" >&2 && echo "$contents" >&2
    exit 1
fi
echo "$(basename "$deb"): ${#expected[@]} files checked; $(grep '^ Depends:' <<<"$info")"
