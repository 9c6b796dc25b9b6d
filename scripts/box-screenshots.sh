#!/usr/bin/env bash
# Renders every kind of box, the trace window and the immediate window under
# Xvfb and saves one PNG screenshot each (docs/images holds the trace and
# immediate ones):
#   scripts/box-screenshots.sh [OUTDIR]     (default build/box-shots)
# Needs build/win (Kestrova.exe, boxdriver.exe) and ImageMagick's convert.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
out=${1:-$root/build/box-shots}
mkdir -p "$out"
out=$(cd "$out" && pwd)
. scripts/wine-session.sh
wine_session_start "$root/build/shotrun"
trap wine_session_stop EXIT
work=$(mktemp -d "$KES_TEST_TMP/shots.XXXXXX")
winpath() { local p; p=$(cd "$(dirname "$1")" && pwd)/$(basename "$1"); printf 'Z:%s' "${p//\//\\}"; }
mkdir -p "$work/dossier/sous"
echo a > "$work/dossier/fichier.txt"
wdir=$(winpath "$work/dossier")
{
  echo "LABEL Pied de page de la boîte"
  echo "ECHO Un message simple"
  echo "ECHOERROR Une erreur grave"
  echo "ASKOK Continuer l'installation ?"
  echo "ANSWER oui,non"
  echo "ASK Votre réponse ?"
  echo "ANSWER"
  echo "ASK #Mot de passe"
  echo "ANSWER un,deux,trois,quatre,cinq,six,sept,huit,neuf"
  echo "ASKBUTTON Choisissez un bouton"
  echo "ANSWER i1,i2,i3,i4,i5,i6,i7,i8,i9,i10,i11,i12,i13,i14,i15,i16,i17"
  echo "BUTTONSELECT Tout,Rien"
  echo "ASKCHECK Cochez les composants"
  echo "ASKLIST Choisissez une ligne"
  echo "ANSWER Nom|Taille|Date,a.txt|12|2003,b.txt|7|2004,c.txt|1500|2005"
  echo "ASKFORMAT Fichiers en colonnes"
  echo "ANSWER Nom,Prénom,Ville"
  echo "ASKMULTI Identité"
  echo "ASKFILE $wdir"
  echo "ASKDIR $wdir"
  echo "SHOW première ligne,deuxième ligne"
  echo "GAUGE 50,200,%,Copie des fichiers"
  echo "ECHO La jauge est en haut à droite"
  echo "POPUP OFF"
  echo "ANSWER pomme,poire,prune"
  echo "CHOICE 20,20,Choix"
  echo "ECHO La fenêtre de choix"
  echo "CHOICE OFF"
  echo "ECHO Le bouton © ouvre la boîte A propos de"
} | iconv -f UTF-8 -t CP1252 | sed 's/$/\r/' > "$work/shots.kes"
steps=()
for n in echo echoerror askok ask password askbutton askcheck asklist askformat askmulti askfile askdir show; do
  steps+=(wait "shot:$(winpath "$out")\\$n.bmp" key:0:ESC gone:5)
done
steps+=(wait wait:Kestrova "shot:$(winpath "$out")\\gauge.bmp" wait key:0:ESC gone:5)
steps+=(wait:Choix "shot:$(winpath "$out")\\choice.bmp" wait key:0:ESC gone:5)
steps+=(wait click:101 "wait:A propos de*" "shot:$(winpath "$out")\\about.bmp" click:2 gone:5 wait key:0:ESC gone:5)
wine "$root/build/win/Kestrova.exe" "$(winpath "$work/shots.kes")" </dev/null >"$work/wine.log" 2>&1 &
kpid=$!
wine "$root/build/win/boxdriver.exe" "$(winpath "$work/driver.txt")" "${steps[@]}" </dev/null >>"$work/wine.log" 2>&1 || true
wait $kpid || true
cat "$work/driver.txt" 2>/dev/null || true

# The trace window, stepping inside a sub, and the immediate window.
{
  echo "DIRIMM $(winpath "$work")"
  echo "SET TARGET=$wdir"
  echo "LET TAB=ASCII 9"
  echo "TRACE ON"
  echo "SET COUNT=3"
  echo "IF EXIST %TARGET%\\fichier.txt THEN SET FOUND=1"
  echo "CALLSUB COPYALL,%TARGET%"
  echo "IMMEDIATE"
  echo "EXIT"
  echo "SUB COPYALL"
  echo "SETLOCAL DEST=%ARG1%"
  echo "COPY absent.txt,%DEST%"
  echo "DIR %DEST%"
  echo "ENDSUB"
} | iconv -f UTF-8 -t CP1252 | sed 's/$/\r/' > "$work/trace.kes"
steps=("wait:Kestrova TRACE" click:201 sleep:300 click:201 sleep:300 click:201 sleep:300 click:201 sleep:300
       click:201 sleep:300 click:300 sleep:300 "shot:$(winpath "$out")\\trace.bmp" click:205
       "wait:Kestrova IMMEDIATE" "type:2001:REGKEYGET HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion,CurrentVersion"
       key:2001:ENTER sleep:500 "type:2001:SET N=%COUNT%" key:2001:ENTER sleep:300
       "type:2001:DIR %TARGET%" key:2001:ENTER sleep:500 "type:2001:COPY x.txt,Q:\\" key:2001:ENTER sleep:500
       "type:2001:LEN %TARGET%" "shot:$(winpath "$out")\\immediate.bmp" click:2010 gone:5)
wine "$root/build/win/Kestrova.exe" "$(winpath "$work/trace.kes")" </dev/null >"$work/wine.log" 2>&1 &
kpid=$!
wine "$root/build/win/boxdriver.exe" "$(winpath "$work/driver2.txt")" "${steps[@]}" </dev/null >>"$work/wine.log" 2>&1 || true
wait $kpid || true
cat "$work/driver2.txt" 2>/dev/null || true
for b in "$out"/*.bmp; do
  [ -f "$b" ] || continue
  convert "$b" "${b%.bmp}.png" && rm -f "$b"
done
rm -rf "$work"
ls "$out"
