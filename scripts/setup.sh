#!/usr/bin/env bash
# Installs the Debian packages the build and the tests need, if any is
# missing. Safe to run again: it does nothing when all are present.
set -euo pipefail

PACKAGES=(
  cmake make g++ clang libclang-rt-14-dev       # native build, sanitizers, libFuzzer
  googletest libgtest-dev libbenchmark-dev      # tests (native + cross sources), benchmarks
  g++-mingw-w64-x86-64-posix mingw-w64-tools    # Windows cross build, windres
  wine wine64 xvfb xauth fonts-wine             # running the Windows programs on Linux
  imagemagick                                   # screenshots of the window
  wixl msitools faketime zip                    # the MSI and the ZIP, byte for byte reproducible
  man-db groff-base                             # checking the cardcode man page
)

missing=()
for package in "${PACKAGES[@]}"; do
  status=$(dpkg-query -W -f='${Status}' "$package" 2>/dev/null || true)
  [[ "$status" == "install ok installed" ]] || missing+=("$package")
done
[[ ${#missing[@]} -eq 0 ]] && exit 0

echo "Installing: ${missing[*]}"
as_root=()
if [[ $(id -u) -ne 0 ]]; then
  command -v sudo >/dev/null || { echo "setup: need root (or sudo) to install ${missing[*]}" >&2; exit 1; }
  as_root=(sudo)
fi
export DEBIAN_FRONTEND=noninteractive
"${as_root[@]}" apt-get update -qq
"${as_root[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
