#!/usr/bin/env python3
"""Reads morvane-check's CSV, JSON Lines and GeoJSON back with real parsers.

Usage: ReadBackTest.py MORVANE_CHECK CS2CS EXAMPLES_DIR

The CSV and JSON fields are checked against the report of the same file and
against the values written into awkward test files (names with commas, quotes,
tabs, control characters and kanji, a file name with a comma, quotes and a line
break); GeoJSON coordinates against PROJ's own cs2cs to 1e-9 degree.
"""

import csv
import io
import json
import math
import os
import re
import subprocess
import sys
import tempfile

CHECK, CS2CS, EXAMPLES = sys.argv[1:4]
SAMPLE = os.path.join(EXAMPLES, "sample.sim")
ZONE = 9
HEADER = ["file", "kind", "distance", "number1", "name1", "x1", "y1", "line1",
          "number2", "name2", "x2", "y2", "line2"]
PLAIN_DECIMAL = re.compile(r"^-?\d+(\.\d+)?$")

failures = []


def expect(condition, what):
    if not condition:
        failures.append(what)
        print("FAILED:", what, file=sys.stderr)


def run(*args):
    result = subprocess.run([CHECK, "--quiet", *args], capture_output=True, check=False)
    again = subprocess.run([CHECK, "--quiet", *args], capture_output=True, check=False)
    expect(result.stdout == again.stdout, f"{args}: the same output run to run")
    return result


# Awkward files. A quoted field keeps its comma; a quote inside an unquoted
# field, a tab and U+0001 stay in the name; a point at (0, 0) has no
# coordinates; 31 and 32 lie on exactly one spot.
ODD_POINTS = [
    (1, "a,b", -42100.0, 12500.0, 1),
    (2, 'x"y\tz\x01', -42100.0, 12500.01, 2),
    (3, "a,b", -42100.001, 12500.0, 3),
    (4, 'x"y\tz\x01', 0.0, 0.0, 4),
    (31, "杭A", -42140.0, 12520.0, 5),
    (32, "杭B", -42140.0, 12520.0, 6),
    (51, "境界①Ω", -42080.123456789, 12700.987654321, 7),
    (52, "境界①Ω", -42080.2, 12700.9, 8),
]
ODD_RECORDS = [
    'A01,1,"a,b",-42100,12500,',
    'Z,2,x"y\tz\x01,-42100,12500.01,',
    'Z,3,"a,b",-42100.001,12500,',
    'A01,4,x"y\tz\x01,0,0,',
    "A01,31,杭A,-42140.000,12520.000,",
    "A01,32,杭B,-42140.000,12520.000,",
    "A01,51,境界①Ω,-42080.123456789,12700.987654321,",
    "A01,52,境界①Ω,-42080.2,12700.9,",
]

work_folder = tempfile.TemporaryDirectory()
work = work_folder.name
odd = os.path.join(work, 'odd, "site"\nfile.sim')
with open(odd, "w", encoding="utf-8", newline="") as f:
    f.write("\r\n".join(ODD_RECORDS) + "\r\n")
clean = os.path.join(work, "clean.sim")
with open(clean, "w", encoding="ascii", newline="") as f:
    f.write("A01,1,P1,-42100,12500,\r\n")
missing = os.path.join(work, "missing.sim")
FILES = [SAMPLE, odd, clean]


def report_findings(path):
    """The findings of the default report: kind, distance and both points'
    number, name (cut to 15 characters), X and Y, all as the report shows them."""
    text = run(path).stdout.decode("utf-8")
    point = re.compile(r"^\s*(-?\d+)  (.*?)\s+(-?\d+\.\d{3})\s+(-?\d+\.\d{3})(?:  較差 (\S+))?$")
    kinds = {"同一名称": "duplicate_name", "同一座標値": "coincident_point"}
    lines = text.splitlines()
    findings = []
    for i, line in enumerate(lines):
        if line in kinds:
            first, second = point.match(lines[i + 1]), point.match(lines[i + 2])
            findings.append((kinds[line], first.group(5), first.groups()[:4], second.groups()[:4]))
    return findings


def shown(value):
    return f"{float(value):.3f}"


