#!/usr/bin/env bash
# Installs, with apt, everything the build, the tests and kivo need on a fresh Debian 12 machine
# (xdg-utils: kivo's Help opens its page in the desktop's browser through xdg-open).
set -euo pipefail
pkgs=(build-essential cmake ninja-build pkg-config clang
      qt6-base-dev qt6-serialport-dev qt6-translations-l10n
      libical-dev libgtest-dev libgmock-dev libbenchmark-dev
      fonts-dejavu-core xdg-utils)
# The tests also check interoperation with a general AT client and the desktop's contact and calendar tools.
if [ "${1:-}" = "--tests" ]; then
  pkgs+=(gammu khard khal)
fi
missing=()
for p in "${pkgs[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  SUDO=""; [ "$(id -u)" -ne 0 ] && SUDO=sudo
  $SUDO apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
