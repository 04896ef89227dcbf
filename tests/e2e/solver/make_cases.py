#!/usr/bin/env python3
"""Writes the inputs of the solver end-to-end cases (expected files are reviewed by hand)."""
import os
def I(w, v):
    s = '' if v is None else str(v)
    assert len(s) <= w, (w, v)
    return s.rjust(w)
def R(w, v):
    if v is None: return ' ' * w
    s = repr(float(v))
    if 'e' in s or 'E' in s:
        s = '%.6E' % v
    if len(s) > w: s = ('%.*E' % (max(0, w - 7), v))
    assert len(s) <= w and ('.' in s), (w, v, s)
    return s.rjust(w)
def A(w, s):
    return s.ljust(w)[:w]
def title(t): return A(80, t)
def control(NUMNP, NUMEL, NUMMAT, IHEAD=0, ITMAX=20, ITSCH=1, MAXSEP=0, NPEMAX=8, NINTXY=2,
            NINTZ=2, NCUL=5, KIND=1, ITMAX0=30, ITCGF=0, ISCR=0, MESHCK=0):
    return (I(7, NUMNP) + I(7, NUMEL) + I(6, NUMMAT) + ''.join(I(5, v) for v in
            [IHEAD, ITMAX, ITSCH, MAXSEP, NPEMAX, NINTXY, NINTZ, NCUL, KIND, ITMAX0, ITCGF])
            + I(2, ISCR) + I(3, MESHCK))
def i16(*vals): return ''.join(I(5, v) for v in vals)
def bc2(NRFACE=0, NRNODE=0, NRRPT=0, NRR=0, NEVPT=0, NEV=0, PSIRN=0.0):
    return i16(NRFACE, NRNODE, NRRPT, NRR, NEVPT, NEV) + R(10, PSIRN)
def option(NKODE=0, NINIT=0, IBTIME=0, SEPFIL=0, LISTIN=0, IELVAR=0, IEVOFF=0, IHBFIX=0,
           NDCNT=0, ITHSW=0, OMEGA=1.0, IDBASE=0):
    return (I(7, NKODE) + I(7, NINIT) + I(1, IBTIME) + ''.join(I(5, v) for v in
            [SEPFIL, LISTIN, IELVAR, IEVOFF, IHBFIX, NDCNT, ITHSW]) + R(10, OMEGA) + I(5, IDBASE))
def elem(M, nod, NPE=8, MTYP=1, INC=0, kw='ELEM '):
    nod = list(nod) + [0] * (8 - len(nod))
    return A(5, kw) + I(7, M) + ''.join(I(7, n) for n in nod) + I(3, NPE) + I(3, MTYP) + I(7, INC)
def seep_e(n, kw='SEEP '): return A(5, kw) + I(5, n)
def seep_ea(N1, N2=0, INC=0, val=0.0, kw='SEEP '):
    return A(5, kw) + I(7, N1) + I(7, N2) + I(7, INC) + R(14, val)
def time(DT=1.0, DTMAX=10.0, FACT=1.5, TMAX=100.0, EPS=0.001, NPRINT=None, NPOST=None, kw='TIME '):
    return A(5, kw) + ''.join(R(10, v) for v in [DT, DTMAX, FACT, TMAX, EPS]) + I(5, NPRINT) + I(5, NPOST)
def unit(c1=1.0, c2=1.0, kw='UNIT '): return A(5, kw) + R(10, c1) + R(10, c2)
def prop(K1, K2, K3, por, ss, irot=0, kw='PROP '):
    return A(5, kw) + ''.join(R(10, v) for v in [K1, K2, K3, por, ss]) + I(5, irot)
def angles(a, b, c): return ' ' * 5 + R(10, a) + R(10, b) + R(10, c)
def table(pairs):
    vals = [v for p in pairs for v in p]
    lines = []
    for i in range(0, max(len(vals), 1), 8):
        lines.append(''.join(R(10, v) for v in vals[i:i + 8]))
    return lines
def node(N, KODE, x, y, z, h=0.0, q=0.0, kw='NODE '):
    return A(5, kw) + I(7, N) + I(3, KODE) + ''.join(R(10, v) for v in [x, y, z, h, q])
