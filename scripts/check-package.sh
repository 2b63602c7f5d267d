#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Builds the Debian package as the README's install section does (a Release build of its own, in
# build-package, without tests and benchmarks) and runs Debian's checkers on it: lintian (errors and
# warnings fail; overrides live in dist/lintian-overrides, each with its reason), desktop-file-validate
# on the menu entry, and appstreamcli on the AppStream metadata and the installed tree. A checker that
# is not installed is skipped with a message. TONVALE_PACKAGE_BUILD=DIR builds elsewhere.
set -euo pipefail
cd "$(dirname "$0")/.."
TONVALE_CHECK_PACKAGE=1 scripts/install-deps.sh

build=${TONVALE_PACKAGE_BUILD:-build-package}
# Paths below the repository reach the compiler cache relative, so a clone in another folder reuses it.
export CCACHE_BASEDIR=${CCACHE_BASEDIR:-$PWD}
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF -DTONVALE_BUILD_BENCH=OFF \
      -DTONVALE_BUILD_FUZZ=OFF -DTONVALE_SANITIZE=OFF -DTONVALE_BUILD_GUI=ON
cmake --build "$build" -j2
rm -f "$build"/tonvale_*.deb
(cd "$build" && cpack -G DEB)
debs=("$build"/tonvale_*.deb)
deb=${debs[0]}
echo "Package: $deb"

# The checkers read the files as the package installs them.
contents=$(mktemp -d)
trap 'rm -rf "$contents"' EXIT
dpkg-deb -x "$deb" "$contents"

passed=0
failed=0
skipped=0
check() {
  local name=$1 tool=$2
  shift 2
  if ! command -v "$tool" >/dev/null; then
    echo "SKIP $name: $tool is not installed (scripts/install-deps.sh installs it with TONVALE_CHECK_PACKAGE=1)"
    skipped=$((skipped + 1))
    return
  fi
  echo "== $name: $*"
  local output status=0
  output=$("$@" 2>&1) || status=$?
  # Lintian says that running as root is not recommended; that line is no finding.
  output=$(grep -v '^running with root privileges is not recommended!$' <<<"$output" || true)
  [[ -n "$output" ]] && printf '%s\n' "$output"
  if ((status != 0)); then
    echo "FAIL $name (exit status $status)"
    failed=$((failed + 1))
  else
    echo "ok   $name"
    passed=$((passed + 1))
  fi
}

check lintian lintian lintian --fail-on error,warning "$deb"
check desktop-file-validate desktop-file-validate \
      desktop-file-validate "$contents"/usr/share/applications/tonvale.desktop
# --no-net: the machines that run the checks reach no web sites, so the screenshot URL is not fetched.
# --strict fails on anything above a pedantic hint; validate-tree also checks that the metadata and the
# menu entry it launches fit together.
check appstreamcli appstreamcli \
      appstreamcli validate --no-net --strict --pedantic "$contents"/usr/share/metainfo/*.metainfo.xml
check "appstreamcli validate-tree" appstreamcli \
      appstreamcli validate-tree --no-net --strict --pedantic "$contents"

echo "package checks: $passed passed, $failed failed, $skipped skipped"
((failed == 0))
