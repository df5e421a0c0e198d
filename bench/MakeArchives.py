#!/usr/bin/env python3
"""Writes the archives bench/run.sh measures, into the folder given:

  municipality.zip   1,000 copies of the real sheet's ZIP in one ZIP, as a
                     municipality's package holds one ZIP per sheet
  members-100000.zip 100,000 one-point sheets
  over-1gib.zip      1,100 sheets of 1 MiB each: more than 1 GiB unpacked
  inner-bomb.zip     one inner ZIP that unpacks to 900 MiB, from a file of
                     about a megabyte

Each is written once; an existing file is kept.
"""

import os
import sys
import zipfile

folder, real_sheet_zip, generated_sheet = sys.argv[1], sys.argv[2], sys.argv[3]


def write_once(name, fill):
    path = os.path.join(folder, name)
    if not os.path.exists(path):
        fill(path + ".part")
        os.replace(path + ".part", path)


def municipality(path):
    sheet = open(real_sheet_zip, "rb").read()
    with zipfile.ZipFile(path, "w", zipfile.ZIP_STORED) as z:
        for i in range(1000):
            z.writestr(f"sheet{i:04d}.zip", sheet)


def one_point_sheet(i):
    return (
        '<地図 xmlns="http://www.moj.go.jp/MINJI/tizuxml" '
        'xmlns:zmn="http://www.moj.go.jp/MINJI/tizuzumen"><座標系>公共座標9系</座標系>'
        f'<zmn:GM_Point id="P1"><zmn:DirectPosition><zmn:X>{i}.5</zmn:X><zmn:Y>1</zmn:Y>'
        "</zmn:DirectPosition></zmn:GM_Point></地図>"
    ).encode()


def many_members(path):
    with zipfile.ZipFile(path, "w", zipfile.ZIP_DEFLATED, compresslevel=1) as z:
        for i in range(100_000):
            z.writestr(f"s/{i:06d}.xml", one_point_sheet(i))


def over_one_gib(path):
    sheet = open(generated_sheet, "rb").read()
    with zipfile.ZipFile(path, "w", zipfile.ZIP_DEFLATED, compresslevel=1) as z:
        for i in range(1100):
            z.writestr(f"sheet{i:04d}.xml", sheet)


def inner_bomb(path):
    # The inner ZIP stores 900 MiB of spaces after a sheet's start; the outer
    # one deflates it, a thousand times smaller.
    inner = path + ".inner"
    head = one_point_sheet(1)[:-len("</地図>".encode())]
    chunk = b" " * (1 << 20)
    with zipfile.ZipFile(inner, "w", zipfile.ZIP_STORED, allowZip64=True) as z:
        with z.open(zipfile.ZipInfo("bomb.xml"), "w", force_zip64=True) as member:
            member.write(head)
            for _ in range(900):
                member.write(chunk)
            member.write("</地図>".encode())
    with zipfile.ZipFile(path, "w", zipfile.ZIP_DEFLATED, compresslevel=9, allowZip64=True) as z:
        z.write(inner, "inner.zip")
    os.remove(inner)


os.makedirs(folder, exist_ok=True)
write_once("municipality.zip", municipality)
write_once("members-100000.zip", many_members)
write_once("over-1gib.zip", over_one_gib)
write_once("inner-bomb.zip", inner_bomb)