def kode(N1, N2, INC, code, kw='KODE '): return A(5, kw) + I(7, N1) + I(7, N2) + I(7, INC) + I(4, code)
def init(N1, N2, INC, opt, val, kw='INIT '):
    return A(5, kw) + I(7, N1) + I(7, N2) + I(7, INC) + A(1, opt) + R(23, val)
def write(path, lines):
    with open(path, 'w', newline='') as f:
        for l in lines: f.write(l + '\r\n')
def worklst(path, lines):
    write(path, lines)
ROOT = os.path.dirname(os.path.abspath(__file__))

CUBE = [(1,1,1),(0,1,1),(0,0,1),(1,0,1),(1,1,0),(0,1,0),(0,0,0),(1,0,0)]

def case(name, model, worklst, expected, extra=None, stdin=None, model_name='MODEL.DAT'):
    d = os.path.join(ROOT, name)
    os.makedirs(d + '/inputs', exist_ok=True)
    os.makedirs(d + '/expected', exist_ok=True)
    write(d + '/inputs/' + model_name, model)
    write(d + '/inputs/WORK.LST', worklst)
    for fn, lines in (extra or {}).items():
        write(d + '/inputs/' + fn, lines)
    if stdin is not None:
        with open(d + '/stdin', 'w') as f: f.write(stdin)
    for e in expected:
        p = d + '/expected/' + e
        if not os.path.exists(p): open(p, 'w').close()

WL10 = ['WORK.TMP', 'SCR2.TMP', 'SCR3.TMP', 'SCR4.TMP', 'RESULT2.DAT', 'RESULT.DAT', '0', '0',
        'MODEL.DAT', 'LIST.PRN']
STD = ['LIST.PRN', 'RESULT.DAT', 'RESULT2.DAT', '_status', '_stdout', '_stderr']

def cube_model(meshck=1, ithsw=0, extra_title='', longline=False, **kw):
    m = [title('UNIT CUBE' + extra_title),
         control(8, 1, 1, MESHCK=meshck, **kw), i16(0,0,0,0,0,0), bc2(),
         option(ITHSW=ithsw), i16(0,0,0,0,0), i16(0,0,0), i16(2, 2),
         elem(1, range(1, 9)),
         time(), unit(1.0, 1.0), prop(1e-3, 1e-3, 1e-3, 0.4, 1e-4),
         'UNSAT'] + table([(0.1, 0.0), (0.4, 1.0)]) + table([(0.1, 10.0), (0.4, 0.0)])
    for i, (x, y, z) in enumerate(CUBE):
        m.append(node(i + 1, 0, x, y, z, 0.5, 0.0))
    return m

# 1. Ten-line list, defaults for both lengths, mesh check on request, 120-column lines.
m = cube_model()
m[0] = m[0] + 'THESE COLUMNS 81 TO 120 ARE NOT PART OF THE TITLE.........'  # 138 columns
m[-1] = m[-1] + ' ' * 25 + 'COLUMNS 91-120 ARE CUT FROM THE WORKING COPY'
case('worklst_10_lines_meshck', m, WL10 + ['EXTRA LINE IGNORED'], STD + ['WORK.TMP'])

# 2. Six lines: defaults and both names typed; a typed name over 20 characters is cut.
case('worklst_6_lines_prompt', cube_model(), WL10[:6], STD,
     stdin='MODEL.DAT\nLIST.PRN            THIS PART IS CUT\n')

# 3. Seven lines with a BD length too short for the mesh: shortfall line and stop 1111.
case('worklst_7_lines_stop1111', cube_model(), WL10[:6] + ['50'], STD,
     stdin='MODEL.DAT\nLIST.PRN\n')

# 4. Eight lines: both lengths read (IB too short), names typed.
case('worklst_8_lines_stop1111', cube_model(), WL10[:6] + ['-5', '20'], STD,
     stdin='MODEL.DAT\nLIST.PRN\n')

# 5. Nine lines: line 10 is read without an end-of-file branch.
case('worklst_9_lines_eof', cube_model(), WL10[:9], ['_status', '_stdout'])

