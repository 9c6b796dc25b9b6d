#!/usr/bin/env bash
# System information against what Linux says of the machine Wine runs on:
# drive sizes, memory, processor, network adapters (also through the
# IPCONFIG /ALL way, forced by KES_TEST_NETHARD=ipconfig), local addresses;
# SYSTEM VER on each Windows version Wine reports (a copy of the interpreter
# with its own AppDefaults, so other tests keep their version); EXITWINDOWS
# through its test switch (KES_TEST_EXITWINDOWS=file: the flags are written
# there instead of calling ExitWindowsEx); SOUNDWAIT with and without a
# sound device (ALSA's null device).
. "$(dirname "$0")/../harness/scenario-lib.sh"
export KTEST_OUT=$(winpath "$S/out.txt")
# value NAME: the line NAME=... of the output
value() { tr -d '\r' < "$S/out.txt" | sed -n "s/^$1=//p" | head -1; }
# within A B TOLERANCE
within() { local d=$(( $1 - $2 )); [ "${d#-}" -le "$3" ]; }

# ---- drives, memory, processor: one run, compared with df, /proc and /sys
cat > "$S/machine.kes" <<'EOS'
OUTPUT %KTEST_OUT%,start
SYSTEM VOLC
APPEND %KTEST_OUT%,VOLC=%SYSTEM%
DRIVESIZE C
APPEND %KTEST_OUT%,DRIVESIZE=%DRIVESIZE%
FREE C:
APPEND %KTEST_OUT%,FREE=%FREE%
DRIVEFREE C
APPEND %KTEST_OUT%,DRIVEFREE=%DRIVEFREE%
SYSTEM TOTALPHYMEM
APPEND %KTEST_OUT%,TOTALPHYMEM=%SYSTEM%
SYSTEM TOTALVIRMEM
APPEND %KTEST_OUT%,TOTALVIRMEM=%SYSTEM%
SYSTEM CPU
APPEND %KTEST_OUT%,CPU=%SYSTEM%
SYSTEM FREQUENCY
APPEND %KTEST_OUT%,FREQUENCY=%SYSTEM%
NETHARD
APPEND %KTEST_OUT%,NETHARD=%NETHARD%
APPEND %KTEST_OUT%,NETHARD1=%NETHARD1%
APPEND %KTEST_OUT%,NETHARD2=%NETHARD2%
APPEND %KTEST_OUT%,NETHARD3=%NETHARD3%
APPEND %KTEST_OUT%,NETHARD4=%NETHARD4%
APPEND %KTEST_OUT%,NETHARD5=%NETHARD5%
APPEND %KTEST_OUT%,NETHARD6=%NETHARD6%
TCPIPLIST
APPEND %KTEST_OUT%,NTCPIPLIST=%NTCPIPLIST%
APPEND %KTEST_OUT%,TCPIPLIST1=%TCPIPLIST1%
APPEND %KTEST_OUT%,TCPIPLIST2=%TCPIPLIST2%
APPEND %KTEST_OUT%,TCPIPLIST3=%TCPIPLIST3%
EOS
run_kes "$(winpath "$S/machine.kes")"
expect_eq "$RC" 0 "machine run"
c=$(cd "$WINEPREFIX/drive_c" && pwd -P)
size=$(( $(stat -f -c "%b * %S" "$c") ))
expect_eq "$(value VOLC)" "$size" "SYSTEM VOLC = df size"
expect_eq "$(value DRIVESIZE)" "$(( (size + 524288) / 1048576 ))" "DRIVESIZE = size / 1024 / 1024"
# free space moves while other tests write: 1 GB of play
avail=$(( $(stat -f -c "%a * %S" "$c") ))
within "$(value FREE)" "$avail" 1073741824 || fail "FREE $(value FREE), df says $avail"
within "$(value DRIVEFREE)" "$(( avail / 1048576 ))" 1024 || fail "DRIVEFREE $(value DRIVEFREE), df says $avail bytes"
# Wine counts memory in pages: one megabyte of play
mem=$(sed -n 's/^MemTotal: *\([0-9]*\) kB/\1/p' /proc/meminfo)
within "$(value TOTALPHYMEM)" "$mem" 1024 || fail "TOTALPHYMEM $(value TOTALPHYMEM), /proc/meminfo $mem"
# a 32-bit program without the large-address flag: 2 GB less the first and
# last 64 KB
expect_eq "$(value TOTALVIRMEM)" 2097024 "TOTALVIRMEM"

