#!/usr/bin/env bash
# Installs what is missing, builds the Windows programs and makes the release artefacts, named after
# the project version, in release/ (CORVANE_RELEASE chooses another folder):
#   Corvane-<version>-portable.zip  both programs, README.txt and LICENSE.txt in one folder
#   Corvane-<version>-setup.exe     the per-user installer
set -euo pipefail
source "$(dirname "$0")/common.sh"

corvane_install_packages
corvane_build_windows --target portable_zip installer
version="$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$CORVANE_BUILD/win/CMakeCache.txt")"
[ -n "$version" ] || { echo "no project version in $CORVANE_BUILD/win/CMakeCache.txt" >&2; exit 1; }
release="${CORVANE_RELEASE:-$CORVANE_ROOT/release}"
mkdir -p "$release"
for artefact in "Corvane-$version-portable.zip" "Corvane-$version-setup.exe"; do
  cp "$CORVANE_BUILD/win/$artefact" "$release/"
done
echo "Release $version in $release:"
(cd "$release" && ls -l "Corvane-$version-portable.zip" "Corvane-$version-setup.exe" | awk '{ printf "  %-36s %9d bytes\n", $9, $5 }')
