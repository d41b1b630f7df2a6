# Shell functions for scripts that need the stand-in server; source this file.

# start_standin BUILD DATA_DIR LOGIN LOG: launches BUILD's dovrel-standin on
# a free loopback port, with its databases in DATA_DIR, the login
# NAME:PASSWORD and its output in LOG. Sets standin_pid and standin_port;
# returns 1, the log on stderr, when the server does not come up.
start_standin() {
  "$1/tools/standin/dovrel-standin" --port 0 --data "$2" --login "$3" >"$4" 2>&1 &
  standin_pid=$!
  standin_port=""
  for _ in $(seq 100); do
    standin_port=$(sed -n 's/^listening on 127\.0\.0\.1:\([0-9][0-9]*\).*/\1/p' "$4")
    [ -n "$standin_port" ] && return 0
    kill -0 "$standin_pid" 2>/dev/null || break
    sleep 0.1
  done
  echo "the stand-in server did not start:" >&2
  cat "$4" >&2
  return 1
}
