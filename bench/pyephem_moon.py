#!/usr/bin/python3
"""One option-2 calculation for the Moon against PyEphem, timed in one run.

The program's figure is BM_Option2Moon of bench/utilities_bench: the whole
calculation from 33 54 S 151 12 E at 11 h legal time (the coordinates, the
expected sextant reading, rise, set and both transits of the local date with
the searches of the neighbouring Greenwich dates, every line written), for 64
dates a week apart from 8 January 2025.  PyEphem (Debian python3-ephem, its C
core and low-precision lunar theory) is asked for the same local dates' rise,
set, transit and antitransit of the Moon, from 0 h local mean time, with the
program's threshold of -0 34' for the upper limb and no refraction.

Usage: bench/pyephem_moon.py BUILD_DIR/bench/utilities_bench
Not run by ctest: it measures, it does not check.
"""
import json
import statistics
import subprocess
import sys
import timeit

import ephem

LATITUDE, LONGITUDE = '-33:54', '151:12'
LMT_OFFSET_DAYS = (151 + 12 / 60) / 360.0  # local mean time - UT


def local_dates():
    start = ephem.Date('2025/1/8')
    return [ephem.Date(start + 7 * k) for k in range(64)]


def moon_day(local_midnight):
    o = ephem.Observer()
    o.lat, o.lon = LATITUDE, LONGITUDE
    o.elevation = 0
    o.pressure = 0
    o.horizon = '-0:34'
    o.date = ephem.Date(local_midnight - LMT_OFFSET_DAYS)
    m = ephem.Moon()
    return (o.next_rising(m), o.next_setting(m), o.next_transit(m), o.next_antitransit(m))


def pyephem_ms(repeats=7):
    dates = local_dates()
    runs = [timeit.timeit(lambda: [moon_day(d) for d in dates], number=20) / (20 * len(dates))
            for _ in range(repeats)]
    return statistics.median(runs) * 1e3


def program_ms(bench, repeats=7):
    out = subprocess.run([bench, '--benchmark_filter=BM_Option2Moon$', '--benchmark_format=json',
                          '--benchmark_repetitions=%d' % repeats, '--benchmark_min_time=0.5'],
                         check=True, capture_output=True, text=True).stdout
    runs = [b['cpu_time'] for b in json.loads(out)['benchmarks'] if b.get('run_type') == 'iteration']
    unit = {'ns': 1e-6, 'us': 1e-3, 'ms': 1.0}[json.loads(out)['benchmarks'][0]['time_unit']]
    return statistics.median(runs) * unit


def main():
    if len(sys.argv) != 2:
        sys.exit(__doc__)
    r, s, t, a = moon_day(local_dates()[0])
    print('PyEphem, 8 January 2025 (UT): rise %s  set %s  transit %s  antitransit %s' % (r, s, t, a))
    ours = program_ms(sys.argv[1])
    theirs = pyephem_ms()
    print('one option-2 Moon calculation: %.3f ms; PyEphem, the same day\'s four events: %.3f ms; '
          'ratio %.2f' % (ours, theirs, ours / theirs))


if __name__ == '__main__':
    main()
