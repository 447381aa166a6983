#!/usr/bin/env python3
"""Prints the lunar month table (src/model/LunarMonthTable.cpp) used for rokuyo.

The months are those of the Japanese lunisolar calendar: a month begins on the
Japan-time (UTC+9) day of a new moon; the month holding the winter solstice is
the 11th; when 13 months lie between two 11th months, the first of them without
a principal solar term is a leap month and repeats the number before it. This
also settles 2033 the way Japanese almanacs do (a leap 11th month).

New moons follow Meeus, "Astronomical Algorithms" (2nd ed.), chapter 49; the
Sun's apparent longitude is VSOP87 (Meeus' truncation, appendix III) with
nutation and aberration; Delta T from the Espenak-Meeus polynomials.

Usage: scripts/gen-lunar-table.py > src/model/LunarMonthTable.cpp
       scripts/gen-lunar-table.py --check   (lists leap months and near-midnight events)
Standard library only.
"""

import datetime
import math
import sys

FIRST_YEAR = 1990
LAST_YEAR = 2050
JST = 9.0 / 24.0


def rad(d):
    return d * math.pi / 180.0


# --- time -------------------------------------------------------------------

def delta_t_seconds(year):
    if year < 1961:
        t = year - 1950
        return 29.07 + 0.407 * t - t * t / 233 + t ** 3 / 2547
    if year < 1986:
        t = year - 1975
        return 45.45 + 1.067 * t - t * t / 260 - t ** 3 / 718
    if year < 2005:
        t = year - 2000
        return (63.86 + 0.3345 * t - 0.060374 * t ** 2 + 0.0017275 * t ** 3
                + 0.000651814 * t ** 4 + 0.00002373599 * t ** 5)
    if year < 2050:
        t = year - 2000
        return 62.92 + 0.32217 * t + 0.005589 * t * t
    return -20 + 32 * ((year - 1820) / 100.0) ** 2 - 0.5628 * (2150 - year)


def jd_to_datetime(jd):
    """Julian day to a naive datetime (same time scale)."""
    z = int(jd + 0.5)
    f = jd + 0.5 - z
    if z >= 2299161:
        alpha = int((z - 1867216.25) / 36524.25)
        a = z + 1 + alpha - alpha // 4
    else:
        a = z
    b = a + 1524
    c = int((b - 122.1) / 365.25)
    d = int(365.25 * c)
    e = int((b - d) / 30.6001)
    day = b - d - int(30.6001 * e)
    month = e - 1 if e < 14 else e - 13
    year = c - 4716 if month > 2 else c - 4715
    return datetime.datetime(year, month, day) + datetime.timedelta(days=f)


def jde_to_jst(jde):
    """Terrestrial time (JDE) to Japan standard time as a datetime."""
    approx_year = jd_to_datetime(jde).year
    jd_ut = jde - delta_t_seconds(approx_year) / 86400.0
    return jd_to_datetime(jd_ut + JST)


# --- the Sun ------------------------------------------------------------------