# JSON Lines: one object a file, in order, an error object for the missing one.
result = run("--format", "json", SAMPLE, missing, odd, clean)
expect(result.returncode == 2, f"json with a missing file: exit 2, not {result.returncode}")
expect("ファイルが見つかりません。" in result.stderr.decode("utf-8"), "json: the error on stderr too")
lines = result.stdout.decode("utf-8").split("\n")
expect(lines[-1] == "", "json: every line ends in LF")
objects = [json.loads(line) for line in lines[:-1]]
expect([o["file"] for o in objects] == [SAMPLE, missing, odd, clean], "json: one object a file, in order")
expect(objects[1] == {"file": missing, "error": {"number": 53, "message": "ファイルが見つかりません。", "line": None}},
       f"json: the error object: {objects[1]}")
by_file = {o["file"]: o for o in objects if "error" not in o}
sample = by_file[SAMPLE]
expect((sample["encoding"], sample["points"], sample["lower"], sample["tolerance"], sample["stopped"])
       == ("CP932", 25, 0, 0.05, None), "json: the sample's summary fields")
expect(by_file[odd]["encoding"] == "UTF-8", "json: the odd file is UTF-8")
expect(by_file[clean]["findings"] == [], "json: a clean file has no findings")

# Each finding against the report.
report = report_findings(SAMPLE)
expect(len(sample["findings"]) == len(report) == 7, "json: as many findings as the report")
for got, (kind, distance, first, second) in zip(sample["findings"], report):
    expect(got["kind"] == kind, f"json kind {got['kind']} vs {kind}")
    expect(shown(got["distance"]) == distance, f"json distance {got['distance']} vs {distance}")
    for point, (number, name, x, y) in zip(got["points"], (first, second)):
        expect((str(point["number"]), point["name"][:15], shown(point["x"]), shown(point["y"]))
               == (number, name.rstrip(), x, y), f"json point {point} vs report {number} {name} {x} {y}")

# Each finding of the odd file against what was written into it.
odd_points = {(p[0], p[4]): p for p in ODD_POINTS}
for finding in by_file[odd]["findings"]:
    for point in finding["points"]:
        expected = odd_points[(point["number"], point["line"])]
        expect((point["number"], point["name"], point["x"], point["y"], point["line"]) == expected,
               f"json odd point {point} vs {expected}")
    a, b = finding["points"]
    expect(finding["distance"] == math.sqrt((a["x"] - b["x"]) ** 2 + (a["y"] - b["y"]) ** 2),
           f"json distance {finding['distance']}")

# Stopped after too many findings: the check is named, with the reason.
many = os.path.join(work, "many.sim")
with open(many, "w", encoding="ascii", newline="") as f:
    for i in range(1002):
        f.write(f"A01,{2 * i + 1},N{i},{i * 10},0,\r\nA01,{2 * i + 2},N{i},{i * 10},100,\r\n")
stopped = json.loads(run("--format", "json", "--on-too-many", "stop", many).stdout)
expect(stopped["stopped"] == {"duplicate_name": "answer"}, f"json stopped: {stopped['stopped']}")
expect(len(stopped["findings"]) == 1001, "json: the findings up to the stop")
# The point-number check, when asked for, is named by its kind.
numbered = os.path.join(work, "numbered.sim")
with open(numbered, "w", encoding="ascii", newline="") as f:
    f.writelines(f"A01,{i // 2},,{i},0,\r\n" for i in range(2, 2006))
stopped = json.loads(run("--format", "json", "--check", "numbers", "--on-too-many", "stop", numbered).stdout)
expect(stopped["stopped"] == {"duplicate_number": "answer"}, f"json stopped: {stopped['stopped']}")
expect({f["kind"] for f in stopped["findings"]} == {"duplicate_number"}, "json: the number check's kind")
# Data goes on to the end unless told to stop: no one is there to answer.
for form in ("json", "csv"):
    whole = run("--format", form, many).stdout
    count = len(json.loads(whole)["findings"]) if form == "json" else len(whole.splitlines()) - 1
    expect(count == 1002, f"{form}: every finding by default, not {count}")

# CSV: BOM, CR LF, one header for several files, a row a finding, the same
# values as the JSON.
result = run("--format", "csv", *FILES)
raw = result.stdout
expect(raw.startswith(b"\xef\xbb\xbf"), "csv starts with a byte order mark")
rows = list(csv.reader(io.StringIO(raw.decode("utf-8-sig"), newline="")))
loud = subprocess.run([CHECK, "--format", "csv", SAMPLE], capture_output=True, check=False)
expect(loud.returncode == 1 and "25 points, 3 duplicate names" in loud.stderr.decode("utf-8"),
       "csv: the report's exit status, the summary on stderr")
