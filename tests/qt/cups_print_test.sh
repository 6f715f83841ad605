#!/bin/sh
# Printing through a real CUPS queue: starts a private cupsd with a cups-pdf
# queue as the default printer, runs the window through one adjustment run,
# presses the print button and waits for the PDF the queue writes. Installs
# CUPS and cups-pdf when they are missing; exits 77 (skipped) only when the
# package archive cannot be reached.
#   cups_print_test.sh TRILAT_DRIVE WORK_DIR
set -eu
drive=$1
work=$2
triangles=40            # some 150 report lines: several pages

skip() { echo "SKIPPED: $*"; exit 77; }
fail() { echo "FAILED: $*"; [ -f "$work/cups/log/error_log" ] && tail -n 30 "$work/cups/log/error_log"; exit 1; }

have_cups() { command -v cupsd >/dev/null 2>&1 && [ -e /usr/lib/cups/backend/cups-pdf ] && command -v pdfinfo >/dev/null 2>&1; }
if ! have_cups; then
    [ "$(id -u)" = 0 ] || fail "CUPS is not installed and this test is not root"
    export DEBIAN_FRONTEND=noninteractive
    if ! apt-get install -y cups printer-driver-cups-pdf poppler-utils; then
        apt-get update --error-on=any || skip "the package archive cannot be reached"
        apt-get install -y cups printer-driver-cups-pdf poppler-utils || fail "apt-get install failed"
    fi
    have_cups || fail "CUPS still missing after installing it"
fi

rm -rf "$work"
root=$work/cups
mkdir -p "$root/spool/tmp" "$root/cache" "$root/state" "$root/log" "$root/ppd" "$root/ssl" "$work/home"
chmod 0755 "$work" "$root"
chgrp lp "$root/spool" "$root/spool/tmp" "$root/cache" 2>/dev/null || true
chmod 0710 "$root/spool"; chmod 1770 "$root/spool/tmp"; chmod 0770 "$root/cache"
socket=$root/cups.sock
cat > "$root/cupsd.conf" <<CONF
Listen $socket
LogLevel warn
Browsing No
DefaultAuthType None
WebInterface No
<Location />
  Order allow,deny
  Allow all
</Location>
<Location /admin>
  Order allow,deny
  Allow all
</Location>
<Policy default>
  <Limit All>
    Order deny,allow
  </Limit>
</Policy>
CONF
cat > "$root/cups-files.conf" <<CONF
ServerRoot $root
RequestRoot $root/spool
TempDir $root/spool/tmp
CacheDir $root/cache
StateDir $root/state
AccessLog $root/log/access_log
ErrorLog $root/log/error_log
PageLog $root/log/page_log
SystemGroup root
CONF

cupsd -f -c "$root/cupsd.conf" -s "$root/cups-files.conf" &
cupsd_pid=$!
stop_cupsd() { kill "$cupsd_pid" 2>/dev/null || true; wait "$cupsd_pid" 2>/dev/null || true; }
trap stop_cupsd EXIT

export CUPS_SERVER=$socket CUPS_SERVERROOT=$root HOME=$work/home
i=0
until [ -S "$socket" ] && lpstat -r 2>/dev/null | grep -q "is running"; do
    i=$((i + 1)); [ $i -lt 100 ] || fail "cupsd did not start"
    kill -0 "$cupsd_pid" 2>/dev/null || fail "cupsd ended at start"
    sleep 0.1
done

queue=trilat-pdf
lpadmin -p "$queue" -E -v cups-pdf:/ -P /usr/share/ppd/cups-pdf/CUPS-PDF_opt.ppd 2>"$work/lpadmin.err" \
    || { cat "$work/lpadmin.err"; fail "lpadmin"; }
cupsenable "$queue"; cupsaccept "$queue"
lpoptions -d "$queue" >/dev/null
[ "$(lpstat -d)" = "system default destination: $queue" ] || lpstat -d

# cups-pdf writes into the job owner's PDF folder
owner_home=$(getent passwd "$(id -un)" | cut -d: -f6)
outdirs="$owner_home/PDF /var/spool/cups-pdf/ANONYMOUS"
marker=$work/started
touch "$marker"
sleep 1

"$drive" --chain $triangles --print --pdf "$work/expected.pdf" > "$work/drive.out" 2>"$work/drive.err" \
    || { cat "$work/drive.err"; fail "the window run or the print failed"; }
expected=$(sed -n 's/^PAGES\t//p' "$work/drive.out")
[ -n "$expected" ] || fail "no page count from the driver"

# the job reached the queue ...
i=0
until grep -q "^$queue " "$root/log/page_log" 2>/dev/null; do
    i=$((i + 1)); [ $i -lt 300 ] || fail "no job went through the queue"
    sleep 0.2
done
echo "job: $(grep "^$queue " "$root/log/page_log" | head -n 1)"

# ... and came out as a PDF with the report's pages
pdf=
i=0
while [ -z "$pdf" ]; do
    for dir in $outdirs; do
        [ -d "$dir" ] || continue
        pdf=$(find "$dir" -name '*.pdf' -newer "$marker" | head -n 1)
        [ -n "$pdf" ] && break
    done
    [ -n "$pdf" ] && break
    i=$((i + 1)); [ $i -lt 300 ] || fail "cups-pdf wrote no PDF"
    sleep 0.2
done
sleep 1  # cups-pdf finishes writing
pages=$(pdfinfo "$pdf" | sed -n 's/^Pages:[[:space:]]*//p')
echo "printed: $pdf, $pages pages (expected $expected)"
mv "$pdf" "$work/printed.pdf"
[ "$pages" = "$expected" ] || fail "the printed PDF has $pages pages, not $expected"
grep -q "^$queue .* total $expected " "$root/log/page_log" || fail "the queue did not count $expected pages"
echo "PASSED"