# processor: vendor (or the Intel name table), number, signature
vendor=$(sed -n 's/^vendor_id\s*: //p' /proc/cpuinfo | head -1)
family=$(sed -n 's/^cpu family\s*: //p' /proc/cpuinfo | head -1)
model=$(sed -n 's/^model\s*: //p' /proc/cpuinfo | head -1)
stepping=$(sed -n 's/^stepping\s*: //p' /proc/cpuinfo | head -1)
cpus=$(getconf _NPROCESSORS_ONLN)
basefamily=$family extfamily=0
[ "$family" -ge 15 ] && basefamily=15 extfamily=$((family - 15))
signature=$(printf '%04X-%04X' $(( (extfamily << 4) | (model >> 4) )) $(( (basefamily << 8) | ((model & 15) << 4) | stepping )))
names=$vendor
if [ "$vendor" = GenuineIntel ]; then
  case "$basefamily/$((model & 15))" in
    3/* | 4/*) names="${basefamily}86" ;;
    5/1 | 5/2 | 5/3) names=Pentium ;;
    5/4) names="Pentium MMX" ;;
    6/1) names="Intel Pentium Pro" ;;
    6/3) names="Intel Pentium II" ;;
    6/5) names="Intel Celeron|Intel Pentium II" ;;  # by the cache descriptor
    6/6) names="Intel Celeron" ;;
    6/7 | 6/8) names="Intel Celeron|Intel Pentium III" ;;
    6/10) names="Intel Pentium III" ;;
    *) names="Intel " ;;
  esac
fi
cpu=$(value CPU)
name=${cpu%%,*}
case "|$names|" in *"|$name|"*) ;; *) fail "CPU name [$name], expected one of [$names]" ;; esac
rest=${cpu#*,}
expect_eq "${rest%%,*}" "$cpus" "CPU count"
serial=${rest#*,}
expect_eq "${serial:0:9}" "$signature" "CPU serial starts with the signature"
[[ "$serial" =~ ^([0-9A-F]{4}-){5}[0-9A-F]{4}$ ]] || fail "CPU serial [$serial]"
# the clock within a factor of two of what Linux reports (a busy machine
# stretches the measurement)
mhz=$(sed -n 's/^cpu MHz\s*: \([0-9]*\).*/\1/p' /proc/cpuinfo | head -1)
freq=$(value FREQUENCY)
if [ -n "$mhz" ]; then
  [ "$freq" -ge $((mhz / 2)) ] && [ "$freq" -le $((mhz * 2)) ] || fail "FREQUENCY $freq, cpu MHz $mhz"
fi

# adapters: every interface but the loopback, with its type and hardware
# address, and its IPv4 address and mask first in the address part
mask_of() { local n=$1 m=() i; for i in 1 2 3 4; do
  if [ "$n" -ge 8 ]; then m+=(255); n=$((n - 8)); else m+=($(( (256 - (1 << (8 - n))) & 255 ))); n=0; fi; done
  local IFS=.; echo "${m[*]}"; }
