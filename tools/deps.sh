#!/usr/bin/env bash
# Installs the Debian packages KIRO needs when any of them is missing.
set -euo pipefail
packages=(cmake ninja-build g++ clang clang-format qt6-base-dev qt6-svg-dev qt6-translations-l10n qt6-tools-dev qt6-l10n-tools
          fonts-ipafont-gothic libgtest-dev libbenchmark-dev libcli11-dev libboost-dev libfftw3-dev pkg-config locales-all
          xvfb xauth)
missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
    echo "Installing: ${missing[*]}"
    export DEBIAN_FRONTEND=noninteractive
    apt-get update -qq
    apt-get install -y --no-install-recommends "${missing[@]}"
fi
