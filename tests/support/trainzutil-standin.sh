#!/bin/sh
# A stand-in for the simulator's command-line utility in tests. The tests copy it to
# <folder>/bin/TrainzUtil.exe and write beside it:
#   standin-table.txt  lines "command<TAB>output": every line whose command equals the one run
#                      (ignoring case) prints its output ("status <kuid2:1:2:3>", "edit <kuid2:1:2:3>",
#                      "searchbycategory Bridges", "printconfig <kuid:1:2>" ...);
#                      "userid<TAB>N" gives the user number that generatekuid prints.
# It runs one word and its argument, or "@file" with one command a line (CR LF, quotes around an
# argument dropped). setnextcontentid sets a counter (prints "OK"), generatekuid prints
# "<KUID2:user:counter+1:0>", echo prints its argument. Each run appends its arguments to
# standin-args.log, one "arg=" line each, after a "run" line.
# KELVARN_STANDIN_MODE=hang sleeps instead of answering; =cp1252 prints "é" as the byte E9.
here=$(dirname "$0")
table="$here/standin-table.txt"
log="$here/standin-args.log"
counter=0
userid=$(grep -i "^userid	" "$table" 2>/dev/null | head -n 1 | cut -f 2)
[ -n "$userid" ] || userid=0

{
    echo "run"
    for a in "$@"; do printf 'arg=%s\n' "$a"; done
} >> "$log"

if [ "$KELVARN_STANDIN_MODE" = "hang" ]; then
    exec sleep 60
fi

# One awk run answers every command, so a lookup of 128 versions costs one process.
answer_all() {
    BATCH=$1 WORD=$2 ARG=$3 TABLE=$table awk '
function answer(w, r,    lw, key, i) {
    lw = tolower(w)
    if (lw == "setnextcontentid") { counter = r + 0; print "OK"; return }
    if (lw == "generatekuid") { counter++; printf "<KUID2:%s:%d:0>\n", user, counter; return }
    if (lw == "echo") { print r; return }
    key = tolower(w " " r)
    for (i = 1; i <= n; i++) if (keys[i] == key) print vals[i]
}
BEGIN {
    n = 0; user = ""; counter = 0
    while ((getline line < ENVIRON["TABLE"]) > 0) {
        tab = index(line, "\t")
        if (!tab) continue
        keys[++n] = tolower(substr(line, 1, tab - 1))
        vals[n] = substr(line, tab + 1)
        if (keys[n] == "userid" && user == "") user = vals[n]
    }
    if (user == "") user = 0
    if (ENVIRON["BATCH"] != "") {
        while ((getline line < ENVIRON["BATCH"]) > 0) {
            sub(/\r$/, "", line)
            word = line; rest = ""
            space = index(line, " ")
            if (space) { word = substr(line, 1, space - 1); rest = substr(line, space + 1) }
            sub(/^"/, "", rest); sub(/"$/, "", rest)
            answer(word, rest)
        }
    } else {
        answer(ENVIRON["WORD"], ENVIRON["ARG"])
    }
}'
}

run() {
    case "$1" in
        @*) answer_all "${1#@}" "" "" ;;
        *) answer_all "" "$1" "$2" ;;
    esac
}

if [ "$KELVARN_STANDIN_MODE" = "cp1252" ]; then
    utf8=$(printf '\303\251')
    latin=$(printf '\351')
    run "$@" | LC_ALL=C sed "s/$utf8/$latin/g"
else
    run "$@"
fi
