#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Jeerforge developers
# SPDX-License-Identifier: GPL-3.0-or-later
# The real program printing through a private CUPS scheduler: what reaches
# the printer, on what paper, when the document is released, what the user
# is told when printing cannot happen, and where the printout goes then.
#   printing_through_cups.sh SCENARIO JEERFORGE XCLOSE
# runs one scenario (a function below, named scenario_SCENARIO) on a display
# and a scheduler of its own, so that scenarios run side by side. Each starts
# from a capture printer as the default; the exit status 77 says it was
# skipped.
set -u
scenario=$1 jeerforge=$2 xclose=$3
here=$(dirname "$0")
source "$here/xvfb.sh"
source "$here/private_cupsd.sh"
cupsd_start || exit 1
trap 'session_stop; xvfb_stop; cupsd_stop; rm -rf "$xvfb_dir"' EXIT
# The scenario leaves its temporary folder empty.
export TMPDIR="$cupsd_dir/tmp"
mkdir -p "$TMPDIR"
cupsd_add_capture_printer
# Page counts hold for one font, DejaVu Sans, and paper follows the locale:
# both are pinned, whatever the machine prefers.
export FONTCONFIG_FILE="$here/../support/dejavu-sans.fonts.xml" LC_ALL=C.UTF-8

sentence='^b v (a|your|the|your mom.s|your dad.s) n[.!]$'

# The text of a PDF (by default the newest job), one line per printed row,
# blank rows dropped; its number of pages; its paper, as pdfinfo names it.
newest_job() { ls -t "$cupsd_output"/job-*.pdf 2>/dev/null | head -n 1; }
job_text() {
    local pdf=${1:-$(newest_job)}
    [ -n "$pdf" ] && pdftotext -enc UTF-8 "$pdf" - | sed '/^[[:space:]]*$/d; s/\f//g' | sed '/^$/d'
}
job_pages() { pdfinfo "$(newest_job)" | awk '/^Pages:/ {print $2}'; }
job_paper() { pdfinfo "$(newest_job)" | sed -n 's/^Page size: *//p'; }
# The jobs that reached the capture printers in this scenario, once every
# job is done.
jobs_before=$(cupsd_wait_for_jobs)
new_jobs() { echo $(($(cupsd_wait_for_jobs) - jobs_before)); }
all_lines_match() { # regex, then lines on standard input; at least one
    local count=0
    while IFS= read -r line; do
        [[ $line =~ $1 ]] || { echo "unexpected line: $line"; return 1; }
        count=$((count + 1))
    done
    [ "$count" -gt 0 ]
}
# Whether the program asks what to do with the printout: Retry, Save as
# PDF… or Discard; and whether a window says what is awaited. Both are
# titled "Jeerforge", so they are told apart by their buttons.
choices_shown() { atspi shows Retry; }
waiting_shown() { atspi shows "Stop Waiting"; }
# The printouts kept in files in the home folder, newest first; whether this
# scenario kept one, and standard error names it.
kept() { ls -t "$HOME"/Jeerforge\ insults\ *.pdf 2>/dev/null; }
kept_before=$(kept | wc -l)
one_kept() {
    [ "$(kept | wc -l)" -eq $((kept_before + 1)) ] && grep -qF "kept in \"$(kept | head -n 1)\"" < <(jeerforge_stderr)
}
milliseconds() { date +%s%3N; }
# Answers Retry once $1 is true again; the program then ends with success
# and the printer gets one more job than $2.
retry_delivers() {
    check "Retry once $1" atspi press Retry
    wait_for_exit "$program"
    check "the program ends with success" [ $? -eq 0 ]
    check "one job reaches the printer" [ "$(new_jobs)" -eq "$2" ]
}
# Two insults, printed once, then the printer refuses jobs before the program
# ends by $1: Exit, or a signal.
refused_at_end() {
    jeerforge_start b v n
    press_next
    press_next
    press_print
    cupsreject -r "out of paper for tests" capture
    if [ "$1" = exit ]; then press_exit; else kill -s "$1" "$program"; fi
}
# As jeerforge_start, in a mount namespace of its own where the shell command
# $1 runs first; needs root (cupsd_can_lock).
jeerforge_start_in_namespace() {
    local setup=$1 real=$jeerforge
    shift
    jeerforge=unshare jeerforge_args=(-m sh -c "$setup"' && exec "$@"' sh "$real")
    jeerforge_start "$@"
    jeerforge=$real jeerforge_args=()
}
# Whether standard error holds the fixed string $2 within $1 milliseconds.
said_within() {
    local until=$(($(milliseconds) + $1))
    while [ "$(milliseconds)" -lt "$until" ]; do
        grep -qF "$2" < <(jeerforge_stderr) && return 0
        sleep 0.1
    done
    return 1
}
# A press on a print service that never answers: the window keeps answering,
# and after a second a window says what is awaited; the press gives up at
# its bound of 10 s, saying so; $1 is how the message names the server. The
# test allows as much again for a loaded machine: it tells a bounded wait
# from an endless one, and the benchmarks measure the time.
bounded_press() {
    press_next
    local started took
    started=$(milliseconds)
    press_print
    check "while the press waits, a window says what is awaited" waiting_shown
    check "and the press gives up" said_within 20000 "$1) is not responding."
    took=$(($(milliseconds) - started))
    check "saying that the service is not responding ($took ms)" [ "$took" -lt 20000 ]
}
# SIGTERM ends the program, with failure, after its last attempt of a
# second, as a session's end allows.
quick_sigterm() {
    local started status took
    started=$(milliseconds)
    kill -s TERM "$program"
    wait_for_exit "$program"
    status=$? took=$(($(milliseconds) - started))
    check "SIGTERM then ends the program ($took ms), with failure" [ "$status" -eq 1 ]
}
# A job that the test asks for and cancels at once, on hold: the scheduler
# numbers jobs as it is asked, so a job numbered above it was asked for after.
job_marker() {
    local id
    id=$(echo marker | lp -d capture -H hold 2>/dev/null | sed -n 's/^request id is capture-\([0-9]*\).*/\1/p')
    cancel "capture-$id" && echo "$id"
}
newest_job_id() { local job; job=$(basename "$(newest_job)" .pdf); echo "${job#job-}"; }
skip() {
    echo "skipped: $*"
    exit 77
}

