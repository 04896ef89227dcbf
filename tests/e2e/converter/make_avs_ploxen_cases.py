#!/usr/bin/env python3
"""Writes the inputs of the MicroAVS and PLOXEN end-to-end cases on the small model of
make_cases.py (python3 make_avs_ploxen_cases.py path/to/solver). Expected files are then
written with E2E_UPDATE=1 and reviewed by hand."""
import sys

from make_cases import MESH_CELLS, MESH_POINTS, case, data_file, hand_result, solved_result


def main():
    solved = solved_result(sys.argv[1])
    mesh = data_file([6.0, 12.0], MESH_POINTS, MESH_CELLS)
    # MicroAVS of the 3-D model at output times 6.0 (between the blocks at 4 and 8) and 12.0
    # (a block time), then the closing steady block as read; the mesh has cells and mesh form
    # 3 is chosen, yet only the 3-D blocks are written and assembled.
    case("form3_times_mesh3", ["1", "result.dat", "3", "1", "mesh.dat", "3"],
         {"result.dat": solved, "mesh.dat": mesh}, ["AVS.INP"])
    # MicroAVS of a result file with the model part only: no step block, so "AVS.INP" holds
    # the header with the count 0 and the run ends normally.
    case("form3_model_only", ["1", "hand.res", "3", "0"],
         {"hand.res": hand_result([], model_only=True)}, ["AVS.INP"])
    # MicroAVS of the output mesh under INTERP (mesh form 3): "INTERP.TXT" receives the
    # assembled time series, triangles and quadrilaterals with the heads at the points.
    case("form4_mesh3", ["1", "result.dat", "4", "0", "mesh.dat", "3"],
         {"result.dat": solved, "mesh.dat": mesh}, ["INTERP.TXT"])
    # A form with no output file (7) and mesh form 3: no MicroAVS block is written, so no
    # assembly runs and nothing of it reaches the console.
    case("form7_mesh3", ["1", "result.dat", "7", "1", "mesh.dat", "3"],
         {"result.dat": solved, "mesh.dat": mesh}, [])
    # PLOXEN section (mesh form 5) under INTERP: one block per written time, points placed by
    # their distance from the smallest x and y of the mesh, and by z.
    case("form4_ploxen_section", ["1", "result.dat", "4", "0", "mesh.dat", "5"],
         {"result.dat": solved, "mesh.dat": mesh}, ["INTERP.TXT"])


if __name__ == "__main__":
    main()
