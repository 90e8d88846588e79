#!/usr/bin/env bash
# Installs the Debian/Ubuntu packages given as arguments that are not installed yet: as root
# directly, else with sudo, else prints the exact command and fails.
set -euo pipefail
missing=()
for pkg in "$@"; do
  dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q "install ok installed" || missing+=("$pkg")
done
[ ${#missing[@]} -eq 0 ] && exit 0
echo "Installing: ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
if [ "$(id -u)" -eq 0 ]; then
  apt-get update -qq && apt-get install -y -qq --no-install-recommends "${missing[@]}" && exit 0
elif command -v sudo >/dev/null && sudo -n true 2>/dev/null; then
  sudo apt-get update -qq && sudo -E apt-get install -y -qq --no-install-recommends "${missing[@]}" && exit 0
fi
echo "Could not install the packages Quillbarrow needs. Run:" >&2
echo "  sudo apt-get install ${missing[*]}" >&2
exit 1
