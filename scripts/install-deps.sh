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
  libsqlite3-dev zlib1g-dev libplist-dev
  # expat only for the XML import's floor in bench/ (the program reads XML
  # with Qt); libdeflate packs the book on one or two cores.
  libexpat1-dev libdeflate-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  fonts-noto-cjk fonts-dejavu-core qt6-translations-l10n
  # Japanese on printed pages and PDFs: a PDF's text map names the first
  # character of a glyph, and Noto CJK shares its kanji with the Kangxi radicals.
  fonts-morisawa-bizud-gothic
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

# ja_JP and en_US are the program's two languages (LANG picks one); the
# number-text tests run under a decimal-comma locale to prove no locale
# reaches stored text.
for loc in ja_JP de_DE en_US; do
  if ! locale -a 2>/dev/null | grep -qi "^${loc}\.utf-\?8$"; then
    echo "install-deps: generating ${loc}.UTF-8"
    if ! grep -q "^${loc}.UTF-8 UTF-8" /etc/locale.gen 2>/dev/null; then
      echo "${loc}.UTF-8 UTF-8" | $SUDO tee -a /etc/locale.gen >/dev/null
    fi
    generate=1
  fi
done
if [ "${generate:-0}" = 1 ]; then $SUDO locale-gen >/dev/null; fi