# 6. ITHSW = 1: step blocks without the moisture-content record; longer result files of an
# earlier run are replaced whole.
case('ithsw1_meshck', cube_model(ithsw=1), WL10, STD,
     extra={'RESULT.DAT': ['OLD CONTENT OF A LONGER RESULT FILE'] * 500,
            'RESULT2.DAT': ['OLD SECOND RESULT FILE'] * 50})

# 7. NUMMAT above 99: stop 2222 with nothing printed.
m = cube_model(); m[1] = control(8, 1, 100, MESHCK=1)
case('stop2222_nummat', m, WL10, STD)

# 8. Header counts without slices: NUMEL 0.
m = cube_model(); m[1] = control(8, 0, 1, MESHCK=1)
case('fault_header_numel', m, WL10, STD)

# 8b. A negative table length: stop 2222 before any slice is cut.
m = cube_model(); m[1] = control(8, 1, 1, MESHCK=1); m[7] = '   -1    2'
case('fault_header_nrk', m, WL10, STD)

# 9. Integration order without a rule.
m = cube_model(); m[1] = control(8, 1, 1, NINTXY=5)
case('fault_header_nintxy', m, WL10, STD)

# 9b. Change-event maxima whose tables need more than INTEGER*4 elements: the totals print as
# the largest INTEGER*4 (never a wrapped length) and the run stops 5555.
m = cube_model(meshck=0); m[5] = i16(99999, 0, 0, 99999, 99999)
case('stop5555_totals_beyond_int32', m, WL10, STD)

# 10. Generation: elements (hexahedra with INC, prisms whose slots 7-8 stay empty), nodes
# interpolated along columns with IHEAD 1, KODE/INIT ranges, seepage list overflow, rotated
# material, node histories.
L = 4
COLS = [(1, 1), (0, 1), (0, 0), (1, 0), (2, 0.5)]
def nn(c, l): return c * (L + 1) + l + 1
def hexa(e): return [nn(0, e), nn(1, e), nn(2, e), nn(3, e), nn(0, e-1), nn(1, e-1), nn(2, e-1), nn(3, e-1)]
def prism(e): return [nn(0, e), nn(3, e), nn(4, e), nn(0, e-1), nn(3, e-1), nn(4, e-1)]
m = [title('GENERATION OF ELEMENTS AND NODES'),
     control(25, 8, 2, IHEAD=1, MAXSEP=3, NINTXY=2, NINTZ=2, KIND=0, ITCGF=2, ISCR=7, MESHCK=1, NPEMAX=6),
     i16(0,0,0,0,0,0), bc2(), option(NKODE=3, NINIT=6, NDCNT=3, OMEGA=0.8),
     i16(0,0,0,0,0), i16(0,0,0), i16(3, 3, 2, 4),
     elem(1, hexa(1), 0, 0, 0),
     elem(4, hexa(4), 8, 1, 1, kw='     '),
     elem(5, prism(1), 6, 2, 0),
     elem(8, prism(4), 6, 2, 1),
     seep_e(2),
     seep_ea(21, 25, 4, 2.5),
     seep_ea(16, 20, 4, 1.5, kw='     '),
     time(0.5, 50.0, 1.2, 1000.0, 0.001, 0, -3),
     unit(1.0, 86400.0),
     prop(1e-3, 1e-3, 5e-4, 0.35, 1e-4),
     prop(2e-3, 1e-3, 1e-3, 0.30, 2e-4, 1, kw='PROPX'),
     angles(45, 45, 90), angles(135, 45, 90), angles(90, 90, 0),
     'UNSAT'] + table([(0.05, 0.0), (0.2, 0.3), (0.35, 1.0)]) + \
    table([(0.05, 10.0), (0.2, 1.0), (0.35, 0.0)]) + ['UNSAT'] + \
    table([(0.04, 0.0), (0.30, 1.0)]) + table([(0.04, 20.0), (0.10, 2.0), (0.25, 0.5), (0.30, 0.0)])
for c, (x, y) in enumerate(COLS):
    m.append(node(nn(c, 0), 0, x, y, 0.0, 10.0, 0.0, kw='NODE ' if c == 0 else '     '))
    m.append(node(nn(c, L), 0, x, y, float(L), 10.0 - c, 0.0, kw='     '))
