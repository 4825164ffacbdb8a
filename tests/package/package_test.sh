#!/usr/bin/env bash
# The Debian package as a user gets it: built by CPack, unpacked with dpkg-deb into a scratch root,
# run from there, its desktop and AppStream files validated, lintian asked for errors.
#
#   package_test.sh build    WORK CPACK_CONFIG VERSION
#   package_test.sh run      WORK VERSION BUILT_KORVANE
#   package_test.sh metadata WORK
#   package_test.sh lintian  WORK
set -euo pipefail

step=$1
work=$2
root=$work/root

fail() { echo "FAILED: $*" >&2; exit 1; }
need() { command -v "$1" >/dev/null || fail "$1 is missing (Debian package $2): run scripts/install-deps"; }
the_deb() {
  local debs=("$work"/deb/korvane_*.deb)
  [ ${#debs[@]} -eq 1 ] && [ -f "${debs[0]}" ] || fail "expected one korvane_*.deb in $work/deb, found: ${debs[*]}"
  echo "${debs[0]}"
}

case $step in
build)
  config=$3 version=$4
  need dpkg-deb dpkg; need dpkg-shlibdeps dpkg-dev; need file file
  rm -rf "$work"
  mkdir -p "$work"
  cpack -G DEB --config "$config" -B "$work/deb" >"$work/cpack.log" 2>&1 || { cat "$work/cpack.log"; fail "cpack"; }
  deb=$(the_deb)
  [ "$(basename "$deb")" = "korvane_${version}_$(dpkg --print-architecture).deb" ] || fail "package file name $deb"
  dpkg-deb -x "$deb" "$root"

  [ "$(dpkg-deb -f "$deb" Version)" = "$version" ] || fail "package version $(dpkg-deb -f "$deb" Version)"
  depends=$(dpkg-deb -f "$deb" Depends)
  for package in libqt6widgets6 libqt6serialport6 libxlsxwriter libqt6sql6-sqlite fonts-arphic-uming fonts-arphic-ukai; do
    [[ $depends == *"$package"* ]] || fail "Depends lacks $package: $depends"
  done

  for file in usr/bin/korvane usr/bin/tarnex usr/bin/instrument-sim; do
    [ -x "$root/$file" ] || fail "$file missing or not executable"
  done
  for file in usr/share/korvane/recycle.ico usr/share/korvane/recycle2.ico usr/share/korvane/Send.gif \
    usr/share/korvane/logo.jpg usr/share/applications/korvane.desktop \
    usr/share/metainfo/io.github.korvane.korvane.metainfo.xml usr/share/icons/hicolor/scalable/apps/korvane.svg \
    usr/share/doc/korvane/copyright usr/share/doc/korvane/changelog.gz usr/share/doc/korvane/examples/loop.dat \
    usr/share/doc/korvane/examples/level.txt usr/share/doc/korvane/network-analysis-results.md \
    usr/share/doc/korvane/deformation-results.md; do
    [ -f "$root/$file" ] || fail "$file missing"
  done
  for size in 16 22 24 32 48 64 128 256; do
    png=$root/usr/share/icons/hicolor/${size}x${size}/apps/korvane.png
    [ -f "$png" ] || fail "$png missing: rsvg-convert was not found when the build was configured (scripts/install-deps)"
    file "$png" | grep "PNG image data, $size x $size" >/dev/null || fail "icon $png: $(file "$png")"
  done
  for program in korvane tarnex instrument-sim; do
    page=$root/usr/share/man/man1/$program.1.gz
    [ -f "$page" ] || fail "$page missing: help2man was not found when the build was configured (scripts/install-deps)"
    # help2man takes the version from --version, the synopsis from --help.
    zcat "$page" | grep "^\.TH .*\"$program $version\"" >/dev/null || fail "$page does not carry '$program $version'"
    zcat "$page" | grep -F -e '\-\-help' -e '--help' >/dev/null || fail "$page lacks the text of --help"
  done
  # Every form of instrument-sim's usage stands in the synopsis, and each sample on a line of its own.
  page=$root/usr/share/man/man1/instrument-sim.1.gz
  zcat "$page" | sed -n '/^\.SH SYNOPSIS/,/^\.SH DESCRIPTION/p' | grep -F -- 'replay' >/dev/null ||
    fail "$page: the synopsis lacks the --replay form"
  zcat "$page" | grep -A1 '^\.TP' | grep -F 'gts200 coordinates' >/dev/null ||
    fail "$page: the samples run together"
  ;;

run)
  version=$3 built_korvane=$4
  bin=$root/usr/bin
  scratch=$(mktemp -d)
  trap 'rm -rf "$scratch"' EXIT
  export HOME=$scratch/home XDG_DATA_HOME=$scratch/home/.local/share
  mkdir -p "$HOME"
  unset KORVANE_HOME DISPLAY WAYLAND_DISPLAY QT_QPA_PLATFORM

  "$bin/korvane" --help >"$scratch/help" || fail "korvane --help exited $?"
  head -n 1 "$scratch/help" | grep '^Usage: korvane' >/dev/null || fail "korvane --help: $(head -n 1 "$scratch/help")"
  [ "$("$bin/korvane" --version)" = "korvane $version" ] || fail "korvane --version: $("$bin/korvane" --version)"
  [ "$("$bin/tarnex" --version)" = "tarnex $version" ] || fail "tarnex --version: $("$bin/tarnex" --version)"

  # The documents the help names are those the package installs.
  for command in analyse deform; do
    documented=$("$bin/korvane" $command --help | grep -o '/usr/share/doc/korvane/[^ ]*\.md')
    [ -f "$root$documented" ] || fail "korvane $command --help names $documented, which the package lacks"
  done

  # A conversion of the shipped DL-100C sample, the same as the build tree's Korvane makes.
  examples=$root/usr/share/doc/korvane/examples
  "$bin/korvane" convert dl100c-report "$examples/level.txt" >"$scratch/report" || fail "korvane convert exited $?"
  "$built_korvane" convert dl100c-report "$examples/level.txt" >"$scratch/expected"
  cmp -s "$scratch/report" "$scratch/expected" || fail "the installed korvane converts differently"
  iconv -f CP950 -t UTF-8 "$scratch/report" | grep '已知高程:25.43210' >/dev/null || fail "report lacks its known height"

  # tarnex on the levelling loop, in a folder of its own.
  mkdir "$scratch/job"
  cp "$examples/loop.dat" "$scratch/job/"
  (cd "$scratch/job" && "$bin/tarnex" loop.dat </dev/null >console) || fail "tarnex loop.dat exited $?"
  grep -q 'normal end O.K' "$scratch/job/console" || fail "tarnex did not end normally"
  grep -q 'P2  *30.01941  *\.071' "$scratch/job/level.out" || fail "level.out lacks the adjusted height of P2"

  # Installed, Korvane keeps its database in the per-user folder, not in usr/bin.
  "$bin/korvane" db import "$examples/level.txt" 2>"$scratch/import" || { cat "$scratch/import"; fail "korvane db import"; }
  [ -f "$XDG_DATA_HOME/Korvane/Lnet.mdb" ] || fail "Lnet.mdb not in $XDG_DATA_HOME/Korvane: $(find "$scratch" "$bin" -name Lnet.mdb)"
  [ ! -e "$bin/Lnet.mdb" ] || fail "Korvane wrote Lnet.mdb into usr/bin"

  # The window starts from the installed files and stays up until it is stopped.
  set +e
  QT_QPA_PLATFORM=offscreen timeout 4 "$bin/korvane" >"$scratch/window" 2>&1
  status=$?
  set -e
  [ $status -eq 124 ] || { cat "$scratch/window"; fail "the window ended by itself with status $status"; }
  ;;

metadata)
  need desktop-file-validate desktop-file-utils; need appstreamcli appstream
  desktop-file-validate "$root/usr/share/applications/korvane.desktop"
  appstreamcli validate --no-net "$root/usr/share/metainfo/io.github.korvane.korvane.metainfo.xml"
  # The component together with its desktop entry and icons.
  appstreamcli validate-tree --no-net "$root"
  ;;

lintian)
  need lintian lintian
  # Warnings are for the record; an error fails.
  set +e
  lintian --fail-on error --info "$(the_deb)" >"$work/lintian.log" 2>&1
  status=$?
  set -e
  grep -v 'running with root privileges' "$work/lintian.log" || true
  [ $status -eq 0 ] || fail "lintian reports errors (status $status)"
  ;;

*)
  fail "unknown step $step"
  ;;
esac
echo "package $step: ok"
