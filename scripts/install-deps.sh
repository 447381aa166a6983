#!/usr/bin/env bash
# Installs every Debian package the build, the tests and the program need.
# Idempotent: when everything is present it only checks and returns.
# --fuzz also installs clang and its libFuzzer runtime (scripts/fuzz.sh).
set -euo pipefail

WITH_FUZZ=0
for arg in "$@"; do
  case "$arg" in
    --fuzz) WITH_FUZZ=1 ;;
    *) echo "install-deps: unknown option $arg" >&2; exit 2 ;;
  esac
done

PACKAGES=(
  g++ cmake ninja-build ccache pkg-config
  qt6-base-dev qt6-base-dev-tools
  libsqlite3-dev zlib1g-dev libdeflate-dev libplist-dev
  # expat only for the XML import's floor in bench/; the program reads XML with Qt.
  libexpat1-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  fonts-noto-cjk fonts-dejavu-core
  poppler-utils xvfb xauth libxml2-utils
  locales
  dbus-daemon libglib2.0-bin desktop-file-utils xdg-utils shared-mime-info
)
if [ "$WITH_FUZZ" = 1 ]; then
  PACKAGES+=(clang libclang-rt-14-dev)
fi

missing=()
for p in "${PACKAGES[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done

SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi

if [ ${#missing[@]} -gt 0 ]; then
  echo "install-deps: installing ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  $SUDO apt-get update -qq
  $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

# The number-text tests run under a decimal-comma locale to prove no locale reaches stored text.
if ! locale -a 2>/dev/null | grep -qi '^de_DE\.utf-\?8$'; then
  echo "install-deps: generating de_DE.UTF-8"
  if ! grep -q '^de_DE.UTF-8 UTF-8' /etc/locale.gen 2>/dev/null; then
    echo 'de_DE.UTF-8 UTF-8' | $SUDO tee -a /etc/locale.gen >/dev/null
  fi
  $SUDO locale-gen >/dev/null
fi
