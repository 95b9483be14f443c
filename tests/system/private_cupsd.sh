# SPDX-FileCopyrightText: 2026 The Jeerforge developers
# SPDX-License-Identifier: GPL-3.0-or-later

# A private CUPS scheduler for the printing tests, never the machine's own:
# it listens only on a Unix socket in a temporary folder, which CUPS_SERVER
# points this shell's programs at. Source it; it starts at once and stops
# when cupsd_stop runs. Jobs sent to the "capture" printer are copied, as
# sent, into $cupsd_output.

cupsd_dir=$(mktemp -d)
chmod 0755 "$cupsd_dir"
cupsd_output="$cupsd_dir/output"
mkdir -p "$cupsd_output" "$cupsd_dir"/{bin/backend,spool/tmp,cache,state,log}
chmod 0777 "$cupsd_output"
for folder in /usr/lib/cups/*; do
    [ "$(basename "$folder")" = backend ] || ln -s "$folder" "$cupsd_dir/bin/$(basename "$folder")"
done

cat >"$cupsd_dir/bin/backend/capture" <<BACKEND
#!/bin/sh
# Without arguments, CUPS asks which devices this backend offers.
if [ \$# -eq 0 ]; then
    echo 'direct capture "Unknown" "Test capture"'
    exit 0
fi
if [ -n "\$6" ]; then cat "\$6"; else cat; fi >"$cupsd_output/job-\$1.pdf.part"
mv "$cupsd_output/job-\$1.pdf.part" "$cupsd_output/job-\$1.pdf"
BACKEND
chmod 0700 "$cupsd_dir/bin/backend/capture"

cat >"$cupsd_dir/cupsd.conf" <<CONF
Listen $cupsd_dir/cups.sock
LogLevel info
Browsing No
WebInterface No
DefaultAuthType None
<Location />
  Order allow,deny
  Allow all
</Location>
<Policy default>
  <Limit All>
    Order deny,allow
  </Limit>
</Policy>
CONF

cat >"$cupsd_dir/cups-files.conf" <<CONF
ServerRoot $cupsd_dir
ServerBin $cupsd_dir/bin
RequestRoot $cupsd_dir/spool
TempDir $cupsd_dir/spool/tmp
CacheDir $cupsd_dir/cache
StateDir $cupsd_dir/state
AccessLog $cupsd_dir/log/access_log
ErrorLog $cupsd_dir/log/error_log
PageLog $cupsd_dir/log/page_log
Printcap $cupsd_dir/printcap
SystemGroup $(id -gn)
CONF

export CUPS_SERVER="$cupsd_dir/cups.sock"
unset PRINTER LPDEST
export HOME="$cupsd_dir/home"   # no lpoptions of the user's own
mkdir -p "$HOME"

# Starts the scheduler and waits until it answers; cupsd_halt stops it,
# keeping its printers and jobs for the next start.
cupsd_run() {
    /usr/sbin/cupsd -f -c "$cupsd_dir/cupsd.conf" -s "$cupsd_dir/cups-files.conf" &
    cupsd_pid=$!
    for _ in $(seq 100); do
        lpstat -r 2>/dev/null | grep -q 'is running' && return 0
        sleep 0.1
    done
    echo "cupsd did not start:"
    cat "$cupsd_dir/log/error_log" 2>/dev/null
    return 1
}
cupsd_halt() {
    kill "$cupsd_pid" 2>/dev/null && wait "$cupsd_pid" 2>/dev/null
}
cupsd_stop() {
    cupsd_halt
    rm -rf "$cupsd_dir"
}
cupsd_run || exit 1

# Adds a capture printer, accepting jobs, and makes it the default: the one
# named "capture", or the name given.
cupsd_add_capture_printer() {
    local name=${1:-capture}
    lpadmin -p "$name" -E -v capture:/ 2>&1 | { grep -v -i 'deprecated' >&2 || true; }
    lpadmin -d "$name"
}

# Waits until every job is done and prints how many PDFs the printer got.
cupsd_wait_for_jobs() {
    for _ in $(seq 100); do
        [ -z "$(lpstat -o 2>/dev/null)" ] && break
        sleep 0.1
    done
    find "$cupsd_output" -name 'job-*.pdf' | wc -l
}
