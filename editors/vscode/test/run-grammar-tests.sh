#!/bin/sh
# Runs the grammar tests (editors/vscode/test/*.kes: each line of the test
# file followed by comment lines that name the scopes expected under their
# carets) with vscode-tmgrammar-test, which scripts/setup.sh installs from
# npm. Without it (an offline machine) the test is skipped (exit 77).
cd "$(dirname "$0")/.." || exit 1
tool=/usr/local/lib/kestrova-node/node_modules/.bin/vscode-tmgrammar-test
[ -x "$tool" ] || tool=$(command -v vscode-tmgrammar-test) || { echo "vscode-tmgrammar-test is not installed: skipped"; exit 77; }
command -v node >/dev/null 2>&1 || { echo "node is not installed: skipped"; exit 77; }
exec "$tool" --compact -g syntaxes/kestrova.tmLanguage.json 'test/*.kes'
