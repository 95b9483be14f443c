# SPDX-FileCopyrightText: 2026 The Jeerforge developers
# SPDX-License-Identifier: GPL-3.0-or-later

# A private CUPS scheduler for the printing tests, never the machine's own:
# it listens on a Unix socket in a temporary folder, which CUPS_SERVER
# points this shell's programs at, and on 127.0.0.1:$cupsd_port. Source it;
# it starts at once and stops when cupsd_stop runs. Jobs sent to the
# "capture" printer are copied, as sent, into $cupsd_output, with the options
# they came with beside them (job-N.options). A queue with the policy
# "locked" takes jobs only from root with the password $cupsd_password, over
# TCP; that needs root (cupsd_can_lock), as the scheduler asks PAM.

# lpadmin, cupsaccept and cupsreject live in /usr/sbin, which an ordinary
# user's PATH leaves out.
export PATH="$PATH:/usr/sbin:/sbin"

cupsd_dir=$(mktemp -d)
chmod 0755 "$cupsd_dir"
cupsd_output="$cupsd_dir/output"
mkdir -p "$cupsd_output" "$cupsd_dir"/{bin/backend,spool/tmp,cache,state,log}
chmod 0777 "$cupsd_output"
for folder in /usr/lib/cups/*; do
    [ "$(basename "$folder")" = backend ] || ln -s "$folder" "$cupsd_dir/bin/$(basename "$folder")"
done
ln -s /usr/lib/cups/backend/ipp "$cupsd_dir/bin/backend/ipp"
cupsd_port=$((20000 + RANDOM % 20000))
cupsd_password=jeerforge-test-password

cat >"$cupsd_dir/bin/backend/capture" <<BACKEND
#!/bin/sh
# Without arguments, CUPS asks which devices this backend offers.
if [ \$# -eq 0 ]; then
    echo 'direct capture "Unknown" "Test capture"'
    exit 0
fi
printf '%s\n' "\$5" >"$cupsd_output/job-\$1.options"
if [ -n "\$6" ]; then cat "\$6"; else cat; fi >"$cupsd_output/job-\$1.pdf.part"
mv "$cupsd_output/job-\$1.pdf.part" "$cupsd_output/job-\$1.pdf"
BACKEND
chmod 0700 "$cupsd_dir/bin/backend/capture"

cat >"$cupsd_dir/cupsd.conf" <<CONF
Listen $cupsd_dir/cups.sock
Listen 127.0.0.1:$cupsd_port
LogLevel info
Browsing No
WebInterface No
DefaultAuthType Basic
<Location />
  Order allow,deny
  Allow all
</Location>
<Policy default>
  <Limit All>
    Order deny,allow
  </Limit>
</Policy>
<Policy locked>
  <Limit Create-Job Print-Job>
    AuthType Basic
    Require user root
    Order deny,allow
  </Limit>
  <Limit All>
    Order deny,allow
  </Limit>
</Policy>
CONF

# The scheduler checks Basic passwords with PAM's "cups" service; in a mount
# namespace of its own, that service takes $cupsd_password alone.
cat >"$cupsd_dir/check-password" <<CHECK
#!/bin/sh
IFS= read -r password
[ "\$password" = "$cupsd_password" ]
CHECK
chmod 0755 "$cupsd_dir/check-password"
printf 'auth required pam_exec.so expose_authtok quiet %s\naccount required pam_permit.so\n' \
    "$cupsd_dir/check-password" >"$cupsd_dir/pam-cups"
cupsd_can_lock() { [ "$(id -u)" -eq 0 ] && [ -f /etc/pam.d/cups ] && unshare -m true 2>/dev/null; }

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
# Clients read client.conf and the system's lpoptions here, never in /etc/cups;
# so do root's saved options, which newer lpoptions keeps there.
export CUPS_SERVERROOT="$cupsd_dir"
unset PRINTER LPDEST
export HOME="$cupsd_dir/home"   # no lpoptions of the user's own
mkdir -p "$HOME"

# Starts the scheduler and waits until it answers; cupsd_halt stops it,
# keeping its printers and jobs for the next start.
cupsd_run() {
    local cupsd=(/usr/sbin/cupsd -f -c "$cupsd_dir/cupsd.conf" -s "$cupsd_dir/cups-files.conf")
    if cupsd_can_lock; then
        unshare -m sh -c 'mount --bind "$0" /etc/pam.d/cups && exec "$@"' "$cupsd_dir/pam-cups" "${cupsd[@]}" &
    else
        "${cupsd[@]}" &
    fi
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
