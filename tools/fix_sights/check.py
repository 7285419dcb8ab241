"""Independent check of an option-5 screen transcript: every number of the
sight reports against ERFA and the data tables, the navigation arithmetic
recomputed, the candidates and the chosen position against the truth."""
import re, sys, math, json, os, erfa
import synth

name = sys.argv[1]
seg = int(sys.argv[2]) if len(sys.argv) > 2 else 0
AZ1 = sys.argv[3] if len(sys.argv) > 3 else None
truth = json.load(open(os.path.join(os.path.dirname(os.path.abspath(__file__)), 'truth.json'))).get(name)
if len(sys.argv) > 4 and sys.argv[4] == 'notruth': truth = None
text = open(os.environ.get('FIX_SCREEN', os.path.join(synth.ROOT, 'tests', 'transcripts', name + '.out'))).read().split('Nuevo calculo? (1 si, 0 no)')[seg]
inp = open(os.path.join(synth.ROOT, 'tests', 'transcripts', name + '.in')).read().split('\n')
fails = 0
def ok(cond, msg):
    global fails
    if not cond: fails += 1; print('FAIL', msg)
def packed(x): return synth.unpack(float(x))
def dmin(a, b): return abs(a - b) * 60

cat = synth.STARS
# Per sight report.
blocks = re.split(r'\n Astro (\d): ', text)
reports = []
for i in range(1, len(blocks), 2):
    n = int(blocks[i]); b = blocks[i + 1]
    body = b.split('\n')[0].strip()
    m = re.search(r'UTC:\s+(\d+)\s+(\d+)\s+(\d+)\s+([\d.]+)', b)
    d, mo, y, tp = int(m[1]), int(m[2]), int(m[3]), m[4]
    hrs = packed(tp)
    jd = [float(x) for x in re.search(r'jdTDB:\s+(.*)', b)[1].split()]
    dt_ = float(re.search(r'D_t = TT-UT1 \(seg\):\s+(\S+)', b)[1])
    dut = float(re.search(r'D_t3 = UT1-UTC \(seg\):\s+(\S+)', b)[1])
    alpha = packed(re.search(r'alpha \(hh.mmsssss\):\s+(\S+)', b)[1]) * 15
    delta = packed(re.search(r'delta \(gg.mmsss\):\s+(\S+)', b)[1])
    gha = packed(re.search(r'hG\* \(gg.mmsssss\):\s+(\S+)', b)[1])
    aries = packed(re.search(r'hG_Aries\(gg.mmss\):\s+(\S+)', b)[1])
    corr = [float(x) for x in re.search(r'\(min\):\s+(.*)', b)[1].split()]
    ho = packed(re.search(r'cenital \(gg.mmss\):\s+(\S+)', b)[1])
    u1, u2 = erfa.dtf2d('UTC', y, mo, d, int(hrs), int(hrs * 60) % 60, (hrs * 3600) % 60)
    # Julian dates and scales (packed time shows 1e-4 s; allow it).
    ok(abs(jd[0] - (u1 + u2)) < 2e-8, f'{n} jdUTC {jd[0]} {u1+u2}')
    d1 = synth.dut1(u1 + u2 - 2400000.5)
    ok(abs(dut - d1) < 1e-4, f'{n} dut1 {dut} {d1}')
    tt = u1 + u2 + 69.184 / 86400
    ok(abs(jd[2] - tt) < 1e-7, f'{n} jdTT')
    ok(abs(dt_ - (69.184 - d1)) < 0.01, f'{n} Delta T {dt_} {69.184-d1}')
    ok(abs(jd[3] - jd[2] - erfa.dtdb(u1 + 69.184 / 86400, u2, 0.0, 0, 0, 0) / 86400) < 2e-8, f'{n} TDB')
    # Apparent place (equinox based) and sidereal time, UTC taken as UT1.
    star = next((k + 1 for k, s in enumerate(cat) if s[0] == body), None)
    gast = math.degrees(erfa.gst06a(u1, u2, u1 + 69.184 / 86400, u2))
    ok(abs(aries - gast) * 3600 < 0.5, f'{n} GHA Aries {(aries-gast)*3600:.3f}"')
    if star:
        nm, ra, dec, pmra, pmdec, rv, plx = cat[star - 1]
        rc = math.radians(synth.unpack(ra) * 15); dc = math.radians(synth.unpack(dec))
        mas = math.radians(1 / 3600e3)
        ri, di, eo = erfa.atci13(rc, dc, pmra * mas / math.cos(dc), pmdec * mas, plx / 1000, rv, u1 + 69.184 / 86400, u2)
        ra_app = math.degrees(erfa.anp(ri - eo)); dec_app = math.degrees(di)
        ok(abs(alpha - ra_app) * 3600 * math.cos(dc) < 0.3, f'{n} alpha {(alpha-ra_app)*3600:.3f}"')
        ok(abs(delta - dec_app) * 3600 < 0.3, f'{n} delta {(delta-dec_app)*3600:.3f}"')
        ok(abs(((gha - (gast - ra_app)) + 180) % 360 - 180) * 3600 < 0.6, f'{n} GHA')
    if body in ('Sol', 'Luna', 'Venus'):
        import ephem
        eb = {'Sol': ephem.Sun, 'Luna': ephem.Moon, 'Venus': ephem.Venus}[body]()
        eb.compute(ephem.Date(ephem.Date((y, mo, d)) + hrs / 24))
        sdp, hpp = [float(x) for x in re.search(r'SD, PHE \(min. arco\):\s+(\S+)\s+(\S+)', b).groups()]
        km = eb.earth_distance * 149597870.7
        ok(body == 'Venus' or abs(sdp - math.degrees(float(eb.radius)) * 60) < 0.02, f'{n} SD {sdp} {math.degrees(float(eb.radius))*60}')
        ok(abs(hpp - math.degrees(math.asin(6378.137 / km)) * 60) < 0.02, f'{n} HP {hpp}')
        ok(abs(alpha - math.degrees(float(eb.g_ra))) * 3600 < 3, f'{n} alpha {(alpha - math.degrees(float(eb.g_ra)))*3600:.2f}"')
        ok(abs(delta - math.degrees(float(eb.g_dec))) * 3600 < 3, f'{n} delta {(delta - math.degrees(float(eb.g_dec)))*3600:.2f}"')
        ok(abs(((gha - (gast - math.degrees(float(eb.g_ra)))) + 180) % 360 - 180) * 3600 < 3, f'{n} GHA')
        # augmented semidiameter on the corrections line (Moon), sd on it otherwise
        print(f'  {body}: SD {sdp:.4f} line SD {corr[2]:.4f} P {corr[4]:.4f}')
    reports.append(dict(n=n, body=body, hrs=hrs, jd=jd[0], ho=ho, corr=corr, star=star, u=(u1, u2)))

