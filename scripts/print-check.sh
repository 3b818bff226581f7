#!/bin/bash
# Prints the default copybook (7 pages) through a real CUPS queue and to PDF
# files, with the print dialog's page lists, odd/even, ranges, copies,
# collation and order, and names the pages that come out.
#
#   sudo scripts/print-check.sh [build folder]      (or: sudo make print-check)
#
# Needs root: it starts a private cupsd (its own configuration, spool and
# socket under a temporary folder; a system cupsd is left alone) with a
# cups-pdf queue, whose backend runs as root. Installs cups,
# printer-driver-cups-pdf and poppler-utils when they are missing. Each
# printed PDF is rendered (pdftoppm) and every sheet matched to the nearest
# copybook page (0: a blank sheet). Exit status 0 when every row is OK.
set -u

BUILD=${1:-build}
QUEUE=kelvoracheck
TOOL=$BUILD/tests/print_check

if [ "$(id -u)" != 0 ]; then
    echo "print-check needs root (a private cupsd and the cups-pdf backend)" >&2
    exit 2
fi
missing=
for p in cups printer-driver-cups-pdf poppler-utils; do
    dpkg -s "$p" >/dev/null 2>&1 || missing="$missing $p"
done
if [ -n "$missing" ]; then
    # No service starts from the installation: the check runs its own cupsd.
    DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends $missing >/dev/null || exit 2
fi
if [ ! -x "$TOOL" ]; then
    cmake --build "$BUILD" --target print_check >/dev/null || exit 2
fi

W=$(mktemp -d /tmp/kelvora-print-check.XXXXXX)
# cups-pdf reads its settings for queue instance NAME from /etc/cups only.
PDFCONF=/etc/cups/cups-pdf-$QUEUE.conf
CUPSD_PID=
cleanup() {
    [ -n "$CUPSD_PID" ] && kill "$CUPSD_PID" 2>/dev/null && wait "$CUPSD_PID" 2>/dev/null
    rm -f "$PDFCONF" "/etc/cups/cups-pdf-kelvoramargins.conf"
    rm -rf "$W"
}
trap cleanup EXIT

mkdir -p "$W/etc/ppd" "$W/spool/tmp" "$W/cache" "$W/state" "$W/log" "$W/out" "$W/files"
chmod 755 "$W" "$W/out" "$W/files"
SOCK=$W/cups.sock
cat >"$W/etc/cupsd.conf" <<EOF
Listen $SOCK
LogLevel warn
MaxLogSize 0
WebInterface No
Browsing No
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
EOF
cat >"$W/etc/cups-files.conf" <<EOF
ServerRoot $W/etc
RequestRoot $W/spool
TempDir $W/spool/tmp
CacheDir $W/cache
StateDir $W/state
AccessLog $W/log/access_log
ErrorLog $W/log/error_log
PageLog $W/log/page_log
SystemGroup root lpadmin
FileDevice No
EOF
cp /etc/cups/raw.types /etc/cups/raw.convs "$W/etc/" 2>/dev/null
cat >"$PDFCONF" <<EOF
Out $W/out
AnonDirName $W/out
Label 1
Grp lpadmin
EOF

/usr/sbin/cupsd -f -c "$W/etc/cupsd.conf" -s "$W/etc/cups-files.conf" &
CUPSD_PID=$!
export CUPS_SERVER=$SOCK
for _ in $(seq 100); do lpstat -r 2>/dev/null | grep -q 'scheduler is running' && break; sleep 0.2; done
if ! lpadmin -p "$QUEUE" -E -v "cups-pdf:/$QUEUE" -P /usr/share/ppd/cups-pdf/CUPS-PDF_opt.ppd; then
    echo "could not add the cups-pdf queue" >&2
    cat "$W/log/error_log" >&2
    exit 2
fi
cupsenable "$QUEUE"
cupsaccept "$QUEUE"

export QT_QPA_PLATFORM=offscreen
export XDG_RUNTIME_DIR=$W/runtime
mkdir -p -m 700 "$XDG_RUNTIME_DIR"
fails=0
table=()