m += [kode(5, 1, -2, 1), kode(25, 0, 0, 1, kw='     '), kode(5, 1, 1, 7),
      init(10, 0, 0, 'H', 12.0), init(15, 0, 0, 'P', 3.5, kw='     '), init(20, 0, 0, 'Q', 0.25),
      init(6, 0, 0, 'h', 11.0), init(7, 9, 2, ' ', 100.0), init(11, 12, 0, 'X', 9.0)]
case('generation_meshck', m, WL10, STD + ['NDLIST.PST'],
     extra={'NDLIST.DAT': ['10 1 -3', '21,25,2', '5 1 1']})

# 11. Element and node records in one separate file, list-directed; a wrong list-directed
# keyword gets no error line.
elemfile = ['ELEM 1 ' + ' '.join(str(i) for i in range(1, 9)) + ' 0 0 0',
            ] + ['NODE %d 0 %g %g %g 0.5 0.0' % (i + 1, x, y, z) if i != 3 else
                 'XXXX %d 0 %g %g %g 0.5 0.0' % (i + 1, x, y, z) for i, (x, y, z) in enumerate(CUBE)]
m = [title('SEPARATE FILE, LIST-DIRECTED'), control(8, 1, 1, MESHCK=1), i16(0,0,0,0,0,0), bc2(),
     option(SEPFIL=1, LISTIN=1), i16(0,0,0,0,0), i16(0,0,0), i16(2, 2),
     A(5, 'ELEM ') + 'ELEMS.DAT', time(), unit(), prop(1e-3, 1e-3, 1e-3, 0.4, 1e-4),
     'UNSAT'] + table([(0.1, 0.0), (0.4, 1.0)]) + table([(0.1, 10.0), (0.4, 0.0)]) + \
    [A(5, 'NODE ') + 'IGNORED.DAT']
case('sepfil1_listin', m, WL10, STD, extra={'ELEMS.DAT': elemfile})

# 12. Elements and nodes in two files, fixed columns; KODE and INIT stay in the model file.
m = [title('TWO SEPARATE FILES'), control(8, 1, 1, MESHCK=1), i16(0,0,0,0,0,0), bc2(),
     option(NKODE=1, NINIT=1, SEPFIL=2), i16(0,0,0,0,0), i16(0,0,0), i16(2, 2),
     A(5, 'ELEM ') + 'MESH-ELEMENTS.DAT', time(), unit(), prop(1e-3, 1e-3, 1e-3, 0.4, 1e-4),
     'UNSAT'] + table([(0.1, 0.0), (0.4, 1.0)]) + table([(0.1, 10.0), (0.4, 0.0)]) + \
    [A(5, 'NODE ') + 'MESH-NODES.DAT', kode(1, 4, 0, 1), init(5, 8, 1, 'P', -1.5)]
case('sepfil2_fixed', m, WL10, STD,
     extra={'MESH-ELEMENTS.DAT': [elem(1, range(1, 9))],
            'MESH-NODES.DAT': [node(i + 1, 0, x, y, z, 0.5) for i, (x, y, z) in enumerate(CUBE)]})

# 13. Keyword errors of every group D to KB: the record's values are used all the same.
m = [title('KEYWORD ERRORS'), control(8, 1, 1, MAXSEP=1, MESHCK=1), i16(0,0,0,0,0,0), bc2(),
     option(NKODE=1, NINIT=1), i16(0,0,0,0,0), i16(0,0,0), i16(2, 2),
     elem(1, range(1, 9), kw='     '),
     seep_e(1, kw='seep '), seep_ea(3, 0, 0, 1.0, kw='SEEPS'),
     time(kw='TIMES'), unit(2.0, 3.0, kw='     '),
     prop(1e-3, 1e-3, 1e-3, 0.4, 1e-4, kw='PROR '),
     'unsat'] + table([(0.1, 0.0), (0.4, 1.0)]) + table([(0.1, 10.0), (0.4, 0.0)])
for i, (x, y, z) in enumerate(CUBE):
    m.append(node(i + 1, 0, x, y, z, 0.5, 0.0, kw='NODES' if i == 0 else '     '))
m += [kode(1, 4, 0, 1, kw='CODE '), init(5, 8, 0, 'P', 2.0, kw='     ')]
case('keyword_errors', m, WL10, STD)

