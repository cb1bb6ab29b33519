#!/usr/bin/env bash
# Usage: install_test.sh BUILD_DIR SOURCE_DIR. Installs BUILD_DIR into a temporary prefix with
# a temporary HOME and checks the installed tree works on its own.
set -euo pipefail
build=$1
source=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
prefix=$work/prefix
export HOME=$work/home XDG_DATA_HOME=$work/home/.local/share XDG_CONFIG_HOME=$work/home/.config
mkdir -p "$HOME"
failures=0
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }

"${CMAKE_COMMAND:-cmake}" --install "$build" --prefix "$prefix" > "$work/install.log"
# Every installed file lies under the prefix: nothing is written to fixed system paths.
while IFS= read -r f; do
  case $f in "$prefix"/*) ;; *) fail "installed outside the prefix: $f" ;; esac
done < "$build/install_manifest.txt"

libdir=$(dirname "$(find "$prefix" -name 'librkl32.so.1' | head -n 1)")
[ -f "$libdir/librkl32.so.1" ] || { echo "FAIL: librkl32.so.1 not installed" >&2; exit 1; }

# The library: its version name, and nothing but the RKL_ interface exported.
soname=$(readelf -d "$libdir/librkl32.so.1" | sed -n 's/.*(SONAME).*\[\(.*\)\]/\1/p')
[ "$soname" = librkl32.so.1 ] || fail "SONAME is '$soname'"
others=$(nm -D --defined-only "$libdir/librkl32.so.1" | awk '{print $NF}' | grep -v '^RKL_' || true)
[ -z "$others" ] || fail "exported beside RKL_: $others"
[ -f "$prefix/include/rkl32.h" ] || fail "rkl32.h not installed"

# rklrun from the installed place finds the installed library, not the build's.
example=$prefix/share/doc/vorlapro/examples/rklfiles/hello.rkl
loaded=$(ldd "$prefix/bin/rklrun" | sed -n 's/.*librkl32.so.1 => \(.*\) (.*/\1/p')
if [ -z "$loaded" ] || [ "$(readlink -f "$loaded")" != "$(readlink -f "$libdir/librkl32.so.1")" ]; then
  fail "installed rklrun loads '$loaded', not $libdir/librkl32.so.1"
fi
out=$("$prefix/bin/rklrun" "$example" name=installed MAIN) || fail "rklrun: $out"
grep -q 'installed' <<< "$out" || fail "rklrun printed: $out"

# The shipped scripts and lists a data folder is seeded from.
for f in rklfiles/vorlapro.rkl SERVICES.INI MODEM.INI samples/sample.pdb; do
  [ -f "$prefix/share/vorlapro/$f" ] || fail "share/vorlapro/$f missing"
done

# The installed programs answer --version and work on the user's data folder, seeded from
# share/vorlapro; a script the user changed survives the next start.
if [ -x "$prefix/bin/vorlapage" ]; then
  grep -q '^vorlapro [0-9]' <<< "$("$prefix/bin/vorlapro" --version)" || fail "vorlapro --version"
  data=$XDG_DATA_HOME/vorlapro
  "$prefix/bin/vorlapage" --list > "$work/list.log" 2>&1 || fail "installed vorlapage --list: $(cat "$work/list.log")"
  [ -f "$data/rklfiles/vorlapro.rkl" ] && [ -f "$data/SERVICES.INI" ] || fail "the data folder $data was not seeded"
  echo "; the user's own line" >> "$data/rklfiles/vorlapro.rkl"
  cp "$data/rklfiles/vorlapro.rkl" "$work/changed.rkl"
  "$prefix/bin/vorlapage" --list > "$work/list.log" 2>&1 || fail "second vorlapage --list: $(cat "$work/list.log")"
  cmp -s "$data/rklfiles/vorlapro.rkl" "$work/changed.rkl" || fail "a second start overwrote a changed script"
fi

# The desktop entry, the AppStream data and the icon where menus look for them.
if [ -f "$prefix/bin/vorlapro" ]; then
  desktop=$prefix/share/applications/com.quillon.VorlaPro.desktop
  if command -v desktop-file-validate > /dev/null; then
    desktop-file-validate "$desktop" || fail "desktop entry does not validate"
  fi
  if command -v appstreamcli > /dev/null; then
    appstreamcli validate --no-net "$prefix/share/metainfo/com.quillon.VorlaPro.metainfo.xml" > "$work/as.log" \
      || fail "metainfo does not validate: $(cat "$work/as.log")"
  fi
  icon=$(sed -n 's/^Icon=//p' "$desktop")
  [ -f "$prefix/share/icons/hicolor/scalable/apps/$icon.svg" ] || fail "no scalable icon '$icon'"
  [ -f "$prefix/share/icons/hicolor/48x48/apps/$icon.png" ] || fail "no 48x48 icon '$icon'"
  [ -n "$(find "$prefix/lib" -path '*/vorlapro/import/liblomix.so')" ] || fail "Lomix not in the plug-in folder"
fi

# Another program hosts the engine: the C example builds with pkg-config and with CMake.
cc=${CC:-cc}
read -r -a host_flags <<< "${HOST_CFLAGS:-}"
pcdir=$libdir/pkgconfig
read -r -a pc <<< "$(PKG_CONFIG_PATH=$pcdir pkg-config --cflags --libs rkl32)"
"$cc" "${host_flags[@]}" -Wall -Werror -o "$work/rkl_host" "$source/docs/host/rkl_host.c" "${pc[@]}" \
  -Wl,-rpath,"$libdir" || fail "the C host does not build with pkg-config"
if [ -x "$work/rkl_host" ]; then
  out=$("$work/rkl_host" "$example" name=host MAIN) || fail "rkl_host: $out"
  grep -q '^echo: .*host' <<< "$out" && grep -q '^MAIN: 0 ' <<< "$out" || fail "rkl_host printed: $out"
fi
if "${CMAKE_COMMAND:-cmake}" -S "$source/docs/host" -B "$work/host-build" -DCMAKE_PREFIX_PATH="$prefix" \
     -DCMAKE_C_COMPILER="$cc" -DCMAKE_C_FLAGS="${HOST_CFLAGS:-}" > "$work/host-cmake.log" 2>&1 \
   && "${CMAKE_COMMAND:-cmake}" --build "$work/host-build" >> "$work/host-cmake.log" 2>&1; then
  out=$("$work/host-build/rkl_host" "$example" name=cmake MAIN) || true
  grep -q '^MAIN: 0 ' <<< "$out" || fail "the CMake-built host printed: $out"
else
  fail "the C host does not build with find_package(Rkl32): $(cat "$work/host-cmake.log")"
fi

[ "$failures" = 0 ] && echo "install layout: all checks passed"
exit $((failures > 0))
