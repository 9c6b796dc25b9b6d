#!/usr/bin/env bash
# Benchmarks; they print figures and never fail on a slow result.
#   scripts/bench.sh compress  the compressor on a fixed mixed corpus (text and
#                              32-bit executables, a few MB) natively and under
#                              Wine, beside gzip -6 and gzip -d on the same
#                              bytes, then the adversarial inputs
#   scripts/bench.sh assign    lines per second of Kestrova.exe under Wine on
#                              assignment lines and on a loop, beside Wine's
#                              VBScript on the same loop (ASSIGN_PASSES,
#                              LOOP_ITERATIONS)
#   scripts/bench.sh programs  output capture of 50 MB (CAPTURE_BYTES) into
#                              STDOUT beside "cmd.exe /c program > file"
#                              under the same Wine, with the interpreter's
#                              memory peak; TASKLIST with 200 processes
#                              (TASK_COUNT)
#   scripts/bench.sh check     no timing: the encoder's output on the corpus and
#                              the adversarial inputs compared byte for byte
#                              with the plain transcription of the greedy
#                              search (a minute or two)
#   scripts/bench.sh commands  the commands as a script runs them: the whole
#                              Kestrova.exe process under Wine doing COMPRESS
#                              and UNCOMPRESS of a mixed corpus (copies of a
#                              text, an executable, 200 KB of random bytes),
#                              beside gzip -6 and gzip -d on the same bytes,
#                              and start-up to the first line of a one-line
#                              script beside wine cmd /c exit (RUNS runs each,
#                              the best one counted; BEFORE=path/Kestrova.exe
#                              measures an earlier build the same way)
#   scripts/bench.sh http      HTTP GET of a 100 MB file from a loopback nginx
#                              under Wine (cache off, then on: two files
#                              written), beside curl on the same file in the
#                              same run (HTTP_PASSES, HTTP_MB)
#   scripts/bench.sh ftp       FTPGET and FTPPUT of a 50 MB file with a loopback
#                              pyftpdlib under Wine (each with its log-in and
#                              quit), beside curl downloading and uploading the
#                              same file in the same run (FTP_PASSES, FTP_MB)
#   scripts/bench.sh package   CREATEEXE of a script embedding a 20 MB file
#                              beside COMPRESS of the same file, and the
#                              start of a packaged executable with a 1 MB
#                              package beside a plain start, under Wine
#                              (goals: 1.5x and 1.2x)
#   scripts/bench.sh           compress, commands, assign and programs
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
what=${1:-all}
mkdir -p build/bench

now() { date +%s.%N; }
# Best wall time of RUNS (default five) runs of a command, in seconds.
best_of_runs() {
  local best="" t0 t1 d
  for _ in $(seq 1 "${RUNS:-5}"); do
    t0=$(now); "$@" >/dev/null 2>&1; t1=$(now)
    d=$(echo "$t1 - $t0" | bc -l)
    if [ -z "$best" ] || [ "$(echo "$d < $best" | bc -l)" = 1 ]; then best=$d; fi
  done
  echo "$best"
}
mbs() { echo "scale=1; $1 / $2 / 1000000" | bc -l; }
winpath() { printf 'Z:%s' "${1//\//\\}"; }

wine_up=0
wine_up() {
  [ $wine_up = 1 ] && return
  . ./scripts/wine-session.sh
  wine_session_start "$root/build/benchrun"
  trap wine_session_stop EXIT
  wine_up=1
}