# 14. Element check through a whole run (no mesh-check request).
CUBE2 = [(x * 0.002 + 2, y * 0.002, z * 0.002) for x, y, z in CUBE]
FLAT = [(x + 4, y, 0.0) for x, y, z in CUBE]
PRISM = [(1, 0, 1), (0, 1, 1), (0, 0, 1), (1, 0, 0), (0, 1, 0), (0, 0, 0)]
PRISM = [(x + 6, y, z) for x, y, z in PRISM]
pts = CUBE + CUBE2 + FLAT + PRISM
m = [title('ELEMENT CHECK'), control(len(pts), 8, 1, NINTXY=1, NINTZ=2), i16(0,0,0,0,0,0), bc2(),
     option(), i16(0,0,0,0,0), i16(0,0,0), i16(2, 2),
     elem(1, range(1, 9)),                       # unit cube: passes
     elem(2, [5, 6, 7, 8, 1, 2, 3, 4]),          # lower face first: inverted
     elem(3, range(9, 17)),                      # edge 0.002: determinant 1.0E-9
     elem(4, range(17, 25)),                     # flat
     elem(5, [1, 2, 3, 1, 2, 3], 6),             # repeated nodes, zero height
     elem(6, [1, 2, 3, 4, 5, 6, 7, 31]),         # node NUMNP + 1
     elem(7, range(25, 31), 6),                  # right prism, one triangle point: passes
     elem(8, [26, 25, 27, 29, 28, 30], 6),       # prism turned the other way
     time(), unit(), prop(1e-3, 1e-3, 1e-3, 0.4, 1e-4),
     'UNSAT'] + table([(0.1, 0.0), (0.4, 1.0)]) + table([(0.1, 10.0), (0.4, 0.0)])
for i, (x, y, z) in enumerate(pts):
    m.append(node(i + 1, 0, x, y, z, 0.0, 0.0))
case('element_check_cases', m, WL10, STD)

# 15. Reading-phase faults, each reported, all in one run that ends with the mesh check:
# element number outside, seepage node outside, empty and flat pressure-head tables,
# CONS2 0, porosity 0 of a used material in an unsteady run, KODE/INIT ranges outside.
TWO = CUBE + [(x, y, z + 1) for x, y, z in CUBE]
m = [title('READING FAULTS'), control(16, 2, 2, MAXSEP=4, KIND=0), i16(0,0,0,0,0,0), bc2(),
     option(NKODE=1, NINIT=1), i16(0,0,0,0,0), i16(0,0,0), i16(2, 0, 2, 3),
     elem(1, range(1, 9)),
     elem(-3, range(1, 9), 8, 1, 8),
     seep_e(2), seep_ea(15, 18, 1, 0.0), seep_ea(1, 0, 0, 0.0),
     time(), unit(1.0, 0.0),
     prop(1e-3, 1e-3, 1e-3, 0.0, 1e-4), prop(1e-3, 1e-3, 1e-3, 0.0, 1e-4),
     'UNSAT'] + table([(0.1, 0.0), (0.4, 1.0)]) + table([]) + ['UNSAT'] + \
    table([(0.1, 0.0), (0.4, 1.0)]) + table([(0.1, 10.0), (0.3, 1.0), (0.4, 1.0)])
for i, (x, y, z) in enumerate(TWO):
    m.append(node(i + 1, 0, x, y, z, 0.0, 0.0))
m += [kode(15, 20, 0, 1), init(0, 3, 0, 'P', 1.0)]
case('fault_reading_errors', m, WL10, STD)

# 16. First element record not element 1; a node record above NUMNP.
m = cube_model(meshck=0)
m[1] = control(8, 2, 1)
i = m.index(elem(1, range(1, 9)))
m[i] = elem(2, range(1, 9))
for k in range(len(m)):
    if m[k].startswith('NODE       8'):
        m[k] = m[k].replace('NODE       8', 'NODE       9')
case('fault_first_element_node_above', m, WL10, STD)

# 17. First node record other than node 1: nodes before it have no source.
m = cube_model(meshck=0)
first = [k for k in range(len(m)) if m[k].startswith('NODE ')][0]
del m[first:first + 2]
case('fault_first_node', m, WL10, STD)