scenario_saved_options() { # three insults, printed once, then Exit, with the user's saved options
    lpoptions -p capture -o sides=two-sided-long-edge >/dev/null
    jeerforge_start b v n
    for _ in 1 2 3; do press_next; done
    press_print
    settled
    local marker
    marker=$(job_marker)
    press_exit
    wait_for_exit "$program"
    check "the program ends with success" [ $? -eq 0 ]
    check "one job reaches the printer" [ "$(new_jobs)" -eq 1 ]
    check "asked for once Exit was pressed, not before" [ "$(newest_job_id)" -gt "$marker" ]
    check "it holds the three insults" [ "$(job_text | grep -cE "$sentence")" -eq 3 ]
    check "and nothing else" all_lines_match "$sentence" < <(job_text)
    check "the 97 empty slots fill a second page" [ "$(job_pages)" -eq 2 ]
    check "of the locale's A4 paper, as the printer names none" grep -q '(A4)' < <(job_paper)
    check "with the sides the user saved" grep -q 'sides=two-sided-long-edge' "$(newest_job | sed 's/pdf$/options/')"
}

scenario_two_presses() { # two presses make one job; Exit straight after start-up prints nothing
    jeerforge_start b v n
    press_next
    press_print
    press_next
    press_print
    press_exit
    wait_for_exit "$program"
    check "one job" [ "$(new_jobs)" -eq 1 ]
    check "with one insult, then two" [ "$(job_text | grep -cE "$sentence")" -eq 3 ]
    check "on four pages" [ "$(job_pages)" -eq 4 ]
    jeerforge_start b v n
    press_exit
    wait_for_exit "$program"
    check "Exit straight after start-up prints nothing" [ "$(new_jobs)" -eq 1 ]
}

