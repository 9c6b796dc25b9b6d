#!/usr/bin/env bash
# Runs libFuzzer targets of the pure core: scripts/fuzz.sh TARGET|all [SECONDS]
# TARGET is decompress, roundtrip, expression, substitute, keystring, package,
# unscramble, http_response, exchange, condition, prepare, ftp_reply, ftp_pasv,
# nettext, numformat, number, datetime or wildcard. The fuzz build
# lives in build/fuzz (clang, AddressSanitizer, UBSan); new inputs found go to
# build/fuzz/corpus/TARGET, the committed seeds stay in tests/fuzz/corpus/TARGET,
# crashes are written to build/fuzz/artifacts/. KES_FUZZ_QUIET=1 prints only a
# summary line per target (the full log on failure).
set -euo pipefail
cd "$(dirname "$0")/.."
what=${1:?usage: scripts/fuzz.sh TARGET|all [SECONDS]}
secs=${2:-60}
all=(decompress roundtrip expression substitute keystring package unscramble http_response exchange condition prepare
     ftp_reply ftp_pasv nettext numformat number datetime wildcard)
if [ "$what" = all ]; then targets=("${all[@]}"); else targets=("$what"); fi

if [ ! -f build/fuzz/build.ninja ]; then
  if command -v clang++ >/dev/null; then
    CC=clang CXX=clang++ cmake -S . -B build/fuzz -G Ninja -DKES_NATIVE=ON -DKES_FUZZ=ON \
      -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
  else
    echo "fuzz: no clang++, building the targets with the standalone driver" >&2
    cmake -S . -B build/fuzz -G Ninja -DKES_NATIVE=ON -DKES_FUZZ=ON -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
  fi
fi
ninja -j2 -C build/fuzz "${targets[@]/#/fuzz_}" >/dev/null

mkdir -p build/fuzz/artifacts
status=0
for t in "${targets[@]}"; do
  mkdir -p "build/fuzz/corpus/$t"
  log=build/fuzz/$t.log
  set +e
  "build/fuzz/tests/fuzz/fuzz_$t" -max_total_time="$secs" -timeout=25 -print_final_stats=1 \
    -artifact_prefix="build/fuzz/artifacts/$t-" "build/fuzz/corpus/$t" "tests/fuzz/corpus/$t" >"$log" 2>&1
  rc=$?
  set -e
  runs=$(grep -Eo 'stat::number_of_executed_units: *[0-9]+' "$log" | grep -Eo '[0-9]+$' || true)
  if [ $rc -ne 0 ]; then
    echo "fuzz $t: FAILED (exit $rc), see $log"
    tail -40 "$log"
    status=1
  elif [ "${KES_FUZZ_QUIET:-0}" = 1 ]; then
    echo "fuzz $t: ok, ${runs:-?} runs in ${secs}s"
  else
    cat "$log"
    echo "fuzz $t: ok, ${runs:-?} runs in ${secs}s"
  fi
done
exit $status
