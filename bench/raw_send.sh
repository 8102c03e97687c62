#!/usr/bin/env bash
# Sends one large DOS-standard file to a private CUPS server three ways, one
# after the other: the whole program (tarvousb on a file marked for direct
# DOS-standard printing, temporary file and all), the program's raw spooling
# alone (bench/raw_send), and `lp -o raw`. Prints each sender's median time,
# the ratios to `lp -o raw`, and each one's peak resident memory, for the
# program also beyond the file's size.
#
#   bench/raw_send.sh [SIZE_MB [ROUNDS]]     (default 200 MB, 3 rounds)
#
# The rounds rotate which sender goes first; times are medians, memory the
# highest peak seen. Each send is timed until the sender returns (the
# program returns once the printer has had its few seconds to refuse the
# job, or the job is done); the next one starts only after the job has
# landed. Needs the build (BUILD_DIR, default build/) and GNU time.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD_DIR:-$root/build}
size_mb=${1:-200}
rounds=${2:-3}
program="$build/tarvousb"
spooler="$build/bench/raw_send"
for f in "$program" "$spooler"; do
  [ -x "$f" ] || { echo "raw_send.sh: build $f first (ninja -C $build)" >&2; exit 1; }
done

work=$(mktemp -d "$build/raw-bench.XXXXXX")
cups="$work/cups"
cleanup() { "$root/scripts/private-cups" stop "$cups" >/dev/null 2>&1 || true; rm -rf "$work"; }
trap cleanup EXIT
"$root/scripts/private-cups" start "$cups" >/dev/null
export CUPS_SERVER="$cups/cups.sock"
"$root/scripts/private-cups" add "$cups" Bench_Raw "$work/out"

# Printer data without the end-of-file byte or the record marks, so that all
# three senders send the same bytes; the program's file adds its markers.
data="$work/data.prn"
(set +o pipefail; tr -d '\032#' < /dev/urandom | head -c "$((size_mb * 1024 * 1024))" > "$data")
bytes=$(stat -c %s "$data")
mkdir -p "$work/run"
dos="$work/run/nota.txt"
{ cat "$data"; printf '=+IMPRESSAO_DIRETA+==+IMPRESSAO_PADRAO_DO_DOS+='; } > "$dos"

# Waits for the captured job and checks it arrived whole, then removes it.
landed() {
  local f expected=$2
  for _ in $(seq 1 1200); do
    f=$(ls "$work/out"/*.prn 2>/dev/null | head -1 || true)
    if [ -n "$f" ]; then
      [ "$(stat -c %s "$f")" -eq "$expected" ] || { echo "raw_send.sh: $1 delivered $(stat -c %s "$f") of $expected bytes" >&2; exit 1; }
      rm -f "$work/out"/*; return 0
    fi
    sleep 0.2
  done
  echo "raw_send.sh: $1's job never landed" >&2; exit 1
}

# Runs a sender under GNU time, which writes "seconds kilobytes" (elapsed
# time, peak resident set) to $work/NAME.time.
measure() {
  local name=$1 expected=$2; shift 2
  (cd "$work/run" && /usr/bin/time -f '%e %M' -o "$work/$name.time" "$@" >/dev/null)
  landed "$name" "$expected"
}

send() {
  case $1 in
    program) measure "program.$2" "$((bytes + 20))" env TARVOUSB_UNATTENDED=1 LPDEST=Bench_Raw "$program" "$dos" ;;
    spooler) measure "spooler.$2" "$bytes" "$spooler" Bench_Raw "$data" bench ;;
    lp) measure "lp.$2" "$bytes" lp -d Bench_Raw -o raw -t bench "$data" ;;
  esac
}

senders=(program spooler lp)
for i in $(seq 1 "$rounds"); do
  for j in 0 1 2; do send "${senders[$(((i + j) % 3))]}" "$i"; done
done

# Median time and highest peak memory over the rounds of sender $1.
median_time() { cat "$work"/"$1".*.time | awk '{ print $1 }' | sort -g | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }
max_rss() { cat "$work"/"$1".*.time | awk '$2 > m { m = $2 } END { print m }'; }
lp_s=$(median_time lp)

echo "file: $bytes bytes of printer data, $rounds rounds"
for s in program spooler lp; do
  t=$(median_time "$s"); kb=$(max_rss "$s")
  printf '%-8s %8.2f s  x%5.2f of lp   peak RSS %7d KB' "$s" "$t" \
    "$(awk -v a="$t" -v b="$lp_s" 'BEGIN { print (b > 0 ? a / b : 0) }')" "$kb"
  [ "$s" = program ] && printf ' (%d KB beyond the file)' "$((kb - bytes / 1024))"
  echo
done
