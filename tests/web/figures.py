#!/usr/bin/env python3
"""Year files for the end-to-end test, and the figures the pages must show,
worked out here from the files' bytes on their own.

figures.py write FOLDER          this year up to now (10-minute samples, with a NaN
                                 and a QNH 0 today) and last year
figures.py check FOLDER DOM KIND   KIND index or year: every expected figure must
                                 stand in the text of the page's DOM; prints the misses
"""
import datetime as dt
import html
import math
import re
import struct
import sys
from decimal import Decimal, ROUND_HALF_UP
from pathlib import Path

EPOCH = dt.date(1899, 12, 30)
MINUS = "\u2212"


def write(folder):
    now = dt.datetime.now()
    for year in (now.year - 1, now.year):
        out = bytearray()
        t = dt.datetime(year, 1, 1)
        end = min(dt.datetime(year + 1, 1, 1), now)
        i = 0
        while t <= end:
            day = (t.date() - EPOCH).days
            frac = (t.hour * 3600 + t.minute * 60) / 86400
            temp = round(4 + 12 * math.sin(i / 900) + 5 * math.sin(i / 37), 1)
            qnh = 1000 + int(20 * math.sin(i / 300))
            if t.date() == now.date() and t.hour == 0 and t.minute == 20:
                temp = float("nan")  # no reading
            if t.date() == now.date() and t.hour == 0 and t.minute == 30:
                qnh = 0  # no barometer
            out += struct.pack("<ifif", day, frac, qnh, temp)
            t += dt.timedelta(minutes=10)
            i += 1
        Path(folder, f"T_{year}.dat").write_bytes(bytes(out))


def records(path):
    data = Path(path).read_bytes()
    for k in range(len(data) // 16):
        yield struct.unpack_from("<ifif", data, 16 * k)


def plausible_temp(t):
    return math.isfinite(t) and -90 <= t <= 60


def plausible_qnh(q):
    return 850 <= q <= 1090


def num(v, decimals=1):
    q = Decimal(v).quantize(Decimal(1).scaleb(-decimals), rounding=ROUND_HALF_UP)
    text = f"{q:.{decimals}f}".replace(".", ",")
    if text.startswith("-") and set(text[1:]) <= set("0,"):
        text = text[1:]
    return text.replace("-", MINUS)


def temp(v):
    return num(v) + " °C"


def clock(frac):
    s = int(round(frac * 86400)) % 86400
    return f"{s // 3600:02d}:{s // 60 % 60:02d}"


def short(day):
    d = EPOCH + dt.timedelta(days=day)
    months = "jan feb mars apr maj juni juli aug sep okt nov dec".split()
    return f"{d.day} {months[d.month - 1]}"


def expected(folder, kind):
    now = dt.datetime.now()
    days = {}
    for year in (now.year - 1, now.year):
        for day, frac, qnh, t in records(Path(folder, f"T_{year}.dat")):
            d = days.setdefault(day, {"t": [], "q": []})
            if plausible_temp(t):
                d["t"].append((t, frac))
            if plausible_qnh(qnh):
                d["q"].append((qnh, frac))
    today = (now.date() - EPOCH).days
    want = []
    if kind == "index":
        last_t = max(((day, f, t) for day, d in days.items() for t, f in d["t"]))
        last_q = max(((day, f, q) for day, d in days.items() for q, f in d["q"]))
        want.append(f"{temp(last_t[2])} Temperatur kl. {clock(last_t[1])}")
        want.append(f"Lufttryck (QNH) {last_q[2]} hPa, kl. {clock(last_q[1])}")
        for name, day in (("I dag", today), ("I går", today - 1)):
            ts = days[day]["t"]
            hi = max(ts, key=lambda x: (x[0], -x[1]))
            lo = min(ts, key=lambda x: (x[0], x[1]))
            date = (EPOCH + dt.timedelta(days=day)).isoformat()
            want.append(f"{name}, {date} Högsta {temp(hi[0])} kl. {clock(hi[1])} "
                        f"Lägsta {temp(lo[0])} kl. {clock(lo[1])}")
    else:  # this month's table on this year's page
        first = (now.date().replace(day=1) - EPOCH).days
        month = [(day, days[day]) for day in sorted(days) if first <= day <= today and days[day]["t"]]
        means = [sum(t for t, _ in d["t"]) / len(d["t"]) for _, d in month]
        hi = max(((max(t for t, _ in d["t"]), -day) for day, d in month))
        lo = min(((min(t for t, _ in d["t"]), day) for day, d in month))
        frost = sum(1 for _, d in month if min(t for t, _ in d["t"]) < 0)
        ice = sum(1 for _, d in month if max(t for t, _ in d["t"]) < 0)
        qmeans = [sum(q for q, _ in d["q"]) / len(d["q"]) for _, d in month if d["q"]]
        want.append(f"Medeltemperatur {temp(sum(means) / len(means))} "
                    f"Högsta temperatur {temp(hi[0])} {short(-hi[1])} "
                    f"Lägsta temperatur {temp(lo[0])} {short(lo[1])} "
                    f"Frostdagar (lägsta under 0 °C) {frost} Isdagar (högsta under 0 °C) {ice}")
        want.append(f"Medellufttryck (QNH) {num(sum(qmeans) / len(qmeans))} hPa")
    return want


def page_text(dom):
    """The words a reader sees: no style, no tags, one space between words."""
    dom = re.sub(r"<style>.*?</style>", " ", dom, flags=re.S)
    dom = re.sub(r"</?(strong|a)( [^>]*)?>", "", dom)
    dom = html.unescape(re.sub(r"<[^>]*>", " ", dom))
    return " ".join(dom.replace("\u00a0", " ").split())


def check(folder, page, kind):
    text = page_text(Path(page).read_text(encoding="utf-8"))
    misses = [w for w in expected(folder, kind) if w not in text]
    for m in misses:
        print(f"FAIL: {kind} does not show: {m}")
    if misses:
        print(f"  page text: {text[:3000]}")
    return 1 if misses else 0


if __name__ == "__main__":
    if sys.argv[1] == "write":
        write(sys.argv[2])
    else:
        sys.exit(check(sys.argv[2], sys.argv[3], sys.argv[4]))
