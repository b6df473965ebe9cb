#!/usr/bin/env bash
# Installs the Debian packages that building, running and testing KTDocView need.
# Idempotent: does nothing (and prints nothing) when every package is present.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config git
  qt6-base-dev qt6-base-dev-tools libgl-dev
  qt6-tools-dev qt6-l10n-tools qt6-translations-l10n
  libtiff-dev libtiff-tools
  libtesseract-dev libleptonica-dev tesseract-ocr tesseract-ocr-eng
  libcups2-dev cups cups-client cups-bsd printer-driver-cups-pdf
  libbenchmark-dev
  xvfb xauth fonts-dejavu-core
  poppler-utils libxml2-utils libpoppler-qt6-dev qpdf
  clang clang-format libclang-rt-14-dev
  ccache valgrind
  slurm-wlm slurmctld slurmd slurm-client munge
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq
$SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