# VSOP87 heliocentric longitude of the Earth: (A, B, C) with A*cos(B + C*tau).
L_TERMS = [
    [(175347046, 0, 0), (3341656, 4.6692568, 6283.0758500), (34894, 4.62610, 12566.15170),
     (3497, 2.7441, 5753.3849), (3418, 2.8289, 3.5231), (3136, 3.6277, 77713.7715),
     (2676, 4.4181, 7860.4194), (2343, 6.1352, 3930.2097), (1324, 0.7425, 11506.7698),
     (1273, 2.0371, 529.6910), (1199, 1.1096, 1577.3435), (990, 5.233, 5884.927),
     (902, 2.045, 26.298), (857, 3.508, 398.149), (780, 1.179, 5223.694),
     (753, 2.533, 5507.553), (505, 4.583, 18849.228), (492, 4.205, 775.523),
     (357, 2.920, 0.067), (317, 5.849, 11790.629), (284, 1.899, 796.298),
     (271, 0.315, 10977.079), (243, 0.345, 5486.778), (206, 4.806, 2544.314),
     (205, 1.869, 5573.143), (202, 2.458, 6069.777), (156, 0.833, 213.299),
     (132, 3.411, 2942.463), (126, 1.083, 20.775), (115, 0.645, 0.980),
     (103, 0.636, 4694.003), (102, 0.976, 15720.839), (102, 4.267, 7.114),
     (99, 6.21, 2146.17), (98, 0.68, 155.42), (86, 5.98, 161000.69),
     (85, 1.30, 6275.96), (85, 3.67, 71430.70), (80, 1.81, 17260.15),
     (79, 3.04, 12036.46), (75, 1.76, 5088.63), (74, 3.50, 3154.69),
     (74, 4.68, 801.82), (70, 0.83, 9437.76), (62, 3.98, 8827.39),
     (61, 1.82, 7084.90), (57, 2.78, 6286.60), (56, 4.39, 14143.50),
     (56, 3.47, 6279.55), (52, 0.19, 12139.55), (52, 1.33, 1748.02),
     (51, 0.28, 5856.48), (49, 0.49, 1194.45), (41, 5.37, 8429.24),
     (41, 2.40, 19651.05), (39, 6.17, 10447.39), (37, 6.04, 10213.29),
     (37, 2.57, 1059.38), (36, 1.71, 2352.87), (36, 1.78, 6812.77),
     (33, 0.59, 17789.85), (30, 0.44, 83996.85), (30, 2.74, 1349.87),
     (25, 3.16, 4690.48)],
    [(628331966747, 0, 0), (206059, 2.678235, 6283.075850), (4303, 2.6351, 12566.1517),
     (425, 1.590, 3.523), (119, 5.796, 26.298), (109, 2.966, 1577.344),
     (93, 2.59, 18849.23), (72, 1.14, 529.69), (68, 1.87, 398.15),
     (67, 4.41, 5507.55), (59, 2.89, 5223.69), (56, 2.17, 155.42),
     (45, 0.40, 796.30), (36, 0.47, 775.52), (29, 2.65, 7.11),
     (21, 5.34, 0.98), (19, 1.85, 5486.78), (19, 4.97, 213.30),
     (17, 2.99, 6275.96), (16, 0.03, 2544.31), (16, 1.43, 2146.17),
     (15, 1.21, 10977.08), (12, 2.83, 1748.02), (12, 3.26, 5088.63),
     (12, 5.27, 1194.45), (12, 2.08, 4694.00), (11, 0.77, 553.57),
     (10, 1.30, 6286.60), (10, 4.24, 1349.87), (9, 2.70, 242.73),
     (9, 5.64, 951.72), (8, 5.30, 2352.87), (6, 2.65, 9437.76),
     (6, 4.67, 4690.48)],
    [(52919, 0, 0), (8720, 1.0721, 6283.0758), (309, 0.867, 12566.152),
     (27, 0.05, 3.52), (16, 5.19, 26.30), (16, 3.68, 155.42),
     (10, 0.76, 18849.23), (9, 2.06, 77713.77), (7, 0.83, 775.52),
     (5, 4.66, 1577.34), (4, 1.03, 7.11), (4, 3.44, 5573.14),
     (3, 5.14, 796.30), (3, 6.05, 5507.55), (3, 1.19, 242.73),
     (3, 6.12, 529.69), (3, 0.31, 398.15), (3, 2.28, 553.57),
     (2, 4.38, 5223.69), (2, 3.75, 0.98)],
    [(289, 5.844, 6283.076), (35, 0, 0), (17, 5.49, 12566.15),
     (3, 5.20, 155.42), (1, 4.72, 3.52), (1, 5.30, 18849.23),
     (1, 5.97, 242.73)],
    [(114, 3.142, 0), (8, 4.13, 6283.08), (1, 3.84, 12566.15)],
    [(1, 3.14, 0)],
]

# Radius vector, leading terms only (it enters through the aberration).
R_TERMS = [
    [(100013989, 0, 0), (1670700, 3.0984635, 6283.0758500), (13956, 3.05525, 12566.15170),
     (3084, 5.1985, 77713.7715), (1628, 1.1739, 5753.3849), (1576, 2.8469, 7860.4194)],
    [(103019, 1.107490, 6283.075850), (1721, 1.0644, 12566.1517)],
    [(4359, 5.7846, 6283.0758)],
]


def vsop(series, tau):
    total = 0.0
    for power, terms in enumerate(series):
        total += sum(a * math.cos(b + c * tau) for a, b, c in terms) * tau ** power
    return total / 1e8


