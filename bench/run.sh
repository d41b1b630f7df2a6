#!/usr/bin/env bash
# Dovrel's benchmarks, printed as one markdown table on stdout (what was
# measured, the figures, the goal, whether it is met); progress on stderr.
# About two minutes on two cores once the build is done.
#
#   bench/run.sh
#
# Every figure stands beside its floor, measured in the same run:
#   reading   GetSourceData on generated files of 10 000, 100 000 and
#             1 000 000 rows, beside `wc -l` on the same file;
#   import    ImportTable of 100 000 rows into the stand-in server, beside
#             the same INSERT batches sent by FreeTDS's own bsqldb;
#   batch     the same 100 000 INSERTs as one batch, beside 10 000 of them;
#   store     dovrelctl show on settings stores of 0.9 and 9 MB (linear time);
#   start-up  dovrel from launch to its settings window shown, beside a Qt
#             program that shows an empty window, and the server check alone.
# Times are the best of a few runs (the machine may be shared), start-up
# times the median. MB are 10^6 bytes.
#
# BENCH_BUILD_DIR chooses the build folder (default: build-bench, Release).
set -euo pipefail
export LC_ALL=C  # decimal points in the figures; the Dovrel programs get their own locale below

root=$(cd "$(dirname "$0")/.." && pwd)
build=${BENCH_BUILD_DIR:-$root/build-bench}
bench=$build/bench

say() { echo "bench: $*" >&2; }

"$root/scripts/install-deps.sh" >&2
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DDOVREL_BUILD_TESTS=OFF >&2
cmake --build "$build" -j2 --target make_source_file read_bench import_bench check_bench time_to_window \
  qt_empty_window dovrel-window-probe dovrelctl dovrel-standin >&2

work=$(mktemp -d "${TMPDIR:-/tmp}/dovrel-bench-XXXXXX")
standin_pid=""
cleanup() {
  if [ -n "$standin_pid" ]; then
    kill "$standin_pid" 2>/dev/null || true
    wait "$standin_pid" 2>/dev/null || true
  fi
  rm -rf "$work"
}
trap cleanup EXIT

# --- small helpers -----------------------------------------------------------

# The smallest of the numbers on stdin, one a line.
best() { sort -g | head -n 1; }
# fmt FORMAT EXPRESSION: the awk expression's value, printf-formatted.
fmt() { awk "BEGIN { printf(\"$1\", $2) }" </dev/null; }
# yes when the awk condition holds, else no.
met() { awk "BEGIN { exit !($1) }" </dev/null && echo yes || echo no; }
# Seconds a command takes (its output discarded), on a line.
seconds() {
  local start=$EPOCHREALTIME
  "$@" >/dev/null
  local end=$EPOCHREALTIME
  fmt '%.6f\n' "$end - $start"
}

rows=()
row() { rows+=("| $1 | $2 | $3 | $4 |"); }

# --- reading -----------------------------------------------------------------

