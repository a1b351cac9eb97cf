#!/bin/sh
# Installs the build tree into a scratch DESTDIR and fails when any installed
# path may be written by every account, when a Datos folder is installed (each
# user keeps templates in a folder of their own) or when a program is missing.
# Usage: no_world_writable.sh CMAKE BUILD_DIR
set -eu
cmake=$1
build=$2
dest=$(mktemp -d "${TMPDIR:-/tmp}/zirvo-install-XXXXXX")
trap 'rm -rf "$dest"' EXIT
DESTDIR=$dest "$cmake" --install "$build" --prefix /usr >/dev/null
status=0
# A symbolic link's own mode means nothing, only its target's.
open=$(find "$dest" ! -type l -perm -0002)
if [ -n "$open" ]; then
  echo "world-writable after installing:"; echo "$open"; status=1
fi
datos=$(find "$dest" -name Datos)
if [ -n "$datos" ]; then
  echo "installed a shared data folder:"; echo "$datos"; status=1
fi
for program in zirvo zirvo-batch; do
  if [ ! -f "$dest/usr/bin/$program" ] || [ ! -x "$dest/usr/bin/$program" ]; then
    echo "usr/bin/$program is not installed"; status=1
  fi
done
exit $status