# The corpus: fixed files of this machine, else files of the project.
make_corpus() {
  local out=build/bench/corpus.bin text=() bin=()
  local V=/usr/share/vim/vim90/doc W=/usr/lib/i386-linux-gnu/wine/i386-windows
  for f in "$V/options.txt" "$V/version8.txt"; do [ -f "$f" ] && text+=("$f"); done
  for f in "$W/cmd.exe" "$W/kernel32.dll"; do [ -f "$f" ] && bin+=("$f"); done
  if [ ${#text[@]} -eq 0 ]; then mapfile -t text < <(find src tests -type f \( -name '*.cpp' -o -name '*.h' \) | sort); fi
  if [ ${#bin[@]} -eq 0 ]; then bin=(build/win/Kestrova.exe); fi
  cat "${text[@]}" "${bin[@]}" > "$out"
  echo "corpus: $(stat -c %s "$out") bytes: text $(cat "${text[@]}" | wc -c) ($(basename -a "${text[@]}" | tr '\n' ' ' | head -c 200)), executables $(cat "${bin[@]}" | wc -c) ($(basename -a "${bin[@]}" | tr '\n' ' '))"
}

bench_compress() {
  [ -f build/native/build.ninja ] || cmake -S . -B build/native -G Ninja -DKES_NATIVE=ON \
    -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
  [ -f build/win/build.ninja ] || cmake -S . -B build/win -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake \
    -DCMAKE_BUILD_TYPE=Release >/dev/null
  ninja -j2 -C build/native bench_compress >/dev/null
  ninja -j2 -C build/win bench_compress >/dev/null
  make_corpus
  local corpus=build/bench/corpus.bin n
  n=$(stat -c %s "$corpus")
  local native wine_out
  native=$(build/native/bench/native/bench_compress "$corpus")
  wine_up
  wine_out=$(wine build/win/bench/bench_compress.exe "$(winpath "$root/$corpus")" 2>/dev/null | tr -d '\r')
  local gz_c gz_d gz_size
  gz_c=$(best_of_runs sh -c "gzip -6 -c '$corpus' > build/bench/corpus.gz")
  gz_size=$(stat -c %s build/bench/corpus.gz)
  gz_d=$(best_of_runs sh -c "gzip -d -c build/bench/corpus.gz > /dev/null")
  local nc nd wc wd gc gd
  nc=$(echo "$native" | awk '$1=="compress"{print $4}')
  nd=$(echo "$native" | awk '$1=="decompress"{print $4}')
  wc=$(echo "$wine_out" | awk '$1=="compress"{print $4}')
  wd=$(echo "$wine_out" | awk '$1=="decompress"{print $4}')
  gc=$(mbs "$n" "$gz_c")
  gd=$(mbs "$n" "$gz_d")
  echo "$native" | head -1
  echo "gzip -6: $gz_size bytes ($(echo "scale=1; 100 * $gz_size / $n" | bc -l)%)"
  printf '%-22s %14s %16s\n' "" "compress MB/s" "decompress MB/s"
  printf '%-22s %14s %16s\n' "kestrova native" "$nc" "$nd"
  printf '%-22s %14s %16s\n' "kestrova under Wine" "$wc" "$wd"
  # the same runs by processor time: on a busy machine closer to an idle one's
  printf '%-22s %14s %16s\n' "  native, processor" "$(echo "$native" | awk '$1=="compress"{print $6}')" \
    "$(echo "$native" | awk '$1=="decompress"{print $6}')"
  printf '%-22s %14s %16s\n' "  Wine, processor" "$(echo "$wine_out" | awk '$1=="compress"{print $6}')" \
    "$(echo "$wine_out" | awk '$1=="decompress"{print $6}')"
  printf '%-22s %14s %16s\n' "gzip -6 / gzip -d" "$gc" "$gd"
  printf '%-22s %13.2fx %15.2fx\n' "native / gzip" "$(echo "$nc / $gc" | bc -l)" "$(echo "$nd / $gd" | bc -l)"
  printf '%-22s %13.2fx %15.2fx\n' "Wine / gzip" "$(echo "$wc / $gc" | bc -l)" "$(echo "$wd / $gd" | bc -l)"
  echo
  echo "adversarial inputs, native:"
  build/native/bench/native/bench_compress --adversarial
  echo
  echo "adversarial inputs, under Wine:"
  wine build/win/bench/bench_compress.exe --adversarial 2>/dev/null | tr -d '\r'
}

# Lines per second through the whole preparation and dispatch path, timed
# by the scripts themselves: a 1000-line body of SET lines with references
# run ASSIGN_PASSES times, and a loop of := , IF and SET lines beside the
# same loop in Wine's VBScript.
bench_assign() {
  [ -f build/win/build.ninja ] || cmake -S . -B build/win -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake \
    -DCMAKE_BUILD_TYPE=Release >/dev/null
  ninja -j2 -C build/win Kestrova >/dev/null
  wine_up
  local passes=${ASSIGN_PASSES:-500} iterations=${LOOP_ITERATIONS:-1000000} body
  body=$(for i in $(seq 1 1000); do printf 'SET V%d=%%X%%-%%Y%%-%%I%%\\r\\n' $((i % 50)); done)
  sed "s|#BODY#|$body|" bench/scripts/assign.kes | sed 's/\r*$/\r/' > build/bench/assign.kes
  wine build/win/Kestrova.exe "$(winpath "$root/build/bench/assign.kes"),$passes,$(winpath "$root/build/bench/assign.txt")" \
    </dev/null >/dev/null 2>&1 || true
  echo "assignment lines: $(tr -d '\r' < build/bench/assign.txt)"
  sed 's/\r*$/\r/' bench/scripts/loop.kes > build/bench/loop.kes
  wine build/win/Kestrova.exe "$(winpath "$root/build/bench/loop.kes"),$iterations,$(winpath "$root/build/bench/loop.txt")" \
    </dev/null >/dev/null 2>&1 || true
  echo "Kestrova loop:  $(tr -d '\r' < build/bench/loop.txt)"
  echo "VBScript loop:  $(wine cscript //nologo "$(winpath "$root/bench/scripts/loop.vbs")" "$iterations" </dev/null 2>/dev/null | tr -d '\r')"
}

# The corpus of the command benchmark: four copies of a large text, an
# executable and 200,000 random bytes of a fixed seed (about 3.4 MB).
make_command_corpus() {
  local out=build/bench/mixed.bin text=/usr/share/vim/vim90/doc/options.txt
  local exe=/usr/lib/i386-linux-gnu/wine/i386-windows/cmd.exe
  [ -f "$text" ] || text=README.md
  [ -f "$exe" ] || exe=build/win/Kestrova.exe
  { cat "$text" "$text" "$text" "$text" "$exe"
    head -c 200000 /dev/zero | openssl enc -aes-128-ctr -nosalt -pass pass:kestrova -pbkdf2 2>/dev/null
  } > "$out"
  echo "corpus: $(stat -c %s "$out") bytes: 4 x $(basename "$text") ($(stat -c %s "$text") bytes)," \
    "$(basename "$exe") ($(stat -c %s "$exe") bytes), 200000 random bytes"
}

bench_commands() {
  [ -f build/win/build.ninja ] || cmake -S . -B build/win -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake \
    -DCMAKE_BUILD_TYPE=Release >/dev/null
  ninja -j2 -C build/win Kestrova bench_compress >/dev/null
  make_command_corpus
  local b=build/bench runs=${RUNS:-5} n exe=build/win/Kestrova.exe
  local W; W=$(winpath "$root/$b")
  n=$(stat -c %s $b/mixed.bin)
  printf 'COMPRESS %s\\mixed.bin,%s\\mixed.kz\r\n' "$W" "$W" > $b/compress.kes
  printf 'UNCOMPRESS %s\\mixed.kz,%s\\mixed.back\r\n' "$W" "$W" > $b/uncompress.kes
  printf 'SET A=1\r\n' > $b/oneline.kes
  wine_up
  local kc kd ks gc gd cs km
  # Without a window manager (Xvfb has none) Wine waits up to 2 s for one
  # whenever a window with a title bar is hidden, as the gauge is at the end
  # of COMPRESS; a desktop's window manager answers at once and Windows does
  # not wait at all. That wait is measured once, then Wine is told not to
  # leave the windows to a window manager, as on a desktop.
  wine $exe "$W\\compress.kes" </dev/null >/dev/null 2>&1 || true  # the desktop process starts
  km=$(RUNS=2 best_of_runs wine $exe "$W\\compress.kes")
  wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f </dev/null >/dev/null 2>&1
  wine $exe "$W\\compress.kes" </dev/null >/dev/null 2>&1 || true
  kc=$(best_of_runs wine $exe "$W\\compress.kes")
  kd=$(best_of_runs wine $exe "$W\\uncompress.kes")
  cmp -s $b/mixed.bin $b/mixed.back || echo "UNCOMPRESS did not give the corpus back"
  gc=$(best_of_runs sh -c "gzip -6 -c $b/mixed.bin > $b/mixed.gz")
  gd=$(best_of_runs sh -c "gzip -d -c $b/mixed.gz > $b/mixed.gunzip")
  ks=$(RUNS=$((runs * 2)) best_of_runs wine $exe "$W\\oneline.kes")
  cs=$(RUNS=$((runs * 2)) best_of_runs wine cmd /c exit)
  local bc bd bs
  if [ -n "${BEFORE:-}" ]; then  # an earlier Kestrova.exe, measured the same way
    bc=$(best_of_runs wine "$BEFORE" "$W\\compress.kes")
    bd=$(best_of_runs wine "$BEFORE" "$W\\uncompress.kes")
    bs=$(RUNS=$((runs * 2)) best_of_runs wine "$BEFORE" "$W\\oneline.kes")
  fi
  echo "COMPRESS: $(stat -c %s $b/mixed.kz) bytes; gzip -6: $(stat -c %s $b/mixed.gz) bytes; best of $runs runs," \
    "load average $(cut -d' ' -f1-3 /proc/loadavg)"
  printf '%-34s %9s %9s   %-18s %9s %9s %8s\n' "Kestrova.exe under Wine" "seconds" "MB/s" "beside" "seconds" "MB/s" "ratio"
  row() {  # label, seconds, peer label, peer seconds, with MB/s (1) or not (0)
    local r; r=$(echo "$4 / $2" | bc -l)
    if [ "$5" = 1 ]; then
      printf '%-34s %9.3f %9.1f   %-18s %9.3f %9.1f %7.2fx\n' "$1" "$2" "$(mbs "$n" "$2")" "$3" "$4" "$(mbs "$n" "$4")" "$r"
    else
      printf '%-34s %9.3f %9s   %-18s %9.3f %9s %7.2fx\n' "$1" "$2" "" "$3" "$4" "" "$r"
    fi
  }
  row "COMPRESS (whole process)" "$kc" "gzip -6" "$gc" 1
  row "UNCOMPRESS (whole process)" "$kd" "gzip -d" "$gd" 1
  row "start-up, one-line script" "$ks" "wine cmd /c exit" "$cs" 0
  row "COMPRESS, Wine waiting for a WM" "$km" "gzip -6" "$gc" 1
  if [ -n "${BEFORE:-}" ]; then
    row "COMPRESS, $BEFORE" "$bc" "gzip -6" "$gc" 1
    row "UNCOMPRESS, $BEFORE" "$bd" "gzip -d" "$gd" 1
    row "start-up, $BEFORE" "$bs" "wine cmd /c exit" "$cs" 0
  fi
  echo "(ratio: the peer's time over Kestrova's; above 1 Kestrova is faster)"
  local r
  r=$(wine build/win/bench/bench_compress.exe "$W\\mixed.bin" 2>/dev/null | tr -d '\r')
  echo "the routines alone under Wine, same corpus, best of 3:" \
    "compress $(echo "$r" | awk '$1=="compress"{print $4 " MB/s (processor " $6 ")"}'),"\
    "decompress $(echo "$r" | awk '$1=="decompress"{print $4 " MB/s (processor " $6 ")"}')"
}

# The interpreter's memory peak (VmHWM, kB) while a script runs: the Linux
# process of the Wine program whose command line names the script.
peak_of() {
  local script=$1 pid="" peak=0 v
  for _ in $(seq 1 200); do
    pid=$(pgrep -f "Kestrova.exe.*$(basename "$script")" | while read -r p; do
      [ "$(readlink "/proc/$p/exe" 2>/dev/null)" != "$(command -v timeout)" ] && echo "$p"; done | tail -1)
    [ -n "$pid" ] && break
    sleep 0.05
  done
  while [ -n "$pid" ] && kill -0 "$pid" 2>/dev/null; do
    v=$(awk '/VmHWM/{print $2}' "/proc/$pid/status" 2>/dev/null)
    [ -n "$v" ] && peak=$v
    sleep 0.1
  done
  echo "$peak"
}

bench_programs() {
  [ -f build/win/build.ninja ] || cmake -S . -B build/win -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake \
    -DCMAKE_BUILD_TYPE=Release >/dev/null
  ninja -j2 -C build/win Kestrova kesprobe kesprobew >/dev/null
  wine_up
  local bytes=${CAPTURE_BYTES:-52428800} count=${TASK_COUNT:-200}
  local probe out scratch
  probe=$(winpath "$root/build/win/kesprobe.exe")
  out=$(winpath "$root/build/bench/capture.txt")
  scratch=$(winpath "$root/build/bench/capture.tmp")
  sed 's/\r*$/\r/' bench/scripts/capture.kes > build/bench/capture.kes
  # the interpreter alone, capturing a few bytes, for its own memory
  wine build/win/Kestrova.exe "$(winpath "$root/build/bench/capture.kes"),$probe,100,$out,$scratch" </dev/null >/dev/null 2>&1 &
  local run=$! base peak t_cmd t_kes
  base=$(peak_of capture.kes)
  wait $run
  t_cmd=$(best_of_runs wine cmd.exe /c "$probe big:$bytes > $scratch")
  printf 'STDINOUT ON\r\nRUNWAIT %s big:%s\r\n' "$probe" "$bytes" > build/bench/capture_only.kes
  t_kes=$(best_of_runs wine build/win/Kestrova.exe "$(winpath "$root/build/bench/capture_only.kes")")
  wine build/win/Kestrova.exe "$(winpath "$root/build/bench/capture.kes"),$probe,$bytes,$out,$scratch" </dev/null >/dev/null 2>&1 &
  run=$!
  peak=$(peak_of capture.kes)
  wait $run
  rm -f build/bench/capture.tmp
  echo "capture of $bytes bytes ($(echo "$bytes / 80" | bc) lines of 80), timed inside one script (same launcher):"
  tr -d '\r' < build/bench/capture.txt | sed 's/^/  /'
  echo "whole processes, best of five: wine cmd.exe /c program > file $(printf %.3f "$t_cmd") s;" \
    "wine Kestrova.exe capturing $(printf %.3f "$t_kes") s; ratio $(printf %.2f "$(echo "$t_cmd / $t_kes" | bc -l)")x (goal 0.5x or more)"
  echo "memory: interpreter alone ${base} kB, peak while capturing ${peak} kB: $(echo "scale=2; ($peak - $base) * 1024 / $bytes" | bc -l)x the captured text (goal 2x or less)"
  echo
  # a program without a console: no console host beside each copy
  cp build/win/kesprobew.exe build/bench/kesbench.exe
  sed 's/\r*$/\r/' bench/scripts/tasklist.kes > build/bench/tasklist.kes
  wine build/win/Kestrova.exe "$(winpath "$root/build/bench/tasklist.kes"),$(winpath "$root/build/bench/kesbench.exe"),$count,$(winpath "$root/build/bench/tasklist.txt")" \
    </dev/null >/dev/null 2>&1 || true
  tr -d '\r' < build/bench/tasklist.txt
}

bench_check() {
  [ -f build/native/build.ninja ] || cmake -S . -B build/native -G Ninja -DKES_NATIVE=ON \
    -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
  ninja -j2 -C build/native bench_compress >/dev/null
  make_corpus
  build/native/bench/native/bench_compress --check build/bench/corpus.bin --adversarial
}

# HTTP GET throughput: Kestrova.exe under Wine beside curl, both writing the
# file to disk, best of HTTP_PASSES runs each.
bench_http() {
  [ -f build/win/build.ninja ] || cmake -S . -B build/win -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake \
    -DCMAKE_BUILD_TYPE=Release >/dev/null
  ninja -j2 -C build/win Kestrova >/dev/null
  wine_up
  local passes=${HTTP_PASSES:-5} mb=${HTTP_MB:-100}
  S=$root/build/bench/http
  rm -rf "$S"
  mkdir -p "$S"
  fail() { echo "bench: $*" >&2; }
  . ./tests/harness/net-servers.sh
  trap 'stop_net_servers; wine_session_stop' EXIT
  start_nginx >/dev/null
  local file=$NET/nginx/www/big.bin bytes
  head -c $((mb * 1024 * 1024)) /dev/urandom > "$file"
  bytes=$(stat -c %s "$file")
  local curl_t
  curl_t=$(best_of_runs curl -s -o "$S/curl.bin" "http://127.0.0.1:$NGINX_PORT/big.bin")
  cmp -s "$file" "$S/curl.bin" || echo "bench: curl's copy differs" >&2
  sed 's/$/\r/' bench/scripts/http_get.kes > "$S/http_get.kes"
  local mode t
  printf '%-34s %10s %10s %8s\n' "" "seconds" "MB/s" "ratio"
  printf '%-34s %10.3f %10s %8s\n' "curl -o file" "$curl_t" "$(mbs "$bytes" "$curl_t")" "1.00"
  for mode in OFF ON; do
    rm -f "$S/best.txt"
    wine build/win/Kestrova.exe "$(winpath "$S/http_get.kes"),127.0.0.1:$NGINX_PORT,bench.test/big.bin,$(winpath "$S/kes.bin"),$passes,$mode,$(winpath "$S/best.txt")" \
      </dev/null >/dev/null 2>&1 || true
    t=$(tr -d '\r' < "$S/best.txt" 2>/dev/null)
    cmp -s "$file" "$S/kes.bin" || echo "bench: Kestrova's copy differs" >&2
    case "$t" in
      ''|error*) echo "HTTP GET, cache $mode: ${t:-no result}" ;;
      *) printf '%-34s %10.3f %10s %7.2fx\n' "Kestrova HTTP GET, cache $mode" "$t" "$(mbs "$bytes" "$t")" \
           "$(echo "$curl_t / $t" | bc -l)" ;;
    esac
  done
  rm -rf "$WINEPREFIX/drive_c/Program Files/Harrowdale/Cache" "$S"
}

# FTP throughput: Kestrova.exe under Wine beside curl, both reading and
# writing files on disk, best of FTP_PASSES runs each. The server is the
# tests' pyftpdlib on a loopback address of its own, port 21 (needs root).
bench_ftp() {
  [ -f build/win/build.ninja ] || cmake -S . -B build/win -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake \
    -DCMAKE_BUILD_TYPE=Release >/dev/null
  ninja -j2 -C build/win Kestrova >/dev/null
  wine_up
  local passes=${FTP_PASSES:-5} mb=${FTP_MB:-50}
  S=$root/build/bench/ftp
  rm -rf "$S"
  mkdir -p "$S"
  fail() { echo "bench: $*" >&2; }
  . ./tests/harness/net-servers.sh
  trap 'stop_net_servers; wine_session_stop' EXIT
  start_ftp >/dev/null
  local R=$NET/ftp/root bytes
  head -c $((mb * 1024 * 1024)) /dev/urandom > "$R/big.bin"
  cp "$R/big.bin" "$S/local.bin"
  bytes=$(stat -c %s "$R/big.bin")
  local url="ftp://kes:secret@$FTP_ADDR"
  local curl_get curl_put
  curl_get=$(best_of_runs curl -s -o "$S/curl.bin" "$url/big.bin")
  cmp -s "$R/big.bin" "$S/curl.bin" || echo "bench: curl's download differs" >&2
  curl_put=$(best_of_runs curl -s -T "$S/local.bin" "$url/curl_up.bin")
  cmp -s "$S/local.bin" "$R/curl_up.bin" || echo "bench: curl's upload differs" >&2
  sed 's/$/\r/' bench/scripts/ftp.kes > "$S/ftp.kes"
  rm -f "$S/best.txt"
  wine build/win/Kestrova.exe "$(winpath "$S/ftp.kes"),$FTP_ADDR,big.bin,$(winpath "$S/kes.bin"),kes_up.bin,$passes,$(winpath "$S/best.txt")" \
    </dev/null >/dev/null 2>&1 || true
  local t get put
  t=$(tr -d '\r' < "$S/best.txt" 2>/dev/null)
  get=${t%% *}
  put=${t#* }
  cmp -s "$R/big.bin" "$S/kes.bin" || echo "bench: Kestrova's download differs" >&2
  cmp -s "$R/big.bin" "$R/kes_up.bin" || echo "bench: Kestrova's upload differs" >&2
  printf '%-34s %10s %10s %8s\n' "" "seconds" "MB/s" "ratio"
  printf '%-34s %10.3f %10s %8s\n' "curl download" "$curl_get" "$(mbs "$bytes" "$curl_get")" "1.00"
  case "$get" in
    ''|error*) echo "Kestrova FTPGET: ${get:-no result}" ;;
    *) printf '%-34s %10.3f %10s %7.2fx\n' "Kestrova FTPGET" "$get" "$(mbs "$bytes" "$get")" \
         "$(echo "$curl_get / $get" | bc -l)" ;;
  esac
  printf '%-34s %10.3f %10s %8s\n' "curl upload" "$curl_put" "$(mbs "$bytes" "$curl_put")" "1.00"
  case "$put" in
    ''|error*) echo "Kestrova FTPPUT: ${put:-no result}" ;;
    *) printf '%-34s %10.3f %10s %7.2fx\n' "Kestrova FTPPUT" "$put" "$(mbs "$bytes" "$put")" \
         "$(echo "$curl_put / $put" | bc -l)" ;;
  esac
  rm -rf "$S" "$R/big.bin" "$R/curl_up.bin" "$R/kes_up.bin"
}

