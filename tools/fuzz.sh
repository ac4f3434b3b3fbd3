#!/usr/bin/env bash
# Builds the fuzzers (clang, libFuzzer, ASan and UBSan) and runs each from its
# committed corpus for a bounded number of runs: QM_FUZZ_RUNS, 20000 by
# default; QM_FUZZ_RUNS=1000000 for the long run.  New inputs go to a scratch
# folder in the build, never into the committed corpus.  A failing input is
# left in build/fuzz/crashes/ and replays with `build/fuzz/fuzz/fuzz_NAME FILE`.
set -euo pipefail
cd "$(dirname "$0")/.."
runs=${QM_FUZZ_RUNS:-20000}

cmake --preset fuzz >/dev/null
cmake --build --preset fuzz

status=0
for name in ini reasons transfer probes announcement; do
  scratch=build/fuzz/scratch/$name
  rm -rf "$scratch"
  mkdir -p "$scratch" build/fuzz/crashes
  log=build/fuzz/$name.log
  if build/fuzz/fuzz/fuzz_$name -runs="$runs" -artifact_prefix=build/fuzz/crashes/$name- \
       "$scratch" "fuzz/corpus/$name" >"$log" 2>&1; then
    echo "fuzz_$name: $(grep -E '^Done [0-9]+ runs' "$log" | tail -n 1)"
  else
    echo "fuzz_$name FAILED:"
    tail -n 40 "$log"
    status=1
  fi
done
exit $status
