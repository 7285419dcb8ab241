import ephem, math, synth, datetime as dt
def limb_sight(which, lat, lon, T, limb=-1):
    o = ephem.Observer(); o.lat = str(lat); o.lon = str(lon); o.elevation = 0; o.pressure = 0
    o.date = ephem.Date(T)
    b = {'sun': ephem.Sun, 'moon': ephem.Moon, 'venus': ephem.Venus}[which](); b.compute(o)
    alt = math.degrees(float(b.alt)); az = math.degrees(float(b.az))
    d_au = b.earth_distance; km = d_au * 149597870.7
    radius = {'sun': 696000.0, 'moon': 1737.4, 'venus': 0.0}[which]
    # topocentric distance from the geocentric one and the altitude
    re = 6378.137; hgeo = alt  # approximate
    dtopo = math.sqrt(km**2 + re**2 - 2 * km * re * math.sin(math.radians(alt + math.degrees(re / km) * math.cos(math.radians(alt)))))
    sd = math.degrees(math.asin(radius / dtopo))
    h_limb = alt + limb * sd
    hs = synth.reading(h_limb)
    hh = T.hour + T.minute / 60 + T.second / 3600
    return dict(alt=alt, az=az, hs=hs, time=synth.pack(hh, 0), altp=synth.pack(hs, 5), sd=sd * 60)
if __name__ == '__main__':
    T = dt.datetime(2024, 3, 17, 15, 0, 0)
    for w in ('sun', 'moon'): print(w, limb_sight(w, 38.0, -15.0, T))
