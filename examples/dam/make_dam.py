#!/usr/bin/env python3
"""Writes DAM.DAT, a small 3-D section of an earth dam on a sand foundation with a reservoir.

Cross-section in x (upstream at x = 0) and z (elevation), extruded over 30 m in y. The
foundation (material 1) lies from z = -10 to 0 under the whole base; the embankment rises to
a crest at z = 20 between slopes of 1:1.25, with a shell (material 2), a clay core
(material 3) and a toe drain of prisms (material 4). The reservoir is filled at time 0 to
18 m: the upstream face and the foundation's upstream end are held at that total head while the
water table, initially 1 m above the base, rises through the embankment over 30 days; the
downstream face is a seepage face (code -2 until it seeps). The run is unsteady, then steady
(KIND -2), with OMEGA 0.0 so that the steady answer is the steady state. Run:
python3 make_dam.py (writes DAM.DAT beside this script).
"""
import os

NX, NY = 13, 4                       # node columns across, node rows along the dam
LEVELS = [-10.0, -5.0, 0.0, 5.0, 10.0, 15.0, 20.0]
NZ = len(LEVELS)
YS = [0.0, 10.0, 20.0, 30.0]
RESERVOIR = 18.0
INITIAL = 1.0                        # initial total head of the water table


def I(w, v):
    s = str(v)
    assert len(s) <= w
    return s.rjust(w)


def R(w, v):
    s = repr(float(v))
    if 'e' in s:
        s = '%.4E' % v
    assert len(s) <= w and '.' in s
    return s.rjust(w)


def node_no(i, j, k):
    return (j * NZ + k) * NX + i + 1


def x_of(i, z):
    # The embankment narrows upwards; the foundation keeps the width of the base.
    left = 1.25 * z if z > 0 else 0.0
    right = 60.0 - 1.25 * z if z > 0 else 60.0
    return left + (right - left) * i / (NX - 1)


def material(i, k):
    if k < 2:
        return 1
    if 5 <= i <= 7:
        return 3
    if k == 2 and i in (10, 11):
        return 4
    return 2


def hexa(i, j, k):
    # Upper face (level k + 1) counter-clockwise seen from above, then the lower face.
    top = [node_no(i + 1, j + 1, k + 1), node_no(i, j + 1, k + 1), node_no(i, j, k + 1),
           node_no(i + 1, j, k + 1)]
    bot = [node_no(i + 1, j + 1, k), node_no(i, j + 1, k), node_no(i, j, k), node_no(i + 1, j, k)]
    return top + bot


def elem(m, nod, npe, mtyp, inc=0, kw='ELEM '):
    nod = list(nod) + [0] * (8 - len(nod))
    return kw + I(7, m) + ''.join(I(7, n) for n in nod) + I(3, npe) + I(3, mtyp) + I(7, inc)


def table(pairs):
    vals = [v for p in pairs for v in p]
    return [''.join(R(10, v) for v in vals[n:n + 8]) for n in range(0, len(vals), 8)]


# Unsaturated tables: (moisture content, relative conductivity) and (moisture content, suction),
# both from dry to wet, so that the stored pressure heads ascend.
MATS = [
    # K1, K2, K3 (m/day), porosity, Ss (1/m), kr table, suction table
    (5.0, 5.0, 1.0, 0.35, 1.0E-4,
     [(0.05, 1.0E-4), (0.10, 0.01), (0.20, 0.15), (0.30, 0.6), (0.35, 1.0)],
     [(0.05, 1000.0), (0.10, 2.0), (0.20, 0.8), (0.30, 0.3), (0.35, 0.0)]),
    (0.5, 0.5, 0.2, 0.30, 1.0E-4,
     [(0.08, 1.0E-4), (0.15, 0.02), (0.22, 0.2), (0.30, 1.0)],
     [(0.08, 1000.0), (0.15, 2.0), (0.25, 0.5), (0.30, 0.0)]),
    (0.005, 0.005, 0.002, 0.40, 5.0E-4,
     [(0.20, 1.0E-4), (0.30, 0.05), (0.36, 0.4), (0.40, 1.0)],
     [(0.20, 1000.0), (0.32, 5.0), (0.38, 1.0), (0.40, 0.0)]),
    (50.0, 50.0, 50.0, 0.30, 1.0E-5,
     [(0.02, 1.0E-4), (0.10, 0.1), (0.30, 1.0)],
     [(0.02, 1000.0), (0.10, 0.1), (0.30, 0.0)]),
]

elements = []
for j in range(NY - 1):
    for k in range(NZ - 1):
        i = 0
        while i < NX - 1:
            mt = material(i, k)
            if mt == 4:
                h = hexa(i, j, k)
                elements.append((h[0], h[1], h[2], h[4], h[5], h[6], 6, mt))
                elements.append((h[0], h[2], h[3], h[4], h[6], h[7], 6, mt))
                i += 1
                continue
            elements.append(tuple(hexa(i, j, k)) + (8, mt))
            i += 1