say "reading: generating the source files"
: >"$work/empty.txt"
declare -A first_s
for n in 10000 100000 1000000; do
  file=$work/source_$n.txt
  "$bench/make_source_file" "$n" "$file"
  bytes=$(stat -c %s "$file")
  cat "$file" >/dev/null  # into the page cache: both readers start warm
  # wc -l reads the file `copies` times in one run (about 300 MB), so that
  # its own start, measured on an empty file and taken off, weighs little.
  copies=$(fmt %d "int(3e8 / $bytes) < 1 ? 1 : int(3e8 / $bytes)")
  names=()
  for ((i = 0; i < copies; i++)); do names+=("$file"); done
  repeats=$([ "$n" -eq 1000000 ] && echo 5 || echo 7)
  say "reading: $n rows ($bytes bytes), $repeats runs"
  : >"$work/read.txt"
  : >"$work/wc.txt"
  : >"$work/wc0.txt"
  for ((r = 0; r < repeats; r++)); do
    "$bench/read_bench" "$file" >>"$work/read.txt"
    seconds wc -l "${names[@]}" >>"$work/wc.txt"
    seconds wc -l "$work/empty.txt" >>"$work/wc0.txt"
  done
  read_rows=$(awk '{ print $3 }' "$work/read.txt" | best)
  [ "$read_rows" -eq "$n" ] || { echo "bench: read $read_rows rows of $n" >&2; exit 1; }
  first=$(awk '{ print $1 }' "$work/read.txt" | best)
  again=$(awk '{ print $2 }' "$work/read.txt" | best)
  peak_kib=$(awk '{ print $5 }' "$work/read.txt" | sort -g | tail -n 1)
  wc_s=$(fmt %.9f "($(best <"$work/wc.txt") - $(best <"$work/wc0.txt")) / $copies")
  first_s[$n]=$first
  speed=$(fmt %.6f "$wc_s / $first")
  peak=$(fmt %.6f "$peak_kib * 1024 / $bytes")
  row "GetSourceData, $n rows ($(fmt %.2f "$bytes / 1e6") MB)" \
    "$(fmt %.1f "$first * 1e3") ms = $(fmt %.0f "$bytes / 1e6 / $first") MB/s, $(fmt %.2f "$n / $first / 1e6") M rows/s (read again in the same process: $(fmt %.1f "$again * 1e3") ms); wc -l $(fmt %.2f "$wc_s * 1e3") ms = $(fmt %.0f "$bytes / 1e6 / $wc_s") MB/s; speed $(fmt %.2f "$speed") × wc -l's; peak memory +$(fmt %.1f "$peak_kib * 1024 / 1e6") MB = $(fmt %.2f "$peak") × the file" \
    "speed ≥ 0.25 × wc -l's; peak ≤ 2 × the file" "$(met "$speed >= 0.25 && $peak <= 2")"
done
for pair in "10000 100000" "100000 1000000"; do
  set -- $pair
  ratio=$(fmt %.6f "${first_s[$2]} / ${first_s[$1]}")
  row "GetSourceData time, $2 rows against $1" "$(fmt %.1f "$ratio") ×" "≤ 11 × (linear)" "$(met "$ratio <= 11")"
done

# --- the stand-in server ------------------------------------------------------

say "starting the stand-in server"
password='Bench#Pw1'
mkdir -p "$work/data"
. "$root/scripts/standin_functions.sh"
start_standin "$build" "$work/data" "sa:$password" "$work/standin.log" || exit 1
port=$standin_port

# bsql DATABASE SQL...: runs the batches (separated by lines "go") through bsqldb.
bsql() {
  local database=$1
  shift
  printf '%s\ngo\n' "$@" >"$work/batch.sql"
  bsqldb -S "127.0.0.1:$port" -U sa -P "$password" -D "$database" -i "$work/batch.sql" 2>"$work/bsql.err" ||
    { cat "$work/bsql.err" >&2; return 1; }
}
bsql master "CREATE DATABASE Bench" "CREATE DATABASE TovixHR" >/dev/null
bsql Bench "$(cat "$root/bench/staff_table.sql")" >/dev/null
table_rows() { bsql Bench "SELECT COUNT(*) FROM Staff" | awk 'NF == 1 && $1 ~ /^[0-9]+$/ { print $1 }'; }

# --- import ------------------------------------------------------------------