# 18. Node-history entries: an increment of 0; a listed node outside the model; too many.
m = cube_model(); m[4] = option(NDCNT=2)
case('fault_ndlist_step0', m, WL10, STD, extra={'NDLIST.DAT': ['1 8 1', '3 5 0']})
m = cube_model(); m[4] = option(NDCNT=2)
case('fault_ndlist_node', m, WL10, STD, extra={'NDLIST.DAT': ['1 8 1', '8 12 2']})
m = cube_model(); m[4] = option(NDCNT=201)
case('fault_ndlist_count', m, WL10, STD)

# 19. Nine materials: the table lengths take two lines (eight pairs, then one); the
# ninth material's tables are the ones the element uses.
m = [title('NINE MATERIALS'), control(8, 1, 9, MESHCK=1), i16(0,0,0,0,0,0), bc2(), option(),
     i16(0,0,0,0,0), i16(0,0,0), i16(*([1, 1] * 8)), i16(2, 3),
     elem(1, range(1, 9), 8, 9), time(), unit()]
for k in range(9):
    m.append(prop(1e-3 * (k + 1), 1e-3, 1e-3, 0.4, 1e-4, kw='PROP ' if k == 0 else '     '))
for k in range(8):
    m += ['UNSAT'] + table([(0.4, 1.0)]) + table([(0.4, 0.0)])
m += ['UNSAT'] + table([(0.1, 0.0), (0.4, 1.0)]) + table([(0.1, 10.0), (0.2, 1.0), (0.4, 0.0)])
for i, (x, y, z) in enumerate(CUBE):
    m.append(node(i + 1, 0, x, y, z, 0.5, 0.0))
case('nummat9_table_lengths', m, WL10, STD)

# 20. A record numbered like an earlier one: an element record rewrites that element and the
# current position is generated from it; a repeated node number ends the node group at once
# (its values stored, no table, no KODE record read).
m = [title('REPEATED NUMBERS'), control(16, 2, 1), i16(0,0,0,0,0,0), bc2(), option(NKODE=1),
     i16(0,0,0,0,0), i16(0,0,0), i16(2, 2),
     elem(1, [16] * 8), elem(1, range(1, 9), 8, 1, 8, kw='     '),
     time(), unit(), prop(1e-3, 1e-3, 1e-3, 0.4, 1e-4),
     'UNSAT'] + table([(0.1, 0.0), (0.4, 1.0)]) + table([(0.1, 10.0), (0.4, 0.0)])
for i, (x, y, z) in enumerate(TWO[:8]):
    m.append(node(i + 1, 0, x, y, z, 0.5, 0.0))
m += [node(8, 3, 7.0, 7.0, 7.0, 7.0, 7.0), kode(1, 8, 0, 1)]
case('repeated_element_and_node_numbers', m, WL10, STD)


# 22. Head and flux groups with their tables: a column of two elements whose top follows a
# head table (prescribed, then below the top nodes: free) and whose base takes a flux table;
# the steps land on the table times 1.0 and 2.0 (2.0 of both tables is one event).
def group_head(kw, n): return A(5, kw) + I(5, n)
def int_lines(vals): return [''.join(I(7, v) for v in vals[i:i + 10]) for i in range(0, len(vals), 10)]
def pair_lines(pairs):
    vals = [v for p in pairs for v in p]
    return [''.join(R(10, v) for v in vals[i:i + 6]) for i in range(0, len(vals), 6)]
COL2 = [(x, y, z) for z in (0.0, 1.0, 2.0) for (x, y) in ((1, 1), (0, 1), (0, 0), (1, 0))]
def column2_model(ttl, nhb, nqb, groups, ihbfix=0, ibtime=0):
    m = [title(ttl), control(12, 2, 1, IHEAD=1, KIND=-1, NCUL=4), i16(*nhb, *nqb), bc2(),
         option(IBTIME=ibtime, IHBFIX=ihbfix), i16(0,0,0,0,0), i16(0,0,0), i16(2, 2),
         elem(1, [5, 6, 7, 8, 1, 2, 3, 4]), elem(2, [9, 10, 11, 12, 5, 6, 7, 8]),
         time(0.25, 1.0, 2.0, 3.0, 1e-4), unit(1.0, 1.0), prop(1e-3, 1e-3, 1e-3, 0.4, 1e-4),
         'UNSAT'] + table([(0.1, 0.0), (0.4, 1.0)]) + table([(0.1, 10.0), (0.4, 0.0)])
    for i, (x, y, z) in enumerate(COL2):
        m.append(node(i + 1, 0, x, y, z, 2.5, 0.0))
    return m + groups