scenario_endings() { # closing the window, SIGTERM and SIGHUP release the document (SIGINT: ctrl_c_at_question)
    local printed=0
    for ending in close TERM HUP; do
        jeerforge_start b v n
        press_next
        press_print
        settled
        if [ "$ending" = close ]; then "$xclose" "$window"; else kill -s "$ending" "$program"; fi
        wait_for_exit "$program"
        check "$ending: the program ends with success" [ $? -eq 0 ]
        printed=$((printed + 1))
        check "$ending: the job reaches the printer" [ "$(new_jobs)" -eq "$printed" ]
        check "$ending: with its insult" [ "$(job_text | grep -cE "$sentence")" -eq 1 ]
    done
}

scenario_long_words() { # long and non-ASCII words arrive whole, on the printer's own paper
    lpadmin -p capture -o media-default=na_letter_8.5x11in
    local long printed
    long=$(printf 'unbroken%.0s' $(seq 80))
    jeerforge_start "$long" "Grüße-пёс" "ταχύ"
    press_next
    press_print
    press_exit
    wait_for_exit "$program"
    check "one job" [ "$(new_jobs)" -eq 1 ]
    printed=$(job_text | tr -d '[:space:]')
    check "the whole long sentence is on the paper" \
        eval '[[ $printed =~ ^${long}Grüße-пёс.*ταχύ[.!]$ ]] || { echo "printed: $printed"; false; }'
    check "wrapped over several rows" [ "$(job_text | wc -l)" -ge 3 ]
    check "on US Letter, the printer's default, though the locale's paper is A4" grep -q '^612 x 792 pts' < <(job_paper)
}

