#!/usr/bin/env bash
# Sends one large file as a raw job twice to a private CUPS server, once
# with the program's raw spooling (bench/raw_send) and once with `lp -o raw`,
# one after the other, and prints both times, their ratio and the peak
# resident memory of each sender.
#
#   bench/raw_send.sh [SIZE_MB [ROUNDS]]     (default 500 MB, 3 rounds)
#
# The rounds alternate which sender goes first; times are medians, memory
# the highest peak seen.
# Needs the build (BUILD_DIR, default build/). The capture queue writes each
# job to disk, for both senders alike; each send is timed until the sender
# returns, and the next one starts only after the job has landed.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD_DIR:-$root/build}
size_mb=${1:-500}
rounds=${2:-3}
sender="$build/bench/raw_send"
[ -x "$sender" ] || { echo "raw_send.sh: build $sender first (ninja -C $build raw_send)" >&2; exit 1; }

work=$(mktemp -d "$build/raw-bench.XXXXXX")
cups="$work/cups"
cleanup() { "$root/scripts/private-cups" stop "$cups" >/dev/null 2>&1 || true; rm -rf "$work"; }
trap cleanup EXIT
"$root/scripts/private-cups" start "$cups" >/dev/null
export CUPS_SERVER="$cups/cups.sock"
"$root/scripts/private-cups" add "$cups" Bench_Raw "$work/out"

data="$work/data.prn"
head -c "$((size_mb * 1024 * 1024))" /dev/urandom > "$data"
bytes=$(stat -c %s "$data")

# Waits for the captured job and checks it arrived whole, then removes it.
landed() {
  local f
  for _ in $(seq 1 1200); do
    f=$(ls "$work/out"/*.prn 2>/dev/null | head -1 || true)
    if [ -n "$f" ]; then
      [ "$(stat -c %s "$f")" -eq "$bytes" ] || { echo "raw_send.sh: $1 delivered $(stat -c %s "$f") of $bytes bytes" >&2; exit 1; }
      rm -f "$work/out"/*; return 0
    fi
    sleep 0.5
  done
  echo "raw_send.sh: $1's job never landed" >&2; exit 1
}

# Runs a sender under GNU time, which writes "seconds kilobytes" (elapsed
# time, peak resident set) to $work/NAME.time.
measure() {
  local name=$1; shift
  /usr/bin/time -f '%e %M' -o "$work/$name.time" "$@" >/dev/null
  landed "$name"
}

for i in $(seq 1 "$rounds"); do
  if [ $((i % 2)) -eq 1 ]; then
    measure ours.$i "$sender" Bench_Raw "$data" bench
    measure lp.$i lp -d Bench_Raw -o raw -t bench "$data"
  else
    measure lp.$i lp -d Bench_Raw -o raw -t bench "$data"
    measure ours.$i "$sender" Bench_Raw "$data" bench
  fi
done

# Median time and highest peak memory over the rounds of sender $1.
median_time() { cat "$work"/"$1".*.time | awk '{ print $1 }' | sort -g | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }
max_rss() { cat "$work"/"$1".*.time | awk '$2 > m { m = $2 } END { print m }'; }
ours_s=$(median_time ours); ours_kb=$(max_rss ours)
lp_s=$(median_time lp); lp_kb=$(max_rss lp)

echo "file: $bytes bytes, $rounds rounds"
printf 'PRINTFILERAW : %8.2f s   peak RSS %6d KB\n' "$ours_s" "$ours_kb"
printf 'lp -o raw    : %8.2f s   peak RSS %6d KB\n' "$lp_s" "$lp_kb"
awk -v a="$ours_s" -v b="$lp_s" 'BEGIN { if (b > 0) printf "ratio PRINTFILERAW / lp: %.2f\n", a / b }'
