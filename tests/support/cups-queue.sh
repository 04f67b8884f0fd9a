#!/bin/sh
# The print queue the printing tests send to: a cups-pdf queue named MervanePDF, whose
# jobs come back as PDF files a test reads.
#   cups-queue.sh start STATE_DIR   starts cupsd when it is not running (as root only),
#                                   adds the queue, and writes STATE_DIR/queue.env:
#                                   queue=NAME and out=FOLDER, or skip=WHY
#   cups-queue.sh stop STATE_DIR    takes away what start added: the queue, and cupsd
#                                   only when start started it (by its process id)
# A machine without CUPS or cups-pdf, or a user who may not start or change it, gets
# skip=...: the tests then skip with that reason rather than fail.
set -u
PATH="$PATH:/usr/sbin:/sbin"
action=$1
state=$2
queue=MervanePDF
mkdir -p "$state"
env="$state/queue.env"

skip() {
  echo "skip=$1" >"$env"
  echo "cups-queue: $1" >&2
  exit 0
}

running() { LC_ALL=C lpstat -r 2>/dev/null | grep -q "is running"; }

if [ "$action" = stop ]; then
  [ -f "$state/added-queue" ] && lpadmin -x "$queue" 2>/dev/null
  if [ -f "$state/started-cupsd" ]; then
    pid=$(cat "$state/started-cupsd")
    kill "$pid" 2>/dev/null
    i=0
    while kill -0 "$pid" 2>/dev/null && [ $i -lt 50 ]; do sleep 0.1; i=$((i + 1)); done
  fi
  rm -f "$state/added-queue" "$state/started-cupsd" "$env"
  exit 0
fi

rm -f "$state/added-queue" "$state/started-cupsd" "$env"
for tool in cupsd lpadmin lpstat lpinfo; do
  command -v "$tool" >/dev/null 2>&1 || skip "CUPS is not installed ($tool is missing)"
done
[ -e /usr/lib/cups/backend/cups-pdf ] || skip "cups-pdf is not installed (printer-driver-cups-pdf)"

if ! running; then
  [ "$(id -u)" -eq 0 ] || skip "cupsd is not running, and only root may start it"
  cupsd || skip "cupsd could not be started"
  i=0
  while ! running && [ $i -lt 100 ]; do sleep 0.1; i=$((i + 1)); done
  running || skip "cupsd did not start answering"
  pidfile=/run/cups/cupsd.pid
  [ -f "$pidfile" ] && cp "$pidfile" "$state/started-cupsd"
fi

if ! lpstat -p "$queue" >/dev/null 2>&1; then
  ppd=$(lpinfo -m 2>/dev/null | awk '/CUPS-PDF_opt\.ppd/ { print $1; exit }')
  [ -n "$ppd" ] || ppd=$(lpinfo -m 2>/dev/null | awk 'tolower($0) ~ /cups-pdf/ { print $1; exit }')
  [ -n "$ppd" ] || skip "CUPS lists no cups-pdf driver"
  lpadmin -p "$queue" -E -v cups-pdf:/ -m "$ppd" 2>/dev/null ||
    skip "the queue could not be added (lpadmin needs an administrator)"
  touch "$state/added-queue"
fi
# cups-pdf takes PostScript: the default renderer (ghostscript) turns the PDF's fonts into
# Type 3 fonts whose text no reader can get back; pdftocairo keeps them as TrueType, so
# the tests can compare the words on each page.
lpadmin -p "$queue" -o pdftops-renderer-default=pdftocairo 2>/dev/null

# cups-pdf writes each job into the folder its Out setting names (${HOME}/PDF unless the
# configuration says otherwise), ${HOME} being the home of the user who sent the job.
home=$(getent passwd "$(id -un)" | cut -d: -f6)
out=$(awk '$1 == "Out" { $1 = ""; sub(/^ /, ""); print; exit }' /etc/cups/cups-pdf.conf 2>/dev/null)
[ -n "$out" ] || out='${HOME}/PDF'
out=$(printf '%s' "$out" | sed "s|\${HOME}|$home|g; s|\${USER}|$(id -un)|g")
printf 'queue=%s\nout=%s\n' "$queue" "$out" >"$env"
