#!/usr/bin/env bash
# Builds the libFuzzer targets (clang, AddressSanitizer, UndefinedBehaviorSanitizer) and
# runs each for a while on seed corpora made from the test data, at most two at a time.
#   scripts/fuzz.sh [-t SECONDS] [-j JOBS] [TARGET...]     (default: 60 s, 2 jobs, all)
# The working corpora grow in $QVBOOK_FUZZ_DIR (default build-fuzz/); a failing input is
# saved there as crash-*/timeout-*/oom-* and the script exits nonzero. Inputs that once
# failed live in fuzz/regressions/<target>/ and seed every run.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${QVBOOK_FUZZ_DIR:-$root/build-fuzz}
seconds=60
jobs=2
while getopts "t:j:" opt; do
  case $opt in
    t) seconds=$OPTARG ;;
    j) jobs=$OPTARG ;;
    *) exit 64 ;;
  esac
done
shift $((OPTIND - 1))

CC=clang CXX=clang++ cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DQVBOOK_FUZZ=ON -DQVBOOK_GUI=OFF -DQVBOOK_TESTS=OFF -DQVBOOK_BENCH=OFF >/dev/null
targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
  for src in "$root"/fuzz/*_fuzz.cpp; do targets+=("$(basename "$src" .cpp)"); done
fi
cmake --build "$build" -j2 --target qvbook-cli qvbook-fuzz-seeds "${targets[@]}"

data=$root/tests/files/data
imports=$root/tests/cli/data
seed() {  # seed TARGET: fills the target's corpus folder with starting inputs
  local target=$1 dir=$build/corpus/$1 f
  mkdir -p "$dir"
  if [ -d "$root/fuzz/regressions/$target" ]; then cp -f "$root/fuzz/regressions/$target"/* "$dir"/ 2>/dev/null || true; fi
  case $target in
    document_load_fuzz)
      for f in "$data"/*; do
        { printf ','; cat "$f"; } >"$dir/comma-$(basename "$f")"
        { printf '\t'; cat "$f"; } >"$dir/tab-$(basename "$f")"
      done ;;
    image_load_fuzz)
      "$build/src/cli/qvbook-cli" convert "$data/standard.csv" "$dir/standard.bin" >/dev/null ;;
    entry_checks_fuzz)
      local n=0 line
      while IFS= read -r line; do
        n=$((n + 1))
        { printf '\000\005\003'; printf '%s' "${line%$'\r'}" | LC_ALL=C tr ',\t' '\377\377'; } >"$dir/row$n"
      done < <(cat "$data"/*.csv) ;;
    import_fuzz)
      for f in "$data"/*.csv "$imports"/*.csv; do
        for answer in 0 1 2; do
          { printf "\\00$answer"; cat "$f"; } >"$dir/$answer-$(basename "$f")"
        done
      done ;;
    clipboard_paste_fuzz)
      for f in "$data"/*.csv "$imports"/*.csv; do
        { printf ',QV PhoneBook,,11,0\r\n'; cat "$f"; } >"$dir/$(basename "$f")"
      done ;;
    download_reply_fuzz)
      "$build/src/cli/qvbook-cli" convert "$data/standard.csv" "$build/standard.bin" >/dev/null
      "$build/fuzz/qvbook-fuzz-seeds" "$build/standard.bin" "$dir" ;;
    *) cp -f "$data"/* "$dir"/ ;;
  esac
}

# Bigger inputs where a target's input is a whole image.
max_len() {
  case $1 in
    image_load_fuzz) echo 12000 ;;
    *) echo 8192 ;;
  esac
}

run() {  # run TARGET: one fuzzing session; its log goes to the build folder
  local target=$1
  seed "$target"
  mkdir -p "$build/artifacts"
  nice -n 10 "$build/fuzz/$target" "$build/corpus/$target" -max_total_time="$seconds" \
    -max_len="$(max_len "$target")" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 \
    -artifact_prefix="$build/artifacts/$target-" >"$build/$target.log" 2>&1
}

status=0
pids=()
names=()
for target in "${targets[@]}"; do
  while [ "$(jobs -rp | wc -l)" -ge "$jobs" ]; do wait -n || true; done
  run "$target" &
  pids+=($!)
  names+=("$target")
done
for i in "${!pids[@]}"; do
  if wait "${pids[$i]}"; then
    result=ok
  else
    result=FAILED
    status=1
  fi
  execs=$(grep -o 'stat::number_of_executed_units: *[0-9]*' "$build/${names[$i]}.log" | grep -o '[0-9]*$' || echo 0)
  echo "${names[$i]}: $result, $execs executions in ${seconds} s ($((execs / seconds))/s); log $build/${names[$i]}.log"
  [ $result = ok ] || tail -n 40 "$build/${names[$i]}.log"
done
exit $status
