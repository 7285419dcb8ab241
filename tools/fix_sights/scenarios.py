import synth, datetime as dt, math, json, sys, os
TRUTH = os.path.join(os.path.dirname(os.path.abspath(__file__)), 'truth.json')
D = dt.datetime
def simple(b, lat, lon, T, **kw):
    return synth.sight(b, lat, lon, T, **kw)
def entry(s, date, **extra):
    d = dict(date=date, body=s['star'], readings=[(s['time'], s['alt'])]); d.update(extra); return d
truth = {}

def unknown3():
    T = D(2024, 4, 26, 5, 21, 0); lat, lon = 22.0, -155.0
    ss = [simple(b, lat, lon, T) for b in (11, 68, 40)]
    sights = [entry(ss[0], (26, 4, 2024)), entry(ss[1], (26, 4, 2024)),
              entry(ss[2], (26, 4, 2024), body=0, az=round(ss[2]['az'], 1))]
    synth.write_in('fix_desconocido_tercero', [synth.dialogue(0, 0, 0, 0, 3, sights)])
    truth['fix_desconocido_tercero'] = (lat, lon)

def second():
    T = D(2024, 4, 26, 5, 21, 0); lat, lon = 22.0, -155.0
    ss = [simple(b, lat, lon, T) for b in (11, 68, 40)]
    sights = [entry(s, (26, 4, 2024)) for s in ss]
    # Second calculation: the third body typed as unknown; from candidate 1
    # nothing is recognised, from candidate 2 Kochab.
    unknown = sights[:2] + [entry(ss[2], (26, 4, 2024), body=0, az=round(ss[2]['az'], 1))]
    synth.write_in('fix_segunda_elegida', [synth.dialogue(0, 0, 0, 0, 3, sights, again=1),
                                           synth.dialogue(0, 0, 0, 0, 3, unknown)])
    truth['fix_segunda_elegida'] = (lat, lon)


def multi(b, lat, lon, Ts, **kw):
    """One sight of several readings at the instants Ts (positions fixed)."""
    rs = [synth.sight(b, lat, lon, T, **kw) for T in Ts]
    return rs

def readings(rs):
    return [(r['time'], r['alt']) for r in rs]

def two():
    # 38 N 15 W, 20 Mar 2024: Aldebaran and Regulus together, two readings each,
    # height 3.5 m, index error +1.2', abnormal weather; sight 2 typed as unknown.
    lat, lon = 38.0, -15.0
    kw = dict(height=3.5, ie=1.2, p=1022.0, t=18.0)
    T = [D(2024, 3, 20, 19, 29, 40), D(2024, 3, 20, 19, 30, 20)]
    r1 = multi(10, lat, lon, T, **kw); r2 = multi(26, lat, lon, T, **kw)
    sights = [dict(date=(20, 3, 2024), body=10, readings=readings(r1)),
              dict(date=(20, 3, 2024), body=0, readings=readings(r2), est=(38.05, -15.1), az=round(r2[0]['az']))]
    synth.write_in('fix_dos_astros', [synth.dialogue(3.5, 1.2, 0, 0, 2, sights, weather=(1022, 18))])
    truth['fix_dos_astros'] = (lat, lon)

def first():
    # Same place: Aldebaran, Regulus, Dubhe; refused count and body numbers;
    # sight 1 unknown, first not recognised (azimuth typed wrong), then again.
    lat, lon = 38.0, -15.0
    T = D(2024, 3, 20, 19, 30, 0)
    ss = [synth.sight(b, lat, lon, T) for b in (10, 26, 27)]
    s1 = entry(ss[0], (20, 3, 2024), body=0, est=(38.0, -15.0), az=round(ss[0]['az']),
               bad_bodies=[120, -1], bad_counts=[7, 0],
               retry=[dict(readings=[(ss[0]['time'], ss[0]['alt'])], est=(38.0, -15.0), az=round(ss[0]['az']) - 90)])
    sights = [s1, entry(ss[1], (20, 3, 2024)), entry(ss[2], (20, 3, 2024))]
    synth.write_in('fix_tres_primera', [synth.dialogue(0, 0, 0, 0, 3, sights)])
    truth['fix_tres_primera'] = (lat, lon)

def houston():
    # As above, but the third body typed as Kochab while Dubhe was measured;
    # a second calculation follows (answer 1) with two bodies.
    lat, lon = 38.0, -15.0
    T = D(2024, 3, 20, 19, 30, 0)
    ss = [synth.sight(b, lat, lon, T) for b in (10, 26, 27)]
    sights = [entry(ss[0], (20, 3, 2024)), entry(ss[1], (20, 3, 2024)), entry(ss[2], (20, 3, 2024), body=40)]
    c1 = synth.dialogue(0, 0, 0, 0, 3, sights, again=1)
    c2 = synth.dialogue(0, 0, 0, 0, 2, sights[:2], again=1)
    # Third calculation: Dubhe typed as unknown with an azimuth 120 degrees off.
    lost = [sights[0], sights[1], entry(ss[2], (20, 3, 2024), body=0, az=round(ss[2]['az'] + 120) % 360)]
    c3 = synth.dialogue(0, 0, 0, 0, 3, lost)
    synth.write_in('fix_houston', [c1, c2, c3])
    truth['fix_houston'] = (lat, lon)

