#!/usr/bin/env bash
# Runs the program on one transcript: NAME.in is the keyboard, the screen must
# equal NAME.out and Resultados.txt must equal NAME.res, byte for byte.
# Optional files: NAME.pre  is copied to Resultados.txt before the run;
#                 NAME.status holds the expected exit status (default 0);
#                 NAME.err  holds text that must appear in the error report;
#                 NAME.both holds the screen and the results file as one
#                 stream in the order the records are written: a second run
#                 has Resultados.txt linked to the standard output, a pipe;
#                 NAME.right holds the same dialogue with every refused
#                 answer left out (typed right the first time): its run
#                 must give NAME.res and NAME.out without the refusals (the
#                 refusal lines, and the prompt that comes again after a
#                 refused body number or reading count).
set -u
bin=$1 data=$2 prefix=$3 work=$4
rm -rf "$work" && mkdir -p "$work" || exit 1
for f in JPL_1550-2650_430t estrellas.dat nutation_IAU1980.dat delta_t.iers delta_t.dat; do
  [ -e "$data/$f" ] && ln -s "$data/$f" "$work/$f"
done
[ -e "$prefix.pre" ] && cp "$prefix.pre" "$work/Resultados.txt"
(cd "$work" && "$bin" < "$prefix.in" > screen.txt 2> stderr.txt)
status=$?
expected=0
[ -e "$prefix.status" ] && expected=$(cat "$prefix.status")
fail=0
if [ "$status" != "$expected" ]; then
  echo "exit status $status, expected $expected"; fail=1
fi
if ! cmp -s "$prefix.out" "$work/screen.txt"; then
  echo "screen differs:"; diff "$prefix.out" "$work/screen.txt" | head -40; fail=1
fi
if [ -e "$prefix.res" ]; then
  if ! cmp -s "$prefix.res" "$work/Resultados.txt"; then
    echo "Resultados.txt differs:"; diff "$prefix.res" "$work/Resultados.txt" | head -40; fail=1
  fi
elif [ -e "$work/Resultados.txt" ]; then
  echo "Resultados.txt exists but none was expected"; fail=1
fi
if [ -e "$prefix.err" ]; then
  while IFS= read -r line; do
    grep -qF -- "$line" "$work/stderr.txt" || { echo "error report lacks: $line"; fail=1; }
  done < "$prefix.err"
fi
if [ -e "$prefix.right" ]; then
  rm -f "$work/Resultados.txt"
  [ -e "$prefix.pre" ] && cp "$prefix.pre" "$work/Resultados.txt"
  (cd "$work" && "$bin" < "$prefix.right" > right-screen.txt 2> /dev/null)
  status=$?
  [ "$status" != "$expected" ] && { echo "typed right: exit status $status, expected $expected"; fail=1; }
  if ! cmp -s "$prefix.res" "$work/Resultados.txt"; then
    echo "typed right, Resultados.txt differs:"; diff "$prefix.res" "$work/Resultados.txt" | head -40; fail=1
  fi
  awk '/^ Numero no valido: elige un astro de |^ Numero de medidas fuera de rango \(/ { again = 1; next }
       again { again = 0; next }
       /^ .* fuera de rango \(.*\): vuelva a escribir |^ Use el punto decimal, no la coma: / { next }
       { print }' "$prefix.out" > "$work/without-refusals.txt"
  if ! cmp -s "$work/without-refusals.txt" "$work/right-screen.txt"; then
    echo "typed right, the screen differs from the one without refusals:"
    diff "$work/without-refusals.txt" "$work/right-screen.txt" | head -40; fail=1
  fi
fi
if [ -e "$prefix.both" ]; then
  rm -f "$work/Resultados.txt" && ln -s /dev/stdout "$work/Resultados.txt"
  (cd "$work" && "$bin" < "$prefix.in" 2> /dev/null | cat > both.txt)
  if ! cmp -s "$prefix.both" "$work/both.txt"; then
    echo "write order differs:"; diff "$prefix.both" "$work/both.txt" | head -40; fail=1
  fi
fi
[ $fail = 0 ] && echo "transcript ok"
exit $fail
