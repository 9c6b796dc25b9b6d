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

# The editor grammar's tests use the npm package vscode-tmgrammar-test
# (with vscode-textmate and the WebAssembly build of Oniguruma), which
# Debian does not package: it goes to one folder of the machine, once. The
# grammar test skips itself when it is not there (offline machine).
KES_NODE_TOOLS=/usr/local/lib/kestrova-node
node_tools() {
  [ -x "$KES_NODE_TOOLS/node_modules/.bin/vscode-tmgrammar-test" ] && return 0
  command -v npm >/dev/null 2>&1 || return 0
  exec 8>/tmp/kestrova-setup-npm.lock
  flock 8
  [ -x "$KES_NODE_TOOLS/node_modules/.bin/vscode-tmgrammar-test" ] && return 0
  $SUDO mkdir -p "$KES_NODE_TOOLS"
  if ! $SUDO npm install --silent --no-audit --no-fund --prefix "$KES_NODE_TOOLS" vscode-tmgrammar-test@0.1.3 >/dev/null 2>&1; then
    echo "setup: vscode-tmgrammar-test could not be installed (offline?); the grammar test will be skipped"
  fi
}
# nodejs and npm: Debian's packages, unless the machine has node already
if ! command -v npm >/dev/null 2>&1; then
  command -v node >/dev/null 2>&1 || missing+=(nodejs)
  missing+=(npm)
fi

if [ ${#missing[@]} -eq 0 ]; then
  node_tools
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
node_tools
