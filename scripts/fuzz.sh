#!/bin/bash
# Runs every libFuzzer target of a fuzz build for a number of seconds over
# its corpus, then prints one line per target: executions, coverage,
# findings and seconds run.
#   scripts/fuzz.sh <build folder> <seconds per target> <targets at once> [target...]
# A target's working corpus starts from its kept seeds and regressions and
# grows under <build folder>/corpus; crashes, hangs and out-of-memory
# inputs land in <build folder>/findings/<target>. Ends with status 1 when
# any target found something in this run (or its program failed), so a
# finding cannot pass unseen.
set -u
# Absolute paths: the targets work in a scratch folder of their own.
build="$(cd "$1" && pwd)"
seconds="$2"
parallel="$3"
shift 3
source_dir="$(cd "$(dirname "$0")/.." && pwd)"

if [ $# -gt 0 ]; then
  targets=("$@")
else
  targets=()
  for program in "$build"/fuzz/fuzz_*; do
    [ -x "$program" ] && targets+=("$(basename "$program" | sed 's/^fuzz_//')")
  done
fi
if [ ${#targets[@]} -eq 0 ]; then
  echo "fuzz: no targets in $build/fuzz (was it built with VYRE_FUZZ=ON?)" >&2
  exit 2
fi

run_one() {
  local target="$1"
  local corpus="$build/corpus/$target"
  local findings="$build/findings/$target"
  local log="$build/logs/$target.log"
  mkdir -p "$corpus" "$findings" "$build/logs"
  local before=$(find "$findings" -type f | wc -l)
  for kept in "$source_dir/fuzz/corpus/$target" "$source_dir/fuzz/regressions/$target"; do
    [ -d "$kept" ] && cp -n "$kept"/* "$corpus"/ 2>/dev/null
  done
  local started=$(date +%s)
  ASAN_OPTIONS=detect_leaks=1:allocator_may_return_null=1 \
    "$build/fuzz/fuzz_$target" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
      -malloc_limit_mb=2048 -print_final_stats=1 -artifact_prefix="$findings/" "$corpus" >"$log" 2>&1
  local status=$?
  local elapsed=$(( $(date +%s) - started ))
  local runs=$(grep -o 'stat::number_of_executed_units: *[0-9]*' "$log" | grep -o '[0-9]*$' | tail -1)
  local coverage=$(grep -o 'cov: [0-9]*' "$log" | tail -1 | grep -o '[0-9]*')
  local found=$(find "$findings" -type f | wc -l)
  printf '%-20s %12s %8s %8s %8s %6s\n' "$target" "${runs:-?}" "${coverage:-?}" "$found" "$elapsed" "$status"
  [ "$status" -eq 0 ] && [ "$found" -eq "$before" ]
}
export -f run_one
export build seconds source_dir

printf '%-20s %12s %8s %8s %8s %6s\n' target executions coverage findings seconds status
printf '%s\n' "${targets[@]}" | xargs -P "$parallel" -I{} bash -c 'run_one {}' | sort
if [ "${PIPESTATUS[1]}" -ne 0 ]; then
  echo "fuzz: a target found something or failed (non-zero status, or new files under $build/findings)" >&2
  exit 1
fi