def sun_apparent_longitude(jde):
    """Apparent geocentric ecliptic longitude of the Sun in degrees."""
    tau = (jde - 2451545.0) / 365250.0
    t = tau * 10.0
    lon = math.degrees(vsop(L_TERMS, tau)) + 180.0
    r = vsop(R_TERMS, tau)
    # FK5 correction.
    lon -= 0.09033 / 3600.0
    # Nutation in longitude.
    omega = rad(125.04452 - 1934.136261 * t)
    l_sun = rad(280.4665 + 36000.7698 * t)
    l_moon = rad(218.3165 + 481267.8813 * t)
    dpsi = (-17.20 * math.sin(omega) - 1.32 * math.sin(2 * l_sun)
            - 0.23 * math.sin(2 * l_moon) + 0.21 * math.sin(2 * omega))
    lon += dpsi / 3600.0
    # Aberration.
    lon -= 20.4898 / 3600.0 / r
    return lon % 360.0


def solar_term(target, jde_guess):
    """JDE at which the Sun's apparent longitude reaches target degrees."""
    jde = jde_guess
    for _ in range(50):
        diff = (target - sun_apparent_longitude(jde) + 180.0) % 360.0 - 180.0
        jde += diff * 365.2422 / 360.0
        if abs(diff) < 1e-7:
            break
    return jde


# --- the Moon -----------------------------------------------------------------

def new_moon(k):
    """JDE of the new moon of lunation k (k = 0 near 2000-01-06)."""
    t = k / 1236.85
    jde = (2451550.09766 + 29.530588861 * k + 0.00015437 * t ** 2
           - 0.000000150 * t ** 3 + 0.00000000073 * t ** 4)
    e = 1 - 0.002516 * t - 0.0000074 * t ** 2
    m = rad(2.5534 + 29.10535670 * k - 0.0000014 * t ** 2 - 0.00000011 * t ** 3)
    mp = rad(201.5643 + 385.81693528 * k + 0.0107582 * t ** 2 + 0.00001238 * t ** 3
             - 0.000000058 * t ** 4)
    f = rad(160.7108 + 390.67050284 * k - 0.0016118 * t ** 2 - 0.00000227 * t ** 3
            + 0.000000011 * t ** 4)
    om = rad(124.7746 - 1.56375588 * k + 0.0020672 * t ** 2 + 0.00000215 * t ** 3)
    s = math.sin
    corr = (-0.40720 * s(mp) + 0.17241 * e * s(m) + 0.01608 * s(2 * mp)
            + 0.01039 * s(2 * f) + 0.00739 * e * s(mp - m) - 0.00514 * e * s(mp + m)
            + 0.00208 * e * e * s(2 * m) - 0.00111 * s(mp - 2 * f)
            - 0.00057 * s(mp + 2 * f) + 0.00056 * e * s(2 * mp + m)
            - 0.00042 * s(3 * mp) + 0.00042 * e * s(m + 2 * f)
            + 0.00038 * e * s(m - 2 * f) - 0.00024 * e * s(2 * mp - m)
            - 0.00017 * s(om) - 0.00007 * s(mp + 2 * m) + 0.00004 * s(2 * mp - 2 * f)
            + 0.00004 * s(3 * m) + 0.00003 * s(mp + m - 2 * f) + 0.00003 * s(2 * mp + 2 * f)
            - 0.00003 * s(mp + m + 2 * f) + 0.00003 * s(mp - m + 2 * f)
            - 0.00002 * s(mp - m - 2 * f) - 0.00002 * s(3 * mp + m) + 0.00002 * s(4 * mp))
    planetary = [
        (0.000325, 299.77, 0.107408, -0.009173), (0.000165, 251.88, 0.016321, 0),
        (0.000164, 251.83, 26.651886, 0), (0.000126, 349.42, 36.412478, 0),
        (0.000110, 84.66, 18.206239, 0), (0.000062, 141.74, 53.303771, 0),
        (0.000060, 207.14, 2.453732, 0), (0.000056, 154.84, 7.306860, 0),
        (0.000047, 34.52, 27.261239, 0), (0.000042, 207.19, 0.121824, 0),
        (0.000040, 291.34, 1.844379, 0), (0.000037, 161.72, 24.198154, 0),
        (0.000035, 239.56, 25.513099, 0), (0.000023, 331.55, 3.592518, 0),
    ]
    corr += sum(c * s(rad(a + b * k + t2 * t * t)) for c, a, b, t2 in planetary)
    return jde + corr


# --- the calendar ---------------------------------------------------------------

def jde_of_date(d):
    """JDE near 00:00 UT of a date, close enough to seed the searches."""
    return 2451544.5 + (d - datetime.date(2000, 1, 1)).days


