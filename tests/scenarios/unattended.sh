#!/usr/bin/env bash
# Unattended mode: with /ANSWERS (or the variable ANSWERFILE) every box kind
# takes its answer from the file in order and opens no window (MAXWAIT 0: a
# box that opened would wait for good and the run would time out); each
# answer is logged with the box's caption (passwords as stars), refused
# answers are skipped, a box with no answer left is cancelled (27).
. "$(dirname "$0")/../harness/scenario-lib.sh"
mkdir -p "$S/log" "$S/dir"
W=$(winpath "$S")
cat > "$S/answers.txt" <<'EOA'
; answers for u.kes, in the order its boxes open
OK
Serveur01
secret
peut-etre
non
Beta
2,3
Gamma
x|y|z
C:\data\in.txt
C:\data
C:\out.txt
C:\out
255,0,0
Arial,10,BOLD
{ESC}
EOA
cat > "$S/u.kes" <<EOS
DIRLOG $W\\log
LOGFILE $W\\log\\u.log
MAXWAIT 0
ECHO Bonjour
ASK Nom du serveur ?
OUTPUT $W\\out.txt,ask [%ASK%]
ASK #Mot de passe
APPEND $W\\out.txt,password [%ASK%]
ANSWER oui,non
ASK Continuer ?
APPEND $W\\out.txt,mandatory [%ASK%]
ANSWER Alpha,Beta
ASKBUTTON Lequel ?
APPEND $W\\out.txt,button [%ASKBUTTON%]
ANSWER a,b,c
ASKCHECK Cochez
APPEND $W\\out.txt,check [%ASKCHECK%] %ASKCHECK1%%ASKCHECK2%%ASKCHECK3%
ANSWER Alpha,Gamma
ASKLIST Choisir
APPEND $W\\out.txt,list [%ASKLIST%]
ANSWER Nom,Prenom
ASKMULTI Remplir
APPEND $W\\out.txt,multi [%ASKMULTI%] %ASKMULTI1% %ASKMULTI2%
ASKFILE C:\\
APPEND $W\\out.txt,askfile [%ASKFILE%]
ASKDIR C:\\
APPEND $W\\out.txt,askdir [%ASKDIR%]
FILEDIALOG C:\\,*.txt,SAVE
APPEND $W\\out.txt,filedialog [%FILEDIALOG%]
DIRDIALOG C:\\
APPEND $W\\out.txt,dirdialog [%DIRDIALOG%]
COLORDIALOG
APPEND $W\\out.txt,color [%COLORDIALOG%]
FONTDIALOG
APPEND $W\\out.txt,font [%FONTDIALOG%]
ASKOK Escape ?
IF "%ASKOK%" = "%ESC%" APPEND $W\\out.txt,askok escaped
ECHOERROR Plus de reponse
IF "%ECHOERROR%" = "%ESC%" APPEND $W\\out.txt,echoerror cancelled
EOS
sed -i 's/$/\r/' "$S/u.kes" "$S/answers.txt"
timeout -k 5 60 wine "$EXE" /ANSWERS "$W\\answers.txt" "$W\\u.kes" </dev/null >"$S/console.txt" 2>>"$S/wine.log"
RC=$?
expect_eq "$RC" 0 "exit code"
expect_eq "$(content "$S/out.txt")" "ask [Serveur01]
password [secret]
mandatory [non]
button [Beta]
check [OK] 011
list [Gamma]
multi [OK] x y
askfile [C:\\data\\in.txt]
askdir [C:\\data]
filedialog [C:\\out.txt]
dirdialog [C:\\out]
color [255,0,0]
font [Arial,10,BOLD]
askok escaped
echoerror cancelled" "answers"
entries="ANSWERS ECHO [Bonjour] : OK
ANSWERS ASK [Nom du serveur ?] : Serveur01
ANSWERS ASK [Mot de passe] : ******
ANSWERS ASK [Continuer ?] : peut-etre (refused, the next answer is taken)
ANSWERS ASK [Continuer ?] : non
ANSWERS ASKBUTTON [Lequel ?] : Beta
ANSWERS ASKCHECK [Cochez] : 2,3
ANSWERS ASKLIST [Choisir] : Gamma
ANSWERS ASKMULTI [Remplir] : x|y|z
ANSWERS ASKFILE [C:\\] : C:\\data\\in.txt
ANSWERS ASKDIR [C:\\] : C:\\data
ANSWERS FILEDIALOG [C:\\] : C:\\out.txt
ANSWERS DIRDIALOG [C:\\] : C:\\out
ANSWERS COLORDIALOG [] : 255,0,0
ANSWERS FONTDIALOG [] : Arial,10,BOLD
ANSWERS ASKOK [Escape ?] : {ESC}
ANSWERS ECHOERROR [Plus de reponse] : no answer left, the box is cancelled"
expect_eq "$(content "$S/console.txt")" "$entries" "console entries"
expect_eq "$(content "$S/log/u.log" | sed -n 's/^.* > \(ANSWERS .*\)$/\1/p')" "$entries" "log entries"

# The variable ANSWERFILE does the same; a file that cannot be read leaves
# the run unattended, every box cancelled.
printf 'ASK Question\r\nOUTPUT %s\\out2.txt,[%%ASK%%]\r\n' "$W" > "$S/v.kes"
ANSWERFILE="$W\\nosuch.txt" timeout -k 5 60 wine "$EXE" "$W\\v.kes" </dev/null >"$S/console2.txt" 2>>"$S/wine.log"
expect_eq "$(content "$S/out2.txt")" "[$(printf '\033')]" "no answer file: cancelled"
expect_eq "$(content "$S/console2.txt")" "ANSWERS $W\\nosuch.txt : the file cannot be read, every box is cancelled
ANSWERS ASK [Question] : no answer left, the box is cancelled" "no answer file: entries"
finish
