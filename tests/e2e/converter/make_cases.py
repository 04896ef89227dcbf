#!/usr/bin/env python3
"""Writes the inputs of the converter's end-to-end cases: runs the solver once on a small model
(python3 make_cases.py path/to/solver) and puts its result file, answers and data files in each
case. Expected files are then written with E2E_UPDATE=1 and reviewed by hand."""
import os
import shutil
import subprocess
import sys
import tempfile

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "..", "data"))
from make_models import model, work_lst  # noqa: E402

CRLF = "\r\n"


def small_model():
    """Two rows of cells along x, one high and one deep: cell 1 a hexahedron, cell 2 two
    prisms, cell 3 a hexahedron of material -1 (left out by the converter); node 17 lies in no
    element. Heads prescribed on x = 0 (2.0) and x = 2 (1.0); the rest starts at 3.0 and
    drains through the unsteady steps at 4, 8 and 12, then a last steady solve (KIND -2)."""
    def nid(ix, iy, iz):
        return 1 + ix + 4 * iy + 8 * iz
    nodes = []
    for iz in range(2):
        for iy in range(2):
            for ix in range(4):
                kode, h = 0, 3.0
                if ix == 0:
                    kode, h = 1, 2.0
                elif ix == 2:
                    kode, h = 1, 1.0
                nodes.append((float(ix), float(iy), float(iz), kode, h, 0.0))
    nodes.append((5.0, 5.0, 5.0, 0, 3.0, 0.0))

    def corner(ix, x, y, z):
        return nid(ix + x, y, z)
    # Local order: top face (z = 1) at (1,1), (0,1), (0,0), (1,0), then the bottom face.
    quad = [(1, 1), (0, 1), (0, 0), (1, 0)]
    def hexa(ix):
        return [corner(ix, x, y, 1) for x, y in quad] + [corner(ix, x, y, 0) for x, y in quad]
    tri_a = [(1, 1), (0, 1), (0, 0)]
    tri_b = [(1, 1), (0, 0), (1, 0)]
    def prism(ix, tri):
        return [corner(ix, x, y, 1) for x, y in tri] + [corner(ix, x, y, 0) for x, y in tri]
    elems = [(hexa(0), 1), (prism(1, tri_a), 1), (prism(1, tri_b), 1), (hexa(2), -1)]
    mat = dict(k=(1.0e-2,) * 3, por=0.4, ss=1.0e-2, rk=[(0.1, 0.0), (0.4, 1.0)],
               ps=[(0.1, 10.0), (0.4, 0.0)])
    return model("SMALL BLOCK FOR THE CONVERTER", nodes, elems, kind=-2, materials=[mat],
                 dt=4.0, dtmax=4.0, fact=1.0, tmax=12.0, epsln=1.0e-9)


def hand_result(blocks, model_only=False):
    """A result file of one hexahedron whose node i has pressure head (block value) + i / 100,
    written in the solver's list-directed layout (any spacing reads the same)."""
    lines = ["HAND-MADE BLOCKS AT 0, 4, 8 AND 12".ljust(80), "%12d%12d%12d" % (8, 1, 8)]
    corners = [(1, 1, 1), (0, 1, 1), (0, 0, 1), (1, 0, 1), (1, 1, 0), (0, 1, 0), (0, 0, 0),
               (1, 0, 0)]
    for i, (x, y, z) in enumerate(corners, start=1):
        lines.append("%24r%24r%24r" % (float(x), float(y), float(z)))
        lines.append("%24r%24r%12d" % (0.0, 0.0, 0))
    lines.append("".join("%12d" % n for n in range(1, 7)))
    lines.append("%12d%12d%12d" % (7, 8, 1))
    if not model_only:
        for step, time, psi in blocks:
            lines.append("%12d%24r" % (step, time))
            for i in range(1, 9):
                lines.append("%24r%24r%12d" % (psi + i / 100.0, psi / 10.0, 0))
            lines.append("%24r%24r%24r" % (psi, -psi, psi / 2.0))
            lines.append("%24r" % (psi / 4.0))
    return CRLF.join(lines) + CRLF


HAND_BLOCKS = [(0, 0.0, 0.0), (1, 4.0, 1.0), (2, 8.0, 2.0), (3, 12.0, 4.0)]

