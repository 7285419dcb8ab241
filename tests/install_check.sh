#!/usr/bin/env bash
# Checks of the installed program, run by ctest in this order:
#   install_check.sh setup SRC WORK [cmake options...]
#       configures a build of SRC in WORK/build for the prefix WORK/prefix,
#       runs "make install" into DESTDIR=WORK/stage, checks what was staged and
#       moves it into place at WORK/prefix, as a package would be unpacked;
#   install_check.sh any-dir WORK BIN DATA
#       the installed program, started in an empty directory, gives what BIN
#       gives in a directory holding the data files of DATA;
#   install_check.sh override WORK
#       a file in the working directory wins over ZEMBREL_DATA, and both win
#       over the installed data;
#   install_check.sh missing WORK
#       a data file found nowhere stops the program naming every place looked
#       in (removes an installed data file: runs last);
#   install_check.sh manual SRC
#       the manual page renders without a groff warning;
#   install_check.sh package BUILD SRC WORK VERSION BIN [lintian]
#       CPack makes the Debian package of the build tree BUILD; its file list,
#       control fields and files are checked, and the program unpacked from it
#       with dpkg-deb -x, run with its unpacked data, gives what BIN gives
#       (lintian too, when asked and installed).  Skipped without dpkg-deb.
set -u
mode=$1
shift
files="JPL_1550-2650_430t estrellas.dat nutation_IAU1980.dat delta_t.iers delta_t.dat"
# One date for option 6, then back to the menu and out.
answers=$'6\n12 2 2020\n12.05\n0\n0\n'
fail=0
bad() { echo "$*"; fail=1; }

# run DIR [env assignments...]: the installed program in DIR with the answers,
# ZEMBREL_DATA unset unless given; screen to DIR.screen, stderr to DIR.err.
run() {
  local dir=$1
  shift
  (cd "$dir" && env -u ZEMBREL_DATA "$@" "$prefix/bin/zembrel" <<<"$answers" >"$dir.screen" 2>"$dir.err")
}

# fresh DIR: an empty directory.
fresh() { rm -rf "$1" && mkdir -p "$1"; }

# same_as BIN DATA WORK [env assignments...]: the installed program started in
# the empty directory WORK/empty gives the screen and Resultados.txt that BIN
# gives in WORK/with-data, a directory holding the data files of DATA.
same_as() {
  local bin=$1 data=$2 work=$3 f
  shift 3
  fresh "$work/empty" && fresh "$work/with-data"
  for f in $files; do ln -s "$data/$f" "$work/with-data/$f"; done
  run "$work/empty" "$@" || bad "installed program in an empty directory: exit status $?"
  (cd "$work/with-data" && env -u ZEMBREL_DATA "$bin" <<<"$answers" >"$work/with-data.screen" 2>"$work/with-data.err") ||
    bad "program in the data directory: exit status $?"
  grep -q "D_t = TT-UT1" "$work/with-data.screen" || bad "no equation-of-time result on the screen"
  cmp -s "$work/empty.screen" "$work/with-data.screen" ||
    { bad "screens differ:"; diff "$work/with-data.screen" "$work/empty.screen" | head -20; }
  cmp -s "$work/empty/Resultados.txt" "$work/with-data/Resultados.txt" || bad "Resultados.txt differ"
  [ "$(ls -A "$work/empty")" = "Resultados.txt" ] || bad "empty directory now holds: $(ls -A "$work/empty")"
  [ -s "$work/empty.err" ] && { bad "error output:"; cat "$work/empty.err"; }
}

case $mode in
setup)
  src=$1 work=$2
  shift 2
  prefix=$work/prefix stage=$work/stage
  rm -rf "$prefix" "$stage"
  mkdir -p "$work" || exit 1
  # Run from ctest, possibly under make: nothing of the caller's make or
  # install settings reaches this build.
  unset MAKEFLAGS MAKELEVEL MFLAGS DESTDIR PREFIX
  cmake -S "$src" -B "$work/build" -DCMAKE_INSTALL_PREFIX="$prefix" -DZEMBREL_TESTS=OFF "$@" >"$work/configure.log" 2>&1 ||
    { cat "$work/configure.log"; exit 1; }
  make -C "$src" install BUILD="$work/build" PREFIX="$prefix" DESTDIR="$stage" JOBS=2 \
    >"$work/install.log" 2>&1 || { tail -40 "$work/install.log"; exit 1; }
  [ -e "$prefix" ] && bad "installed outside DESTDIR: $prefix exists"
  staged=$stage$prefix
  [ -x "$staged/bin/zembrel" ] || bad "no executable $staged/bin/zembrel"
  for f in $files; do
    cmp -s "$src/data/$f" "$staged/share/zembrel/$f" || bad "share/zembrel/$f missing or different"
  done
  cmp -s "$src/zembrel.1" "$staged/share/man/man1/zembrel.1" || bad "share/man/man1/zembrel.1 missing or different"
  mv "$staged" "$prefix" || exit 1
  ;;
any-dir)
  work=$1 bin=$2 data=$3
  prefix=$work/prefix
  same_as "$bin" "$data" "$work"
  ;;
