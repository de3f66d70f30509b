#!/usr/bin/env bash
# Installs the Debian packages Fermalux builds with, when they are missing.
# Idempotent and quiet when everything is already there. Needs root (or sudo) only to install.
set -euo pipefail

packages=(cmake ninja-build g++ qt6-base-dev qt6-charts-dev libgif-dev libgtest-dev libgmock-dev
          libbenchmark-dev ccache)
if [[ "${FMX_WITH_FUZZ:-0}" == 1 ]]; then
    packages+=(clang libclang-rt-14-dev)
fi

missing=()
for p in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
        missing+=("$p")
    fi
done
[[ ${#missing[@]} -eq 0 ]] && exit 0

echo "Installing: ${missing[*]}"
sudo=""
if [[ $(id -u) -ne 0 ]]; then sudo="sudo"; fi
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq
$sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
