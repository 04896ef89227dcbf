#!/usr/bin/env python3
"""Writes SLOPE.DAT, a hillslope of loam under a two-day storm followed by dry weather.

The slope is 40 m long in x, 10 m wide in y; its base lies at z = 0 and its surface rises from
z = 4 at x = 0 to z = 8 at x = 40, so every rain face is tilted (its horizontal area is what
takes the rain). The water table is held at total head 2 along the downslope end (x = 0); the
rest of the soil starts in equilibrium with it. Rain falls on every surface face at 20 mm/day
for two days (factor 1.0), then stops; evaporation of 2 mm/day acts on the surface throughout
(lengths in m, times in days). Nodes where the surface saturates pond at pressure head 0.
The run is unsteady over 10 days. Run: python3 make_rain.py (writes SLOPE.DAT beside this
script).
"""
import os

NX, NY, NZ = 8, 2, 4           # elements along x, y and through the depth
LX, LY = 40.0, 10.0
TABLE = 2.0                    # total head of the water table


def I(w, v):
    """An integer right-aligned in w columns."""
    return "%*d" % (w, v)


def R(w, v):
    """A real in w columns, always with its decimal point."""
    s = repr(float(v))
    return (s if "e" not in s and len(s) <= w else "%.3E" % v).rjust(w)


def top(x):
    return 4.0 + 4.0 * x / LX


def nid(i, j, k):
    return 1 + i + (NX + 1) * (j + (NY + 1) * k)


def main():
    lines = ["HILLSLOPE UNDER A TWO-DAY STORM".ljust(80)]
    nodes = (NX + 1) * (NY + 1) * (NZ + 1)
    elems = NX * NY * NZ
    faces = NX * NY
    rain_nodes = (NX + 1) * (NY + 1)
    lines.append(I(7, nodes) + I(7, elems) + I(6, 1) + "".join(I(5, v) for v in
                 [1, 30, 1, 0, 8, 2, 2, 8, -1, 50, 5]) + I(2, 0) + I(3, 0))
    lines.append("".join(I(5, v) for v in [0, 0, 0, 0, 0, 0]))
    lines.append("".join(I(5, v) for v in [faces, rain_nodes, 4, 1, 1, 1]) + R(10, 0.0))
    lines.append(I(7, 0) + I(7, 0) + I(1, 0) + "".join(I(5, v) for v in
                 [0, 0, 0, 0, 0, 0, 0]) + R(10, 0.0) + I(5, 0))
    lines.append("".join(I(5, v) for v in [0, 0, 0, 0, 0]))
    lines.append("".join(I(5, v) for v in [0, 0, 0]))
    lines.append(I(5, 5) + I(5, 5))
    for k in range(NZ):
        for j in range(NY):
            for i in range(NX):
                up = [nid(i + 1, j + 1, k + 1), nid(i, j + 1, k + 1), nid(i, j, k + 1),
                      nid(i + 1, j, k + 1)]
                down = [nid(i + 1, j + 1, k), nid(i, j + 1, k), nid(i, j, k), nid(i + 1, j, k)]
                e = 1 + i + NX * (j + NY * k)
                lines.append("ELEM " + I(7, e) + "".join(I(7, n) for n in up + down) +
                             I(3, 8) + I(3, 1) + I(7, 0))
    lines.append("TIME " + "".join(R(10, v) for v in [0.05, 0.5, 1.5, 10.0, 0.001]) +
                 I(5, 4) + I(5, 4))
    lines.append("UNIT " + R(10, 1.0) + R(10, 1.0))
    lines.append("PROP " + "".join(R(10, v) for v in [0.5, 0.5, 0.5, 0.4, 1.0e-4]) + I(5, 0))
    lines.append("UNSAT")
    # Relative conductivity and suction against moisture content, from dry to wet.
    for table in ([0.10, 0.0, 0.20, 0.05, 0.30, 0.3, 0.35, 0.6, 0.40, 1.0],
                  [0.10, 5.0, 0.20, 2.0, 0.30, 1.0, 0.35, 0.5, 0.40, 0.0]):
        lines.append("".join(R(10, v) for v in table[:8]))   # eight values a line
        lines.append("".join(R(10, v) for v in table[8:]))
    for k in range(NZ + 1):
        for j in range(NY + 1):
            for i in range(NX + 1):
                x, y = LX * i / NX, LY * j / NY
                z = top(x) * k / NZ
                kode = 1 if i == 0 and z <= TABLE else 0
                lines.append("NODE " + I(7, nid(i, j, k)) + I(3, kode) +
                             "".join(R(10, v) for v in [x, y, z, TABLE, 0.0]))
    # Group L: every surface face (face 1 of the top layer), one rain and one evaporation
    # table.
    first = 1 + NX * NY * (NZ - 1)
    lines.append("RAIN " + I(5, 1))
    lines.append("RAINE" + I(7, first) + I(7, elems) + I(7, 1) + I(3, 1) + I(3, 1) + I(3, 1) +
                 R(10, 1.0))
    lines.append("RAINR" + I(5, 4))
    lines.append("".join(R(10, v) for v in [0.0, 0.02, 2.0, 0.02, 2.01, 0.0]))
    lines.append("".join(R(10, v) for v in [10.0, 0.0]))
    lines.append("EVAPO" + I(5, 1))
    lines.append("".join(R(10, v) for v in [0.0, 0.002]))
    path = os.path.join(os.path.dirname(os.path.abspath(__file__)), "SLOPE.DAT")
    with open(path, "w", newline="") as f:
        f.write("".join(l + "\r\n" for l in lines))


if __name__ == "__main__":
    main()
