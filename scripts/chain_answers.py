#!/usr/bin/env python3
"""Writes the operator's answers for one adjustment run of a chain of
equilateral triangles (side 100 m), one answer a line, in the order the run
asks for them. The chain starts on A=(0,0), B=(0,100); every new station is the
apex of an equilateral triangle on the last two stations, away from the one
before, so the measured sides fit the known coordinates exactly.

  chain_answers.py N [--with-d] [--names PREFIX] [--wide-names] [--side S]

--with-d     close on the known side C-D (C and D are the last two stations);
             otherwise close on C alone, without azimuth data.
--wide-names name every point with three full-width characters.
"""
import argparse
import math


def stations(count, side):
    # stations[0] = A, stations[1] = B, stations[k+1] = route station k
    pts = [(0.0, 0.0), (0.0, side)]
    while len(pts) < count + 2:
        (x1, y1), (x2, y2) = pts[-2], pts[-1]
        mx, my = (x1 + x2) / 2, (y1 + y2) / 2
        dx, dy = x2 - x1, y2 - y1
        h = math.sqrt(3) / 2
        cands = [(mx - dy * h, my + dx * h), (mx + dy * h, my - dx * h)]
        if len(pts) >= 3:
            px, py = pts[-3]
            cands.sort(key=lambda c: -((c[0] - px) ** 2 + (c[1] - py) ** 2))
        else:
            cands.sort(key=lambda c: c[0])  # the first triangle opens towards -X
        pts.append(cands[0])
    return pts


def fmt(v):
    return f"{v:.10f}".rstrip("0").rstrip(".") if abs(v) > 1e-12 else "0"


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("n", type=int)
    ap.add_argument("--with-d", action="store_true")
    ap.add_argument("--wide-names", action="store_true")
    ap.add_argument("--names", default="P")
    ap.add_argument("--side", type=float, default=100.0)
    a = ap.parse_args()
    n, side = a.n, a.side
    st = stations(n + 1, side)  # A, B, stations 1..n (and n+1 spare)

    def station(k):  # route station k, 0 = B; -1 = A
        return st[k + 1]

    out = [str(n)]
    C = station(n - 1) if a.with_d else station(n)
    D = station(n) if a.with_d else (0.0, 0.0)
    for v in (*station(-1), *station(0), *C, *D):
        out += [fmt(v), ""]
    if not a.with_d:
        out += ["0", "", "0", ""]  # no external azimuth, no orientation angle
    last = 2 * n if a.with_d else 2 * n + 1
    for i in range(2, last + 1):
        if i % 2 == 0:
            k = i // 2
            (xs, ys), (xe, ye), (xo, yo) = station(k - 1), station(k), station(k - 2)
            dx, dy = xe - xs, ye - ys
            right = (xo - xs) * (-dy) + (yo - ys) * dx > 0
            out += [fmt(-side if right else side), ""]
        else:
            out += [fmt(side), ""]
    # point names: B, the unknown points, C (and, closing on C-D with two equal
    # last signs, the point after C): N + 1 names without D, N with D
    count = n if a.with_d else n + 1
    wide = "北东南西中甲乙丙丁"
    for k in range(count):
        if a.wide_names:
            name = wide[k % 9] + wide[(k // 9) % 9] + wide[(k // 81) % 9]
        else:
            name = f"{a.names}{k}"
        out += [name, ""]
    result_points = n - 1 if a.with_d else n
    out += [""] * (result_points + 1)
    print("\n".join(out))


if __name__ == "__main__":
    main()