# Element records: a run of hexahedra of one material is given by its first and last element
# (the last with increment 1); prisms are given one by one.
elem_lines = []
n = 0
while n < len(elements):
    e = elements[n]
    elem_lines.append(elem(n + 1, e[:8] if e[-2] == 8 else e[:6], e[-2], e[-1]))
    run = n
    while (run + 1 < len(elements) and elements[run + 1][-2] == 8 and e[-2] == 8
           and elements[run + 1][-1] == e[-1]
           and all(a + (run + 1 - n) == b for a, b in zip(e[:8], elements[run + 1][:8]))):
        run += 1
    if run > n:
        last = elements[run]
        elem_lines.append(elem(run + 1, last[:8], 8, last[-1], 1, kw='     '))
    n = run + 1

seepage = []
for j in range(NY):
    seepage.append((node_no(NX - 1, j, 2), node_no(NX - 1, j, NZ - 1), NX))

lines = ['EARTH DAM ON A SAND FOUNDATION, RESERVOIR FILLED TO 18 M'.ljust(80)]
NUMNP, NUMEL, NUMMAT = NX * NY * NZ, len(elements), len(MATS)
MAXSEP = sum((b - a) // s + 1 for a, b, s in seepage)
# NUMNP NUMEL NUMMAT IHEAD ITMAX ITSCH MAXSEP NPEMAX NINTXY NINTZ NCUL KIND ITMAX0 ITCGF ISCR MESHCK
lines.append(I(7, NUMNP) + I(7, NUMEL) + I(6, NUMMAT) +
             ''.join(I(5, v) for v in [1, 30, 1, MAXSEP, 8, 2, 2, 8, -2, 100, 5]) + I(2, 0) + I(3, 0))
lines.append(''.join(I(5, 0) for _ in range(6)))
lines.append(''.join(I(5, 0) for _ in range(6)) + R(10, 0.0))
NKODE = 2 * NY
NINIT = NY
# Element variant B (IELVAR 1) and OMEGA 0.0: the closing steady solve then iterates on its own
# latest heads and converges to the steady state whatever the heads it starts from. With
# variant A the unsaturated shell of these 5 m layers swings between two states and the steady
# solve gives up; a larger OMEGA holds the conductivities at the heads of day 30 instead.
# IBTIME SEPFIL LISTIN IELVAR IEVOFF IHBFIX NDCNT ITHSW OMEGA IDBASE
lines.append(I(7, NKODE) + I(7, NINIT) + I(1, 0) + ''.join(I(5, v) for v in [0, 0, 1, 0, 0, 0, 0])
             + R(10, 0.0) + I(5, 0))
lines.append(''.join(I(5, 0) for _ in range(5)))
lines.append(''.join(I(5, 0) for _ in range(3)))
lengths = []
for m in MATS:
    lengths += [len(m[5]), len(m[6])]
lines.append(''.join(I(5, v) for v in lengths))
lines += elem_lines
lines.append('SEEP ' + I(5, len(seepage)))
for a, b, s in seepage:
    lines.append('SEEP ' + I(7, a) + I(7, b) + I(7, s) + R(14, 0.0))
lines.append('TIME ' + ''.join(R(10, v) for v in [0.01, 2.0, 1.5, 30.0, 0.001]) + I(5, 10) + I(5, 5))
lines.append('UNIT ' + R(10, 1.0) + R(10, 1.0))
for m in MATS:
    lines.append('PROP ' + ''.join(R(10, v) for v in m[:5]) + I(5, 0))
for m in MATS:
    lines.append('UNSAT')
    lines += table(m[5])
    lines += table(m[6])
# Node rows: the two ends of each row of constant y and z; the nodes between are generated.
# Initial total head falls from the reservoir level to the downstream toe.
first = True
for j in range(NY):
    for k in range(NZ):
        z = LEVELS[k]
        for i in (0, NX - 1):
            head = RESERVOIR if i == 0 else INITIAL
            lines.append(('NODE ' if first else '     ') + I(7, node_no(i, j, k)) + I(3, 0) +
                         R(10, x_of(i, z)) + R(10, YS[j]) + R(10, z) + R(10, head) + R(10, 0.0))
            first = False
# Upstream face below the reservoir level, and the foundation's upstream end: fixed heads.
for j in range(NY):
    lines.append('KODE ' + I(7, node_no(0, j, 0)) + I(7, node_no(0, j, 5)) + I(7, NX) + I(4, 1))
# Downstream face: seepage nodes, not seeping at the start.
for a, b, s in seepage:
    lines.append('KODE ' + I(7, a) + I(7, b) + I(7, s) + I(4, -2))
for j in range(NY):
    lines.append('INIT ' + I(7, node_no(0, j, 0)) + I(7, node_no(0, j, 5)) + I(7, NX) + 'H' +
                 R(23, RESERVOIR))

here = os.path.dirname(os.path.abspath(__file__))
with open(os.path.join(here, 'DAM.DAT'), 'w', newline='') as f:
    for line in lines:
        f.write(line + '\r\n')