expect(rows[0] == HEADER, f"csv header {rows[0]}")
expect(raw.count(b"\r\n") == len(rows), "csv: every row ends in CR LF")
all_findings = [(path, f) for path in FILES for f in by_file[path]["findings"]]
expect(len(rows) - 1 == len(all_findings), f"csv: {len(rows) - 1} rows for {len(all_findings)} findings")
for row, (path, finding) in zip(rows[1:], all_findings):
    expect(len(row) == len(HEADER), f"csv row of {len(row)} fields")
    numbers = [row[i] for i in (2, 3, 5, 6, 7, 8, 10, 11, 12)]
    expect(all(PLAIN_DECIMAL.match(n) for n in numbers), f"csv numbers are plain decimals: {numbers}")
    expected = [path, finding["kind"], finding["distance"]]
    for p in finding["points"]:
        expected += [p["number"], p["name"], p["x"], p["y"], p["line"]]
    got = [row[0], row[1], float(row[2]),
           int(row[3]), row[4], float(row[5]), float(row[6]), int(row[7]),
           int(row[8]), row[9], float(row[10]), float(row[11]), int(row[12])]
    expect(got == expected, f"csv row {got} vs json {expected}")

# Files checked at once are written in the order given, byte for byte.
for data in (["--format", "csv"], ["--format", "json"], ["--format", "geojson", "--zone", str(ZONE)]):
    one, two = (run(*data, "-j", jobs, *FILES, missing, SAMPLE) for jobs in ("1", "2"))
    expect(one.stdout == two.stdout and one.stderr == two.stderr, f"{data}: -j 2 writes what -j 1 does")

# GeoJSON: one collection, each finding a feature, positions as cs2cs gives them.
result = run("--format", "geojson", "--zone", str(ZONE), *FILES)
collection = json.loads(result.stdout)
expect(collection["type"] == "FeatureCollection", "geojson: a FeatureCollection")
features = collection["features"]
expect(len(features) == len(all_findings), "geojson: a feature a finding")

plane = []
for feature, (path, finding) in zip(features, all_findings):
    props = feature["properties"]
    a, b = finding["points"]
    expect((props["file"], props["kind"], props["distance"], props["name1"], props["x2"], props["line2"])
           == (path, finding["kind"], finding["distance"], a["name"], b["x"], b["line"]),
           f"geojson properties {props}")
    located = [p for p in (a, b) if (p["x"], p["y"]) != (0, 0)]
    if (a["x"], a["y"]) == (b["x"], b["y"]):
        located = [a]
    geometry = feature["geometry"]
    if len(located) == 2:
        expect(geometry["type"] == "LineString", f"geojson: a LineString for {props}")
        positions = geometry["coordinates"]
    else:
        expect(geometry["type"] == "Point", f"geojson: a Point for {props}")
        positions = [geometry["coordinates"]]
    for p, position in zip(located, positions):
        plane.append(((p["x"], p["y"]), position))
expect(any(f["geometry"]["type"] == "Point" for f in features), "geojson: the test has a Point")

# EPSG:6677 takes northing, easting and gives latitude, longitude.
given = "".join(f"{x!r} {y!r}\n" for (x, y), _ in plane)
proj = subprocess.run([CS2CS, "-f", "%.15f", f"EPSG:{6668 + ZONE}", "EPSG:6668"],
                      input=given.encode(), capture_output=True, check=True)
for line, ((x, y), (lon, lat)) in zip(proj.stdout.decode().splitlines(), plane):
    want_lat, want_lon = (float(v) for v in line.split()[:2])
    expect(abs(lon - want_lon) <= 1e-9 and abs(lat - want_lat) <= 1e-9,
           f"geojson ({x}, {y}) at {lon}, {lat}; cs2cs gives {want_lon}, {want_lat}")
expect(len(proj.stdout.decode().splitlines()) == len(plane) > 10, "cs2cs converted every point")

if failures:
    sys.exit(f"{len(failures)} failures")
print("PASSED: CSV, JSON Lines and GeoJSON read back")
