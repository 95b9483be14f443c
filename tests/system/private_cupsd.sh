# SPDX-FileCopyrightText: 2026 The Jeerforge developers
# SPDX-License-Identifier: GPL-3.0-or-later

# A private CUPS scheduler for the printing tests, never the machine's own:
# it listens on a Unix socket in a folder of its own, which CUPS_SERVER
# points this shell's programs at, and on 127.0.0.1:$cupsd_port. Jobs sent
# to the "capture" printer are copied, as the printer gets them, into
# $cupsd_output, with the options they came with beside them
# (job-N.options); the document as sent stays in spool/dNNNNN-001. A queue with the
# policy "locked" takes jobs only from root with the password
# $cupsd_password, over TCP; that needs root (cupsd_can_lock), as the
# scheduler asks PAM.
#
# Source it, then cupsd_start for a scheduler of this shell's own;
# cupsd_stop ends it and removes its folder.

# lpadmin, cupsaccept and cupsreject live in /usr/sbin, which an ordinary
# user's PATH leaves out.
export PATH="$PATH:/usr/sbin:/sbin"
cupsd_password=jeerforge-test-password

# Sets the variables and the environment for the scheduler in folder $1.
cupsd_attach() {
    cupsd_dir=$1
    [ -f "$cupsd_dir/cupsd.conf" ] || { echo "no private cupsd in \"$cupsd_dir\""; return 1; }
    cupsd_output="$cupsd_dir/output"
    cupsd_port=$(cat "$cupsd_dir/port")
    export CUPS_SERVER="$cupsd_dir/cups.sock"
    # Clients read client.conf and the system's lpoptions here, never in
    # /etc/cups; so do root's saved options, which newer lpoptions keeps there.
    export CUPS_SERVERROOT="$cupsd_dir"
    unset PRINTER LPDEST
    export HOME="$cupsd_dir/home" # no lpoptions of the user's own
}

# Makes a new scheduler's folder and attaches to it.
cupsd_create() {
    local dir
    dir=$(mktemp -d) || return 1
    chmod 0755 "$dir"
    mkdir -p "$dir"/{output,home,bin/backend,spool/tmp,cache,state,log}
    chmod 0777 "$dir/output"
    for folder in /usr/lib/cups/*; do
        [ "$(basename "$folder")" = backend ] || ln -s "$folder" "$dir/bin/$(basename "$folder")"
    done
    ln -s /usr/lib/cups/backend/ipp "$dir/bin/backend/ipp"
    echo $((20000 + RANDOM % 20000)) >"$dir/port"

    cat >"$dir/bin/backend/capture" <<BACKEND
#!/bin/sh
# Without arguments, CUPS asks which devices this backend offers.
if [ \$# -eq 0 ]; then
    echo 'direct capture "Unknown" "Test capture"'
    exit 0
fi
printf '%s\n' "\$5" >"$dir/output/job-\$1.options"
if [ -n "\$6" ]; then cat "\$6"; else cat; fi >"$dir/output/job-\$1.pdf.part"
mv "$dir/output/job-\$1.pdf.part" "$dir/output/job-\$1.pdf"
BACKEND
    chmod 0700 "$dir/bin/backend/capture"

    cat >"$dir/cupsd.conf" <<CONF
Listen $dir/cups.sock
Listen 127.0.0.1:$(cat "$dir/port")
LogLevel info
PreserveJobFiles Yes
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

    # The scheduler checks Basic passwords with PAM's "cups" service; in a
    # mount namespace of its own, that service takes $cupsd_password alone.
    cat >"$dir/check-password" <<CHECK
#!/bin/sh
IFS= read -r password
[ "\$password" = "$cupsd_password" ]
CHECK
    chmod 0755 "$dir/check-password"
    printf 'auth required pam_exec.so expose_authtok quiet %s\naccount required pam_permit.so\n' \
        "$dir/check-password" >"$dir/pam-cups"

    cat >"$dir/cups-files.conf" <<CONF
ServerRoot $dir
ServerBin $dir/bin
RequestRoot $dir/spool
TempDir $dir/spool/tmp
CacheDir $dir/cache
StateDir $dir/state
AccessLog $dir/log/access_log
ErrorLog $dir/log/error_log
PageLog $dir/log/page_log
Printcap $dir/printcap
SystemGroup $(id -gn)
CONF
    cupsd_attach "$dir"
}

cupsd_can_lock() { [ "$(id -u)" -eq 0 ] && [ -f /etc/pam.d/cups ] && unshare -m true 2>/dev/null; }
cupsd_running() { lpstat -r 2>/dev/null | grep -q 'is running'; }

# Starts the scheduler, detached from this shell, and waits until it
# answers; cupsd_halt stops it, keeping its printers and jobs for the next
# start.
cupsd_run() {
    local cupsd=(/usr/sbin/cupsd -f -c "$cupsd_dir/cupsd.conf" -s "$cupsd_dir/cups-files.conf")
    if cupsd_can_lock; then
        cupsd=(unshare -m sh -c 'mount --bind "$0" /etc/pam.d/cups && exec "$@"' "$cupsd_dir/pam-cups" "${cupsd[@]}")
    fi
    setsid "${cupsd[@]}" </dev/null >>"$cupsd_dir/log/cupsd.out" 2>&1 &
    echo $! >"$cupsd_dir/cupsd.pid"
    eventually_within 10 cupsd_running && return 0
    echo "cupsd did not start:"
    cat "$cupsd_dir/log/error_log" 2>/dev/null
    return 1
}
cupsd_halt() {
    local pid
    pid=$(cat "$cupsd_dir/cupsd.pid" 2>/dev/null) || return 0
    kill "$pid" 2>/dev/null && eventually_within 10 eval '! kill -0 '"$pid"' 2>/dev/null'
    rm -f "$cupsd_dir/cupsd.pid"
}
cupsd_stop() {
    cupsd_halt
    rm -rf "$cupsd_dir"
}
# Makes and starts a scheduler. Its port is drawn at random, and another
# program, or another test's scheduler, may hold it: then on another.
cupsd_start() {
    local attempt
    for attempt in 1 2 3; do
        cupsd_create || return 1
        if [ "$attempt" -lt 3 ]; then cupsd_run >/dev/null; else cupsd_run; fi && return 0
        cupsd_stop
    done
    return 1
}

# Runs a command until it succeeds, for up to $1 seconds.
eventually_within() {
    local tries=$(($1 * 10))
    shift
    for _ in $(seq "$tries"); do
        "$@" && return 0
        sleep 0.1
    done
    return 1
}

# Adds a capture printer, accepting jobs, and makes it the default: the one
# named "capture", or the name given.
cupsd_add_capture_printer() {
    local name=${1:-capture}
    lpadmin -p "$name" -E -v capture:/ 2>&1 | { grep -v -i 'deprecated' >&2 || true; }
    lpadmin -d "$name"
}

# Waits until every job is done and prints how many PDFs the printer got.
cupsd_wait_for_jobs() {
    eventually_within 120 eval '[ -z "$(lpstat -o 2>/dev/null)" ]'
    find "$cupsd_output" -name 'job-*.pdf' | wc -l
}