scenario_every_script() { # words in Devanagari, Chinese, Thai and Arabic, with an emoji, under a language setting that writes a decimal comma: the PDF is sound and its text is what was typed
    [ -e "$JEERFORGE_TEST_LOCALES/de_DE.UTF-8/LC_NUMERIC" ] || { echo "FAILED: no de_DE.UTF-8 made"; exit 1; }
    local beginning="हिन्दी में क्षत्रिय" verb="日本の食べ物" noun="مرحبا สวัสดีครับ 🥹" printed real=$jeerforge
    # The program's setting alone: the shell here knows no such locale.
    jeerforge=env jeerforge_args=("LOCPATH=$JEERFORGE_TEST_LOCALES" LC_ALL=de_DE.UTF-8 "$real")
    jeerforge_start "$beginning" "$verb" "$noun"
    jeerforge=$real jeerforge_args=()
    press_next
    press_print
    press_exit
    wait_for_exit "$program"
    check "the program ends with success" [ $? -eq 0 ]
    check "one job" [ "$(new_jobs)" -eq 1 ]
    check "its PDF is sound" qpdf --check "$(newest_job)"
    check "and poppler reads it without a syntax error" [ -z "$(pdftotext "$(newest_job)" - 2>&1 >/dev/null)" ]
    # Code point for code point, but for the blanks and the marks around
    # right-to-left runs that pdftotext adds or moves.
    printed=$(job_text | python3 -c 'import re, sys, unicodedata
print(re.sub(r"[\s\u202a-\u202e]", "", unicodedata.normalize("NFC", sys.stdin.read())))')
    check "the job's text is the sentence" eval '[[ $printed =~ ^${beginning// /}${verb}(a|your|the|yourmom.s|yourdad.s)${noun// /}[.!]$ ]] || { echo "printed: $printed"; false; }'
}

# Writes a driver's PPD to $1, whose page sizes give the queue's
# "media-default": for a PDF printer with $2 as its filter line, else for a
# PostScript printer, which gets what CUPS's own filters make of the PDF.
driver_ppd() {
    local filter=""
    [ -n "${2:-}" ] && filter="*cupsFilter2: \"$2\""
    cat >"$1" <<PPD
*PPD-Adobe: "4.3"
*FormatVersion: "4.3"
*FileVersion: "1.0"
*LanguageVersion: English
*LanguageEncoding: ISOLatin1
*PCFileName: "JEERTEST.PPD"
*Manufacturer: "Jeerforge"
*Product: "(Test Driver)"
*ModelName: "Jeerforge Test Driver"
*ShortNickName: "Jeerforge Test Driver"
*NickName: "Jeerforge Test Driver"
*PSVersion: "(3010.000) 0"
*LanguageLevel: "3"
*ColorDevice: False
*DefaultColorSpace: Gray
*FileSystem: False
*Throughput: "1"
*LandscapeOrientation: Plus90
*TTRasterizer: Type42
$filter
*OpenUI *PageSize/Media Size: PickOne
*OrderDependency: 10 AnySetup *PageSize
*DefaultPageSize: Letter
*PageSize A4/A4: "<</PageSize[595 842]>>setpagedevice"
*PageSize Letter/US Letter: "<</PageSize[612 792]>>setpagedevice"
*CloseUI: *PageSize
*DefaultImageableArea: Letter
*ImageableArea A4/A4: "18 36 577 806"
*ImageableArea Letter/US Letter: "18 36 594 756"
*DefaultPaperDimension: Letter
*PaperDimension A4/A4: "595 842"
*PaperDimension Letter/US Letter: "612 792"
PPD
}

scenario_driver_papers() { # a driver's queue prints on its default paper, A4 under a Letter locale and Letter under an A4 one
    # A driver for a PDF printer, as cups-pdf's and many others are.
    local ppd="$cupsd_dir/driver.ppd" job spooled
    driver_ppd "$ppd" "application/vnd.cups-pdf application/pdf 0 -"
    local printed=0
    for queue in "A4 en_US.UTF-8 595 x 842" "Letter de_DE.UTF-8 612 x 792"; do
        read -r paper locale size <<<"$queue"
        lpadmin -p driver -E -v capture:/ -P "$ppd" -o PageSize="$paper" 2>&1 | { grep -v -i 'deprecated' >&2 || true; }
        lpadmin -d driver
        LC_ALL= LC_PAPER=$locale LC_MEASUREMENT=$locale jeerforge_start b v n
        press_next
        press_print
        press_exit
        wait_for_exit "$program"
        printed=$((printed + 1))
        check "$paper queue under $locale: the job reaches the printer" [ "$(new_jobs)" -eq "$printed" ]
        job=$(basename "$(newest_job)" .pdf)
        spooled=$(printf '%s/spool/d%05d-001' "$cupsd_dir" "${job#job-}")
        check "laid out on $paper" grep -q "^Page size: *$size pts" < <(pdfinfo "$spooled")
        check "and printed on it" grep -q "^$size pts" < <(job_paper)
        check "with the insult" [ "$(job_text | grep -cE "$sentence")" -eq 1 ]
    done
}

scenario_postscript_printer() { # a PostScript printer, through Debian's own filters (pdftopdf, then pdftops with Ghostscript): its printout is text, with emoji or without
    local ppd="$cupsd_dir/postscript.ppd" printed=0 noun
    driver_ppd "$ppd"
    lpadmin -p postscript -E -v capture:/ -P "$ppd" -o PageSize=A4 2>&1 | { grep -v -i 'deprecated' >&2 || true; }
    lpadmin -d postscript
    # The pictures on the printed pages, as "width height" rows; a page printed as a picture is one of about 2480 x 3500.
    pictures() { pdfimages -list "$cupsd_dir/printed.pdf" | awk 'NR > 2 { print $4, $5 }'; }
    for noun in n "n 🥹"; do
        jeerforge_start b v "$noun"
        press_next
        press_print
        press_exit
        wait_for_exit "$program"
        printed=$((printed + 1))
        # Ghostscript takes its time on a busy machine.
        check "\"$noun\": the job reaches the printer" eventually_within 60 eval '[ "$(new_jobs)" -eq '"$printed"' ]'
        check "as PostScript" grep -q '^%!PS' "$(newest_job)"
        ps2pdf "$(newest_job)" "$cupsd_dir/printed.pdf"
        check "which draws no picture of a page" eval '[ -z "$(pictures | awk '"'"'$1 > 500 || $2 > 500'"'"')" ]'
        # As Ghostscript writes it, pdftotext may read no blank between short
        # words, and put what follows an emoji on a row of its own.
        check "and whose text is the insult" grep -qE "^bv(a|your|the|your(mom|dad)'s)n" \
            < <(job_text "$cupsd_dir/printed.pdf" | tr -d '[:blank:]')
    done
    check "an emoji is a picture of its own" [ "$(pictures | wc -l)" -ge 1 ]
    rm -f "$cupsd_dir/printed.pdf"
}

scenario_ipp_everywhere() { # a press on an A4 printer, then an IPP Everywhere printer whose default is Letter takes the printout
    local bus="unix:path=$cupsd_dir/system-bus" folder="$cupsd_dir/everywhere" ipp_port=$((cupsd_port + 1))
    rm -rf "$folder" && mkdir -p "$folder"
    dbus-daemon --session --address="$bus" --fork --print-pid=3 3>"$xvfb_dir/system-bus.pid"
    session_pids+=("$(cat "$xvfb_dir/system-bus.pid")")
    # With DNS-SD off, it still wants a system bus to ask for Avahi.
    DBUS_SYSTEM_BUS_ADDRESS=$bus ippeveprinter -r off -p "$ipp_port" -n localhost -f application/pdf -k \
        -d "$folder" "Jeerforge Letter" >/dev/null 2>&1 &
    session_pids+=($!)
    local ipp_uri="ipp://localhost:$ipp_port/ipp/print"
    # A queue made before the printer answers is a raw one.
    eventually ipptool -q "$ipp_uri" /usr/share/cups/ipptool/get-printer-attributes.test
    check "an IPP Everywhere queue is set up" lpadmin -p everywhere -E -v "$ipp_uri" -m everywhere
    jeerforge_start b v n
    press_next
    press_print
    lpadmin -d everywhere
    press_exit
    wait_for_exit "$program"
    check "the program ends with success" [ $? -eq 0 ]
    # The printer has the whole document once pdfinfo reads it to its end.
    received() { pdfinfo "$folder"/*.pdf 2>/dev/null; }
    # Asked again until the printer has the job, which takes a while on a busy machine.
    check "the printer gets the job" eventually_within 60 eval '[ -n "$(received)" ]'
    check "on Letter pages, its default" grep -q '^Page size: *612 x 792 pts' < <(received)
    check "whole" [ "$(job_text "$folder"/*.pdf | grep -cE "$sentence")" -eq 1 -a "$(received | grep -c '^Pages: *2$')" -eq 1 ]
}

scenario_no_default_printer() { # a press says so and keeps its lines, which a later printer takes
    lpadmin -x capture
    jeerforge_start b v n
    press_next
    press_next
    press_print
    check "a message tells the user" atspi press OK
    check "that there is no default printer" grep -q "no default printer" < <(jeerforge_stderr)
    check "and that the printout is kept" grep -q "Your printout is kept" < <(jeerforge_stderr)
    check "the program goes on" kill -0 "$program"
    cupsd_add_capture_printer
    press_print
    press_exit
    wait_for_exit "$program"
    check "once there is a printer, the end prints one job" [ "$(new_jobs)" -eq 1 ]
    check "with the lines of both presses" [ "$(job_text | grep -cE "$sentence")" -eq 4 -a "$(job_pages)" -eq 4 ]
}

scenario_refused_retry() { # the printer refuses the printout at the end: Retry delivers it once it takes jobs
    refused_at_end exit
    check "a message asks what to do" choices_shown
    check "it names the printer and gives CUPS's reason" \
        grep -q '"capture" refused the printout: .*not accepting jobs' < <(jeerforge_stderr)
    check "Retry while the queue still refuses asks again" eval 'atspi press Retry && choices_shown'
    check "the program waits for an answer" kill -0 "$program"
    cupsaccept capture
    retry_delivers "it takes jobs" 1
    check "with the whole printout" [ "$(job_text | grep -cE "$sentence")" -eq 2 -a "$(job_pages)" -eq 2 ]
}

scenario_refused_discard() { # the printer refuses the printout at the end: Discard
    refused_at_end exit
    check "Discard" atspi press Discard
    wait_for_exit "$program"
    check "the program ends with failure" [ $? -eq 1 ]
    cupsaccept capture
    check "no job was printed" [ "$(new_jobs)" -eq 0 ]
}

scenario_no_printer_at_sigterm() { # no printer as the session ends (SIGTERM): no question, the printout kept in a new file
    if cupsd_can_lock; then
        # Started without HOME, where the password database gives the test's
        # home as the user's, and its documents folder on a disk that is full.
        awk -F: -v uid="$(id -u)" -v home="$HOME" 'BEGIN { OFS = ":" } $3 == uid { $6 = home } { print }' \
            /etc/passwd >"$cupsd_dir/passwd"
        mkdir -p "$HOME/Documents"
        jeerforge_start_in_namespace "mount --bind '$cupsd_dir/passwd' /etc/passwd && mount -t tmpfs -o size=4k tmpfs '$HOME/Documents' && unset HOME" b v n
    else
        echo "as root only: no HOME, and a documents folder on a full disk, which need a namespace of their own"
        jeerforge_start b v n
    fi
    press_next
    press_next
    press_print
    settled
    lpadmin -x capture
    kill -s TERM "$program"
    wait_for_exit "$program"
    check "the program ends with failure, asking nothing" [ $? -eq 1 ]
    check "the printout is in a new file in the home folder, which standard error names" one_kept
    cupsd_can_lock && check "as the documents folder could not take it, in the system's words" \
        grep -q "Documents/Jeerforge insults .*: No space left on device\.$" < <(jeerforge_stderr) &&
        check "without HOME, in the home that the password database gives" grep -qF "kept in \"$HOME/Jeerforge insults" < <(jeerforge_stderr)
    check "with the insults" [ "$(job_text "$(kept | head -n 1)" | grep -cE "$sentence")" -eq 2 ]
    rm -rf "$HOME/Documents"
}

scenario_ctrl_c_at_question() { # Ctrl+C at the question: the printout is kept, not discarded
    refused_at_end exit
    check "a message asks what to do" choices_shown
    kill -s INT "$program"
    wait_for_exit "$program"
    check "the program ends with failure" [ $? -eq 1 ]
    check "and the printout in a new file" one_kept
}

scenario_service_gone() { # the print service is gone: on a press, and at the end until Retry finds it back
    jeerforge_start b v n
    press_next
    cupsd_halt
    press_print
    check "a press says so" atspi press OK
    unreachable() { [ "$(jeerforge_stderr | grep -c 'print service (CUPS, at .*) is not running or could not be reached')" -eq "$1" ]; }
    check "that the print service could not be reached" unreachable 1
    cupsd_run
    press_print
    cupsd_halt
    press_exit
    check "at the end a message asks what to do" choices_shown
    check "it says the print service could not be reached" unreachable 2
    cupsd_run
    retry_delivers "the service is back" 1
    check "with the lines of both presses" [ "$(job_text | grep -cE "$sentence")" -eq 2 ]
}

scenario_printer_replaced() { # the printer is replaced before the end: Retry goes to the new default printer
    jeerforge_start b v n
    press_next
    press_print
    lpadmin -x capture
    press_exit
    check "a message asks what to do" choices_shown
    check "it says there is no default printer" grep -q 'no default printer' < <(jeerforge_stderr)
    cupsd_add_capture_printer replacement
    retry_delivers "another printer is the default" 1
    check "the new printer printed it" [ "$(lpstat -W completed -o replacement | wc -l)" -eq 1 ]
}

scenario_save_as_pdf() { # no printer at the end: Save as PDF… in GNOME's file chooser, past a folder nobody may write in, a Cancel and a file that is there
    lpadmin -x capture
    accessibility_bus_start
    echo mine >"$cupsd_dir/chosen.pdf"
    # GTK keeps its libraries' data (GLib's, fontconfig's, …) to the process's
    # end, which LeakSanitizer would count as leaks; this run goes without
    # that check, and every other sanitizer check stays on.
    QT_QPA_PLATFORMTHEME=gtk3 QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}detect_leaks=0" \
        jeerforge_start b v n
    press_next
    press_next
    press_print
    atspi press OK
    press_exit
    cancel_save() { atspi press "Save as PDF…" && atspi press Cancel; }
    check "Save as PDF… into /sys, in GNOME's chooser" [ "$(save_as_pdf /sys/jeerforge.pdf)" = "GNOME's" ]
    check "is told" atspi press OK
    check "with the reason" grep -q 'could not be saved as "/sys/jeerforge.pdf": ' < <(jeerforge_stderr)
    check "the choices come back, and come back after Cancel" cancel_save
    check "Save as PDF… with no suffix, where that PDF is, asks first; Cancel keeps it" \
        eval 'save_as_pdf "$cupsd_dir/chosen" >/dev/null && atspi answer "already exists" Cancel && grep -qx mine "$cupsd_dir/chosen.pdf"'
    check "asked again, Replace" eval 'save_as_pdf "$cupsd_dir/chosen" >/dev/null && atspi answer "already exists" Replace'
    wait_for_exit "$program"
    check "the program ends with success" [ $? -eq 0 ]
    check "the file gets the suffix .pdf and every insult" [ "$(job_text "$cupsd_dir/chosen.pdf" | grep -cE "$sentence")" -eq 2 ]
    rm -f "$cupsd_dir/chosen.pdf"
}

scenario_silent_service() { # a print service that accepts and never answers: every wait ends, and signals are heard
    python3 "$here/silent_service.py" "$cupsd_dir/silent.sock" &
    session_pids+=($!)
    eventually [ -S "$cupsd_dir/silent.sock" ]
    CUPS_SERVER="$cupsd_dir/silent.sock" jeerforge_start b v n
    bounded_press silent.sock
    atspi press OK
    press_exit
    check "at the end a window tells what is awaited, and Stop Waiting" atspi press "Stop Waiting"
    check "brings the choices, where Retry waits again" atspi press Retry
    stopped_said() { [ "$(jeerforge_stderr | grep -c 'silent.sock) was stopped')" -eq "$1" ]; }
    close_waiting() { local box; waiting_shown && box=$(window_named Jeerforge) && "$xclose" "$box"; }
    check "closing that window by its title bar stops the wait as well" eval 'close_waiting && eventually stopped_said 2'
    check "and Retry waits again" atspi press Retry
    check "with its window" waiting_shown
    quick_sigterm
    check "keeping the printout in a new file" one_kept
}

scenario_unanswered_document() { # a print service that takes the document and never answers: the user is asked, nothing is told as printed, and Retry sends it once
    python3 "$here/unanswered_document.py" "$cupsd_dir/proxy.port" "$cupsd_port" &
    session_pids+=($!)
    eventually [ -s "$cupsd_dir/proxy.port" ]
    CUPS_SERVER=127.0.0.1:$(cat "$cupsd_dir/proxy.port") jeerforge_start b v n
    press_next
    press_print
    press_exit
    check "the user is asked" choices_shown
    check "told that the printout reached the printer, unconfirmed" \
        grep -q 'reached the printer "capture" as job [0-9]*, but .* did not confirm' < <(jeerforge_stderr)
    # The job waits for its document, so no wait for every job to be done.
    check "nothing reached the printer" [ -z "$(find "$cupsd_output" -name 'job-*.pdf')" ]
    retry_delivers "the job that still waits for its document is asked about" 1
    check "that job is cancelled" [ -z "$(lpstat -o capture)" ]
    check "and the job sent anew holds the insult" [ "$(job_text | grep -cE "$sentence")" -eq 1 ]
}

scenario_held_for_password() { # a printer that holds the job for a user name and password, as the session ends: never reported as printed
    lpadmin -p held -E -v capture:/ -o auth-info-required=username,password
    lpadmin -d held
    jeerforge_start b v n
    press_next
    press_print
    settled
    kill -s TERM "$program"
    wait_for_exit "$program"
    check "the program ends with failure" [ $? -eq 1 ]
    check "saying why" grep -q '"held" asks for a user name and password before it prints, and none was given' < <(jeerforge_stderr)
    check "the held job is cancelled" [ -z "$(lpstat -o held)" ]
    check "and the printout kept in a new file" one_kept
}

scenario_password_dialog() { # a server that asks for a password to print: a dialog asks, names the server with its port, and nothing covers it
    cupsd_can_lock || skip "the scheduler checks passwords through PAM, in a namespace of its own, which needs root"
    lpadmin -p locked -E -v capture:/ -o printer-op-policy=locked
    lpadmin -d locked
    accessibility_bus_start
    CUPS_SERVER=127.0.0.1:$cupsd_port QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 jeerforge_start b v n
    press_next
    press_print
    press_exit
    # Past the second after which a wait shows its box, the dialog still holds the keyboard.
    sleep 1.5
    # The address comes from outside: it is isolated, so that it reorders nothing of the sentence.
    local isolated
    isolated="$(printf '\xe2\x81\xa8')127.0.0.1:$cupsd_port$(printf '\xe2\x81\xa9')"
    check "the dialog says who asks" grep -qF "(CUPS, at $isolated) asks for a user name" < <(atspi log-in "$cupsd_password")
    wait_for_exit "$program"
    check "the program ends with success" [ $? -eq 0 ]
    check "the job reaches the printer" [ "$(new_jobs)" -eq 1 ]
}

scenario_name_lookup() { # a server named by a host name whose look-up never answers: a press is bounded, SIGTERM heard
    cupsd_can_lock || skip "the program gets a name server of its own through a mount namespace, which needs root"
    python3 "$here/silent_service.py" udp 127.53.53.53 &
    session_pids+=($!)
    printf 'nameserver 127.53.53.53\noptions timeout:30 attempts:1\n' >"$cupsd_dir/resolv.conf"
    CUPS_SERVER=printers.jeerforge.invalid \
        jeerforge_start_in_namespace "mount --bind '$cupsd_dir/resolv.conf' /etc/resolv.conf" b v n
    bounded_press printers.jeerforge.invalid:631
    atspi press OK
    quick_sigterm
}

scenario_display_gone() { # the display going away, as when the session ends
    jeerforge_start b v n
    press_next
    press_print
    settled
    xvfb_stop
    wait_for_exit "$program"
    check "the program ends with success, as the printout was printed" [ $? -eq 0 ]
    check "the job reaches the printer" [ "$(new_jobs)" -eq 1 ]
    check "with its insult" [ "$(job_text | grep -cE "$sentence")" -eq 1 ]
}

declare -F "scenario_$scenario" >/dev/null || { echo "no scenario \"$scenario\""; exit 2; }
echo "# $(grep -m 1 "^scenario_$scenario()" "$0" | sed 's/.*# //')"
"scenario_$scenario"
no_leftovers() { [ -z "$(ls -A "$TMPDIR")" ] || { ls -la "$TMPDIR"; return 1; }; }
check "no temporary file is left behind" no_leftovers
[ "$failures" -eq 0 ]
