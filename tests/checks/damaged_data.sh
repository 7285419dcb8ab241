#!/usr/bin/env bash
# Each data file missing, empty, cut in the middle of a record, with a
# damaged number, and the ephemeris with a damaged header: the program stops
# with a run-time error report naming the file and exit status 2 (never a
# crash, a hang or a silent answer).  A results file that cannot be opened
# gives the report of the failed open.
# Usage: damaged_data.sh BINARY DATA_DIR WORK_DIR
set -u
bin=$1 data=$2 work=$3
files="JPL_1550-2650_430t estrellas.dat nutation_IAU1980.dat delta_t.iers delta_t.dat"
fail=0

# run NAME FILE ANSWERS DAMAGE: copies the data, applies DAMAGE (a shell
# command run in the work directory), feeds ANSWERS and checks the stop.
run() {
  local name=$1 file=$2 answers=$3 damage=$4 f
  rm -rf "$work" && mkdir -p "$work" || exit 1
  for f in $files; do cp "$data/$f" "$work/$f"; done
  (cd "$work" && eval "$damage")
  (cd "$work" && printf "$answers" | timeout 60 "$bin" > screen.txt 2> stderr.txt)
  local status=$?
  if [ "$status" != 2 ]; then
    echo "$name: exit status $status, expected 2"; fail=1
  elif ! grep -qF "$file" "$work/stderr.txt"; then
    echo "$name: the report does not name $file:"; cat "$work/stderr.txt"; fail=1
  fi
}

# Half the file and a few bytes more: the cut falls inside a record.
cut_in_half='head -c $(( $(stat -c %s F) / 2 + 7 )) F > cut && mv cut F'
# Option 6 on 3 November 2019 reads the ephemeris, the nutation series and
# both time tables.
option6='6\n3 11 2019\n11.50\n0\n0\n'
for file in nutation_IAU1980.dat delta_t.iers delta_t.dat JPL_1550-2650_430t; do
  run "missing $file" "$file" "$option6" "rm $file"
  run "empty $file" "$file" "$option6" ": > $file"
  run "cut $file" "$file" "$option6" "${cut_in_half//F/$file}"
done
# Option 2 reads the star catalogue before its opening.
run "missing estrellas.dat" estrellas.dat '2\n' "rm estrellas.dat"
run "empty estrellas.dat" estrellas.dat '2\n' ": > estrellas.dat"
run "cut estrellas.dat" estrellas.dat '2\n' "${cut_in_half//F/estrellas.dat}"
run "damaged number in estrellas.dat" estrellas.dat '2\n' "sed -i '20s/[0-9]/x/9' estrellas.dat"
# A letter in a number of an entry that is read.
run "damaged number in nutation_IAU1980.dat" nutation_IAU1980.dat "$option6" \
  "sed -i '20s/[0-9]/x/3' nutation_IAU1980.dat"
run "damaged number in delta_t.iers" delta_t.iers "$option6" "sed -i '20s/[0-9]/x/3' delta_t.iers"
run "damaged number in delta_t.dat" delta_t.dat "$option6" "sed -i '20s/[0-9]/x/3' delta_t.dat"
# poke FILE OFFSET BYTE COUNT: overwrites COUNT bytes at OFFSET with BYTE (octal).
poke() {
  local i
  for i in $(seq "$4"); do printf "\\$3"; done |
    dd of="$1" bs=1 seek="$2" conv=notrunc status=none
}
# The ephemeris is binary: a damaged value reads as not a number (all bits
# set), here in the data record of 3 November 2019 (file record 1941 of 7856
# bytes).
run "damaged number in the ephemeris" JPL_1550-2650_430t "$option6" \
  "poke JPL_1550-2650_430t $((1940 * 7856 + 800)) 377 64"
# Damaged header: an absurd body count, then a span that ends before it begins
# (record 2 of a file of 15 bodies: the span follows 45 values).
run "damaged ephemeris body count" JPL_1550-2650_430t "$option6" \
  "poke JPL_1550-2650_430t 0 377 8"
run "damaged ephemeris span" JPL_1550-2650_430t "$option6" \
  "poke JPL_1550-2650_430t $((7856 + 8 * 45)) 0 16"

# The results file cannot be opened: here a directory stands in its place.
rm -rf "$work" && mkdir -p "$work/Resultados.txt" || exit 1
(cd "$work" && printf '0\n' | timeout 60 "$bin" > screen.txt 2> stderr.txt)
status=$?
if [ "$status" != 2 ] || ! grep -qF "Resultados.txt" "$work/stderr.txt"; then
  echo "results file that cannot be opened: status $status"; cat "$work/stderr.txt"; fail=1
fi

# A read-only working directory.  Root writes anywhere, so as root the run is
# made as an unprivileged user, when the program is reachable for that user.
rm -rf "$work" && mkdir -p "$work/ro" && chmod 555 "$work/ro" || exit 1
as_user=()
if [ "$(id -u)" = 0 ] && command -v setpriv > /dev/null; then
  as_user=(setpriv --reuid=65534 --regid=65534 --clear-groups)
  "${as_user[@]}" test -x "$bin" || as_user=(skip)
fi
if [ "${as_user[0]:-}" != skip ]; then
  (cd "$work/ro" && printf '0\n' | timeout 60 "${as_user[@]}" "$bin" > ../screen.txt 2> ../stderr.txt)
  status=$?
  if [ "$status" != 2 ] || ! grep -qF "Cannot open file 'Resultados.txt'" "$work/stderr.txt"; then
    echo "read-only working directory: status $status"; cat "$work/stderr.txt"; fail=1
  fi
fi

[ $fail = 0 ] && echo "damaged data files stop with a report naming the file"
exit $fail