m = column2_model('HEAD AND FLUX GROUPS', (1, 4, 3), (1, 4, 2),
                  [group_head('HBOUN', 4)] + int_lines([9, 10, 11, 12]) + ['HTIME'] +
                  int_lines([3]) + pair_lines([(0.0, 2.5), (1.0, 1.8), (2.0, 2.2)]) +
                  [group_head('QBOUN', 4)] + int_lines([1, 2, 3, 4]) + ['QTIME'] +
                  int_lines([2]) + pair_lines([(0.0, 0.0), (2.0, 1e-4)]))
case('groups_head_and_flux', m, WL10, STD)

# 23. Faults in the groups: a blank keyword on the first group head, a group larger than its
# maximum, a node above NUMNP, a head group without table points; every record is read and
# the run stops with 3333 after the flux groups.
m = column2_model('FAULTS IN THE GROUPS', (2, 3, 2), (1, 2, 1),
                  [group_head('     ', 4)] + int_lines([9, 10, 11, 12]) +
                  [group_head('HBOUN', 2)] + int_lines([13, 0]) + ['HTIME'] +
                  int_lines([0, 3]) + pair_lines([(0.0, 2.5), (1.0, 1.8), (2.0, 2.2)]) +
                  [group_head('QBOUN', 1)] + int_lines([-1]) + ['QTIMX'] + int_lines([1]) +
                  pair_lines([(0.0, 1e-4)]))
case('groups_faults_stop3333', m, WL10, STD)

# 24. Faults in the change-event groups: more NEWCH lines than MXNWCH, a node above NUMNP, a
# wrong keyword on a count record, a MATCE element below 1; every record is read and the run
# stops with 3333 after group V.
def ev_line(kw, *fields): return A(5, kw) + ''.join(I(w, v) for w, v in fields)
m = column2_model('FAULTS IN THE CHANGE EVENTS', (1, 4, 1), (0, 0, 0),
                  [group_head('HBOUN', 4)] + int_lines([9, 10, 11, 12]) + ['HTIME'] +
                  int_lines([1]) + pair_lines([(0.0, 2.5)]) +
                  ['NEWC ' + R(10, 2.0), group_head('NEWCH', 2), ev_line('NEWCH', (7, 5), (3, 0), (5, 1)),
                   ev_line('     ', (7, 13), (3, 0), (5, 1)), group_head('NEWCX', 1),
                   ev_line('NEWCB', (7, 5), (3, 1)) + 'N' + R(9, 2.0),
                   'MATC ' + R(10, 2.0), group_head('MATCE', 1), ev_line('MATCE', (7, 0), (3, 1))])
m[5] = i16(1, 1, 0, 1, 0); m[6] = i16(1, 1, 0)
case('events_faults_stop3333', m, WL10, STD)

# 25. Tables and targets the look-ups could not use: a flux table and a head table (of a
# group without nodes) whose first two times are equal, a head table whose fourth time (on its
# second line) lies below the third, a NEWCH line sending a node to a head group without table
# points; equal times further on in a table and a NEWCH line with flag -1 naming that group
# are accepted. The run stops with 3333 after group V.
m = column2_model('TABLES AND TARGETS', (4, 4, 4), (1, 4, 2),
                  [group_head('HBOUN', 4)] + int_lines([9, 10, 11, 12]) +
                  [group_head('HBOUN', 0), group_head('HBOUN', 0), group_head('HBOUN', 0), 'HTIME'] +
                  int_lines([3, 0, 2, 4]) + pair_lines([(0.0, 2.5), (1.0, 1.8), (1.0, 2.2)]) +
                  pair_lines([(0.5, 1.0), (0.5, 2.0)]) +
                  pair_lines([(0.0, 8.0), (50.0, 8.0), (101.0, 4.0), (100.0, 8.0)]) +
                  [group_head('QBOUN', 4)] + int_lines([1, 2, 3, 4]) + ['QTIME'] +
                  int_lines([2]) + pair_lines([(1.0, 0.0), (1.0, 1e-4)]) +
                  ['NEWC ' + R(10, 2.0), group_head('NEWCH', 2), ev_line('NEWCH', (7, 5), (3, 0), (5, 2)),
                   ev_line('NEWCH', (7, 6), (3, -1), (5, 2))])
