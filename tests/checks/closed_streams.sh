#!/usr/bin/env bash
# A standard stream closed at start must never be taken by the results file.
# Usage: closed_streams.sh BINARY DATA_DIR TRANSCRIPT_DIR WORK_DIR
set -u
bin=$1 data=$2 transcripts=$3 work=$4
fail=0
prepare() {
  rm -rf "$work" && mkdir -p "$work" || exit 1
  for f in JPL_1550-2650_430t estrellas.dat nutation_IAU1980.dat delta_t.iers delta_t.dat; do
    ln -s "$data/$f" "$work/$f"
  done
}

# Standard input closed: an old results file holding answers must not be read
# as keyboard answers; the first read finds the end of input.
prepare
printf '6\n3 11 2019\n11.50\n0\n0\n' > "$work/Resultados.txt"
cp "$work/Resultados.txt" "$work/before.txt"
(cd "$work" && "$bin" <&- > screen.txt 2> stderr.txt)
status=$?
[ "$status" = 2 ] || { echo "stdin closed: exit status $status, expected 2"; fail=1; }
grep -qF "End of file" "$work/stderr.txt" || { echo "stdin closed: no end-of-file report"; fail=1; }
cmp -s "$work/before.txt" "$work/Resultados.txt" || { echo "stdin closed: results file changed"; fail=1; }
cmp -s "$transcripts/menu_end_of_input.out" "$work/screen.txt" || { echo "stdin closed: screen differs"; fail=1; }

# Standard output closed: the screen lines vanish and the results file holds
# exactly the results of the calculation.
prepare
(cd "$work" && "$bin" < "$transcripts/ecuacion_noviembre.in" >&- 2> stderr.txt)
status=$?
[ "$status" = 0 ] || { echo "stdout closed: exit status $status, expected 0"; fail=1; }
cmp -s "$transcripts/ecuacion_noviembre.res" "$work/Resultados.txt" ||
  { echo "stdout closed: results file differs:"; diff "$transcripts/ecuacion_noviembre.res" "$work/Resultados.txt" | head -20; fail=1; }

[ $fail = 0 ] && echo "closed streams ok"
exit $fail
