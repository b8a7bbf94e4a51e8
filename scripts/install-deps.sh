#!/usr/bin/env bash
# Installs every Debian 12 package the project needs to build, run and test.
set -euo pipefail

packages=(
    build-essential cmake ninja-build pkg-config
    qt6-base-dev qt6-base-dev-tools libgl-dev qt6-translations-l10n
    libsqlcipher-dev
    fonts-arphic-ukai fonts-arphic-uming fonts-dejavu-core
    fonts-liberation2 fonts-urw-base35 fonts-wqy-zenhei
    g++-mingw-w64-x86-64 wine64 dpkg-dev tcl locales
    xvfb xauth xdotool xclip x11-utils imagemagick sqlcipher
    unixodbc unixodbc-dev libsqliteodbc
    python3-pil
    # the Debian package and its test: addgroup, the AppStream validator, man
    adduser appstream man-db
)

missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
# The Windows programs are tested in a Chinese Windows under Wine, which takes its code
# page from the Unix locale: zh_CN.UTF-8 must exist.
has_locale() { locale -a 2>/dev/null | grep -qix 'zh_CN.utf-\?8'; }
[ ${#missing[@]} -eq 0 ] && has_locale && exit 0

sudo=""
if [ "$(id -u)" -ne 0 ]; then
    command -v sudo >/dev/null || { echo "Run as root or install sudo." >&2; exit 1; }
    sudo="sudo"
fi
export DEBIAN_FRONTEND=noninteractive
if [ ${#missing[@]} -ne 0 ]; then
    $sudo apt-get update -qq
    $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
has_locale || $sudo localedef -i zh_CN -c -f UTF-8 -A /usr/share/locale/locale.alias zh_CN.UTF-8