# Corrections: recompute Ho from the typed readings and conditions.
vals = [l.strip() for l in inp]
height, ie = float(vals[1]), float(vals[2])
p, t = (1010.0, 10.0)
speed_typed, crs_typed = map(float, vals[5 if vals[3] == '1' else 4].split())
if vals[3] == '1': p, t = map(float, vals[4].split())
means = [packed(m.split()[1]) for m in re.findall(r'Medias \(hh.mmss  gg.mmss\):\s+(\S+\s+\S+)', text)]
for r in reports:
    hs = means[r['n'] - 1] if len(means) >= r['n'] else None
    # The means of a sight entered twice (unknown body retried) repeat; take the last per sight.
for r in reports:
    k = r['corr']
    dip = 1.7757 * math.sqrt(height)
    ok(abs(k[0] - ie) < 1e-4 and abs(k[1] + dip) < 1e-4, f"{r['n']} Ei/Dp")
    if k[2] == 0:
        h1 = r['ho'] - k[3] / 60  # h1 = Ho + R/60 for a star or planet
    else:
        h1 = means[r['n'] - 1] + (ie - dip) / 60
    R = synth.refraction(h1, p, t)
    ok(abs(-k[3] - R) < 1e-3, f"{r['n']} R {k[3]} {R}")
print(name, 'reports checked:', len(reports))