def new_moon_days(first, last):
    """(JST date, JST datetime) of every new moon between two dates."""
    k = math.floor((jde_of_date(first) - 2451550.09766) / 29.530588861) - 2
    out = []
    while True:
        when = jde_to_jst(new_moon(k))
        if when.date() > last:
            return out
        if when.date() >= first:
            out.append((when.date(), when))
        k += 1


def principal_terms(first_year, last_year):
    """(JST date, JST datetime, longitude) of every principal term (multiples of 30 degrees)."""
    out = []
    for year in range(first_year, last_year + 1):
        for i in range(12):
            lon = (270 + 30 * i) % 360  # from the winter solstice of the year before
            guess = jde_of_date(datetime.date(year - 1, 12, 21)) + i * 30.44
            jde = solar_term(lon, guess)
            when = jde_to_jst(jde)
            out.append((when.date(), when, lon))
    out.sort()
    return out


def lunar_months():
    """Every lunar month from late 1987 on: list of (first day, number, leap, last day)."""
    moons = new_moon_days(datetime.date(1987, 10, 1), datetime.date(LAST_YEAR + 2, 3, 1))
    starts = [d for d, _ in moons]
    terms = principal_terms(1988, LAST_YEAR + 2)
    term_days = [d for d, _, _ in terms]
    solstices = [d for d, _, lon in terms if lon == 270]

    def month_index(day):
        for i in range(len(starts) - 1):
            if starts[i] <= day < starts[i + 1]:
                return i
        raise ValueError(day)

    def has_term(i):
        return any(starts[i] <= d < starts[i + 1] for d in term_days)

    numbers = {}
    for ws_a, ws_b in zip(solstices, solstices[1:]):
        a, b = month_index(ws_a), month_index(ws_b)
        leap_index = None
        if b - a == 13:
            leap_index = next(i for i in range(a + 1, b) if not has_term(i))
        number = 11
        numbers[a] = (11, False)
        for i in range(a + 1, b):
            if i == leap_index:
                numbers[i] = (number, True)
            else:
                number = number % 12 + 1
                numbers[i] = (number, False)
    return [(starts[i], numbers[i][0], numbers[i][1], starts[i + 1] - datetime.timedelta(days=1))
            for i in sorted(numbers)], moons, terms


def table_rows(months):
    rows = []
    for year in range(FIRST_YEAR, LAST_YEAR + 1):
        row = []
        for first, number, _, _ in months:
            if first.year == year - 1:
                row = [(first.month * 100 + first.day, number)]
            elif first.year == year:
                row.append((first.month * 100 + first.day, number))
        assert row and 13 <= len(row) <= 14, (year, row)
        rows.append((year, row))
    return rows


def print_table(rows):
    width = max(len(r) for _, r in rows) + 1
    print("// Generated by scripts/gen-lunar-table.py; do not edit by hand.")
    print("// Each row: the lunar months that overlap the year as (Gregorian month*100 +")
    print("// day of the month's first day, lunar month number), ended by (9999, 0). The")
    print("// first pair began in December of the year before; a leap month repeats the")
    print("// number of the month before it.")
    print()
    print('#include "model/LunarMonthTable.h"')
    print()
    print("namespace cv {")
    print()
    print("const LunarMonthStart kLunarMonthTable[kLunarTableYears][kLunarTablePairs] = {")
    for year, row in rows:
        pairs = ", ".join("{%d, %d}" % p for p in row + [(9999, 0)])
        print("    {%s}, // %d" % (pairs, year))
    print("};")
    print()
    print("} // namespace cv")
    assert width <= 15


def check(months, moons, terms):
    print("leap months:")
    for first, number, leap, _ in months:
        if leap and FIRST_YEAR - 1 <= first.year <= LAST_YEAR:
            print("  %d leap %d from %s" % (first.year, number, first))
    print("events within 15 minutes of midnight JST:")
    for name, when in [("new moon", w) for _, w in moons] + [("term %d" % lon, w) for _, w, lon in terms]:
        minutes = when.hour * 60 + when.minute + when.second / 60
        if minutes < 15 or minutes > 1425:
            print("  %s %s" % (name, when))


def main():
    months, moons, terms = lunar_months()
    if "--check" in sys.argv:
        check(months, moons, terms)
        return
    print_table(table_rows(months))


if __name__ == "__main__":
    main()
