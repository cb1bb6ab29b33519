#!/usr/bin/env bash
# Builds the Debian packages vorlapro and vorlapro-dev into $VORLA_PACKAGE_DIR (default
# build-package/), from a build of their own installed under /usr (no tests, no benchmarks),
# and with --check lists their contents and runs dpkg-deb --info and lintian (when present).
#   scripts/package.sh [--check]
#   sudo apt install ./build-package/vorlapro_*.deb
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
check=0
if [ "${1:-}" = "--check" ]; then check=1; shift; fi
out=${VORLA_PACKAGE_DIR:-$top/build-package}
# Debian's hardening flags (stack protector, fortified functions, read-only relocations bound
# at start-up), as any package of the distribution is built with.
export DEB_BUILD_MAINT_OPTIONS=hardening=+all
# The package's programs are stripped, so debug information would only cost compile time (a
# third of ./test.sh on a two-core machine); optimisation stays at Debian's -O2.
export DEB_CFLAGS_MAINT_STRIP=-g DEB_CXXFLAGS_MAINT_STRIP=-g
flags() { dpkg-buildflags --get "$1" | sed "s|-ffile-prefix-map=[^ ]*||"; }
VORLA_BUILD_DIR=$out "$top/scripts/build.sh" -DCMAKE_INSTALL_PREFIX=/usr -DCMAKE_BUILD_TYPE=Release \
  -DCMAKE_C_FLAGS_RELEASE=-DNDEBUG -DCMAKE_CXX_FLAGS_RELEASE=-DNDEBUG \
  -DVORLA_SANITIZE=OFF -DVORLA_TESTS=OFF -DVORLA_BENCH=OFF -DVORLA_FUZZ=OFF \
  -DCMAKE_C_FLAGS="$(flags CPPFLAGS) $(flags CFLAGS)" -DCMAKE_CXX_FLAGS="$(flags CPPFLAGS) $(flags CXXFLAGS)" \
  -DCMAKE_EXE_LINKER_FLAGS="$(flags LDFLAGS)" -DCMAKE_SHARED_LINKER_FLAGS="$(flags LDFLAGS)" \
  -DCMAKE_MODULE_LINKER_FLAGS="$(flags LDFLAGS)" "$@"
rm -f "$out"/vorlapro*.deb
(cd "$out" && cpack -G DEB > cpack.log) || { cat "$out/cpack.log" >&2; exit 1; }
debs=("$out"/vorlapro*.deb)
printf 'Built %s\n' "${debs[@]}"
[ "$check" = 1 ] || exit 0

for deb in "${debs[@]}"; do
  echo "== $(basename "$deb")"
  dpkg-deb --info "$deb"
  dpkg-deb --contents "$deb"
done
main=$(ls "$out"/vorlapro_*.deb)
# The package is usable only when the program, the engine and the desktop files are in it.
contents=$(dpkg-deb --contents "$main")
for f in ./usr/bin/vorlapro ./usr/bin/vorlapage ./usr/bin/rklrun ./usr/share/applications/com.quillon.VorlaPro.desktop \
         ./usr/share/icons/hicolor/scalable/apps/vorlapro.svg ./usr/share/vorlapro/rklfiles/vorlapro.rkl; do
  grep -q " ${f//./\\.}$" <<< "$contents" || { echo "package check: $f missing from $main" >&2; exit 1; }
done
grep -q 'librkl32\.so\.1' <<< "$contents" || { echo "package check: librkl32 missing" >&2; exit 1; }
# Under /usr the system finds librkl32 itself; a run path there would only hide a broken link.
mkdir -p "$out/unpacked" && rm -rf "$out/unpacked"/* && dpkg-deb -x "$main" "$out/unpacked"
if readelf -d "$out/unpacked/usr/bin/vorlapro" | grep -q 'R.*PATH'; then
  echo "package check: /usr/bin/vorlapro carries a run path" >&2; exit 1
fi
depends=$(dpkg-deb --field "$main" Depends)
for d in libqt6widgets6 qt6-qpa-plugins; do
  grep -q "$d" <<< "$depends" || { echo "package check: Depends lacks $d: $depends" >&2; exit 1; }
done
if command -v lintian > /dev/null; then
  # Tags left on purpose are listed in docs/install.md; lintian's findings are shown, and
  # only its errors fail the check.
  lintian --tag-display-limit 0 --suppress-tags-from-file "$top/packaging/lintian-accepted" "${debs[@]}" \
    | tee "$out/lintian.log"
  if grep -q '^E:' "$out/lintian.log"; then
    echo "package check: lintian reports errors" >&2
    exit 1
  fi
fi
echo "package check: passed"