# CREATEEXE against COMPRESS on the same 20 MB, and the start of a packaged
# executable (1 MB package, one EXIT line) against Kestrova.exe on a script
# of the same line; wall times of the whole process, best of five.
bench_package() {
  [ -f build/win/build.ninja ] || cmake -S . -B build/win -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake \
    -DCMAKE_BUILD_TYPE=Release >/dev/null
  ninja -j2 -C build/win Kestrova >/dev/null
  make_corpus >/dev/null
  local d=$root/build/bench/package mb=$((20 * 1000 * 1000))
  rm -rf "$d" && mkdir -p "$d"
  while [ "$(stat -c %s "$d/big.bin" 2>/dev/null || echo 0)" -lt $mb ]; do cat build/bench/corpus.bin >> "$d/big.bin"; done
  truncate -s $mb "$d/big.bin"
  head -c 1000000 "$d/big.bin" > "$d/one.bin"
  local D; D=$(winpath "$d")
  printf 'SET ADDONLIST1=%s\\big.bin\r\nEXIT\r\n' "$D" > "$d/big.kes"
  printf 'SET ADDONLIST1=%s\\one.bin\r\nEXIT\r\n' "$D" > "$d/one.kes"
  printf 'EXIT\r\n' > "$d/plain.kes"
  printf 'CREATEEXE %s\\big.kes,%s\\big.exe\r\n' "$D" "$D" > "$d/createexe.kes"
  printf 'COMPRESS %s\\big.bin,%s\\big.kz\r\n' "$D" "$D" > "$d/compress.kes"
  printf 'CREATEEXE %s\\one.kes,%s\\one.exe\r\n' "$D" "$D" > "$d/makeone.kes"
  wine_up
  local exe=build/win/Kestrova.exe
  wine "$exe" "$D\\makeone.kes" </dev/null >/dev/null 2>&1
  local tc tx tp tk
  tc=$(best_of_runs wine "$exe" "$D\\compress.kes")
  tx=$(best_of_runs wine "$exe" "$D\\createexe.kes")
  echo "20 MB: COMPRESS $(printf %.2f "$tc") s, CREATEEXE $(printf %.2f "$tx") s, ratio $(printf %.2f "$(echo "$tx / $tc" | bc -l)")x (goal 1.5x)"
  echo "  package $(stat -c %s "$d/big.exe") bytes, compressed file $(stat -c %s "$d/big.kz") bytes"
  tk=$(best_of_runs wine "$exe" "$D\\plain.kes")
  tp=$(best_of_runs wine "$d/one.exe")
  echo "start: plain $(printf %.3f "$tk") s, packaged with a 1 MB package $(printf %.3f "$tp") s, ratio $(printf %.2f "$(echo "$tp / $tk" | bc -l)")x (goal 1.2x)"
}

case "$what" in
  compress) bench_compress ;;
  package) bench_package ;;
  check) bench_check ;;
  assign) bench_assign ;;
  commands) bench_commands ;;
  http) bench_http ;;
  programs) bench_programs ;;
  ftp) bench_ftp ;;
  all) bench_compress; echo; bench_commands; echo; bench_assign; echo; bench_programs ;;
  *) echo "usage: scripts/bench.sh [compress|commands|assign|programs|check|package|http|ftp]" >&2; exit 2 ;;
esac
