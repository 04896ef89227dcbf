#!/usr/bin/env python3
"""Writes the inputs of the history end-to-end cases from two runs of the solver on a small
draining column (expected files are written with E2E_UPDATE=1 and reviewed by hand).

usage: make_cases.py SOLVER"""
import os
import shutil
import subprocess
import sys
import tempfile

ROOT = os.path.dirname(os.path.abspath(__file__))


def I(w, v):
    s = '' if v is None else str(v)
    assert len(s) <= w, (w, v)
    return s.rjust(w)


def write(path, lines):
    with open(path, 'w', newline='') as f:
        for l in lines:
            f.write(l + '\r\n')


# A column of three unit hexahedra (16 nodes) draining through its bottom face, held at a
# pressure head of -1: heads, discharges, velocities and moisture contents all change in time.
def model(dt, fact, tmax):
    m = ['DRAINING COLUMN FOR THE HISTORY PROGRAM'.ljust(80),
         '     16      3     1    0   20    1    0    8    2    2    5   -1   30    0 0  0',
         '    0' * 6,
         '    0' * 6 + '       0.0',
         '      0      0    0    0    0    0    0    0    0       1.0    0',
         '    0' * 5,
         '    0' * 3,
         '    4    4']
    for e in range(1, 4):
        nod = [4 * e + 3, 4 * e + 4, 4 * e + 1, 4 * e + 2, 4 * e - 1, 4 * e, 4 * e - 3, 4 * e - 2]
        m.append('ELEM ' + I(7, e) + ''.join(I(7, n) for n in nod) + '  8  1      0')
    m += ['TIME ' + ''.join('%10s' % v for v in (dt, '1.0', fact, tmax, '1.000E-06')) + '    1    1',
          'UNIT        1.0       1.0',
          'PROP       0.01      0.01     0.005       0.4 1.000E-04    0',
          'UNSAT',
          '       0.1       0.0       0.2      0.05       0.3       0.3       0.4       1.0',
          '       0.1       5.0       0.2       2.0       0.3       1.0       0.4       0.0']
    for lvl in range(4):
        for k, (x, y) in enumerate([(0.0, 0.0), (1.0, 0.0), (1.0, 1.0), (0.0, 1.0)]):
            n = 4 * lvl + k + 1
            code, psi = (1, '-1.0') if lvl == 0 else (0, '-0.2')
            m.append('NODE ' + I(7, n) + I(3, code) + '%10s%10s%10s%10s%10s' % (x, y, float(lvl), psi, '0.0'))
    return m


def solve(solver, dt, fact, tmax):
    """The result file of one run, as bytes."""
    d = tempfile.mkdtemp()
    try:
        write(os.path.join(d, 'MODEL.DAT'), model(dt, fact, tmax))
        write(os.path.join(d, 'WORK.LST'), ['COL.WRK', 'COL.SC2', 'COL.SC3', 'COL.SC4', 'COL.RS2',
                                             'COL.RES', '0', '0', 'MODEL.DAT', 'COL.PRN'])
        subprocess.run([solver], cwd=d, check=True, stdout=subprocess.DEVNULL)
        return open(os.path.join(d, 'COL.RES'), 'rb').read()
    finally:
        shutil.rmtree(d)


def blocks(res):
    """The header and the step blocks of a result file of this model, as byte strings."""
    lines = res.split(b'\r\n')[:-1]
    n_head = 2 + 2 * 16 + 5          # title, counts, two records a node, 27 integers
    n_block = 1 + 16 + 3 + 1          # step head, one record a node and an element, moisture
    head = lines[:n_head]
    body = lines[n_head:]
    assert len(body) % n_block == 0, len(body)
    join = lambda ls: b''.join(l + b'\r\n' for l in ls)
    return join(head), [join(body[i:i + n_block]) for i in range(0, len(body), n_block)]