count=0
declare -A records=()
for i in $(seq 1 6); do r=$(value "NETHARD$i"); [ -n "$r" ] && records[${r%%,*}]=$r; done
for dev in /sys/class/net/*; do
  n=$(basename "$dev")
  [ "$(cat "$dev/type")" = 772 ] && continue  # loopback
  count=$((count + 1))
  type=""; [ "$(cat "$dev/type")" = 1 ] && type="Ethernet,"
  mac=$(tr 'a-f:' 'A-F-' < "$dev/address")
  want="$n,$type$mac"
  r=${records[$n]:-}
  case "$r" in "$want",* | "$want") ;; *) fail "NETHARD for $n: [$r], expected [$want,...]" ;; esac
  a=$(ip -4 -o addr show dev "$n" | awk '{print $4; exit}')
  if [ -n "$a" ]; then
    case "$r" in "$want,${a%/*},$(mask_of "${a#*/}"),"*) ;; *) fail "NETHARD address of $n: [$r], expected ${a%/*},$(mask_of "${a#*/}")" ;; esac
  fi
done
expect_eq "$(value NETHARD)" "$count" "NETHARD count"

# local addresses: the IPv4 addresses of the interfaces but the loopback
want=$(ip -4 -o addr | awk '$2 != "lo" {sub(/\/.*/, "", $4); print $4}' | sort)
got=$(for i in 1 2 3; do value "TCPIPLIST$i"; done | sed '/^$/d' | sort)
expect_eq "$got" "$want" "TCPIPLIST addresses"
expect_eq "$(value NTCPIPLIST)" "$(echo "$want" | sed '/^$/d' | wc -l)" "NTCPIPLIST"

# ---- NETHARD the IPCONFIG /ALL way: the records read from what IPCONFIG
# prints (after its first 16 lines, a record at the 5th line of an adapter)
wine ipconfig /all </dev/null 2>/dev/null | tr -d '\r' > "$S/ipconfig.txt"
want=$(awk 'NR > 16 && index($0, ":") {
    n = split($0, f, ":"); v = f[2]; gsub(/^[ \t]+|[ \t]+$/, "", v)
    if (v == "") { t = f[1]; sub(/ .*/, "", t); k = 1; next }
    k++
    if (k == 2) d = v; else if (k == 3) h = v
    else if (k == 5) { r = d "," t "," h "," v; while (r ~ /,,/) gsub(/,,/, ",", r); print r }
  }' "$S/ipconfig.txt")
cat > "$S/ipconfig.kes" <<'EOS'
NETHARD
OUTPUT %KTEST_OUT%,NETHARD=%NETHARD%
APPEND %KTEST_OUT%,%NETHARD1%
APPEND %KTEST_OUT%,%NETHARD2%
APPEND %KTEST_OUT%,%NETHARD3%
EOS
KES_TEST_NETHARD=ipconfig run_kes "$(winpath "$S/ipconfig.kes")"
expect_eq "$(value NETHARD)" "$(echo "$want" | sed '/^$/d' | wc -l)" "NETHARD by IPCONFIG: count"
expect_eq "$(content "$S/out.txt" | sed 1d | sed '/^$/d')" "$want" "NETHARD by IPCONFIG: records"

# ---- EXITWINDOWS: the flags it would pass (force 4, log off 0, power off 8,
# restart 2), then the program ends with 0 and nothing after it runs
exitwindows() {
  printf 'OUTPUT %%KTEST_OUT%%,before\r\nEXITWINDOWS %s\r\nOUTPUT %%KTEST_OUT%%,after\r\n' "$1" > "$S/ew.kes"
  rm -f "$S/flags.txt"
  KES_TEST_EXITWINDOWS=$(winpath "$S/flags.txt") run_kes "$(winpath "$S/ew.kes")"
  expect_eq "$RC $(content "$S/out.txt")" "0 before" "EXITWINDOWS $1 ends the program"
  expect_eq "$(content "$S/flags.txt")" "$2" "EXITWINDOWS $1 flags"
}
exitwindows "" "4 SeShutdownPrivilege"
exitwindows "off " "12 SeShutdownPrivilege"
exitwindows "BOOT" "6 SeShutdownPrivilege"
exitwindows "LATER" "4 SeShutdownPrivilege"

# ---- SYSTEM VER and PLATEFORM on each version; the 9x line (Windows 98,
# whose start waits for a shell window Wine does not show) also has the
# BIOS key of its own, the BIOS dump, no PING, and a restart that shuts down
name="KesVer$$.exe"
cp "$EXE" "$S/$name"
key="HKCU\\Software\\Wine\\AppDefaults\\$name"
printf 'SYSTEM VER\r\nOUTPUT %%KTEST_OUT%%,%%SYSTEM%%\r\nSYSTEM PLATEFORM\r\nAPPEND %%KTEST_OUT%%,%%SYSTEM%%\r\n' > "$S/ver.kes"
for v in "winxp 5.1(2600)" "win2k 5.0(2195)" "win2003 5.2(3790)" "nt40 4.0(1381)"; do
  wine reg add "$key" /v Version /d "${v% *}" /f </dev/null >/dev/null 2>&1
  rm -f "$S/out.txt"
  timeout -k 5 60 wine "$S/$name" "$(winpath "$S/ver.kes")" </dev/null >>"$S/wine.log" 2>&1
  expect_eq "$(content "$S/out.txt" | tr '\n' ' ')" "${v#* } Windows_NT " "SYSTEM VER on ${v% *}"
done
wine reg add "$key" /v Version /d win98 /f </dev/null >/dev/null 2>&1
bioskey='HKLM\Enum\Root\*PNP0C01\0000'
wine reg add "$bioskey" /v BIOSNAME /d "" /f </dev/null >/dev/null 2>&1
wine reg add "$bioskey" /v BIOSVERSION /d "KES 98 BIOS" /f </dev/null >/dev/null 2>&1
wine reg add "$bioskey" /v BIOSDATE /d "12/08/98" /f </dev/null >/dev/null 2>&1
cat > "$S/w98.kes" <<'EOS'
SYSTEM VER
OUTPUT %KTEST_OUT%,VER=%SYSTEM%
SYSTEM PLATEFORM
APPEND %KTEST_OUT%,PLATEFORM=%SYSTEM%
SYSTEM BIOS
APPEND %KTEST_OUT%,BIOS=%SYSTEM%
SYSTEM BIOSDUMP
APPEND %KTEST_OUT%,BIOSDUMP none=%ERROR%
SYSTEM BIOSDUMP,EFFFF
APPEND %KTEST_OUT%,BIOSDUMP low=%ERROR%
SYSTEM BIOSDUMP,100000
APPEND %KTEST_OUT%,BIOSDUMP high=%ERROR%
SYSTEM BIOSDUMP,FFFF0,100
APPEND %KTEST_OUT%,BIOSDUMP end=%ERROR% [%SYSTEM%]
SYSTEM BIOSDUMP,f0000
LEN %SYSTEM%
APPEND %KTEST_OUT%,BIOSDUMP default=%ERROR% %LEN%
SET PING=unchanged
PING 127.0.0.1
APPEND %KTEST_OUT%,PING=%PING% %ERROR%
EXITWINDOWS BOOT
EOS
rm -f "$S/out.txt" "$S/flags.txt"
KES_TEST_EXITWINDOWS=$(winpath "$S/flags.txt") timeout -k 5 90 wine "$S/$name" "$(winpath "$S/w98.kes")" </dev/null >>"$S/wine.log" 2>&1
wine reg delete "$key" /f </dev/null >/dev/null 2>&1
wine reg delete 'HKLM\Enum\Root\*PNP0C01' /f </dev/null >/dev/null 2>&1
expect_eq "$(value VER)" "4.10(2222)" "SYSTEM VER on win98"
expect_eq "$(value PLATEFORM)" "Windows_98" "SYSTEM PLATEFORM on win98"
expect_eq "$(value BIOS)" "KES 98 BIOS,12/08/98" "SYSTEM BIOS on win98"
expect_eq "$(value 'BIOSDUMP none')" 1 "BIOSDUMP without address"
expect_eq "$(value 'BIOSDUMP low')" 1 "BIOSDUMP below F0000"
expect_eq "$(value 'BIOSDUMP high')" 1 "BIOSDUMP above FFFFF"
# Wine's BIOS area as Windows 98 (its date at FFFF5): the 16 bytes left
# before the end of the first megabyte, whatever the length asked
expect_eq "$(value 'BIOSDUMP end')" "0 [.....13/01/99...]" "BIOSDUMP at FFFF0"
expect_eq "$(value 'BIOSDUMP default')" "0 16384" "BIOSDUMP without length"
expect_eq "$(value PING)" "unchanged 0" "PING does nothing on win98"
expect_eq "$(content "$S/flags.txt")" "7" "EXITWINDOWS BOOT on win98: restart and shut down"

# ---- sounds: a one-second wave file; without a sound device SOUNDWAIT
# fails with 5; ALSA's null device takes it (faster than real time: the
# device has no clock, so how long SOUNDWAIT waits is not measured here)
/usr/bin/python3 - "$S/beep.wav" <<'EOP'
import sys, wave
w = wave.open(sys.argv[1], "wb")
w.setnchannels(1); w.setsampwidth(1); w.setframerate(8000)
w.writeframes(bytes(128 + (40 if (i // 8) % 2 else -40) for i in range(8000)))
w.close()
EOP
B=$(winpath "$S/beep.wav")
cat > "$S/sound.kes" <<EOS
SOUNDWAIT $B
OUTPUT %KTEST_OUT%,wait=%ERROR%
SOUND $B
APPEND %KTEST_OUT%,async=%ERROR%
EOS
printf 'pcm.!default { type null }\n' > "$S/alsa.conf"
ALSA_CONFIG_PATH="$S/alsa.conf" run_kes "$(winpath "$S/sound.kes")"
expect_eq "$(content "$S/out.txt" | tr '\n' ' ')" "wait=0 async=0 " "SOUNDWAIT with a device"
printf 'pcm.!default { type hw card 99 }\n' > "$S/alsa.conf"
printf 'SOUNDWAIT %s\r\nOUTPUT %%KTEST_OUT%%,%%ERROR%%\r\n' "$B" > "$S/nosound.kes"
ALSA_CONFIG_PATH="$S/alsa.conf" run_kes "$(winpath "$S/nosound.kes")"
expect_eq "$(content "$S/out.txt")" 5 "SOUNDWAIT without a sound device"
finish
