#!/usr/bin/env bash
# Installs the Debian packages the build and the tests need, and nothing when they are
# all present, so ./test.sh and ./run.sh stay fast on a machine that has them.
set -euo pipefail

packages=(
  cmake ninja-build g++ pkg-config ccache
  libgtest-dev libgmock-dev libbenchmark-dev
  nlohmann-json3-dev
  qt6-base-dev libhunspell-dev hunspell-en-us libxcb1-dev
  libqt6svg6
  poppler-utils
  libglib2.0-dev modemmanager-dev python3-dbusmock dbus xvfb
  dpkg-dev librsvg2-bin desktop-file-utils appstream lintian
  qt6-serialport-dev
  groff-base man-db
  # The one code style, checked by the tests (scripts/format.sh --check).
  clang-format-14
  # The paging gateway: sd_notify and socket activation, crypt for SNPP users, and the real
  # SNPP clients its tests page through.
  libsystemd-dev libcrypt-dev systemd hylafax-client libnet-snpp-perl
  # vorlapage --mail parses mail with GMime.
  libgmime-3.0-dev
  # Carriers over the internet (WCTP): HTTP(S), XML, and pagingsim's WCTP carrier.
  libcurl4-openssl-dev libxml2-dev libmicrohttpd-dev openssl ca-certificates
)
if [ "${1:-}" = "--fuzz" ]; then
  packages+=(clang libclang-rt-14-dev)
fi

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
sudo=""
if [ "$(id -u)" -ne 0 ]; then sudo="sudo"; fi
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