# Advance of the first circle.
m = re.search(r'respiracion 1er circulo altura al instante 2a observ. \(millas\):\s+(\S+)\s+(\S+)', text)
speed, course = map(float, vals[vals.index(next(v for v in vals[3:] if len(v.split()) == 2 and not v.startswith('19'))) ].split()) if False else (None, None)
sc = re.search(r'millas al\s+(\S+)', text)
if m:
    dtl = re.search(r'entre ambas obser.:\s+(\S+)\s+(\S+)', text)
    dt_h, run = float(dtl[1]), float(dtl[2])
    jd1, jd2 = reports[0]['jd'], reports[1]['jd']
    ok(abs(dt_h - (jd2 - jd1) * 24) < 1e-6, 'dt')
    az1 = float(AZ1) if AZ1 else None
    if az1 is not None:
        al = abs((az1 - crs_typed + 180) % 360 - 180)
        ok(abs(float(m[1]) - al) < 1e-9 and abs(float(m[2]) - run * math.cos(math.radians(al))) < 1e-9, 'alpha/xdeps')
        ok(abs(run - dt_h * speed_typed) < 1e-9, 'run')
    print('advance: alpha', m[1], 'xdeps', m[2], 'dt', dt_h, 'run', run)
    radio = float(re.search(r'Radio circulo respirado \(grados\):\s+(\S+)', text)[1])
    ok(abs(radio - (90 - reports[0]['ho'] - float(m[2]) / 60)) < 2e-7, 'radio')

# Candidates.
def cands(section):
    c = re.findall(r'latitud \(gg.mmssss\):\s+(\S+)\n longitud \(gg.mmssss\):\s+(\S+)', section)
    return [(packed(a), packed(b)) for a, b in c]
sec2 = text.split('medir el astro 2 :')[1]
A, B = cands(sec2)[:2]
if truth:
    dA = math.hypot(A[0] - truth[0], (A[1] - truth[1]) * math.cos(math.radians(truth[0]))) * 60
    dB = math.hypot(B[0] - truth[0], (B[1] - truth[1]) * math.cos(math.radians(truth[0]))) * 60
    print(f'candidates off truth: A {dA:.3f}\'  B {dB:.3f}\'')
if 'medir el astro 3:' in text:
    sec3 = text.split('medir el astro 3:')[1]
    A3, B3 = cands(sec3)[:2]
    run23 = float(re.search(r'\n\s+(\S+) millas al\s+(\S+)', text)[1]); crs = float(re.search(r'millas al\s+(\S+)', text)[1])
    for P, P3 in ((A, A3), (B, B3)):
        if any(map(math.isnan, P)): continue
        la = math.radians(P[0]); dl = math.radians(math.cos(math.radians(crs)) * run23 / 60)
        dep = math.radians(math.sin(math.radians(crs)) * run23 / 60)
        la3 = la + dl; lo3 = math.radians(P[1]) + dep / math.cos((la + la3) / 2)
        ok(dmin(math.degrees(la3), P3[0]) < 0.002 and dmin(math.degrees(lo3), P3[1]) < 0.002, f'DR {P3}')
    alts = re.findall(r'Posicion \d. Altura.* de  (.*)\n\s+(\S+)\s+(\S+)', text)
    r3 = reports[-1]
    for (nm3, hc, zn), P3 in zip(alts[-2:], (A3, B3)):
        st = next((k + 1 for k, s_ in enumerate(cat) if s_[0] == nm3.strip()), None)
        if st is None: continue
        nm, ra, dec, pmra, pmdec, rv, plx = cat[st - 1]
        rc = math.radians(synth.unpack(ra) * 15); dc = math.radians(synth.unpack(dec)); mas = math.radians(1/3600e3)
        u1, u2 = r3['u']
        aob, zob, *_ = erfa.atco13(rc, dc, pmra*mas/math.cos(dc), pmdec*mas, plx/1000, rv, u1, u2, 0.0,
                                   math.radians(P3[1]), math.radians(P3[0]), 0, 0, 0, 0, 0, 0, 0.5)
        ok(dmin(packed(hc), 90 - math.degrees(zob)) < 0.1, f'Hc from {P3}: {packed(hc)} {90-math.degrees(zob)}')
        ok(abs(float(zn) - math.degrees(aob)) < 0.02, f'Zn {zn} {math.degrees(aob)}')
    if 'Posicion:' in text:
        F = cands(text.split('Posicion:')[1])[0]
        if truth:
            e = math.hypot(F[0] - truth[0], (F[1] - truth[1]) * math.cos(math.radians(truth[0]))) * 60
            print(f'chosen position off truth: {e:.3f}\'')
print('FAILS', fails)