override)
  work=$1
  prefix=$work/prefix
  installed=$prefix/share/zembrel/delta_t.iers
  warning="ATENCION: utilizando delta_t.iers mass alla de su    rango"
  # A UT1 - UTC table that ends in January 1962: a 2020 date lies after it.
  fresh "$work/short"
  head -n 14 "$installed" >"$work/short/delta_t.iers"
  fresh "$work/plain" && fresh "$work/local" && fresh "$work/env" && fresh "$work/both"
  cp "$work/short/delta_t.iers" "$work/local/"
  cp "$installed" "$work/both/"
  run "$work/plain" && run "$work/local" && run "$work/env" ZEMBREL_DATA="$work/short" &&
    run "$work/both" ZEMBREL_DATA="$work/short" || bad "a run failed with exit status $?"
  grep -qF "$warning" "$work/plain.screen" && bad "installed table: warning shown"
  grep -qF "$warning" "$work/local.screen" || bad "local table not used"
  grep -qF "$warning" "$work/env.screen" || bad "ZEMBREL_DATA table not used"
  grep -qF "$warning" "$work/both.screen" && bad "ZEMBREL_DATA table used over the local one"
  cmp -s "$work/plain.screen" "$work/both.screen" || bad "local copy of the installed table changes the screen"
  ;;
missing)
  work=$1
  prefix=$work/prefix
  rm -f "$prefix/share/zembrel/nutation_IAU1980.dat"
  fresh "$work/nowhere" && fresh "$work/elsewhere"
  run "$work/nowhere" ZEMBREL_DATA="$work/elsewhere"
  status=$?
  [ $status = 2 ] || bad "exit status $status, expected 2"
  cwd=$(cd "$work/nowhere" && pwd -P)
  for text in "data file nutation_IAU1980.dat not found" "$cwd/nutation_IAU1980.dat" \
    "$work/elsewhere/nutation_IAU1980.dat" "$prefix/share/zembrel/nutation_IAU1980.dat"; do
    grep -qF -- "$text" "$work/nowhere.err" || bad "error report lacks: $text"
  done
  [ $fail = 0 ] || cat "$work/nowhere.err"
  ;;
manual)
  src=$1
  command -v groff >/dev/null || { echo "groff not installed"; exit 77; }
  out=$(groff -ww -man -Tutf8 -z "$src/zembrel.1" 2>&1) || bad "groff failed"
  [ -z "$out" ] || bad "groff: $out"
  ;;
package)
  build=$1 src=$2 work=$3 version=$4 bin=$5 lint=${6:-}
  command -v dpkg-deb >/dev/null || { echo "dpkg-deb not installed"; exit 77; }
  fresh "$work" || exit 1
  unset MAKEFLAGS MAKELEVEL MFLAGS DESTDIR
  cpack --config "$build/CPackConfig.cmake" -B "$work/cpack" >"$work/cpack.log" 2>&1 ||
    { tail -40 "$work/cpack.log"; exit 1; }
  deb=$work/cpack/zembrel_${version}_$(dpkg --print-architecture).deb
  [ -f "$deb" ] || { bad "no $deb:"; ls "$work/cpack"; exit 1; }
  # Every path, directories included, and nothing else.
  expected="./usr/ ./usr/bin/ ./usr/bin/zembrel ./usr/share/ ./usr/share/doc/ ./usr/share/doc/zembrel/
    ./usr/share/doc/zembrel/changelog.gz ./usr/share/doc/zembrel/copyright ./usr/share/man/
    ./usr/share/man/man1/ ./usr/share/man/man1/zembrel.1.gz ./usr/share/zembrel/"
  for f in $files; do expected="$expected ./usr/share/zembrel/$f"; done
  listed=$(dpkg-deb -c "$deb" | awk '{print $6}' | sort)
  [ "$listed" = "$(printf '%s\n' $expected | sort)" ] || { bad "file list:"; echo "$listed"; }
  dpkg-deb -c "$deb" | awk '$2 != "root/root" {print}' | grep -q . && bad "files not owned by root"
  [ "$(dpkg-deb -f "$deb" Package)" = zembrel ] || bad "Package: $(dpkg-deb -f "$deb" Package)"
  [ "$(dpkg-deb -f "$deb" Version)" = "$version" ] || bad "Version: $(dpkg-deb -f "$deb" Version)"
  # Computed by dpkg-shlibdeps: the C library; the C++ library is linked in.
  depends=$(dpkg-deb -f "$deb" Depends)
  [[ $depends == *"libc6 ("* ]] || bad "Depends lacks libc6: $depends"
  [[ $depends == *libstdc++* ]] && bad "Depends names libstdc++, which is linked in: $depends"
  dpkg-deb -x "$deb" "$work/root" || exit 1
  prefix=$work/root/usr
  for f in $files; do
    cmp -s "$src/data/$f" "$prefix/share/zembrel/$f" || bad "share/zembrel/$f differs"
  done
  gzip -dc "$prefix/share/man/man1/zembrel.1.gz" | cmp -s - "$src/zembrel.1" || bad "manual page differs"
  gzip -dc "$prefix/share/doc/zembrel/changelog.gz" | cmp -s - "$src/packaging/changelog" || bad "changelog differs"
  cmp -s "$prefix/share/doc/zembrel/copyright" "$src/packaging/copyright" || bad "copyright differs"
  same_as "$bin" "$src/data" "$work" ZEMBREL_DATA="$prefix/share/zembrel"
  [ "$(cd "$work/empty" && "$prefix/bin/zembrel" --version | head -1)" = "zembrel $version" ] ||
    bad "--version of the unpacked program"
  if [ "$lint" = lintian ] && command -v lintian >/dev/null; then
    lintian --fail-on error,warning "$deb" >"$work/lintian.log" 2>&1 ||
      { bad "lintian:"; cat "$work/lintian.log"; }
  fi
  ;;
*)
  echo "unknown mode $mode"
  exit 1
  ;;
esac
[ $fail = 0 ] && echo "$mode ok"
exit $fail