def six_slots(head, stray):
    """The header with NPEMAX 6: each element keeps its first six node numbers, the first one
    replaced by `stray`, in list-directed records of six integers."""
    lines = head.split(b'\r\n')[:-1]
    n_nodes = 2 + 2 * 16
    ints = [int(v) for l in lines[n_nodes:] for v in l.split()]
    elems = [ints[i:i + 9] for i in range(0, len(ints), 9)]
    vals = []
    for k, e in enumerate(elems):
        vals += ([stray] if k == 0 else e[:1]) + e[1:6] + e[8:]
    recs = [b''.join(b'%12d' % v for v in vals[i:i + 6]) for i in range(0, len(vals), 6)]
    counts = lines[1].replace(b'           8', b'           6')
    return b''.join(l + b'\r\n' for l in [lines[0], counts] + lines[2:n_nodes] + recs)


def limits(*v):
    return ''.join(I(5, x) for x in v)


def group(nums, count=None):
    out = [I(5, len(nums) if count is None else count)]
    for i in range(0, len(nums), 10):
        out.append(''.join(I(7, n) for n in nums[i:i + 10]))
    return out


ALL = ['HTIME.CSV', 'PTIME.CSV', 'QTIME.CSV', 'VTIME.CSV', 'THTIME.CSV']
CONSOLE = ['_status', '_stdout', '_stderr']


def case(name, result, point_list, stdin, worklst=True, result_name='RESULT.DAT', extra=None,
         expect=ALL):
    d = os.path.join(ROOT, name)
    shutil.rmtree(os.path.join(d, 'inputs'), ignore_errors=True)
    os.makedirs(os.path.join(d, 'inputs'))
    os.makedirs(os.path.join(d, 'expected'), exist_ok=True)
    for fname in expect + CONSOLE:  # placeholders until E2E_UPDATE=1 writes them
        p = os.path.join(d, 'expected', fname)
        if not os.path.exists(p):
            open(p, 'wb').close()
    with open(os.path.join(d, 'inputs', result_name), 'wb') as f:
        f.write(result)
    write(os.path.join(d, 'inputs', 'PNT.DAT'), point_list)
    if worklst:
        write(os.path.join(d, 'inputs', 'WORK.LST'),
              ['COL.WRK', 'COL.SC2', 'COL.SC3', 'COL.SC4', 'COL.RS2', result_name, '0', '0'])
    for fname, content in (extra or {}).items():
        with open(os.path.join(d, 'inputs', fname), 'wb') as f:
            f.write(content)
    with open(os.path.join(d, 'stdin'), 'w', newline='') as f:
        f.write(stdin)


