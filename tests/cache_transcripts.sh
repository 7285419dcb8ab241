#!/usr/bin/env bash
# Runs every transcript twice, with the caches on and with ZEMBREL_NO_CACHE=1,
# each in a fresh directory holding the data files, and compares the two runs
# byte for byte: screen, Resultados.txt, standard error and exit status.
set -u
bin=$1 data=$2 transcripts=$3 work=$4
fail=0
run() {  # run PREFIX DIR [env assignments...]
  local prefix=$1 dir=$2
  shift 2
  rm -rf "$dir" && mkdir -p "$dir" || exit 1
  for f in JPL_1550-2650_430t estrellas.dat nutation_IAU1980.dat delta_t.iers delta_t.dat; do
    [ -e "$data/$f" ] && ln -s "$data/$f" "$dir/$f"
  done
  [ -e "$prefix.pre" ] && cp "$prefix.pre" "$dir/Resultados.txt"
  (cd "$dir" && env "$@" "$bin" < "$prefix.in" > screen.txt 2> stderr.txt; echo $? > status.txt)
}
count=0
for input in "$transcripts"/*.in; do
  name=$(basename "$input" .in)
  prefix=$transcripts/$name
  run "$prefix" "$work/$name.on" ZEMBREL_NO_CACHE=
  run "$prefix" "$work/$name.off" ZEMBREL_NO_CACHE=1
  for f in screen.txt Resultados.txt stderr.txt status.txt; do
    a=$work/$name.on/$f b=$work/$name.off/$f
    if [ -e "$a" ] || [ -e "$b" ]; then
      if ! cmp -s "$a" "$b"; then
        echo "$name: $f differs with the caches off"; diff "$a" "$b" | head -20; fail=1
      fi
    fi
  done
  count=$((count + 1))
done
[ $count -gt 0 ] || { echo "no transcripts"; exit 1; }
[ $fail = 0 ] && echo "$count transcripts alike with the caches on and off"
exit $fail
