#!/usr/bin/env bash
# Installs every Debian package the build and the tests need. Idempotent: when
# everything is present already it returns in well under a second.
set -euo pipefail

PACKAGES=(
  cmake ninja-build
  g++-mingw-w64-i686-posix gcc-mingw-w64-i686-posix binutils-mingw-w64-i686 mingw-w64-i686-dev
  googletest
  wine wine32:i386
  xvfb xauth x11-utils imagemagick
  clang libclang-rt-14-dev
  procps psmisc
  nginx tinyproxy python3-pyftpdlib python3-aiosmtpd curl
  osslsigncode openssl hyperfine
  g++
  bc  # the benchmarks
)

SUDO=""
[ "$(id -u)" -ne 0 ] && SUDO="sudo"

missing=()
for p in "${PACKAGES[@]}"; do
  # dpkg-query wants the arch suffix only for foreign packages
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

# several test runs may start at once: one installer at a time
exec 9>/tmp/kestrova-setup.lock
flock 9
echo "setup: installing ${missing[*]}"
if ! dpkg --print-foreign-architectures | grep -qx i386; then
  $SUDO dpkg --add-architecture i386
fi
export DEBIAN_FRONTEND=noninteractive
# the server packages (nginx, tinyproxy) must not start their system daemons:
# the tests start their own, on 127.0.0.1 only
policy=/usr/sbin/policy-rc.d
own_policy=0
if [ ! -e "$policy" ]; then
  printf '#!/bin/sh\nexit 101\n' | $SUDO tee "$policy" >/dev/null
  $SUDO chmod +x "$policy"
  own_policy=1
fi
$SUDO apt-get update -qq
$SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
if [ "$own_policy" = 1 ]; then $SUDO rm -f "$policy"; fi