def breathing():
    # 12 kn on 235 from 38 N 15 W: Aldebaran 19:10, Regulus 19:30, Dubhe 19:50.
    lat0, lon0, course, speed = 38.0, -15.0, 235.0, 12.0
    Ts = [D(2024, 3, 20, 19, 10, 0), D(2024, 3, 20, 19, 30, 0), D(2024, 3, 20, 19, 50, 0)]
    pos = [synth.run_to(lat0, lon0, course, speed * (T - Ts[0]).total_seconds() / 3600) for T in Ts]
    ss = [synth.sight(b, p[0], p[1], T) for b, p, T in zip((10, 26, 27), pos, Ts)]
    sights = [entry(s, (20, 3, 2024)) for s in ss]
    synth.write_in('fix_respiracion', [synth.dialogue(0, 0, speed, course, 3, sights, az1=round(ss[0]['az'], 1))])
    truth['fix_respiracion'] = pos[2]

def earlier():
    # Issue case: 30 S 40 W, 15 kn on 090, Regulus then Sirius taken 20 minutes
    # before it.  The fix is for the instant of sight 2.
    lat0, lon0, course, speed = -30.0, -40.0, 90.0, 15.0
    T2, T1 = D(2024, 3, 15, 22, 20, 0), D(2024, 3, 15, 22, 40, 0)
    p2 = (lat0, lon0); p1 = synth.run_to(lat0, lon0, course, speed * 20 / 60)
    s1 = synth.sight(26, p1[0], p1[1], T1); s2 = synth.sight(18, p2[0], p2[1], T2)
    sights = [entry(s1, (15, 3, 2024)), entry(s2, (15, 3, 2024))]
    synth.write_in('fix_segunda_antes', [synth.dialogue(0, 0, speed, course, 2, sights, az1=round(s1['az'], 1))])
    truth['fix_segunda_antes'] = p2

def midnight():
    # 38 N 15 W: Arcturus read at 23:59:40 on 20 March and 00:00:20 on the
    # 21st (date typed: the first reading's), Procyon at 00:01:00 on the 21st.
    lat, lon = 38.0, -15.0
    r1 = multi(37, lat, lon, [D(2024, 3, 20, 23, 59, 40), D(2024, 3, 21, 0, 0, 20)])
    r2 = multi(20, lat, lon, [D(2024, 3, 21, 0, 1, 0)])
    sights = [dict(date=(20, 3, 2024), body=37, readings=readings(r1)),
              dict(date=(21, 3, 2024), body=20, readings=readings(r2))]
    synth.write_in('fix_medianoche', [synth.dialogue(0, 0, 0, 0, 2, sights)])
    truth['fix_medianoche'] = (lat, lon)

def sunmoon():
    # 38 N 15 W, 17 Mar 2024, ship stopped: Sun (lower limb) 14:00, Moon lower
    # limb 14:05, Moon upper limb 15:00 as the third sight.
    import sunmoon as sm
    lat, lon = 38.0, -15.0
    a = sm.limb_sight('sun', lat, lon, D(2024, 3, 17, 14, 0, 0))
    b = sm.limb_sight('moon', lat, lon, D(2024, 3, 17, 14, 5, 0), -1)
    c = sm.limb_sight('moon', lat, lon, D(2024, 3, 17, 15, 0, 0), 1)
    sights = [dict(date=(17, 3, 2024), body=100, readings=[(a['time'], a['altp'])]),
              dict(date=(17, 3, 2024), body=101, readings=[(b['time'], b['altp'])], limb=-1),
              dict(date=(17, 3, 2024), body=101, readings=[(c['time'], c['altp'])], limb=1)]
    synth.write_in('fix_sol_luna', [synth.dialogue(0, 0, 0, 0, 3, sights)])
    truth['fix_sol_luna'] = (lat, lon)

def other_star():
    # 47.05 S 121.07 W, 22 Nov 2024 04:54:56: Markeb, Wezen, then Sargas typed
    # as unknown: from candidate 1 the search finds Aludra, from candidate 2
    # Sargas.
    lat, lon = -47.04824854870802, -121.06861302600929
    T = D(2024, 11, 22, 4, 54, 56)
    ss = [synth.sight(b, lat, lon, T) for b in (74, 71, 93)]
    sights = [entry(ss[0], (22, 11, 2024)), entry(ss[1], (22, 11, 2024)),
              entry(ss[2], (22, 11, 2024), body=0, az=round(ss[2]['az']))]
    synth.write_in('fix_otra_estrella', [synth.dialogue(0, 0, 0, 0, 3, sights)])
    truth['fix_otra_estrella'] = (lat, lon)

def venus():
    # 38 N 15 W, 15 Feb 2025 19:45: Venus (0.42 AU away, parallax 0.3') and Sirius.
    import sunmoon as sm
    lat, lon = 38.0, -15.0
    T = D(2025, 2, 15, 19, 45, 0)
    v = sm.limb_sight('venus', lat, lon, T, 0)
    s2 = synth.sight(18, lat, lon, T)
    sights = [dict(date=(15, 2, 2025), body=102, readings=[(v['time'], v['altp'])]), entry(s2, (15, 2, 2025))]
    synth.write_in('fix_venus', [synth.dialogue(0, 0, 0, 0, 2, sights)])
    truth['fix_venus'] = (lat, lon)

for f in sys.argv[1:]: globals()[f]()
try: old = json.load(open(TRUTH))
except Exception: old = {}
old.update(truth); json.dump(old, open(TRUTH, 'w')); print(truth)