m[5] = i16(1, 2, 0, 0, 0)
case('tables_and_targets_stop3333', m, WL10, STD)

# 26. Material tables the look-up could not use, each refused with a line naming the material,
# the table and the points: pressure heads entered wet to dry (so also the capacity table's
# moisture contents descend), a conductivity table with equal first moisture contents, a
# conductivity table descending further on with a capacity table whose first two moisture
# contents are equal; equal later moisture contents (material 4) make a step and are accepted.
# The run ends at the mesh check with 6666.
m = cube_model(meshck=0)
m[0] = title('MATERIAL TABLE ORDER')
m[1] = control(8, 1, 4)
m[7] = i16(2, 2, 3, 2, 4, 4, 4, 2)
at = m.index('UNSAT')
m[at - 1:] = [prop(1e-3, 1e-3, 1e-3, 0.4, 1e-4, kw=kw) for kw in ('PROP ', '     ', '     ', '     ')] + \
    ['UNSAT'] + table([(0.1, 0.0), (0.4, 1.0)]) + table([(0.4, 0.0), (0.1, 10.0)]) + \
    ['UNSAT'] + table([(0.1, 0.0), (0.1, 0.5), (0.4, 1.0)]) + table([(0.1, 10.0), (0.4, 0.0)]) + \
    ['UNSAT'] + table([(0.1, 0.0), (0.3, 0.5), (0.2, 0.6), (0.4, 1.0)]) + \
    table([(0.2, 100.0), (0.3, 10.0), (0.2, 1.0), (0.4, 0.0)]) + \
    ['UNSAT'] + table([(0.1, 0.0), (0.2, 0.1), (0.2, 0.3), (0.4, 1.0)]) + \
    table([(0.1, 10.0), (0.4, 0.0)]) + m[at + 3:]
case('material_table_order', m, WL10, STD)

# 27. Elements folded where the velocity is taken: a hexahedron and a prism whose determinant
# is positive (0.011 to 0.075, 0.013 to 0.025) at every point of the 2 x 2 x 2 and 3 x 2
# rules but negative at the centre and the centroid (-0.0066, -0.0039); the unit cube beside
# them passes. The run ends at the mesh check with 6666.
FOLDED8 = [(2.25, 1.0, 1.0), (0.25, 1.25, 0.75), (0.5, -0.5, -0.25), (0.0, 0.75, 0.75),
           (0.75, 1.25, 0.25), (-0.75, 0.5, 0.25), (1.0, 1.0, 0.0), (0.5, 0.0, 1.0)]
FOLDED6 = [(0.25, 0.25, 0.5), (0.75, 0.0, 1.75), (0.25, -0.25, 0.5), (1.0, -0.5, 2.75),
           (0.0, -0.25, 0.5), (0.0, 0.0, 0.5)]
pts = CUBE + [(x + 3, y, z) for x, y, z in FOLDED8] + [(x + 6, y, z) for x, y, z in FOLDED6]
m = [title('FOLDED AT THE CENTRE'), control(len(pts), 3, 1), i16(0,0,0,0,0,0), bc2(),
     option(), i16(0,0,0,0,0), i16(0,0,0), i16(2, 2),
     elem(1, range(1, 9)), elem(2, range(9, 17)), elem(3, range(17, 23), 6),
     time(), unit(), prop(1e-3, 1e-3, 1e-3, 0.4, 1e-4),
     'UNSAT'] + table([(0.1, 0.0), (0.4, 1.0)]) + table([(0.1, 10.0), (0.4, 0.0)])
for i, (x, y, z) in enumerate(pts):
    m.append(node(i + 1, 0, x, y, z, 0.0, 0.0))
case('element_folded_at_centre', m, WL10, STD)
