#!/usr/bin/env bash
# The command line: --help, --version and refused arguments, each run in an
# empty directory, where no Resultados.txt may appear.  --version's spans are
# read here from the data files themselves (od, awk, date), not from the
# program.
# Usage: command_line.sh BINARY DATA_DIR WORK_DIR VERSION
set -u
bin=$(cd "$(dirname "$1")" && pwd)/$(basename "$1") data=$(cd "$2" && pwd) work=$3 version=$4
fail=0
bad() { echo "$*"; fail=1; }

# zembrel NAME [env assignments...] -- ARGS...: runs the program in the empty
# directory WORK/NAME; NAME.out, NAME.err and the exit status in $status.
zembrel() {
  local name=$1
  shift
  local env=()
  while [ "$1" != -- ]; do env+=("$1"); shift; done
  shift
  rm -rf "$work/$name" && mkdir -p "$work/$name" || exit 1
  (cd "$work/$name" && env -u ZEMBREL_DATA "${env[@]}" "$bin" "$@" </dev/null \
     >"$work/$name.out" 2>"$work/$name.err")
  status=$?
  [ -z "$(ls -A "$work/$name")" ] || bad "$name: the directory now holds $(ls -A "$work/$name")"
}
expect_status() { [ "$status" = "$2" ] || bad "$1: exit status $status, expected $2"; }

# --help: on standard output, ASCII, lines that fit a terminal, and it names
# what a user needs.
zembrel help -- --help
expect_status help 0
[ -s "$work/help.err" ] && bad "help: error output: $(cat "$work/help.err")"
LC_ALL=C grep -n '[^ -~]' "$work/help.out" && bad "help: a character that is not printable ASCII"
awk 'length > 79 { print "help: line " NR " is " length " columns"; bad = 1 } END { exit bad }' \
  "$work/help.out" || fail=1
for text in "Uso: zembrel [--help | --version]" "entrada estandar" Resultados.txt \
  "directorio de trabajo" ZEMBREL_DATA "  0  " "  2  " "  255  " "man zembrel"; do
  grep -qF -- "$text" "$work/help.out" || bad "help lacks: $text"
done

# --version, with the data files found through ZEMBREL_DATA.
date_of_jd() { date -u -d "@$(awk -v jd="$1" 'BEGIN { printf "%.0f", (jd - 2440587.5) * 86400 }')" +%F; }
# The n-th double (from 1) of file record r (from 1) of the ephemeris.
ephemeris_value() {
  od -A n -t f8 -j $(( ($2 - 1) * 7856 + ($3 - 1) * 8 )) -N 8 "$1" | awk '{ printf "%.17g", $1 }'
}
# First and last dates and entry count of a table after H header lines.
table_span() {
  awk -v h="$2" 'NR > h && NF { d = sprintf("%04d-%02d-%02d", $1, $2, $3); if (!n++) first = d; last = d }
                 END { printf "del %s al %s, %d entradas", first, last, n }' "$1"
}
jpl=$data/JPL_1550-2650_430t
n=$(ephemeris_value "$jpl" 1 1)
first=$(ephemeris_value "$jpl" 2 $((3 * n + 1)))
last=$(ephemeris_value "$jpl" 2 $((3 * n + 2)))
iers_predicted=$(head -n 12 "$data/delta_t.iers" | grep -o 'PREDICTIONS FROM [0-9-]*' | cut -c 18-)
dat_predicted=$(awk 'NR > 1 && $7 == 4 { printf "%04d-%02d-%02d", $1, $2, $3; exit }' "$data/delta_t.dat")
{
  echo "zembrel $version"
  echo
  echo "JPL_1550-2650_430t: $data/JPL_1550-2650_430t"
  echo "  efemerides JPL DE$(ephemeris_value "$jpl" 1 2) del $(date_of_jd "$first") al $(date_of_jd "$last")"
  echo "  (JD $first a $last)"
  echo
  echo "delta_t.iers: $data/delta_t.iers"
  echo "  UT1-UTC $(table_span "$data/delta_t.iers" 12)"
  echo "  predicciones desde el $iers_predicted"
  echo
  echo "delta_t.dat: $data/delta_t.dat"
  echo "  Delta T $(table_span "$data/delta_t.dat" 1)"
  echo "  predicciones desde el $dat_predicted"
  echo
  echo "estrellas.dat: $data/estrellas.dat"
  echo
  echo "nutation_IAU1980.dat: $data/nutation_IAU1980.dat"
} >"$work/version.expected"
zembrel version ZEMBREL_DATA="$data" -- --version
expect_status version 0
cmp -s "$work/version.expected" "$work/version.out" ||
  { bad "version:"; diff "$work/version.expected" "$work/version.out"; }
[ -s "$work/version.err" ] && bad "version: error output: $(cat "$work/version.err")"

# Files missing, damaged or without predictions: said, still status 0.
odd=$work/odd-data
rm -rf "$odd" && mkdir -p "$odd" || exit 1
head -c 100 "$jpl" >"$odd/JPL_1550-2650_430t"
sed -E '5s/[0-9]+/x/' "$data/delta_t.dat" >"$odd/delta_t.dat"
head -n 14 "$data/delta_t.iers" | sed 's/PREDICTIONS FROM/predictions ending/' >"$odd/delta_t.iers"
zembrel odd ZEMBREL_DATA="$odd" -- --version
expect_status odd 0
for text in "JPL_1550-2650_430t: $odd/JPL_1550-2650_430t" "  cabecera incompleta (registro 2)" \
  "  UT1-UTC del 1962-01-01 al 1962-01-02, 2 entradas" "  sin predicciones indicadas" \
  "  entrada 4 no valida: Bad integer for item 1 in list input" \
  "estrellas.dat: no encontrado"; do
  grep -qxF -- "$text" "$work/odd.out" || { bad "version with odd files lacks: $text"; cat "$work/odd.out"; }
done

# Refused arguments: one line naming the argument and the hint, status 2,
# nothing on standard output; every argument is checked before any is done.
# refused SHOWN ARGS...: the arguments ARGS are refused, naming SHOWN.
refused() {
  local shown=$1
  shift
  zembrel refused -- "$@"
  expect_status "refused $*" 2
  printf "zembrel: argumento desconocido '%s'\nPruebe 'zembrel --help' para mas informacion.\n" "$shown" |
    cmp -s - "$work/refused.err" || { bad "refused $*:"; cat "$work/refused.err"; }
  [ -s "$work/refused.out" ] && bad "refused $*: standard output: $(cat "$work/refused.out")"
}
refused --nonsense --nonsense
refused --nonsense --help --nonsense
refused -h --version -h
refused "" ""
refused "two?lines" $'two\nlines'

# Output that cannot be written is an error, not a silent success.
(cd "$work" && "$bin" --help >/dev/full 2>"$work/full.err")
status=$?
expect_status "help to a full device" 2
grep -qF "error de escritura" "$work/full.err" || bad "help to a full device: $(cat "$work/full.err")"

[ $fail = 0 ] && echo "command line ok"
exit $fail
