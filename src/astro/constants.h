// Physical and conventional constants of the program, each with the source of
// its value, and the numbers by which the program names the bodies.  Every
// routine takes its constants from here.
#pragma once

namespace zembrel::astro {

// ---------------------------------------------------------------------------
// Time.

// J2000.0, the fundamental epoch, as a Julian date (IAU 1976; FK5).
inline constexpr double kJ2000 = 2451545.0;
// Days in a Julian year and in a Julian century (IAU).
inline constexpr double kJulianYear = 365.25;
inline constexpr double kJulianCentury = 36525.0;
inline constexpr double kSecondsPerDay = 86400.0;

// TDB - TT, two-term series in seconds:
//   TDB - TT = 0.001658 sin g + 0.000014 sin 2g,
//   g = 357.53 + 0.9856003 (JD_TT - 2451545.0) degrees
// (Explanatory Supplement to the Astronomical Almanac, 1992, eq. 2.222-1).
inline constexpr double kTdbAmplitude1 = 0.001658;  // s
inline constexpr double kTdbAmplitude2 = 0.000014;  // s
inline constexpr double kTdbAnomalyAtJ2000 = 357.53;       // degrees
inline constexpr double kTdbAnomalyRate = 0.9856003;       // degrees per day

// ---------------------------------------------------------------------------
// Lengths, speeds and masses.

// Astronomical unit, km (IAU 2012 Resolution B2, exact).
inline constexpr double kAuKm = 149597870.7;
// Speed of light, km/s (SI definition of the metre, 1983, exact).
inline constexpr double kLightKmPerS = 299792.458;
// Gaussian gravitational constant (IAU 1976 system, defining).
inline constexpr double kGaussK = 0.01720209895;
// Earth-Moon mass ratio of the ephemeris: EMRAT of DE440 (Park, Folkner,
// Williams & Boggs 2021, AJ 161, 105), as quoted in the comment area of
// JPL's kernel de440s.bsp from which the ephemeris file is built.
inline constexpr double kEarthMoonMassRatio = 81.300568221497215;
// Equatorial radius of the Earth, km (IERS Conventions 1996, Table 4.1:
// 6378136.3 m).
inline constexpr double kEarthRadiusKm = 6378.1363;
// Radius of the Moon, km: the IAU (1982) ratio k = 0.2725076 of the lunar to
// the terrestrial radius times 6378.14 km, to the nearest kilometre.
inline constexpr double kMoonRadiusKm = 1738.0;
// Radius of the Sun, km (Allen, Astrophysical Quantities, 3rd ed. 1973).
inline constexpr double kSunRadiusKm = 696000.0;

// ---------------------------------------------------------------------------
// Altitudes.

// Altitude of the centre of a body at rising and setting: the standard
// refraction at the horizon, -34', and for the Sun also its semidiameter,
// -50' (Astronomical Almanac, section A, "Rising and setting phenomena").
// Degrees as the program holds them (the nearest doubles to -34/60, -50/60).
inline constexpr double kRiseAltitudeDeg = -0.5666666666666667;
inline constexpr double kSunRiseAltitudeDeg = -0.8333333333333334;

// Depressions of the Sun's centre at nautical and civil twilight, degrees
// (Astronomical Almanac, section A, "Twilight").
inline constexpr double kNauticalDepressionDeg = 12.0;
inline constexpr double kCivilDepressionDeg = 6.0;

// Dip of the sea horizon, D = 1.7757' sqrt(height in metres): the geometric
// dip sqrt(2h/R) less the terrestrial refraction (the Nautical Almanac's dip
// table rounds the factor to 1.76).
inline constexpr double kDipFactor = 1.7757;

// Refraction, minutes of arc, under 1010 hPa and 10 C, scaled by
// (P / 1010) (283 / (273 + T)):
// - from 15 degrees up, the cotangent series R = A cot h - B cot^3 h
//   (the form of Smart, Textbook on Spherical Astronomy, ch. III);
inline constexpr double kRefractionA = 0.97127;
inline constexpr double kRefractionB = 0.00137;
// - below 15 degrees, R = (c0 + c1 h + c2 h^2) / (1 + d1 h + d2 h^2), h in
//   degrees: the low-altitude formula of the Explanatory Supplement (1992),
//   eq. 3.283-2 (0.1594 + 0.0196 h + 0.00002 h^2 degrees, times 60 and
//   1010/283).  c2 is held in single precision, as the program has always
//   held it.
inline constexpr double kRefractionLowC0 = 34.133;
inline constexpr double kRefractionLowC1 = 4.197;
inline constexpr double kRefractionLowC2 = static_cast<double>(0.00428f);
inline constexpr double kRefractionLowD1 = 0.505;
inline constexpr double kRefractionLowD2 = 0.0845;
inline constexpr double kRefractionLimitDeg = 15.0;
inline constexpr double kStandardPressure = 1010.0;    // hPa
inline constexpr double kStandardTemperature = 10.0;   // degrees Celsius

// ---------------------------------------------------------------------------
// Bodies.

// Body numbers of the JPL ephemeris file (JPL's DE numbering).
inline constexpr int kJplVenus = 2;
inline constexpr int kJplEarthMoonBarycentre = 3;
inline constexpr int kJplMars = 4;
inline constexpr int kJplJupiter = 5;
inline constexpr int kJplSaturn = 6;
inline constexpr int kJplMoon = 10;  // geocentric
inline constexpr int kJplSun = 11;

// List numbers of the body list that the user types: 1 to 99 the catalogue
// stars, then these; 0 an unknown body where a utility allows one.
inline constexpr int kUnknownBody = 0;
inline constexpr int kListSun = 100;
inline constexpr int kListMoon = 101;
inline constexpr int kListVenus = 102;
inline constexpr int kListMars = 103;
inline constexpr int kListJupiter = 104;
inline constexpr int kListSaturn = 105;

// ---------------------------------------------------------------------------
// Sentinels of the day searches: no such event on the date.

inline constexpr double kNoEventTime = -999999999.0;  // rise or set time
inline constexpr double kNoAzimuth = -9999999.0;      // rise or set azimuth
inline constexpr double kNoTransit = -999.0;          // empty transit row
inline constexpr double kNoTwilight = 9999.0;         // twilight instant

}  // namespace zembrel::astro
