#!/usr/bin/env bash
# Builds the benchmarks in Release, makes the synthetic books once, runs every
# operation at 10k and 100k entries (and 1M with --large) and prints one table:
# median time, peak memory, and the growth from the smaller to the larger size.
#   bench/run.sh [--large] [--repetitions N]
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/build-env.sh

sizes=(10000 100000)
repetitions=5
while (($#)); do
  case "$1" in
    --large) sizes+=(1000000) ;;
    --repetitions) repetitions="$2"; shift ;;
    *) echo "usage: bench/run.sh [--large] [--repetitions N]" >&2; exit 2 ;;
  esac
  shift
done

build=build-bench
jobs=$(( JOBS > 4 ? 4 : JOBS ))
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DCORVANE_TESTS=OFF -DCORVANE_BENCH=ON >/dev/null
cmake --build "$build" -j "$jobs" --target cv-gen-book cv-bench cv-bench-upgrade >/dev/null

export QT_LOGGING_RULES="corvane.*.debug=false;corvane.*.info=false"
books="$build/books"
mkdir -p "$books"
for n in "${sizes[@]}"; do
  book="$books/book-$n.cvv2"
  # A book older than the generator may no longer be what it makes.
  if [[ ! -f "$book" || ! -f "${book%.cvv2}.cvxf" || "$build/bench/cv-gen-book" -nt "$book" ]]; then
    "$build/bench/cv-gen-book" --entries "$n" --xml --out "$book" >&2
  fi
done

operations=(open open_beside_check open_store quick_check integrity_check createCache save commit_edit commit_trees commit_edit_beside_check value_accounts value_accounts_first category_months
            category_months_first xml_export xml_import memo_search)
# The floor of an operation, measured in the same run on the same files.
# The XML import has two: expat's tokenizer, and Qt's, which the program keeps for all but the entry lines.
limits=(open:limit_open save:limit_save save:limit_save_synced xml_export:limit_xml_export xml_import:limit_xml_import_expat
        xml_import:limit_xml_import)
results="$build/results"
rm -rf "$results" && mkdir -p "$results"
size_list=$(IFS=,; echo "${sizes[*]}")
# One process per operation and size, so peak memory belongs to that operation.
for op in "${operations[@]}" "${limits[@]#*:}"; do
  for n in "${sizes[@]}"; do
    echo "running $op/$n" >&2
    "$build/bench/cv-bench" --books="$books" --sizes="$size_list" \
      --benchmark_filter="^$op/$n(/iterations:[0-9]+|/process_time/real_time)?\$" --benchmark_repetitions="$repetitions" \
      --benchmark_report_aggregates_only=true --benchmark_format=json \
      >"$results/$op-$n.json" 2>/dev/null
  done
done

python3 - "$results" "${sizes[*]}" "${operations[*]}" "${limits[*]}" <<'PY'
import json, os, sys
results, sizes, ops = sys.argv[1], sys.argv[2].split(), sys.argv[3].split()
limits = [pair.split(":") for pair in sys.argv[4].split()]

def median(op, n):
    path = os.path.join(results, f"{op}-{n}.json")
    try:
        data = json.load(open(path))
    except (OSError, ValueError):
        return None
    for b in data.get("benchmarks", []):
        if b.get("aggregate_name") == "median" or (b.get("run_type") == "iteration" and "aggregate_name" not in b):
            if b.get("error_occurred"):
                return None
            scale = {"ns": 1e-6, "us": 1e-3, "ms": 1.0, "s": 1e3}[b.get("time_unit", "ms")]
            return b["real_time"] * scale, b.get("peak_MB", 0.0)
    return None

def size_name(n):
    n = int(n)
    return f"{n // 1000000}M" if n % 1000000 == 0 else f"{n // 1000}k"

def fmt_time(ms):
    return f"{ms * 1000:.1f} us" if ms < 1 else (f"{ms:.1f} ms" if ms < 1000 else f"{ms / 1000:.2f} s")

head = ["operation"] + [f"{size_name(n)} time" for n in sizes] + [f"{size_name(n)} peak" for n in sizes]
head.append(f"growth {size_name(sizes[-2])}->{size_name(sizes[-1])}")
rows = [head]
for op in ops:
    cells = [median(op, n) for n in sizes]
    row = [op] + [fmt_time(c[0]) if c else "failed" for c in cells] + [f"{c[1]:.0f} MB" if c else "-" for c in cells]
    a, b = cells[-2], cells[-1]
    row.append(f"x{b[0] / a[0]:.1f}" if a and b and a[0] > 0 else "-")
    rows.append(row)
widths = [max(len(r[i]) for r in rows) for i in range(len(head))]
for i, r in enumerate(rows):
    print("| " + " | ".join(c.ljust(w) if j == 0 else c.rjust(w) for j, (c, w) in enumerate(zip(r, widths))) + " |")
    if i == 0:
        print("|" + "|".join("-" * (w + 2) for w in widths) + "|")
ratio = int(sizes[-1]) / int(sizes[-2])
print(f"\nMedian wall time of the repetitions; growth is time at the larger size over the smaller "
      f"(entries grow x{ratio:.0f}; linear growth reads x{ratio:.0f}). *_first: the first call after an open.")

print("\n| operation | limit | " + " | ".join(f"{size_name(n)} time / limit" for n in sizes) + " |")
print("|---|---|" + "---|" * len(sizes))
for op, limit in limits:
    cells = []
    for n in sizes:
        a, b = median(op, n), median(limit, n)
        cells.append(f"{fmt_time(a[0])} / {fmt_time(b[0])} = x{a[0] / b[0]:.2f}" if a and b and b[0] > 0 else "-")
    print(f"| {op} | {limit} | " + " | ".join(cells) + " |")
PY

# The old-format upgrade works on a fixture, not on the synthetic books.
echo
"$build/bench/cv-bench-upgrade" --benchmark_repetitions="$repetitions" \
  --benchmark_report_aggregates_only=true 2>/dev/null | grep -E '_median'
