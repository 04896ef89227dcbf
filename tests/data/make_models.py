#!/usr/bin/env python3
"""Writes the small solver models of the numeric end-to-end tests (run once; the models are
committed beside this script). Each model is a directory with WORK.LST and model.dat, and
NDLIST.DAT where the model records node histories."""
import math
import os

HERE = os.path.dirname(os.path.abspath(__file__))


def e10(v):
    """A real in a 10-column field, always with a decimal point (a field without one would
    take its last digits as the fraction); None gives a blank field (read as 0)."""
    if v is None:
        return " " * 10
    s = ("%.6f" % v).rstrip("0")
    if s.endswith("."):
        s += "0"
    if len(s) > 10 or (v != 0.0 and abs(v) < 1.0e-3):
        s = "%.3E" % v
    assert len(s) <= 10, v
    return s.rjust(10)


def real(v, w):
    """e10 in a field of w columns."""
    s = e10(v).strip()
    assert len(s) <= w, v
    return s.rjust(w)


def newc_time(t):
    return "NEWC " + e10(t)


def matc_time(t):
    return "MATC " + e10(t)


def count(kw, n):
    return kw + "%5d" % n


def newcb(node, code, c1=" ", v1=None, c2=" ", v2=None, v3=None):
    """A NEWCB line: node, new code, the C1 flag with V1, the C2 flag with V2, and V3."""
    return ("NEWCB" + "%7d%3d" % (node, code) + c1 + (real(v1, 9) if v1 is not None else " " * 9)
            + c2 + (real(v2, 9) if v2 is not None else " " * 9) + e10(v3))


def newc_group(kw, node, flag, group):
    """A NEWCH or NEWCQ line: node, flag, target group."""
    return kw + "%7d%3d%5d" % (node, flag, group)


def newcr(elem, flag, face=0, irt=0, iet=0, fact=None):
    """A NEWCR line: element, flag (-1 removes its faces), face, rain and evaporation tables,
    factor."""
    return "NEWCR" + "%7d%3d%4d%3d%3d" % (elem, flag, face, irt, iet) + e10(fact)


def matc_line(kw, a, b):
    return kw + "%7d%3d" % (a, b)


def work_lst(mtotbd=0, mtotib=0):
    return "\r\n".join(["work.tmp", "scr2.tmp", "scr3.tmp", "scr4.tmp", "result2.dat",
                        "result.dat", str(mtotbd), str(mtotib), "model.dat",
                        "listing.txt"]) + "\r\n"


# Moisture tables of a sandy loam: relative conductivity against moisture content, and
# moisture content against suction (suction descending, so the stored pressure heads ascend).
LOAM_RK = [(0.10, 0.0), (0.20, 0.05), (0.30, 0.3), (0.40, 1.0)]
LOAM_PS = [(0.10, 5.0), (0.20, 2.0), (0.30, 1.0), (0.40, 0.0)]


def model(title, nodes, elems, *, kind=1, itmax=20, itmax0=30, ncul=5, itsch=1, iscr=0,
          ielvar=0, ihead=1, nintxy=2, nintz=2, npemax=8, tmax=0.0, dt=1.0, dtmax=1.0,
          fact=1.0, epsln=1.0e-6, nprint=1, npost=1, cons1=1.0, cons2=1.0,
          materials=None, seep=None, maxsep=0, ndcnt=0, ithsw=0, omega=0.0, idbase=0,
          ievoff=1, bc1=None, newc=(0, 0, 0, 0, 0), matc=(0, 0, 0), events=(),
          rain=None, ibtime=0, heads=None, fluxes=None, ihbfix=0):
    """One model file. nodes: (x, y, z, kode, head, q); elems: (node list, material).
    materials: dicts with k (three values), por, ss, optional angles (3 x 3 degrees) and the
    two tables rk, ps. rain: see rain_counts() and rain_group(). heads, fluxes:
    prescribed-head and prescribed-flux groups, each a pair (node list, table of (time, value)
    pairs), written after group L. bc1, newc and matc: the head/flux-group (by default from
    heads and fluxes), NEWC and MATC count records; events: the records after these groups."""
    if materials is None:
        materials = [dict(k=(1.0e-3,) * 3, por=0.4, ss=1.0e-4, rk=[(0.1, 0.0), (0.4, 1.0)],
                          ps=[(0.1, 10.0), (0.4, 0.0)])]
    seep = seep or []
    if seep and maxsep == 0:
        maxsep = sum(1 for _ in seep_nodes(seep))
    lines = [title.ljust(80)[:80]]
    lines.append("%7d%7d%6d%5d%5d%5d%5d%5d%5d%5d%5d%5d%5d%5d%2d%3d" % (
        len(nodes), len(elems), len(materials), ihead, itmax, itsch, maxsep, npemax, nintxy,
        nintz, ncul, kind, itmax0, 0, iscr, 0))
    heads, fluxes = heads or [], fluxes or []
    def sizes(groups):
        if not groups:
            return (0, 0, 0)
        return (len(groups), max(len(n) for n, _ in groups), max(len(t) for _, t in groups))
    if bc1 is None:
        bc1 = sizes(heads) + sizes(fluxes)
    lines.append("%5d%5d%5d%5d%5d%5d" % tuple(bc1))
    lines.append("%5d%5d%5d%5d%5d%5d" % rain_counts(rain)[:6] + e10(rain_counts(rain)[6]))
    lines.append("%7d%7d%1d%5d%5d%5d%5d%5d%5d%5d%10s%5d" % (
        0, 0, ibtime, 0, 0, ielvar, ievoff, ihbfix, ndcnt, ithsw, "%.4f" % omega, idbase))
    lines.append("%5d%5d%5d%5d%5d" % tuple(newc))
    lines.append("%5d%5d%5d" % tuple(matc))
    lens = "".join("%5d%5d" % (len(m["rk"]), len(m["ps"])) for m in materials)
    for i in range(0, len(lens), 80):
        lines.append(lens[i:i + 80])
    for e, (nod, mat) in enumerate(elems, start=1):
        npe = len(nod)
        slots = list(nod) + [0] * (8 - npe)
        lines.append("ELEM " + "%7d" % e + "".join("%7d" % n for n in slots) +
                     "%3d%3d%7d" % (npe, mat, 1))
    if maxsep > 0:
        lines.append("SEEP %5d" % len(seep))
        for (n1, n2, inc, val) in seep:
            lines.append("SEEP " + "%7d%7d%7d" % (n1, n2, inc) + ("%.6f" % val).rjust(14))
    lines.append("TIME " + e10(dt) + e10(dtmax) + e10(fact) + e10(tmax) + e10(epsln) +
                 "%5d%5d" % (nprint, npost))
    lines.append("UNIT " + e10(cons1) + e10(cons2))
    for m in materials:
        angles = m.get("angles")
        lines.append("PROP " + "".join(e10(v) for v in m["k"]) + e10(m["por"]) +
                     e10(m["ss"]) + "%5d" % (1 if angles else 0))
        if angles:
            for row in angles:
                lines.append("     " + "".join(("%.4f" % a).rjust(10) for a in row))
    for m in materials:
        lines.append("UNSAT")
        for tab in (m["rk"], m["ps"]):
            flat = [v for pair in tab for v in pair]
            for i in range(0, max(len(flat), 1), 8):
                lines.append("".join(e10(v) for v in flat[i:i + 8]))
    for n, (x, y, z, kode, h, q) in enumerate(nodes, start=1):
        lines.append("NODE " + "%7d%3d" % (n, kode) + e10(x) + e10(y) + e10(z) + e10(h) +
                     e10(q))
    if rain:
        lines += rain_group(rain)
    for groups, keyword, table_keyword in ((heads, "HBOUN", "HTIME"),
                                           (fluxes, "QBOUN", "QTIME")):
        if not groups:
            continue
        for nodes_of_group, _ in groups:
            lines.append(keyword + "%5d" % len(nodes_of_group))
            lines += ten_a_line(nodes_of_group)
        lines.append(table_keyword)
        lines += ten_a_line([len(t) for _, t in groups])
        for _, tab in groups:
            flat = [v for pair in tab for v in pair]
            for i in range(0, len(flat), 6):
                lines.append("".join(e10(v) for v in flat[i:i + 6]))
    lines.extend(events)
    return "\r\n".join(lines) + "\r\n"