n=100000
file=$work/source_$n.txt
connect="provider = sqloledb;data source=127.0.0.1,$port;initial catalog=Bench;user id=sa;password=$password;"
"$bench/import_bench" sql "$connect" "$file" Staff "$work/insert.sql"
: >"$work/import.txt"
: >"$work/bsqldb.txt"
: >"$work/cpu.txt"
# The client processes' own processor time (user + system), beside the wall time.
cpu_of() {
  local TIMEFORMAT="$1 %U %S"
  shift
  { time "$@"; } 2>>"$work/cpu.txt"
}
import_once() {
  bsql Bench "TRUNCATE TABLE Staff" >/dev/null
  cpu_of import "$bench/import_bench" import "$connect" "$file" Staff | awk '{ print $1 }' >>"$work/import.txt"
  [ "$(table_rows)" -eq "$n" ] || { echo "bench: the import left $(table_rows) rows" >&2; exit 1; }
}
bsqldb_once() {
  bsql Bench "TRUNCATE TABLE Staff" >/dev/null
  cpu_of bsqldb seconds bsqldb -S "127.0.0.1:$port" -U sa -P "$password" -D Bench -i "$work/insert.sql" \
    2>/dev/null >>"$work/bsqldb.txt"
  [ "$(table_rows)" -eq "$n" ] || { echo "bench: bsqldb left $(table_rows) rows" >&2; exit 1; }
}
say "import: $n rows, ImportTable and bsqldb in turn, three times each"
import_once
bsqldb_once
bsqldb_once
import_once
import_once
bsqldb_once
import_s=$(best <"$work/import.txt")
bsqldb_s=$(best <"$work/bsqldb.txt")
import_cpu=$(awk '$1 == "import" { print $2 + $3 }' "$work/cpu.txt" | best)
bsqldb_cpu=$(awk '$1 == "bsqldb" { print $2 + $3 }' "$work/cpu.txt" | best)
import_ratio=$(fmt %.6f "$bsqldb_s / $import_s")
row "ImportTable, $n rows into the stand-in" \
  "$(fmt %.2f "$import_s") s = $(fmt %.0f "$n / $import_s") rows/s; the same INSERT batches (100 a batch, one transaction) sent by bsqldb: $(fmt %.2f "$bsqldb_s") s = $(fmt %.0f "$n / $bsqldb_s") rows/s; rate $(fmt %.2f "$import_ratio") × bsqldb's. Processor time of the client: $(fmt %.2f "$import_cpu") s (file read included), bsqldb $(fmt %.2f "$bsqldb_cpu") s; the rest is the server's" \
  "rate ≥ 0.8 × bsqldb's" "$(met "$import_ratio >= 0.8")"

# --- one large batch ------------------------------------------------------------

# The same INSERT statements as one batch each (no "go", no transaction: every
# statement commits on its own), 10 000 of them and all 100 000.
grep -v -e '^go$' -e '^BEGIN TRANSACTION$' -e '^COMMIT$' "$work/insert.sql" >"$work/batch_$n.sql"
head -n 10000 "$work/batch_$n.sql" >"$work/batch_10000.sql"
: >"$work/batch_s_10000.txt"
: >"$work/batch_s_$n.txt"
one_batch_once() {
  bsql Bench "TRUNCATE TABLE Staff" >/dev/null
  seconds bsqldb -S "127.0.0.1:$port" -U sa -P "$password" -D Bench -i "$work/batch_$1.sql" \
    2>/dev/null >>"$work/batch_s_$1.txt"
  [ "$(table_rows)" -eq "$1" ] || { echo "bench: the batch of $1 left $(table_rows) rows" >&2; exit 1; }
}
say "one batch: 10000 and $n INSERTs, three times each"
for _ in 1 2 3; do
  one_batch_once 10000
  one_batch_once "$n"
done
batch_small_s=$(best <"$work/batch_s_10000.txt")
batch_s=$(best <"$work/batch_s_$n.txt")
batch_ratio=$(fmt %.6f "$batch_s / $batch_small_s")
row "One batch of $n INSERTs ($(fmt %.1f "$(stat -c %s "$work/batch_$n.sql") / 1e6") MB) into the stand-in" \
  "$(fmt %.2f "$batch_s") s = $(fmt %.0f "$n / $batch_s") rows/s; 10000 of them in one batch: $(fmt %.2f "$batch_small_s") s; $(fmt %.1f "$batch_ratio") ×" \
  "≤ 11 × (linear)" "$(met "$batch_ratio <= 11")"

# --- the settings store --------------------------------------------------------

