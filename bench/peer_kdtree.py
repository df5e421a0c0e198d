#!/usr/bin/python3
"""The same read and search as morvane-check, done the usual way in Python:
pandas reads the coordinate records, points sharing a name are grouped, and
scipy's cKDTree finds every pair closer than the tolerance (then kept when at
least the lower bound apart). A yardstick for bench/run.sh, not a checker:
it prints how many of each it found.

    bench/peer_kdtree.py FILE [TOLERANCE [LOWER]]
"""
import sys

import numpy as np
import pandas as pd
from scipy.spatial import cKDTree


def main():
    path = sys.argv[1]
    tolerance = float(sys.argv[2]) if len(sys.argv) > 2 else 0.05
    lower = float(sys.argv[3]) if len(sys.argv) > 3 else 0.0
    # Records of any length: only "A01,number,name,x,y" rows are points.
    records = pd.read_csv(path, encoding="cp932", header=None, names=range(12), dtype=str,
                          keep_default_na=False)
    points = records[records[0] == "A01"]
    names = points[2].str.strip()
    xy = np.column_stack([pd.to_numeric(points[3]), pd.to_numeric(points[4])])

    named = names[names != ""]
    same_name = int(named.duplicated(keep="first").sum())

    pairs = cKDTree(xy).query_pairs(r=tolerance, output_type="ndarray")
    if len(pairs):
        d = np.hypot(*(xy[pairs[:, 0]] - xy[pairs[:, 1]]).T)
        at_origin = (~xy.any(axis=1))
        keep = (d >= lower) & (d < tolerance) & ~at_origin[pairs[:, 0]] & ~at_origin[pairs[:, 1]]
        close = int(keep.sum())
    else:
        close = 0
    print(f"{len(xy)} points, {same_name} duplicate names, {close} pairs in the band")


if __name__ == "__main__":
    main()
