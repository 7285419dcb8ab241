#!/usr/bin/env bash
# A run interrupted in the middle of a dialogue (Ctrl-C, SIGTERM, a crash)
# keeps in Resultados.txt every line written before the interruption.
# Usage: interrupted.sh BINARY DATA_DIR TRANSCRIPT_DIR WORK_DIR
set -u
bin=$1 data=$2 transcripts=$3 work=$4
fail=0
# The first calculation of this transcript fills the first 23 lines of its
# results file; the program then waits at "Nuevo calculo".
expected=$(head -n 23 "$transcripts/fechas_local_to_greenwich.res"; echo x)
for sig in INT TERM KILL; do
  rm -rf "$work" && mkdir -p "$work" || exit 1
  for f in JPL_1550-2650_430t estrellas.dat nutation_IAU1980.dat delta_t.iers delta_t.dat; do
    ln -s "$data/$f" "$work/$f"
  done
  mkfifo "$work/answers"
  (cd "$work" && exec "$bin" < answers > screen.txt 2> stderr.txt) &
  pid=$!
  exec 3> "$work/answers"
  printf '1\n3.30\n1\n1 1 2018\n12.00\n' >&3
  for _ in $(seq 1 200); do
    grep -q "Nuevo calculo" "$work/screen.txt" 2> /dev/null && break
    sleep 0.05
  done
  kill -s "$sig" "$pid"
  wait "$pid" 2> /dev/null
  exec 3>&-
  got=$(cat "$work/Resultados.txt"; echo x)
  if [ "$got" != "$expected" ]; then
    echo "SIG$sig: the results file lost lines:"; diff <(echo "$expected") <(echo "$got") | head -20
    fail=1
  fi
done
[ $fail = 0 ] && echo "interrupted runs keep their results"
exit $fail
