#!/usr/bin/env bash
# Makes the Windows downloads from the built nimbrel.exe (build/win, see build.sh):
#   build/dist/nimbrel-setup-VERSION.exe   the installer (Debian's nsis, makensis)
#   build/dist/nimbrel-VERSION-portable.zip nimbrel.exe alone, to run from any folder
# VERSION is the first three numbers of the version resource of nimbrel.exe.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"

EXE="$NIMBREL_ROOT/build/win/nimbrel.exe"
DIST="$NIMBREL_ROOT/build/dist"
[ -f "$EXE" ] || die "build/win/nimbrel.exe is missing (run scripts/build.sh win)"
command -v makensis >/dev/null || die "makensis is missing (run scripts/deps.sh)"
command -v zip >/dev/null || die "zip is missing (run scripts/deps.sh)"

mkdir -p "$DIST"
rm -f "$DIST"/nimbrel-setup-*.exe "$DIST"/nimbrel-*-portable.zip
say "making the installer"
makensis -V2 -DEXE="$EXE" -DOUTDIR="$DIST" "$NIMBREL_ROOT/installer/nimbrel.nsi"
installer="$(ls "$DIST"/nimbrel-setup-*.exe)"
version="${installer##*/nimbrel-setup-}"
version="${version%.exe}"

say "making the portable zip"
staging="$(mktemp -d)"
trap 'rm -rf "$staging"' EXIT
cp "$EXE" "$staging/nimbrel.exe"
(cd "$staging" && zip -q -X "$DIST/nimbrel-$version-portable.zip" nimbrel.exe)
say "made ${installer#"$NIMBREL_ROOT"/} and build/dist/nimbrel-$version-portable.zip"
