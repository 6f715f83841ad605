#!/bin/sh
# Printing through a real CUPS queue: starts a private cupsd with a PDF
# printer as its default queue, runs the window through one adjustment run,
# presses the print button and waits for the PDF the queue writes. The queue
# prints to a file: device inside WORK_DIR, so the job never leaves this test's
# own folder (a cups-pdf queue writes into a folder of the machine that every
# checkout shares). Installs CUPS and its filters when they are missing; exits
# 77 (skipped) only when the package archive cannot be reached.
#   cups_print_test.sh TRILAT_DRIVE WORK_DIR
set -eu
drive=$1
work=$2
triangles=40            # some 150 report lines: several pages
ppd=/usr/share/ppd/cupsfilters/Generic-PDF_Printer-PDF.ppd

skip() { echo "SKIPPED: $*"; exit 77; }
fail() { echo "FAILED: $*"; [ -f "$work/cups/log/error_log" ] && tail -n 30 "$work/cups/log/error_log"; exit 1; }

have_cups() { command -v cupsd >/dev/null 2>&1 && [ -e "$ppd" ] && command -v pdfinfo >/dev/null 2>&1; }
if ! have_cups; then
    [ "$(id -u)" = 0 ] || fail "CUPS is not installed and this test is not root"
    export DEBIAN_FRONTEND=noninteractive
    if ! apt-get install -y cups cups-filters poppler-utils; then
        apt-get update --error-on=any || skip "the package archive cannot be reached"
        apt-get install -y cups cups-filters poppler-utils || fail "apt-get install failed"
    fi
    have_cups || fail "CUPS still missing after installing it"
fi

rm -rf "$work"
root=$work/cups
mkdir -p "$root/spool/tmp" "$root/cache" "$root/state" "$root/log" "$root/ppd" "$root/ssl" "$work/home" "$work/out"
chmod 0755 "$work" "$root"
chgrp lp "$root/spool" "$root/spool/tmp" "$root/cache" 2>/dev/null || true
chmod 0710 "$root/spool"; chmod 1770 "$root/spool/tmp"; chmod 0770 "$root/cache"
socket=$root/cups.sock
# a local socket's path holds at most 107 bytes
[ ${#socket} -lt 108 ] || skip "the socket path $socket is too long for a local socket"
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
# the queue prints into a file of this test's folder
FileDevice Yes
CONF

cupsd -f -c "$root/cupsd.conf" -s "$root/cups-files.conf" &
cupsd_pid=$!
stop_cupsd() { kill "$cupsd_pid" 2>/dev/null || true; wait "$cupsd_pid" 2>/dev/null || true; }
trap stop_cupsd EXIT

export CUPS_SERVER=$socket CUPS_SERVERROOT=$root HOME=$work/home
# the default printer is the queue's: not one a user names in the environment
unset PRINTER LPDEST
i=0
until [ -S "$socket" ] && lpstat -r 2>/dev/null | grep -q "is running"; do
    i=$((i + 1)); [ $i -lt 100 ] || fail "cupsd did not start"
    kill -0 "$cupsd_pid" 2>/dev/null || fail "cupsd ended at start"
    sleep 0.1
done

queue=trilat-file
printed=$work/out/printed.pdf
lpadmin -p "$queue" -E -v "file://$printed" -P "$ppd" 2>"$work/lpadmin.err" \
    || { cat "$work/lpadmin.err"; fail "lpadmin"; }
cupsenable "$queue"; cupsaccept "$queue"
lpadmin -d "$queue"
[ "$(lpstat -d)" = "system default destination: $queue" ] || fail "$(lpstat -d)"
case "$(lpstat -v "$queue")" in *"$printed") ;; *) fail "the queue prints elsewhere: $(lpstat -v "$queue")" ;; esac

"$drive" --chain $triangles --print --pdf "$work/expected.pdf" > "$work/drive.out" 2>"$work/drive.err" \
    || { cat "$work/drive.err"; fail "the window run or the print failed"; }
expected=$(sed -n 's/^PAGES\t//p' "$work/drive.out")
[ -n "$expected" ] || fail "no page count from the driver"

# the job went through the queue ...
i=0
until grep -q "^$queue " "$root/log/page_log" 2>/dev/null && [ -z "$(lpstat -o "$queue")" ]; do
    i=$((i + 1)); [ $i -lt 300 ] || fail "no job went through the queue"
    sleep 0.2
done
echo "job: $(grep "^$queue " "$root/log/page_log" | head -n 1)"
grep -q "MESSAGE.*平差报告已发送到打印机 $queue，作业号 [1-9]" "$work/drive.err" \
    || { cat "$work/drive.err"; fail "the print did not say the job's number"; }

# ... and came out as a PDF with the report's pages
[ -s "$printed" ] || fail "the queue wrote no PDF"
pages=$(pdfinfo "$printed" | sed -n 's/^Pages:[[:space:]]*//p')
echo "printed: $printed, $pages pages (expected $expected)"
[ "$pages" = "$expected" ] || fail "the printed PDF has $pages pages, not $expected"
grep -q "^$queue .* total $expected " "$root/log/page_log" || fail "the queue did not count $expected pages"
# the job's name is one every queue keeps readable
grep -q "^$queue .* trilat-report " "$root/log/page_log" || fail "the job is not named trilat-report: $(head -n 1 "$root/log/page_log")"

# A queue that refuses jobs, and one that is stopped: the print says so (and
# offers the PDF) before sending, and no job reaches the queue.
jobs_before=$(wc -l < "$root/log/page_log")
try_print() {  # the state, the words the message must hold
    if "$drive" --chain 2 --print > "$work/$1.out" 2> "$work/$1.err"; then
        fail "printing to a $1 queue reported no problem"
    fi
    grep -q "MESSAGE.*$2" "$work/$1.err" || { cat "$work/$1.err"; fail "no message for the $1 queue"; }
    echo "$1: $(grep MESSAGE "$work/$1.err" | head -n 1)"
}
cupsreject "$queue"
try_print rejecting "不接受打印任务"
cupsaccept "$queue"; cupsdisable "$queue"
try_print stopped "已停止"
cupsenable "$queue"
sleep 1
[ -z "$(lpstat -o "$queue")" ] || fail "a job waits in the queue: $(lpstat -o "$queue")"
[ "$(wc -l < "$root/log/page_log")" = "$jobs_before" ] || fail "a job went through a queue that refused it"

# 打印 offers the full report too: chosen in the print dialog, it goes through the queue
rm -f "$printed"
"$drive" --chain 2 --print-full > "$work/full.out" 2>"$work/full.err" \
    || { cat "$work/full.err"; fail "printing the full report failed"; }
grep -q "MESSAGE.*成果报告已发送到打印机 $queue，作业号 [1-9]" "$work/full.err" || { cat "$work/full.err"; fail "no job number for the full report"; }
i=0
until [ "$(wc -l < "$root/log/page_log")" -gt "$jobs_before" ] && [ -z "$(lpstat -o "$queue")" ] && [ -s "$printed" ]; do
    i=$((i + 1)); [ $i -lt 300 ] || fail "the full report's job did not go through the queue"
    sleep 0.2
done
pdftotext "$printed" - | grep -q "成果" || fail "the printed full report lacks its title"
echo "full report: $(pdfinfo "$printed" | sed -n 's/^Pages:[[:space:]]*//p') pages"
echo "PASSED"