UNIT_CUBE = [(1, 1, 1), (0, 1, 1), (0, 0, 1), (1, 0, 1), (1, 1, 0), (0, 1, 0), (0, 0, 0), (1, 0, 0)]


def hand_model(title, coords, elems, blocks):
    """A result file of the nodes `coords` and the hexahedra `elems` (eight node numbers and a
    material each), with the blocks of hand_result: node i has pressure head (block value)
    + i / 100, every element the same velocity and moisture content."""
    n, e = len(coords), len(elems)
    lines = [title.ljust(80), "%12d%12d%12d" % (n, e, 8)]
    for x, y, z in coords:
        lines.append("%24r%24r%24r" % (float(x), float(y), float(z)))
        lines.append("%24r%24r%12d" % (0.0, 0.0, 0))
    ints = [v for nodes, mat in elems for v in list(nodes) + [mat]]
    lines += ["".join("%12d" % v for v in ints[k:k + 6]) for k in range(0, len(ints), 6)]
    for step, time, psi in blocks:
        lines.append("%12d%24r" % (step, time))
        for i in range(1, n + 1):
            lines.append("%24r%24r%12d" % (psi + i / 100.0, psi / 10.0, 0))
        lines += ["%24r%24r%24r" % (psi, -psi, psi / 2.0)] * e
        th = [psi / 4.0] * e
        lines += ["".join("%24r" % v for v in th[k:k + 3]) for k in range(0, len(th), 3)]
    return CRLF.join(lines) + CRLF


class Link:
    """An input that is a symbolic link to `target`."""
    def __init__(self, target):
        self.target = target


def data_file(times, points=(), cells=(), npt=None, ncell=None):
    """Output data file: NTOUT (I5), the times (8F10.0), NPT and NCELL (2I5), points, cells."""
    lines = ["%5d" % len(times)]
    for k in range(0, len(times), 8):
        lines.append("".join(("%.4f" % t).rjust(10) for t in times[k:k + 8]))
    lines.append("%5d%5d" % (len(points) if npt is None else npt,
                             len(cells) if ncell is None else ncell))
    lines += ["%d %r %r %r" % p for p in points]
    lines += ["%d %d %d %d %d" % ((c + 1,) + tuple(cell)) for c, cell in enumerate(cells)]
    return CRLF.join(lines) + CRLF


MESH_POINTS = [(1, 0.5, 0.5, 0.5), (2, 1.5, 0.5, 0.5), (3, 1.5, 0.5, 1.0), (4, 0.5, 0.5, 1.0)]
MESH_CELLS = [(1, 2, 3, 4), (1, 2, 3, 3)]


def case(name, stdin, files, expected):
    d = os.path.join(HERE, name)
    shutil.rmtree(d, ignore_errors=True)
    os.makedirs(os.path.join(d, "inputs"))
    os.makedirs(os.path.join(d, "expected"))
    with open(os.path.join(d, "stdin"), "w", newline="") as f:
        f.write("".join(line + "\n" for line in stdin))
    for fname, text in files.items():
        if isinstance(text, Link):
            os.symlink(text.target, os.path.join(d, "inputs", fname))
            continue
        mode = "wb" if isinstance(text, bytes) else "w"
        with open(os.path.join(d, "inputs", fname), mode, **({} if mode == "wb" else {"newline": ""})) as f:
            f.write(text)
    for fname in ["_status", "_stdout", "_stderr"] + expected:
        open(os.path.join(d, "expected", fname), "w").close()


def solved_result(solver):
    """The result file of the small model, from a run of the solver at path `solver`."""
    with tempfile.TemporaryDirectory() as tmp:
        with open(os.path.join(tmp, "model.dat"), "w", newline="") as f:
            f.write(small_model())
        with open(os.path.join(tmp, "WORK.LST"), "w", newline="") as f:
            f.write(work_lst())
        subprocess.run([os.path.abspath(solver)], cwd=tmp, check=True,
                       stdout=subprocess.DEVNULL)
        with open(os.path.join(tmp, "result.dat"), "rb") as f:
            return f.read()