say "settings store: dovrelctl show on stores of 0.9 and 9 MB"
# A store of `keys` other keys with ten values each beside the program's own.
make_store() {
  awk -v keys="$1" 'BEGIN {
    print "[SoftWare\\Tovix\\HR]"; print "\"ServerName\"=\"127.0.0.1\""; print "\"DataBase\"=\"TovixHR\""
    print "\"User\"=\"\""; print "\"Password\"=\"\""
    for (k = 0; k < keys; k++) {
      printf "[Other\\Key%d]\n", k
      for (v = 0; v < 10; v++) printf "\"Value%d\"=\"%s\"\n", v, "xxxxxxxxxxxxxxxxxxxxxxxxxxxxxx"
    }
  }' >"$2"
}
declare -A store_s
for keys in 2000 20000; do
  make_store "$keys" "$work/store_$keys"
  store_s[$keys]=$(for _ in 1 2 3; do DOVREL_REGISTRY="$work/store_$keys" seconds "$build/src/app/dovrelctl" show; done | best)
done
store_mb=$(fmt %.1f "$(stat -c %s "$work/store_20000") / 1e6")
store_growth=$(fmt %.1f "${store_s[20000]} / ${store_s[2000]}")
row "dovrelctl show on a settings store of $store_mb MB (and of a tenth of that)" \
  "$(fmt %.0f "${store_s[20000]} * 1000") ms ($(fmt %.0f "${store_s[2000]} * 1000") ms); growth $store_growth ×" \
  "≤ 11 × for 10 × the size (linear)" "$(met "$store_growth <= 11")"

# --- start-up ----------------------------------------------------------------

say "start-up: settings window against the stand-in"
export DOVREL_REGISTRY=$work/registry
# As on a Simplified Chinese machine (code page 936); the locale itself need not be installed.
chinese() { LC_ALL=zh_CN.UTF-8 "$@"; }
chinese "$build/src/app/dovrelctl" set --server "127.0.0.1,$port" --database TovixHR --user sa --password "$password" >/dev/null
read -r check_first check_again < <(chinese "$bench/check_bench" 7) || true
[ -n "${check_again:-}" ] || { echo "bench: the server check failed" >&2; exit 1; }
mkdir -p -m 700 "$work/xdg"
# Launch to first paint, median of 11 rounds, the three programs in turn.
chinese env QT_QPA_PLATFORM=offscreen XDG_RUNTIME_DIR="$work/xdg" \
  "$bench/time_to_window" 11 "$bench/qt_empty_window" -- "$bench/qt_empty_window" --chinese-label \
  -- "$build/tools/window_probe/dovrel-window-probe" --report-shown >"$work/window.txt" 2>"$work/window.err" || {
  cat "$work/window.err" >&2
  exit 1
}
{ read -r empty_ms _; read -r label_ms _; read -r dovrel_ms _; } <"$work/window.txt"
limit_ms=$(fmt %.1f "1.5 * $empty_ms + $check_first")
row "Qt program showing an empty window: launch to first paint" "$empty_ms ms" "(floor)" "—"
row "the same with one label of Chinese text" "$label_ms ms" "(what text adds: fonts, glyphs)" "—"
row "server check alone: ping, probe on master, existence query" \
  "$(fmt %.1f "$check_first") ms the first time in a process (loads the database driver), $(fmt %.1f "$check_again") ms after" \
  "(round trips)" "—"
row "dovrel: launch to the settings window shown and painted" \
  "$dovrel_ms ms" "≤ 1.5 × empty window + first check = $(fmt %.0f "$limit_ms") ms" "$(met "$dovrel_ms <= $limit_ms")"

# --- the table ---------------------------------------------------------------

cpu=$(sed -n 's/^model name[[:space:]]*: //p' /proc/cpuinfo | head -n 1)
echo "Dovrel benchmarks, $(date -u '+%Y-%m-%d'), $(nproc) cores ($cpu), $(uname -sr); windows on Qt's offscreen platform"
echo
echo "| measurement | figure(s) | goal | met? |"
echo "|---|---|---|---|"
printf '%s\n' "${rows[@]}"
