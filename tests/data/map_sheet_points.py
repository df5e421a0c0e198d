#!/usr/bin/env python3
"""Writes the points of a cadastral map sheet as a table, read independently
of Morvane's reader (Python's ElementTree, the whole document in memory): one
line per GM_Point in document order, number, name, X and Y as the sheet
writes them, separated by tabs, after a line with the coordinate system.

Usage: map_sheet_points.py SHEET.zip|SHEET.xml > points.tsv
"""
import sys
import xml.etree.ElementTree as ET
import zipfile

MAP = "{http://www.moj.go.jp/MINJI/tizuxml}"
GEOMETRY = "{http://www.moj.go.jp/MINJI/tizuzumen}"


def sheet_bytes(path):
    if not path.lower().endswith(".zip"):
        with open(path, "rb") as f:
            return f.read()
    with zipfile.ZipFile(path) as archive:
        names = sorted(n for n in archive.namelist() if n.lower().endswith(".xml"))
        if len(names) != 1:
            sys.exit(f"{path}: expected one sheet, found {len(names)}")
        return archive.read(names[0])


def main():
    root = ET.fromstring(sheet_bytes(sys.argv[1]))
    names = {}
    for element in root.iter():
        if element.tag == MAP + "筆界点":
            name_tag = MAP + "点番名"
        elif element.tag == MAP + "基準点":
            name_tag = MAP + "名称"
        else:
            continue
        shape = element.find(MAP + "形状")
        if shape is None or not shape.get("idref"):
            continue
        name = element.find(name_tag)
        names.setdefault(shape.get("idref").strip(),
                         (name.text or "").strip() if name is not None else "")

    system = root.find(MAP + "座標系")
    out = sys.stdout
    out.write("座標系\t" + (system.text.strip() if system is not None else "") + "\n")
    for position, point in enumerate(root.iter(GEOMETRY + "GM_Point"), start=1):
        point_id = (point.get("id") or "").strip()
        digits = point_id[1:]
        if point_id.startswith("P") and digits.isascii() and digits.isdigit() \
                and int(digits) <= 2**31 - 1:
            number = int(digits)
        else:
            number = position
        direct = point.find(GEOMETRY + "GM_Point.position/" + GEOMETRY + "DirectPosition")
        x = direct.find(GEOMETRY + "X").text.strip()
        y = direct.find(GEOMETRY + "Y").text.strip()
        out.write(f"{number}\t{names.get(point_id, '')}\t{x}\t{y}\n")


if __name__ == "__main__":
    main()