def rain_counts(rain):
    """NRFACE NRNODE NRRPT NRR NEVPT NEV PSIRN of a rain dict: faces (E1, E2, INC, IFACE,
    IRT, IET, RFACT), rainr and evapo (lists of tables of (time, rate) pairs), nrnode, psirn
    and optionally nrface."""
    if not rain:
        return (0, 0, 0, 0, 0, 0, 0.0)
    rr, ev = rain.get("rainr", []), rain.get("evapo", [])
    nrface = rain.get("nrface")
    if nrface is None:
        nrface = sum(len(range(f[0], (f[1] or f[0]) + 1, f[2] or 1)) for f in rain["faces"])
    return (nrface, rain["nrnode"], max((len(t) for t in rr), default=0), len(rr),
            max((len(t) for t in ev), default=0), len(ev), rain.get("psirn", 0.0))


def rain_group(rain):
    """Group L: the RAIN record, the RAINE ranges, the RAINR and EVAPO tables."""
    lines = ["RAIN %5d" % len(rain["faces"])]
    for (e1, e2, inc, face, irt, iet, fact) in rain["faces"]:
        lines.append("RAINE" + "%7d%7d%7d%3d%3d%3d" % (e1, e2, inc, face, irt, iet) + e10(fact))
    for key, tables in (("RAINR", rain.get("rainr", [])), ("EVAPO", rain.get("evapo", []))):
        for t in tables:
            lines.append("%s%5d" % (key, len(t)))
            flat = [v for pair in t for v in pair]
            for i in range(0, max(len(flat), 1), 6):
                lines.append("".join(e10(v) for v in flat[i:i + 6]))
    return lines


def ten_a_line(values):
    return ["".join("%7d" % v for v in values[i:i + 10]) for i in range(0, len(values), 10)]


