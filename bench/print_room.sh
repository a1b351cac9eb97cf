#!/bin/sh
# Runs print_room for 1,000, 10,000 and 100,000 sheets against a private CUPS
# scheduler (configuration, spool and socket in a temporary folder, no
# network port) with one queue on the generic PDF driver that writes to
# /dev/null. The machine's own scheduler is not used.
#
#   bench/print_room.sh BUILD_DIR [SHEETS...]
set -eu
build=${1:?usage: print_room.sh BUILD_DIR [SHEETS...]}
shift
[ $# -gt 0 ] || set -- 1000 10000 100000
root=$(mktemp -d /tmp/zirvo-bench-XXXXXX)
trap 'kill "$pid" 2>/dev/null; wait "$pid" 2>/dev/null; rm -rf "$root"' EXIT
mkdir -p "$root/spool/tmp" "$root/cache" "$root/state" "$root/log"
account=""
if [ "$(id -u)" -ne 0 ]; then
  account="User $(id -un)
Group $(id -gn)
SystemGroup $(id -gn)"
fi
cat > "$root/cups-files.conf" <<CONF
$account
FileDevice Yes
ServerRoot $root
StateDir $root/state
CacheDir $root/cache
RequestRoot $root/spool
TempDir $root/spool/tmp
AccessLog $root/log/access_log
ErrorLog $root/log/error_log
PageLog $root/log/page_log
CONF
cat > "$root/cupsd.conf" <<CONF
Listen $root/cups.sock
Browsing Off
WebInterface No
LogLevel warn
DefaultAuthType None
MaxJobs 0
<Location />
  Order allow,deny
  Allow all
</Location>
CONF
export CUPS_SERVER="$root/cups.sock"
/usr/sbin/cupsd -f -c "$root/cupsd.conf" -s "$root/cups-files.conf" &
pid=$!
for _ in $(seq 100); do lpstat -r 2>/dev/null | grep -q "is running" && break; sleep 0.1; done
lpadmin -p ZIRVOBENCH -v file:///dev/null -E -m lsb/usr/cupsfilters/Generic-PDF_Printer-PDF.ppd
for sheets in "$@"; do
  echo "== $sheets sheets"
  "$build/print_room" ZIRVOBENCH "$sheets"
done
