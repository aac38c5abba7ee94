#!/usr/bin/env bash
# One version: everything that names it says what CMake's project() says.
#   check-version.sh SOURCE_DIR BUILD_DIR VERSION
set -euo pipefail
src=$1 build=$2 version=$3
. "$(dirname "${BASH_SOURCE[0]}")/../lib.sh"
grep -qx "#define LORIXLOG_VERSION \"$version\"" "$build/version/generated/Version.h" ||
  fail "Version.h"
IFS=. read -r major minor patch <<<"$version"
grep -qx "#define LORIXLOG_VERSION_MAJOR $major" "$build/version/generated/Version.h" &&
  grep -qx "#define LORIXLOG_VERSION_MINOR $minor" "$build/version/generated/Version.h" &&
  grep -qx "#define LORIXLOG_VERSION_PATCH $patch" "$build/version/generated/Version.h" ||
  fail "the version numbers in Version.h"
for page in lorixlog-find lorixlog-sim lorixlog-finder; do
  grep -q "^\.TH .* \"lorixlog-finder $version\"" "$build/packaging/man/$page.1" || fail "$page(1)"
done
grep -q "<release version=\"$version\"" "$build/packaging/org.lorixlog.finder.metainfo.xml" ||
  fail "the AppStream release"
head -1 "$build/packaging/changelog" | grep -q "^lorixlog-finder ($version)" || fail "the changelog"
# The sources name no version of their own: the resource script takes it from Version.h.
for rc in "$src/app/res/lorixlog-finder.rc" "$src/tools/find/lorixlog-find.rc" "$src/version/VersionInfo.rc"; do
  grep -nE '(FILE|PRODUCT)VERSION +[0-9]|"[0-9]+\.[0-9]+\.[0-9]+"' "$rc" && fail "a version written into $rc"
done
echo "PASS: everything says $version"