def main():
    solved = solved_result(sys.argv[1])
    worklst = work_lst()
    hand = hand_result(HAND_BLOCKS)

    # Listing from WORK.LST line 6: an output time equal to a block time (4.0) and one between
    # blocks (6.0); the block after the last written time ends the run.
    case("form0_worklst_times", ["0", "0", "times.dat"],
         {"WORK.LST": worklst, "result.dat": solved, "times.dat": data_file([4.0, 6.0])},
         ["OUTPUT.TXT"])
    # TECPLOT of every block as read, the closing steady block (step 0) included; typed name
    # given as answer 5 (any answer but 0 asks for it).
    case("form1_all_blocks", ["5", "result.dat", "1", "0"], {"result.dat": solved},
         ["TECPLOT.TXT"])
    # TECPLOT at output times given out of order, one beyond the last block: the file ends the
    # run, and the closing step-0 block is written as read.
    case("form1_times_unsorted", ["1", "result.dat", "1", "1", "times.dat"],
         {"result.dat": solved, "times.dat": data_file([10.0, 5.0, 100.0])}, ["TECPLOT.TXT"])
    # TECPLOT with an output mesh of a quadrilateral and a triangle, mesh form 1: the mesh zone
    # of time 0 (heads 0.0) follows the model's.
    case("form1_mesh_tecplot", ["1", "result.dat", "1", "1", "mesh.dat", "1"],
         {"result.dat": solved, "mesh.dat": data_file([8.0], MESH_POINTS, MESH_CELLS)},
         ["TECPLOT.TXT"])
    # The same with mesh form 2 (FEMAP): no foreign block lands in "TECPLOT.TXT".
    case("form1_mesh_foreign", ["1", "result.dat", "1", "1", "mesh.dat", "2"],
         {"result.dat": solved, "mesh.dat": data_file([8.0], MESH_POINTS, MESH_CELLS)},
         ["TECPLOT.TXT"])
    # Hand-made blocks at 0, 4, 8, 12: times 5.0 and 10.0 interpolated (5.0 = 1/4 of block 8
    # and 3/4 of block 4); the block at 0 is listed as read.
    case("form0_interpolated", ["1", "hand.res", "0", "times.dat"],
         {"hand.res": hand, "times.dat": data_file([5.0, 10.0])}, ["OUTPUT.TXT"])
    # NTOUT 0: the step-0 block is listed and the first other block ends the run.
    case("form0_ntout0", ["1", "hand.res", "0", "times.dat"],
         {"hand.res": hand, "times.dat": data_file([])}, ["OUTPUT.TXT"])
    # A result file with the model part only: TECPLOT holds the time-0 zone alone; an older,
    # longer "TECPLOT.TXT" leaves nothing behind.
    case("form1_model_only", ["1", "hand.res", "1", "0"],
         {"hand.res": hand_result([], model_only=True), "TECPLOT.TXT": "OLD CONTENT\r\n" * 50},
         ["TECPLOT.TXT"])
    # Dialogues of the forms whose writers come later: FEMAP and MicroAVS with output times,
    # INTERP with the answer 0 (its data file is still asked for), a form with no file.
    case("form2_dialogue", ["1", "hand.res", "2", "1", "times.dat"],
         {"hand.res": hand, "times.dat": data_file([5.0])}, [])
    case("form3_dialogue", ["1", "hand.res", "3", "0"], {"hand.res": hand}, [])
    case("form4_dialogue", ["1", "hand.res", "4", "0", "mesh.dat"],
         {"hand.res": hand, "mesh.dat": data_file([5.0], MESH_POINTS)}, [])
    case("form7_no_file", ["1", "hand.res", "7", "0"], {"hand.res": hand}, [])

    # Refusals, each before anything is written to the output file.
    pts = MESH_POINTS
    refusals = {
        "refuse_point_number": data_file([5.0], [(5000, 0.0, 0.0, 0.0)]),
        "refuse_npt": data_file([5.0], npt=4445, ncell=0),
        "refuse_ncell": data_file([5.0], pts, npt=4, ncell=4445),
        "refuse_negative_npt": data_file([5.0], npt=-1, ncell=0),
        "refuse_cell_point": data_file([5.0], pts, [(1, 2, 3, 5)]),
        "refuse_cells_without_points": data_file([5.0], npt=0, ncell=2),
        "refuse_ntout": "   -2" + CRLF,
    }
    for name, text in refusals.items():
        case(name, ["1", "hand.res", "0", "times.dat"], {"hand.res": hand, "times.dat": text},
             ["OUTPUT.TXT"])
    case("refuse_mat_lst", ["1", "hand.res", "1", "0"],
         {"hand.res": hand, "MAT.LST": ("    1       1.0       1.0       1.0" + CRLF) * 1000},
         [])
    bad_node = hand.replace("%12d%12d%12d" % (7, 8, 1), "%12d%12d%12d" % (7, 9, 1))
    case("refuse_element_node", ["1", "hand.res", "1", "0"], {"hand.res": bad_node},
         ["TECPLOT.TXT"])
    bad_count = hand.replace("%12d%12d%12d" % (8, 1, 8), "%12d%12d%12d" % (8, -1, 8), 1)
    case("refuse_negative_numel", ["1", "hand.res"], {"hand.res": bad_count}, [])
    bad_npemax = hand.replace("%12d%12d%12d" % (8, 1, 8), "%12d%12d%12d" % (8, 1, 6), 1)
    case("refuse_npemax", ["1", "hand.res"], {"hand.res": bad_npemax}, [])
    # FEMAP numbers its property groups in I5 and writes one for every material number up to
    # the largest: a damaged material number of 2,000,000 is refused before anything is written.
    bad_mat = hand.replace("%12d%12d%12d" % (7, 8, 1), "%12d%12d%12d" % (7, 8, 2000000))
    case("refuse_femap_material", ["1", "hand.res", "2", "0"], {"hand.res": bad_mat},
         ["FEMAP.NEU"])

    # Point location beside an element whose nodes lie at +-1.0E+308 (its extent overflows): the
    # points are located as by the scan of every element, a point at 1.0E+308 included.
    far = [(x + 2, y, z) for x, y, z in UNIT_CUBE]
    far[0], far[1] = (1.0e308, 1, 1), (-1.0e308, 1, 1)
    extreme = hand_model("UNIT CUBE BESIDE A HEXAHEDRON OF OVERFLOWING EXTENT", UNIT_CUBE + far,
                         [(range(1, 9), 1), (range(9, 17), 1)], HAND_BLOCKS)
    points = [(1, 0.5, 0.5, 0.5), (2, 0.9, 0.9, 0.9), (3, 1.0, 1.0, 1.0), (4, 2.5, 0.5, 0.5),
              (5, 2.0, 2.0, 2.0), (6, 1.0e308, 0.5, 0.5), (7, 0.25, 0.75, 0.5)]
    case("interp_extreme_coordinates", ["1", "ext.res", "4", "0", "points.dat"],
         {"ext.res": extreme, "points.dat": data_file([], points)}, ["INTERP.TXT"])

    # Values the model part leaves empty (",,", "r*", "/") keep 0 in the work arrays, whatever
    # the heap held: node 1's Y, node 2's pressure head and flow, node 8's flow and code.
    lines = hand.split(CRLF)
    lines[2] = "1.0,,1.0"
    lines[5] = "2* 7"
    lines[17] = "0.0 /"
    case("empty_model_values", ["1", "empty.res", "1", "0"], {"empty.res": CRLF.join(lines)},
         ["TECPLOT.TXT"])

    # An output data file that is the form's own output file is refused (error 30) before any
    # output file is emptied: named through a link to "AVS.tmp" under MicroAVS ("AVS.INP" keeps
    # its older bytes too), and named "AVS.tmp" under INTERP with mesh form 3, whose scratch
    # file it would become.
    older = "AN OLDER AVS.INP THAT A REFUSED RUN LEAVES AS IT IS" + CRLF
    case("clash_data_link", ["1", "hand.res", "3", "1", "times.lnk"],
         {"hand.res": hand, "AVS.tmp": data_file([5.0, 10.0]), "times.lnk": Link("AVS.tmp"),
          "AVS.INP": older}, ["AVS.tmp", "AVS.INP"])
    case("clash_mesh_scratch", ["1", "hand.res", "4", "0", "AVS.tmp", "3"],
         {"hand.res": hand, "AVS.tmp": data_file([5.0], MESH_POINTS, MESH_CELLS)}, ["AVS.tmp"])

    # A result file (line 6 of "WORK.LST") that is a device of endless zeros: the rest of its
    # first line is passed over up to a bound, then the run ends with a read error.
    names = ["w.wrk", "w.sc2", "w.sc3", "w.sc4", "w.rs2", "/dev/zero"]
    case("result_dev_zero", ["0"], {"WORK.LST": CRLF.join(names) + CRLF}, [])


if __name__ == "__main__":
    main()