# Waits until the queue has nothing left, then names the pages of the one
# PDF cups-pdf wrote.
collect_queue() {
    for _ in $(seq 600); do
        [ -z "$(lpstat -o "$QUEUE" 2>/dev/null)" ] && break
        sleep 0.2
    done
    local files=("$W"/out/*.pdf)
    if [ ! -e "${files[0]}" ]; then
        echo "(no PDF: $(lpstat -p "$QUEUE" 2>/dev/null | tail -1 | sed 's/^ *//'))"
        return
    fi
    "$TOOL" --identify "${files[0]}"
}

# run WHERE LABEL EXPECTED ARGS...
run() {
    local where=$1 label=$2 expected=$3
    shift 3
    local got log=$W/log/tool.txt
    rm -f "$W"/out/* "$W"/files/*
    if [ "$where" = cups ]; then
        "$TOOL" --queue "$QUEUE" "$@" >"$log" 2>&1
        local rc=$?
        got=$(collect_queue)
    else
        "$TOOL" --file "$W/files/out.pdf" "$@" >"$log" 2>&1
        local rc=$?
        if [ -e "$W/files/out.pdf" ]; then got=$("$TOOL" --identify "$W/files/out.pdf"); else got="(no file)"; fi
    fi
    if [ "$rc" = 4 ]; then
        got="(not offered by Qt's dialog here)"
    fi
    # Qt's dialog has no page list for a file: the tool sets it on the printer.
    grep -q 'set on the printer' "$log" && label="$label *"
    local verdict=FAIL
    [ "$got" = "$expected" ] && [ "$rc" = 0 ] && verdict=OK
    [ "$rc" = 4 ] && verdict=N/A
    [ "$verdict" = FAIL ] && fails=$((fails + 1))
    table+=("$(printf '%-5s %-34s %-28s %-28s %s' "$where" "$label" "$expected" "$got" "$verdict")")
    if [ "$verdict" = FAIL ]; then
        sed 's/^/      /' "$log" >&2
    fi
}

combinations() {
    local w=$1
    run "$w" "all pages"                       "1 2 3 4 5 6 7"
    run "$w" "pages 2,4-5 x2 copies"           "2 4 5 2 4 5"               --pages 2,4-5 --copies 2
    run "$w" "pages 5"                         "5"                         --pages 5
    run "$w" "odd x2 copies"                   "1 3 5 7 1 3 5 7"           --set odd --copies 2
    run "$w" "even x2 copies"                  "2 4 6 2 4 6"               --set even --copies 2
    run "$w" "from 2 to 4"                     "2 3 4"                     --from 2 --to 4
    run "$w" "from 2 to 5, odd"                "3 5"                       --from 2 --to 5 --set odd
    run "$w" "last page first"                 "7 6 5 4 3 2 1"             --last-first
    run "$w" "from 1 to 3 x2, collated"        "1 2 3 1 2 3"               --from 1 --to 3 --copies 2 --collate 1
    run "$w" "from 1 to 3 x2, not collated"    "1 1 2 2 3 3"               --from 1 --to 3 --copies 2 --collate 0
    run "$w" "pages 2,4-5 x2, uncoll., reverse" "5 5 4 4 2 2"              --pages 2,4-5 --copies 2 --collate 0 --last-first
    run "$w" "pages 2,4-5, vector pages"       "2 4 5"                     --pages 2,4-5 --format pdf
}

combinations cups
combinations file

# A printer that cannot reach the outer 18 points (6.35 mm) at the sides and
# 36 points (12.7 mm) at the top and bottom: every sheet's ink, the page
# number included, stays inside, and the pages still come out right.
MQUEUE=kelvoramargins
sed -e 's|^\*ImageableArea A4/A4: .*|*ImageableArea A4/A4: "18 36 577 806"|' \
    -e 's|^\*HWMargins: .*|*HWMargins: 18 36 18 36|' \
    /usr/share/ppd/cups-pdf/CUPS-PDF_opt.ppd >"$W/margins.ppd"
cp "$PDFCONF" "/etc/cups/cups-pdf-$MQUEUE.conf"
lpadmin -p "$MQUEUE" -E -v "cups-pdf:/$MQUEUE" -P "$W/margins.ppd" 2>/dev/null
cupsenable "$MQUEUE"
cupsaccept "$MQUEUE"
margins() {
    local label=$1 expected=$2
    shift 2
    rm -f "$W"/out/*
    "$TOOL" --queue "$MQUEUE" "$@" >"$W/log/tool.txt" 2>&1
    local rc=$?
    for _ in $(seq 600); do
        [ -z "$(lpstat -o "$MQUEUE" 2>/dev/null)" ] && break
        sleep 0.2
    done
    local files=("$W"/out/*.pdf) got="(no PDF)" bounds= outside=
    if [ -e "${files[0]}" ]; then
        { read -r got; read -r bounds; } < <("$TOOL" --identify "${files[0]}" --ink)
        # One pixel of the 24 dpi rendering (3 points) of slack.
        outside=$(echo "$bounds" | tr ' ' '\n' | awk -F, '$1 < 15 || $2 < 33 || $3 > 580 || $4 > 809' | head -1)
    fi
    local verdict=FAIL
    [ "$rc" = 0 ] && [ "$got" = "$expected" ] && [ -n "$bounds" ] && [ -z "$outside" ] && verdict=OK
    [ "$verdict" = FAIL ] && fails=$((fails + 1))
    local ink
    ink=$(echo "$bounds" | tr ' ' '\n' | awk -F, 'NR == 1 || $1 < l { l = $1 } NR == 1 || $2 < t { t = $2 }
        NR == 1 || $3 > r { r = $3 } NR == 1 || $4 > b { b = $4 } END { printf "ink %s..%s x %s..%s pt", l, r, t, b }')
    table+=("$(printf '%-5s %-34s %-28s %-28s %s  (%s; reach 18..577 x 36..806)' cups "$label" "$expected" "$got" "$verdict" "$ink")")
}
margins "margins: all pages"           "1 2 3 4 5 6 7"
margins "margins: 2,4-5, vector pages" "2 4 5" --pages 2,4-5 --format pdf
lpadmin -x "$MQUEUE"
rm -f "/etc/cups/cups-pdf-$MQUEUE.conf"

# A queue that rejects jobs, and a stopped one: reported with CUPS's reason,
# nothing printed.
refused() {
    local label=$1
    shift
    rm -f "$W"/out/*
    "$TOOL" --queue "$QUEUE" --pages 1 "$@" >"$W/log/tool.txt" 2>&1
    local rc=$?
    sleep 1
    local msg verdict=FAIL
    msg=$(grep '^message:' "$W/log/tool.txt" | head -1)
    if [ "$rc" = 1 ] && [ -n "$msg" ] && [ -z "$(ls "$W/out")" ]; then verdict=OK; fi
    [ "$verdict" = FAIL ] && fails=$((fails + 1))
    table+=("$(printf '%-5s %-34s %-28s %s %s' cups "$label" "a message, no sheet" "${msg#message: }" "$verdict")")
}
cupsreject -r "closed for the check" "$QUEUE"
refused "queue rejecting jobs"
cupsaccept "$QUEUE"
cupsdisable -r "paper jam" "$QUEUE"
refused "queue stopped"
cupsenable "$QUEUE"
refused "rejecting, once the run has begun" --during-run "cupsreject $QUEUE"
cupsaccept "$QUEUE"
refused "queue gone, once the run has begun" --during-run "lpadmin -x $QUEUE"

printf '%-5s %-34s %-28s %-28s %s\n' where combination expected got verdict
printf '%s\n' "${table[@]}"
echo "* Qt's dialog offers no page list when printing to a file: set on the printer as the dialog sets it for a queue"
if [ "$fails" -gt 0 ]; then
    echo "$fails FAIL"
    exit 1
fi
echo "all OK"
