#!/usr/bin/env bash
# Installs Corvane's desktop entry, icon and document types for the current
# user (the XDG data folder, ~/.local/share unless XDG_DATA_HOME says
# otherwise), so menus list the program and file managers open books with it.
# The program itself runs without them.
#   --exec PATH   the program the entry starts (default: this clone's
#                 build-release/corvane, which ./run.sh builds)
set -euo pipefail
cd "$(dirname "$0")/.."
ROOT="$(pwd)"
EXEC="$ROOT/build-release/corvane"
while [ $# -gt 0 ]; do
  case "$1" in
    --exec) EXEC="$(realpath -m "${2:?--exec needs a path}")"; shift 2 ;;
    *) echo "install-desktop: unknown option $1" >&2; exit 2 ;;
  esac
done
case "$EXEC" in
  *[\"\`\$\\%\|\&]*) echo "install-desktop: the program path may not hold \" \` \$ \\ % | or &: $EXEC" >&2; exit 2 ;;
esac
[ -x "$EXEC" ] || echo "install-desktop: $EXEC does not exist yet; ./run.sh builds it" >&2

NAME=org.corvane.Corvane
SRC=resources/desktop
DATA="${XDG_DATA_HOME:-$HOME/.local/share}"

install -Dm644 "$SRC/$NAME.xml" "$DATA/mime/packages/$NAME.xml"
if command -v update-mime-database >/dev/null; then
  update-mime-database "$DATA/mime"
else
  echo "install-desktop: update-mime-database is missing (shared-mime-info); file types take effect once it runs" >&2
fi

for png in "$SRC"/icons/"$NAME"-*.png; do
  size="${png##*-}"; size="${size%.png}"
  install -Dm644 "$png" "$DATA/icons/hicolor/${size}x${size}/apps/$NAME.png"
done
install -Dm644 "$SRC/icons/$NAME.svg" "$DATA/icons/hicolor/scalable/apps/$NAME.svg"
if command -v gtk-update-icon-cache >/dev/null && [ -f "$DATA/icons/hicolor/index.theme" ]; then
  gtk-update-icon-cache -q -t "$DATA/icons/hicolor" || true
fi

# The path is quoted, as a desktop entry's Exec wants for spaces.
mkdir -p "$DATA/applications"
sed "s|^Exec=.*|Exec=\"$EXEC\" %F|" "$SRC/$NAME.desktop" > "$DATA/applications/$NAME.desktop.tmp"
mv "$DATA/applications/$NAME.desktop.tmp" "$DATA/applications/$NAME.desktop"
if command -v update-desktop-database >/dev/null; then
  update-desktop-database -q "$DATA/applications" || true
fi
echo "install-desktop: installed for $(id -un) in $DATA"
