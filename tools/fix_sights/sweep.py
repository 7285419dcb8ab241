import synth, random, datetime as dt, subprocess, re, math, os, sys
random.seed(int(sys.argv[1])); N = int(sys.argv[2])
os.makedirs('/tmp/fix_sweep', exist_ok=True); os.chdir('/tmp/fix_sweep')
for f in ['JPL_1550-2650_430t', 'estrellas.dat', 'nutation_IAU1980.dat', 'delta_t.iers', 'delta_t.dat']:
    if not os.path.exists(f): os.symlink(os.path.join(synth.DATA, f), f)
stats = dict(runs=0, ok=0, differ=0, wrong=0, houston=0, lost=0)
for k in range(N):
    lat = random.uniform(-60, 60); lon = random.uniform(-180, 180)
    T = dt.datetime(2024, 1, 1) + dt.timedelta(seconds=random.randint(0, 365 * 86400))
    obs = []
    for b in range(1, 100):
        h, az, n = synth.observed(b, lat, lon, T)
        if 15 < h < 70: obs.append((b, h, az))
    if len(obs) < 3: continue
    trio = random.sample(obs, 3)
    ss = [synth.sight(b, lat, lon, T) for b, _, _ in trio]
    d = (T.day, T.month, T.year)
    sights = [dict(date=d, body=ss[0]['star'], readings=[(ss[0]['time'], ss[0]['alt'])]),
              dict(date=d, body=ss[1]['star'], readings=[(ss[1]['time'], ss[1]['alt'])]),
              dict(date=d, body=0, readings=[(ss[2]['time'], ss[2]['alt'])], az=round(ss[2]['az'] + random.uniform(-1, 1), 1))]
    lines = ['5'] + synth.dialogue(0, 0, 0, 0, 3, sights) + ['0']
    out = subprocess.run([os.path.join(synth.ROOT, 'build', 'zembrel')], input='\n'.join(lines) + '\n', capture_output=True, text=True).stdout
    stats['runs'] += 1
    names = re.findall(r'Posicion \d\. Altura \(gg.mmssss\) y azimut \(ggg.gg\) de  (.*)', out)
    if len(names) == 2 and names[0].strip() != names[1].strip(): stats['differ'] += 1; print('differ', lat, lon, T, [s['star'] for s in ss], names)
    if 'PERDIDOS' in out: stats['lost'] += 1; continue
    if 'HOUSTON, we got' in out: stats['houston'] += 1; print('houston', lat, lon, T, [s['star'] for s in ss]); continue
    m = re.search(r'Posicion:\n\n latitud \(gg.mmssss\):\s+(\S+)\n longitud \(gg.mmssss\):\s+(\S+)', out)
    la, lo = synth.unpack(float(m[1])), synth.unpack(float(m[2]))
    e = math.hypot(la - lat, ((lo - lon + 180) % 360 - 180) * math.cos(math.radians(lat))) * 60
    if e < 1: stats['ok'] += 1
    else: stats['wrong'] += 1; print('wrong', e, lat, lon, T, [s['star'] for s in ss])
print(stats)