def main():
    solver = os.path.abspath(sys.argv[1])
    head, short = blocks(solve(solver, '0.01', '1.5', '0.5'))
    _, long = blocks(solve(solver, '0.01', '1.0', '1.2'))
    assert len(short) >= 6 and len(long) >= 105, (len(short), len(long))
    short = short[:6]
    res = head + b''.join(short)
    old = b'an older file that the run must leave as it is\r\n'

    # All five files from "WORK.LST": duplicates, the same node in several lists, entries of 0
    # and below; a short limits record reads as blanks.
    case('five_files', res,
         [''] + group([1, 16, 9, 9, 0, -3]) + group([16, 5, 1, 9]) + group([1, 2, 16, 0])
         + group([3, 1, 3, 0]) + group([2, 2, -1, 1, 3]) + ['records after the groups are not read'],
         '0\nPNT.DAT\n')

    # A typed name cut to 20 characters; the Part's example limits record; a PTIME count of 0
    # leaves the existing "PTIME.CSV" as it was, and a negative count writes no file either.
    case('typed_name_minimums', res,
         [limits(0, 10, 200, 0, 60, 1)] + group(list(range(1, 17)) * 3 + [1, 2]) + ['    0']
         + group([], -2) + group([1, 2, 3] * 20) + group([3, 2, 1] * 16 + [1, 1]),
         '5\nHISTORY_RESULT_1.DAT.EXTRA\nPNT.DAT\n', worklst=False,
         result_name='HISTORY_RESULT_1.DAT', extra={'PTIME.CSV': old, 'QTIME.CSV': old})

    # Lines of more than 900 numbers: 901 nodes, exactly 900 with an empty last cell, 301
    # elements (903 cells), and a continuation line holding only an empty cell.
    nodes = [(i % 16) + 1 for i in range(901)]
    elems = [(i % 3) + 1 for i in range(901)]
    case('wide_lines', head + b''.join(short[:2]),
         [limits(0, 901, 900, 900, 301, 901)] + group(nodes) + group(nodes[:899] + [0])
         + group(nodes[:900]) + group(elems[:301]) + group(elems[:900] + [0]),
         '0\nPNT.DAT\n')

    # MAXSTP + 5 blocks: MAXSTP rows, MAXSTP + 1 step lines, and the warning.
    case('maxstp_plus_5', head + b''.join(long[:105]),
         [limits(0, 0, 0, 0, 0, 0)] + group([16, 5]) + ['    0'] * 3 + group([1]), '0\nPNT.DAT\n',
         expect=['HTIME.CSV', 'THTIME.CSV'])

    # A killed solver's result file: MAXSTP + 2 blocks and a last one cut inside a number. The
    # count of the blocks not kept stops quietly there: complete files, exit 0 and the warning
    # with "at least". Node 16's Y and Z left empty (",,") keep 0 whatever the heap held, so
    # its total head is its pressure head.
    lines = head.split(b'\r\n')
    x16 = lines[2 + 2 * 15].split()[0]
    lines[2 + 2 * 15] = x16 + b',,,'
    cut_at = long[102].index(b'E-', long[102].index(b'\r\n', 200)) + 2
    case('maxstp_cut_number', b'\r\n'.join(lines) + b''.join(long[:102]) + long[102][:cut_at],
         [limits(0, 0, 0, 0, 0, 0)] + group([16, 5]) + ['    0'] * 3 + group([1]), '0\nPNT.DAT\n',
         expect=['HTIME.CSV', 'THTIME.CSV'])

    # A point-list file named like a CSV file the run would write is refused (error 30 on that
    # file's unit) before any CSV file is written: "HTIME.CSV", written first, keeps its bytes.
    points = [''] + group([1, 16]) + ['    0'] + group([2, 3]) + ['    0'] * 2
    case('clash_point_list', res, points, '0\nQTIME.CSV\n',
         extra={'QTIME.CSV': b''.join(l.encode() + b'\r\n' for l in points), 'HTIME.CSV': old},
         expect=['QTIME.CSV', 'HTIME.CSV'])

    # A last block cut after its node records gives a step line but no row.
    cut = short[-1].split(b'\r\n')
    case('cut_block', head + b''.join(short[:-1]) + b''.join(l + b'\r\n' for l in cut[:17]),
         [''] + group([5, 9]) + ['    0'] * 2 + group([2]) + group([3]), '0\nPNT.DAT\n',
         expect=['HTIME.CSV', 'VTIME.CSV', 'THTIME.CSV'])

    # Only the model part: header lines and no rows; an older, longer "HTIME.CSV" is replaced.
    # Elements of six node slots, one node number beyond NUMNP: the history program never uses
    # the connectivity, so neither is refused.
    case('header_only', six_slots(head, 99),
         [''] + group([5]) + group([6]) + group([7]) + group([1]) + group([2]), '0\nPNT.DAT\n',
         extra={'HTIME.CSV': old * 20})

    # Refusals: one line on standard error, stop 2222, no CSV file touched.
    keep = {'HTIME.CSV': old}
    refused = dict(extra=keep, expect=['HTIME.CSV'])
    case('refuse_count_above_capacity', head,
         [''] + group([1]) + ['    0'] * 3 + group(list(range(1, 4)) * 17), '0\nPNT.DAT\n', **refused)
    case('refuse_node_above_numnp', head,
         [''] + group([1]) + group([]) + group(list(range(1, 17)) + [17]), '0\nPNT.DAT\n', **refused)
    case('refuse_element_above_numel', head,
         [''] + group([1]) + ['    0'] * 2 + group([1, 2, 3, 0, 4]), '0\nPNT.DAT\n', **refused)
    case('refuse_negative_numnp', head.replace(b'          16           3', b'         -16           3', 1),
         [''] + group([1]), '0\nPNT.DAT\n', **refused)

    # Limits whose work arrays cannot be had: 64-bit sizes, error 41 instead of a wrapped size.
    case('huge_limits', head, [limits(99999, 99999, 99999, 99999, 99999, 99999)] + group([1]),
         '0\nPNT.DAT\n', **refused)


main()