def seep_nodes(seep):
    for (n1, n2, inc, _) in seep:
        inc = inc or 1
        n2 = n2 or n1
        for k in range((n2 + inc - n1) // inc):
            yield n1 + k * inc


def column_mesh(nz, height, *, top_head=None, bottom_head=None, init_head=0.0, top_q=0.0,
                bottom_q=0.0):
    """A vertical column of nz hexahedra of unit cross-section, z from 0 to height, node
    4 x layer + corner. Heads are total heads. top_head/bottom_head prescribe the four nodes
    of that face (KODE 1); other nodes start at init_head; top_q and bottom_q are spread
    over the four nodes of their face."""
    corners = [(0.0, 0.0), (1.0, 0.0), (1.0, 1.0), (0.0, 1.0)]
    nodes = []
    for layer in range(nz + 1):
        z = height * layer / nz
        for (x, y) in corners:
            kode, h, q = 0, init_head, 0.0
            if layer == nz:
                q = top_q / 4.0
                if top_head is not None:
                    kode, h = 1, top_head
            if layer == 0:
                q = bottom_q / 4.0
                if bottom_head is not None:
                    kode, h = 1, bottom_head
            nodes.append((x, y, z, kode, h, q))
    elems = []
    for e in range(1, nz + 1):
        top = [4 * e + c for c in (3, 4, 1, 2)]
        bot = [4 * (e - 1) + c for c in (3, 4, 1, 2)]
        elems.append((top + bot, 1))
    return nodes, elems


def column(nz, height, *, title, top_head=None, bottom_head=None, init_head=0.0, top_q=0.0,
           bottom_q=0.0, k=1.0e-3, por=0.4, ss=1.0e-4, tables=None, **kw):
    nodes, elems = column_mesh(nz, height, top_head=top_head, bottom_head=bottom_head,
                               init_head=init_head, top_q=top_q, bottom_q=bottom_q)
    rk, ps = tables or ([(0.1, 0.0), (por, 1.0)], [(0.1, 10.0), (por, 0.0)])
    mats = [dict(k=(k, k, k), por=por, ss=ss, rk=rk, ps=ps)]
    return model(title, nodes, elems, materials=mats, **kw)


def rotation_angles():
    """Angles (degrees) between the principal axes and x, y, z for a turn of 30 degrees
    about z followed by a tilt of 40 degrees about the new first axis."""
    c, s = math.cos(math.radians(30)), math.sin(math.radians(30))
    rz = [[c, s, 0.0], [-s, c, 0.0], [0.0, 0.0, 1.0]]
    c, s = math.cos(math.radians(40)), math.sin(math.radians(40))
    rx = [[1.0, 0.0, 0.0], [0.0, c, s], [0.0, -s, c]]
    r = [[sum(rx[i][k] * rz[k][j] for k in range(3)) for j in range(3)] for i in range(3)]
    return [[math.degrees(math.acos(max(-1.0, min(1.0, v)))) for v in row] for row in r]


def linear_head(x, y, z):
    return 10.0 + 0.3 * x - 0.2 * y + 0.5 * z


def distorted_block():
    """A block of 3 x 3 x 3 cells with every node moved off the grid; the columns of cells
    whose (i, j) sum is odd are split into two prisms each (whole columns, so that no prism's
    triangle meets a hexahedron's warped face). Boundary nodes hold the linear total head of
    linear_head(); the inner eight nodes are free and start at 10."""
    n = 3
    def nid(i, j, k):
        return 1 + i + (n + 1) * (j + (n + 1) * k)
    nodes = []
    for k in range(n + 1):
        for j in range(n + 1):
            for i in range(n + 1):
                # Deterministic offsets of up to 0.15 of the spacing.
                dx = 0.15 * math.sin(1.7 * i + 2.3 * j + 0.9 * k + 0.4)
                dy = 0.15 * math.sin(0.8 * i + 1.9 * j + 2.9 * k + 1.1)
                dz = 0.15 * math.sin(2.6 * i + 0.7 * j + 1.3 * k + 2.0)
                # Coordinates of two decimals keep the boundary heads exact in their fields.
                x, y, z = round(i + dx, 2), round(j + dy, 2), round(k + dz, 2)
                inner = 0 < i < n and 0 < j < n and 0 < k < n
                if inner:
                    nodes.append((x, y, z, 0, 10.0, 0.0))
                else:
                    nodes.append((x, y, z, 1, linear_head(x, y, z), 0.0))
    elems = []
    for k in range(n):
        for j in range(n):
            for i in range(n):
                c00t, c10t = nid(i, j, k + 1), nid(i + 1, j, k + 1)
                c11t, c01t = nid(i + 1, j + 1, k + 1), nid(i, j + 1, k + 1)
                c00b, c10b = nid(i, j, k), nid(i + 1, j, k)
                c11b, c01b = nid(i + 1, j + 1, k), nid(i, j + 1, k)
                if (i + j) % 2 == 0:
                    elems.append(([c11t, c01t, c00t, c10t, c11b, c01b, c00b, c10b], 1))
                else:
                    elems.append(([c00t, c10t, c11t, c00b, c10b, c11b], 1))
                    elems.append(([c00t, c11t, c01t, c00b, c11b, c01b], 1))
    return nodes, elems


def slab_mesh(nx, nz, lx, height, init_head):
    """A vertical slab of nx x nz hexahedra, one element (1 unit) thick in y; node number
    1 + i + (nx + 1) x (j + 2 k). Every node starts at total head init_head."""
    def nid(i, j, k):
        return 1 + i + (nx + 1) * (j + 2 * k)
    nodes = []
    for k in range(nz + 1):
        for j in range(2):
            for i in range(nx + 1):
                nodes.append((lx * i / nx, float(j), height * k / nz, 0, init_head, 0.0))
    elems = []
    for k in range(nz):
        for i in range(nx):
            elems.append(([nid(i + 1, 1, k + 1), nid(i, 1, k + 1), nid(i, 0, k + 1),
                           nid(i + 1, 0, k + 1), nid(i + 1, 1, k), nid(i, 1, k), nid(i, 0, k),
                           nid(i + 1, 0, k)], 1))
    return nodes, elems, nid


def box_mesh(nx, ny, nz, lx, ly, lz, init_head, bottom_head=None):
    """A box of nx x ny x nz hexahedra, layer by layer from the base, so the top layer is
    the last nx x ny elements; node number 1 + i + (nx + 1) (j + (ny + 1) k). Every node
    starts at total head init_head; bottom_head prescribes the base nodes."""
    def nid(i, j, k):
        return 1 + i + (nx + 1) * (j + (ny + 1) * k)
    nodes = []
    for k in range(nz + 1):
        for j in range(ny + 1):
            for i in range(nx + 1):
                kode, h = 0, init_head
                if k == 0 and bottom_head is not None:
                    kode, h = 1, bottom_head
                nodes.append((lx * i / nx, ly * j / ny, lz * k / nz, kode, h, 0.0))
    elems = []
    for k in range(nz):
        for j in range(ny):
            for i in range(nx):
                up = [nid(i + 1, j + 1, k + 1), nid(i, j + 1, k + 1), nid(i, j, k + 1),
                      nid(i + 1, j, k + 1)]
                down = [nid(i + 1, j + 1, k), nid(i, j + 1, k), nid(i, j, k), nid(i + 1, j, k)]
                elems.append((up + down, 1))
    return nodes, elems, nid


def gardner_tables(alpha, psi_min, points):
    """Tables of a soil whose relative conductivity is exp(alpha psi): moisture content
    linear in the pressure head from 0.1 at psi_min to 0.4 at 0, and kr tabulated at the
    same points (both from dry to wet)."""
    rk, ps = [], []
    for i in range(points):
        psi = psi_min * (1.0 - i / (points - 1))
        th = 0.4 - 0.3 * psi / psi_min
        rk.append((round(th, 6), float("%.4E" % math.exp(alpha * psi))))
        ps.append((round(th, 6), round(-psi, 6)))
    return rk, ps


def write(name, text, *, mtotbd=0, mtotib=0, ndlist=None):
    d = os.path.join(HERE, name)
    os.makedirs(d, exist_ok=True)
    with open(os.path.join(d, "model.dat"), "w", newline="") as f:
        f.write(text)
    with open(os.path.join(d, "WORK.LST"), "w", newline="") as f:
        f.write(work_lst(mtotbd, mtotib))
    if ndlist:
        with open(os.path.join(d, "NDLIST.DAT"), "w", newline="") as f:
            f.write("".join("%d %d %d\r\n" % e for e in ndlist))


LOAM = dict(k=(1.0e-2,) * 3, por=0.4, ss=1.0e-4, rk=LOAM_RK, ps=LOAM_PS)


if __name__ == "__main__":
    # Saturated column between two prescribed heads: linear total head, uniform velocity.
    write("column_steady", column(10, 5.0, title="SATURATED COLUMN BETWEEN TWO HEADS",
                                  top_head=10.0, bottom_head=2.0, init_head=6.0))
    # Hydrostatic column: uniform total head, zero velocity.
    write("column_hydrostatic", column(10, 5.0, title="HYDROSTATIC COLUMN",
                                       top_head=8.0, bottom_head=8.0, init_head=8.0))
    # The same column reading its matrix structure back from fort.55.
    write("column_steady_reuse", column(10, 5.0, title="SATURATED COLUMN BETWEEN TWO HEADS",
                                        top_head=10.0, bottom_head=2.0, init_head=6.0,
                                        idbase=1))

    # Linear head field on distorted hexahedra and prisms with a rotated anisotropic
    # conductivity.
    nodes, elems = distorted_block()
    rot = dict(k=(2.0e-3, 1.0e-3, 0.5e-3), por=0.35, ss=1.0e-4, angles=rotation_angles(),
               rk=[(0.1, 0.0), (0.35, 1.0)], ps=[(0.1, 10.0), (0.35, 0.0)])
    write("block_linear", model("LINEAR HEAD ON DISTORTED HEXAHEDRA AND PRISMS", nodes, elems,
                                materials=[rot], epsln=1.0e-9))

    # Steady downward flow through an unsaturated column above a water table, under both
    # element variants; the same with a step limit of 0 and with an initial limit too low.
    for name, extra in (("unsat_column_a", dict(ielvar=0)), ("unsat_column_b", dict(ielvar=1)),
                        ("unsat_column_a_store0", dict(ielvar=0, iscr=1)),
                        ("unsat_column_itmax0", dict(itmax=0)),
                        ("unsat_column_initial_limit", dict(itmax0=3, epsln=1.0e-12))):
        write(name, column(10, 5.0, title="UNSATURATED COLUMN ABOVE A WATER TABLE",
                           top_head=3.0, bottom_head=1.0, init_head=1.0, k=1.0e-2,
                           tables=(LOAM_RK, LOAM_PS), omega=0.5, **extra))

    # Transient diffusion in a saturated column 1 long, D = K / SS = 1: the top drops from
    # head 3 to 2 at time 0, the base is closed. Fully implicit and Crank-Nicolson.
    for name, itsch in (("diffusion_implicit", 1), ("diffusion_cn", 2)):
        write(name, column(20, 1.0, title="DIFFUSION IN A SATURATED COLUMN", top_head=2.0,
                           init_head=3.0, k=1.0, ss=1.0, kind=-1, itsch=itsch, dt=0.0025,
                           dtmax=0.0025, fact=1.0, tmax=0.2, epsln=1.0e-9))

    # Inflow at the base of a saturated column draining at its top: water balance. KIND -2
    # ends with the steady state of the same boundary conditions.
    for name, itsch, iscr in (("balance_implicit", 1, 0), ("balance_cn", 2, 0),
                              ("balance_cn_store0", 2, 1)):
        write(name, column(8, 2.0, title="WATER BALANCE OF A SATURATED COLUMN", top_head=4.0,
                           init_head=4.0, bottom_q=0.02, k=0.1, ss=0.01, kind=-2,
                           itsch=itsch, iscr=iscr, dt=0.01, dtmax=0.2, fact=1.5, tmax=2.0,
                           epsln=1.0e-9, ndcnt=2, npost=3, nprint=2),
              ndlist=[(10, 1, -3), (33, 36, 1)])

    # Control flow: a steady stage then unsteady steps (KIND 0), the same ending at time 0
    # with no step length given, and an unsteady run whose first step passes TMAX.
    write("kind0_column", column(8, 2.0, title="STEADY THEN UNSTEADY", top_head=4.0,
                                 init_head=4.0, bottom_q=0.02, k=0.1, ss=0.01, kind=0,
                                 dt=0.1, dtmax=1.0, fact=2.0, tmax=1.0, epsln=1.0e-9))
    write("kind0_tmax0", column(8, 2.0, title="STEADY STAGE ONLY", top_head=4.0,
                                init_head=4.0, bottom_q=0.02, k=0.1, ss=0.01, kind=0,
                                dt=None, dtmax=None, fact=None, tmax=0.0, epsln=1.0e-9))

    # Step-length ends: a step of 0 from a blank DTMAX or FACT after the first step, a blank DT, a
    # first step longer than TMAX, a steady stage with TMAX below 0, a last step that ends a
    # hair below TMAX (0.69 + 1.0099999999999998), and too many cuts.
    common = dict(title="STEP LENGTH CONTROL", top_head=2.0, init_head=3.0, k=1.0, ss=1.0,
                  epsln=1.0e-6)
    write("blank_dtmax", column(4, 1.0, kind=-1, dt=0.1, dtmax=None, fact=1.0, tmax=1.0,
                                **common))
    write("blank_fact", column(4, 1.0, kind=-1, dt=0.1, dtmax=0.2, fact=None, tmax=1.0,
                               **common))
    write("blank_dt", column(4, 1.0, kind=-1, dt=None, dtmax=0.1, fact=1.0, tmax=1.0,
                             **common))
    write("first_step_past_tmax", column(4, 1.0, kind=-1, dt=1.0, dtmax=1.0, fact=1.0,
                                         tmax=0.5, **common))
    write("kind0_negative_tmax", column(4, 1.0, kind=0, dt=0.1, dtmax=0.1, fact=1.0,
                                        tmax=-1.0, **common))
    write("hair_below_tmax", column(4, 1.0, kind=-1, dt=0.23, dtmax=1.0, fact=2.0, tmax=1.7,
                                    nprint=2, npost=2, **common))
    write("ncul_column", column(4, 1.0, kind=-1, dt=0.1, dtmax=0.1, fact=1.0, tmax=1.0,
                                itmax=3, ncul=3, **dict(common, epsln=-1.0)))
    # Listing every fifth step and writing every tenth, with node histories.
    write("intervals_column", column(4, 1.0, kind=-1, dt=0.01, dtmax=0.01, fact=1.0,
                                     tmax=0.23, nprint=5, npost=10, ndcnt=2, **common),
          ndlist=[(10, 1, -3), (20, 17, 1)])

    # Drainage of a slab through a seepage face on its right side.
    nx, nz = 4, 4
    nodes, elems, nid = slab_mesh(nx, nz, 4.0, 4.0, 3.5)
    seep = [(nid(nx, j, k), 0, 0, 0.0) for k in range(nz + 1) for j in range(2)]
    face = set(seep_nodes(seep))
    nodes = [(x, y, z, -2 if n in face else kode, h, q)
             for n, (x, y, z, kode, h, q) in enumerate(nodes, start=1)]
    for name, iscr, ielvar in (("seepage_drain", 0, 0), ("seepage_drain_store0", 1, 0),
                               ("seepage_drain_b", 0, 1)):
        write(name, model("DRAINAGE THROUGH A SEEPAGE FACE", nodes, elems, materials=[LOAM],
                          kind=-1, seep=seep, iscr=iscr, ielvar=ielvar, dt=0.25, dtmax=20.0,
                          fact=2.0, tmax=200.0, epsln=1.0e-4, itmax=15, ncul=6, omega=0.5))

    # Excavation of a saturated column in two stages: at time 4 the top element (material 4)
    # is removed and the new floor (z = 3) held at pressure head 0; at time 8 element 3 goes
    # and the floor z = 2 is held. The base stays at total head 10.
    nodes, elems = column_mesh(4, 4.0, top_head=10.0, bottom_head=10.0, init_head=10.0)
    elems = [(nod, e) for e, (nod, _) in enumerate(elems, start=1)]
    sat = dict(k=(1.0e-2,) * 3, por=0.4, ss=1.0e-6, rk=[(0.1, 0.0), (0.4, 1.0)],
               ps=[(0.1, 10.0), (0.4, 0.0)])
    floor = lambda z, first: [newcb(n, 1, "N", float(z)) for n in range(first, first + 4)]
    excavation = (
        [newc_time(4.0), count("NEWCB", 4)] + floor(3, 13) +
        [newc_time(8.0), count("NEWCB", 4)] + floor(2, 9) +
        [matc_time(4.0), count("MATCE", 0), count("MATCM", 1), matc_line("MATCM", 4, 0),
         matc_time(8.0), count("MATCE", 1), matc_line("MATCE", 3, 0), count("MATCM", 0)])
    excavation_model = model("EXCAVATION OF A SATURATED COLUMN", nodes, elems,
                             materials=[sat] * 4, kind=-1, dt=2.0, dtmax=2.0, fact=1.0,
                             tmax=12.0, epsln=1.0e-9, newc=(2, 0, 0, 4, 0), matc=(2, 1, 1),
                             events=excavation)
    write("excavation_column", excavation_model)
    # The same excavation with the floors as head groups 1 (head 3) and 2 (head 2), empty at
    # first: the NEWC events move the floor nodes into them (at time 8 the old floor leaves
    # its group). Steps of 1.5 land on the event times 4 and 8.
    int_line = lambda vals: "".join("%7d" % v for v in vals)
    floor_groups = ["HBOUN" + "%5d" % 0, "HBOUN" + "%5d" % 0, "HTIME", int_line([1, 1]),
                    e10(0.0) + e10(3.0), e10(0.0) + e10(2.0)]
    into = lambda g, first: [newc_group("NEWCH", n, 0, g) for n in range(first, first + 4)]
    head_group_events = (
        [newc_time(4.0), count("NEWCH", 4)] + into(1, 13) +
        [newc_time(8.0), count("NEWCH", 8)] + into(2, 9) +
        [newc_group("NEWCH", n, -1, 0) for n in range(13, 17)] + excavation[-8:])
    write("excavation_head_groups",
          model("EXCAVATION WITH HEAD GROUPS ON THE FLOORS", nodes, elems, materials=[sat] * 4,
                kind=-1, dt=1.5, dtmax=1.5, fact=1.5, tmax=12.0, epsln=1.0e-9, ievoff=0,
                bc1=(2, 4, 1, 0, 0, 0), newc=(2, 8, 0, 0, 0), matc=(2, 1, 1),
                events=floor_groups + head_group_events))

    # The same with every kind of NEWC line, at 9.5, on nodes of removed elements: the old
    # floor z = 3 leaves group 1 (NEWCH flag -1), the old top z = 4 enters an empty flux group
    # of inflow 0 (NEWCQ), node 18 is given code 0 (NEWCB), and the rain face of the removed
    # top element moves to element 2 (NEWCR), which resets the old rain nodes. All of these
    # nodes stay out of the solve; the heads are those of the excavation.
    flux_group = ["QBOUN" + "%5d" % 0, "QTIME", int_line([1]), e10(0.0) + e10(0.0)]
    no_lines = [count(kw, 0) for kw in ("NEWCQ", "NEWCB", "NEWCR")]
    orphan_events = (
        [newc_time(4.0), count("NEWCH", 4)] + into(1, 13) + no_lines +
        [newc_time(8.0), count("NEWCH", 4)] + into(2, 9) + no_lines +
        [newc_time(9.5), count("NEWCH", 4)] +
        [newc_group("NEWCH", n, -1, 0) for n in range(13, 17)] +
        [count("NEWCQ", 4)] + [newc_group("NEWCQ", n, 0, 1) for n in range(17, 21)] +
        [count("NEWCB", 1), newcb(18, 0), count("NEWCR", 2), newcr(4, -1),
         newcr(2, 0, 1, 1, 0, 1.0)] + excavation[-8:])
    write("excavation_orphans",
          model("NEWC LINES ON NODES OF REMOVED ELEMENTS", nodes, elems, materials=[sat] * 4,
                kind=-1, dt=1.5, dtmax=1.5, fact=1.5, tmax=12.0, epsln=1.0e-9, ievoff=0,
                bc1=(2, 4, 1, 1, 4, 1), newc=(3, 4, 4, 1, 2), matc=(2, 1, 1),
                rain=dict(faces=[(4, 0, 0, 1, 1, 0, 1.0)], nrnode=4,
                          rainr=[[(0.0, 1.0e-3)]]),
                events=floor_groups + flux_group + orphan_events))

    # Wetting of an unsaturated column: at time 1 its top is held at pressure head 0.5. The
    # first step ends at 1, fires the event, needs more than ITMAX iterations and is cut to
    # end at 0.5; the event stays fired.
    wetting = [newc_time(1.0), count("NEWCB", 4)] + [newcb(n, 1, "N", 5.5) for n in range(41, 45)]
    write("wetting_cut", column(10, 5.0, title="WETTING AT TIME 1", bottom_head=1.0,
                                init_head=1.0, k=1.0e-2, tables=(LOAM_RK, LOAM_PS), kind=-1,
                                dt=1.0, dtmax=1.0, fact=1.0, tmax=3.0, itmax=3, ncul=4,
                                epsln=1.0e-4, newc=(1, 0, 0, 4, 0), events=wetting))

    # A closed saturated column, hydrostatic at first, whose four base nodes are given an
    # inflow of 0.005 each by a NEWCB line ("N") at time 1: from the step that fires it on, the
    # column stores 0.02 per unit time.
    inflow = [newc_time(1.0), count("NEWCB", 4)] + [newcb(n, 0, c2="N", v2=0.005)
                                                    for n in range(1, 5)]
    write("inflow_event_column", column(8, 2.0, title="INFLOW GIVEN BY A CHANGE EVENT",
                                        init_head=4.0, k=0.1, ss=0.01, kind=-1, dt=0.5,
                                        dtmax=0.5, fact=1.0, tmax=2.0, epsln=1.0e-9,
                                        newc=(1, 0, 0, 4, 0), events=inflow))

    # Steady rain (rate 4E-4, factor 0.5) and evaporation (5E-5, no factor) on the 3 x 2 top
    # of a saturated box over a base held at total head 10: uniform downward flow 1.5E-4.
    nodes, elems, nid = box_mesh(2, 2, 4, 3.0, 2.0, 2.0, 10.0, bottom_head=10.0)
    write("rain_box_steady", model("STEADY RAIN AND EVAPORATION ON A SATURATED BOX", nodes, elems,
                                   materials=[dict(k=(1.0e-3,) * 3, por=0.4, ss=1.0e-4,
                                                   rk=[(0.1, 0.0), (0.4, 1.0)],
                                                   ps=[(0.1, 10.0), (0.4, 0.0)])],
                                   epsln=1.0e-10,
                                   rain=dict(faces=[(13, 16, 1, 1, 1, 1, 0.5)], nrnode=9,
                                             rainr=[[(0.0, 4.0e-4)]], evapo=[[(0.0, 5.0e-5)]],
                                             psirn=100.0)))

    # Infiltration 0.2 Ks into an unsaturated column 5 high, hydrostatic above a water table
    # at its base at first, in a soil with kr = exp(psi): run on until the profile is steady,
    # Gardner's closed form.
    rk, ps = gardner_tables(1.0, -6.0, 121)
    write("rain_gardner_column",
          column(50, 5.0, title="INFILTRATION TO A STEADY PROFILE, EXPONENTIAL CONDUCTIVITY",
                 bottom_head=0.0, init_head=0.0, k=1.0e-2, tables=(rk, ps), kind=-1, dt=0.1,
                 dtmax=1000.0, fact=1.5, tmax=5000.0, epsln=1.0e-6, itmax=30, ncul=10,
                 npost=1000, nprint=1000,
                 rain=dict(faces=[(50, 0, 0, 1, 1, 0, 1.0)], nrnode=4,
                           rainr=[[(0.0, 2.0e-3)]], psirn=0.0)))

    # Rain of ten times the saturated conductivity on a dry column until time 2, then none: the
    # top ponds (code 4 at PSIRN 0) and returns to the rain flux when the rain stops.
    write("rain_ponding", column(10, 2.0, title="PONDING UNDER HEAVY RAIN", bottom_head=0.0,
                                 init_head=0.0, k=1.0e-2, tables=(LOAM_RK, LOAM_PS), kind=-1,
                                 dt=0.05, dtmax=0.05, fact=1.0, tmax=3.0, epsln=1.0e-6,
                                 itmax=30, ncul=6,
                                 rain=dict(faces=[(10, 0, 0, 1, 1, 0, 1.0)], nrnode=4,
                                           rainr=[[(0.0, 1.0e-1), (2.0, 1.0e-1), (2.0001, 0.0),
                                                   (10.0, 0.0)]],
                                           psirn=0.0)))

    # Rain into a closed saturated box: the cumulative inflow is the rain volume and equals
    # the stored water.
    nodes, elems, nid = box_mesh(2, 2, 2, 2.0, 2.0, 1.0, 5.0)
    write("rain_closed_box", model("RAIN INTO A CLOSED BOX", nodes, elems,
                                   materials=[dict(k=(1.0e-2,) * 3, por=0.4, ss=1.0e-2,
                                                   rk=[(0.1, 0.0), (0.4, 1.0)],
                                                   ps=[(0.1, 10.0), (0.4, 0.0)])],
                                   kind=-1, dt=0.5, dtmax=0.5, fact=1.0, tmax=5.0,
                                   epsln=1.0e-10,
                                   rain=dict(faces=[(5, 8, 1, 1, 1, 0, 0.8)], nrnode=9,
                                             rainr=[[(0.0, 1.0e-3)]], psirn=100.0)))

    # The same box with half of its top sealed at time 2 (a change event removes the faces of
    # elements 5 and 6): the inflow halves from the step ending at 2 on, the nodes of the sealed
    # half become free, and "fort.155" gets a second series of records.
    sealing = [newc_time(2.0), count("NEWCR", 2), newcr(5, -1), newcr(6, -1)]
    write("rain_sealed_box", model("HALF OF THE TOP SEALED AT TIME 2", nodes, elems,
                                   materials=[dict(k=(1.0e-2,) * 3, por=0.4, ss=1.0e-2,
                                                   rk=[(0.1, 0.0), (0.4, 1.0)],
                                                   ps=[(0.1, 10.0), (0.4, 0.0)])],
                                   kind=-1, dt=0.5, dtmax=0.5, fact=1.0, tmax=5.0,
                                   epsln=1.0e-10, ievoff=0, newc=(1, 0, 0, 0, 2),
                                   events=sealing,
                                   rain=dict(faces=[(5, 8, 1, 1, 1, 0, 0.8)], nrnode=9,
                                             rainr=[[(0.0, 1.0e-3)]], psirn=100.0)))

    # Head and flux groups. A saturated column 1 long with D = K / SS = 1, base closed, whose
    # top follows a head table: a drop from 3 to 2 at time 0, held, then a ramp to 2.5; the
    # table times 0.1013 and 0.2027 are not multiples of the step, so the steps must land on
    # them.
    write("head_table_column",
          column(20, 1.0, title="TOP HEAD FROM A TABLE", init_head=3.0, k=1.0, ss=1.0,
                 kind=-1, dt=0.0025, dtmax=0.0025, fact=1.5, tmax=0.3, epsln=1.0e-9,
                 ievoff=0, heads=[([81, 82, 83, 84], [(0.0, 2.0), (0.1013, 2.0),
                                                      (0.2027, 2.5)])]))

    # A well pumping a confined layer (T = 1, S = 0.01) at rate 1 from the corner of a
    # quarter domain 300 wide, graded from cells of 0.5 at the well; the flux table's times
    # 1, 5 and 10 are event times the steps land on.
    xs = [0.0]
    while xs[-1] < 300.0:
        xs.append(round(xs[-1] + 0.5 * 1.2 ** (len(xs) - 1), 4))
    n = len(xs) - 1
    def tid(i, j, k):
        return 1 + i + (n + 1) * (j + (n + 1) * k)
    well_nodes = [(xs[i], xs[j], float(k), 0, 5.0, 0.0)
             for k in range(2) for j in range(n + 1) for i in range(n + 1)]
    well_elems = [([tid(i + 1, j + 1, 1), tid(i, j + 1, 1), tid(i, j, 1), tid(i + 1, j, 1),
               tid(i + 1, j + 1, 0), tid(i, j + 1, 0), tid(i, j, 0), tid(i + 1, j, 0)], 1)
             for j in range(n) for i in range(n)]
    layer = dict(k=(1.0,) * 3, por=0.3, ss=1.0e-2, rk=[(0.1, 0.0), (0.3, 1.0)],
                 ps=[(0.1, 10.0), (0.3, 0.0)])
    write("theis_quarter", model("PUMPING WELL IN A CONFINED LAYER", well_nodes, well_elems,
                                 materials=[layer], kind=-1, itsch=2, dt=0.001, dtmax=0.25, fact=1.2,
                                 tmax=10.0, epsln=1.0e-6, itmax=30, nprint=10000, ievoff=0,
                                 fluxes=[([tid(0, 0, 0), tid(0, 0, 1)],
                                          [(0.0, -0.125), (1.0, -0.125), (5.0, -0.125),
                                           (10.0, -0.125)])]))

    # A closed column fed at its base by a flux table, its tables read at mid-step and at the
    # step's end. 0.05 lies inside the first step and 2.04 above TMAX: neither is landed on.
    for name, ibtime in (("flux_box_ibtime0", 0), ("flux_box_ibtime1", 1)):
        write(name, column(4, 1.0, title="CLOSED COLUMN FED BY A FLUX TABLE", init_head=4.0,
                           k=0.1, ss=0.01, kind=-1, dt=0.1, dtmax=0.25, fact=1.5, tmax=2.0,
                           epsln=1.0e-9, ievoff=0, ibtime=ibtime,
                           fluxes=[([1, 2, 3, 4], [(0.05, 0.0), (0.5, 0.02), (1.0, 0.02),
                                                   (1.5, 0.0), (2.04, 0.01)])]))

    # A head group whose head (1.5) lies below the top nodes (z 2), which take an inflow:
    # free (-2) and wetted by it, or held at the negative pressure head with IHBFIX 1.
    for name, ihbfix in (("head_below_top_free", 0), ("head_below_top_fixed", 1)):
        write(name, column(2, 2.0, title="GROUP HEAD BELOW THE TOP NODES", init_head=1.5,
                           ihbfix=ihbfix, epsln=1.0e-9,
                           heads=[(list(range(1, 13)), [(0.0, 1.5)])],
                           fluxes=[([9, 10, 11, 12], [(0.0, 1.0e-4)])]))

    # Inputs of the byte-exact cases of tests/e2e/solver (their expected files are reviewed
    # by hand).
    cases = os.path.join(HERE, "..", "e2e", "solver")

    def case(name, text, ndlist=None):
        d = os.path.join(cases, name, "inputs")
        os.makedirs(d, exist_ok=True)
        with open(os.path.join(d, "model.dat"), "w", newline="") as f:
            f.write(text)
        with open(os.path.join(d, "WORK.LST"), "w", newline="") as f:
            f.write(work_lst())
        if ndlist:
            with open(os.path.join(d, "NDLIST.DAT"), "w", newline="") as f:
                f.write("".join("%d %d %d\r\n" % e for e in ndlist))

    case("events_excavation", excavation_model)
    case("steady_two_heads", column(2, 2.0, title="STEADY COLUMN OF TWO ELEMENTS",
                                    top_head=4.0, bottom_head=2.0, init_head=3.0))
    case("unsteady_kind_m2_ndlist",
         column(2, 2.0, title="UNSTEADY THEN STEADY, NODE HISTORIES", top_head=4.0,
                init_head=4.0, bottom_q=0.02, k=0.1, ss=0.01, kind=-2, iscr=1, dt=0.5,
                dtmax=1.0, fact=2.0, tmax=2.0, epsln=1.0e-6, nprint=2, npost=2, ndcnt=2),
         ndlist=[(10, 1, -3), (3, 1, 1)])
    case("unsteady_ncul", column(1, 1.0, title="CUT UNTIL NCUL", top_head=2.0, init_head=3.0,
                                 k=1.0, ss=1.0, kind=-1, dt=0.1, dtmax=0.1, fact=1.0,
                                 tmax=1.0, itmax=1, ncul=2, epsln=-1.0))
    case("unsteady_blank_dtmax", column(1, 1.0, title="BLANK DTMAX", top_head=2.0,
                                        init_head=3.0, k=1.0, ss=1.0, kind=-1, dt=0.1,
                                        dtmax=None, fact=1.0, tmax=1.0))
    # Rain and evaporation on a small block: a steady stage under evaporation, then rain that
    # rises, ponds and stops, the steps landing on the table times; a side face (no
    # horizontal area) still lists its nodes.
    nodes, elems, nid = box_mesh(2, 1, 2, 2.0, 1.0, 1.0, 0.5, bottom_head=0.5)
    case("rain_small", model("RAIN AND EVAPORATION ON A SMALL BLOCK", nodes, elems,
                             materials=[LOAM], kind=0, dt=0.25, dtmax=0.5, fact=2.0, tmax=2.0,
                             epsln=1.0e-4, itmax=40, ncul=4, ievoff=0,
                             rain=dict(faces=[(3, 4, 1, 1, 1, 1, 1.0), (1, 0, 0, 3, 1, 0, 1.0)],
                                       nrnode=10,
                                       rainr=[[(0.0, 0.0), (0.3, 3.0e-2), (1.2, 3.0e-2),
                                               (1.5, 0.0)]],
                                       evapo=[[(0.0, 1.0e-3)]], psirn=0.0)))
    # The same with room for two face entries where the records give three: the group is read
    # to its end, the limit is listed and the run stops 8001 before any face is built.
    case("fault_rain_entries", model("RAIN ENTRIES BEYOND NRFACE", nodes, elems,
                                     materials=[LOAM], kind=0, dt=0.25, dtmax=0.5, fact=2.0,
                                     tmax=2.0,
                                     rain=dict(faces=[(3, 4, 1, 1, 1, 1, 1.0),
                                                      (1, 0, 0, 3, 1, 0, 1.0)],
                                               nrface=2, nrnode=10,
                                               rainr=[[(0.0, 0.0), (0.5, 3.0e-2)]],
                                               evapo=[[(0.0, 1.0e-3)]], psirn=0.0)))
    # The same with a rainfall table whose first two times are equal, which the look-up could
    # not extend below its first point, and one whose fourth time (on its second line) lies
    # below the third, past which the look-up would never reach; equal times further on (the
    # evaporation table) are a step and stay allowed. The group is read to its end and the run
    # stops 8001.
    case("fault_rain_equal_times", model("RAIN TABLE WITH EQUAL FIRST TIMES", nodes, elems,
                                         materials=[LOAM], kind=0, dt=0.25, dtmax=0.5,
                                         fact=2.0, tmax=2.0,
                                         rain=dict(faces=[(3, 4, 1, 1, 1, 1, 1.0)], nrnode=10,
                                                   rainr=[[(0.5, 0.0), (0.5, 3.0e-2),
                                                           (1.2, 3.0e-2)],
                                                          [(0.0, 1.0e-2), (1.0, 1.0e-2),
                                                           (2.0, 0.0), (1.5, 0.0)]],
                                                   evapo=[[(0.0, 1.0e-3), (1.0, 1.0e-3),
                                                           (1.0, 0.0)]], psirn=0.0)))
