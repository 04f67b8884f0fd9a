#!/bin/sh
# The CardDAV server the sync tests talk to: Radicale on 127.0.0.1, on a free port, with
# its own storage folder and a plain htpasswd file (user "mervane", password "secret").
#   radicale.sh start STATE_DIR   starts it and writes STATE_DIR/radicale.env:
#                                 url=http://127.0.0.1:PORT/ and pid=..., or skip=WHY
#   radicale.sh stop STATE_DIR    stops the server start started (by its process id)
# The tests stop and start it again through the same two commands; they skip, saying
# why, where it cannot start (Radicale not installed, no free port).
set -u
action=$1
state=$2
mkdir -p "$state"
env="$state/radicale.env"

stop() {
  if [ -f "$state/pid" ]; then
    pid=$(cat "$state/pid")
    kill "$pid" 2>/dev/null
    i=0
    while kill -0 "$pid" 2>/dev/null && [ $i -lt 50 ]; do sleep 0.1; i=$((i + 1)); done
    rm -f "$state/pid"
  fi
}

skip() {
  echo "skip=$1" >"$env"
  echo "radicale: $1" >&2
  exit 0
}

if [ "$action" = stop ]; then
  stop
  # "stop" alone keeps the cards for a restart; "stop STATE clean" is the end of the run.
  [ "${3:-}" = clean ] && rm -rf "$state/storage" "$env" "$state/port"
  exit 0
fi

stop
command -v radicale >/dev/null 2>&1 || skip "Radicale is not installed (apt-get install radicale)"
command -v python3 >/dev/null 2>&1 || skip "python3 is missing"
# A restart keeps its port, so the tests' URL stays good.
if [ -f "$state/port" ]; then
  port=$(cat "$state/port")
else
  port=$(python3 -c 'import socket; s=socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])') ||
    skip "no free port on 127.0.0.1"
  echo "$port" >"$state/port"
fi
mkdir -p "$state/storage"
printf 'mervane:secret\n' >"$state/users"
cat >"$state/config" <<CONF
[server]
hosts = 127.0.0.1:$port
[auth]
type = htpasswd
htpasswd_filename = $state/users
htpasswd_encryption = plain
# Every wrong password would otherwise cost the tests a second.
delay = 0
[storage]
filesystem_folder = $state/storage
[logging]
level = info
mask_passwords = True
CONF
# Radicale runs as whoever starts it, root included (CI runs as root).
radicale --config "$state/config" >>"$state/log" 2>&1 &
echo $! >"$state/pid"
i=0
until python3 -c "import socket; socket.create_connection(('127.0.0.1', $port), 0.2)" 2>/dev/null; do
  i=$((i + 1))
  if [ $i -ge 100 ] || ! kill -0 "$(cat "$state/pid")" 2>/dev/null; then
    stop
    skip "Radicale did not start (see $state/log)"
  fi
  sleep 0.1
done
echo "url=http://127.0.0.1:$port/" >"$env"
echo "pid=$(cat "$state/pid")" >>"$env"
exit 0
