#!/usr/bin/env python3
"""Writes src/input/Cp932Table.h, the code page 932 tables the core decodes
and encodes with, from glibc's iconv ("CP932", called through ctypes; Python's
own codecs map several characters differently). The core carries the tables
so that every platform reads names and orders them as Linux does.

Run it from anywhere and commit the result; tests/input/Cp932IconvTest.cpp
compares the tables with iconv again on every test run.

Usage: generate-cp932-table.py [OUTPUT]
"""
import ctypes
import ctypes.util
import errno
import pathlib
import sys

CODE_PAGE = b"CP932"
UTF16 = b"UTF-16LE"
# The character glibc's decoder never yields, which the tables use for "no
# character" and the core writes for a byte that does not decode.
NO_CHARACTER = 0xFFFD
# cp932Code's answer for a character without a code: "?".
UNMAPPED_CODE = 0x3F
NOT_A_LEAD_BYTE = 0xFF
# Lines start at a multiple of 8 (16 for bytes) from the table's first byte.
CHARACTERS_PER_LINE = 8
ROWS_PER_LINE = 16
CHOICES_PER_LINE = 5


class Iconv:
    """One glibc conversion, asked about one short byte string at a time."""

    def __init__(self, to_code, from_code):
        self.libc = ctypes.CDLL(ctypes.util.find_library("c"), use_errno=True)
        if not hasattr(self.libc, "gnu_get_libc_version"):
            sys.exit("the tables are glibc's: run this on a glibc system")
        self.libc.iconv_open.restype = ctypes.c_void_p
        self.libc.iconv_open.argtypes = [ctypes.c_char_p, ctypes.c_char_p]
        self.libc.iconv.restype = ctypes.c_size_t
        pointer = ctypes.POINTER(ctypes.c_char_p)
        size = ctypes.POINTER(ctypes.c_size_t)
        self.libc.iconv.argtypes = [ctypes.c_void_p, pointer, size, pointer, size]
        self.cd = self.libc.iconv_open(to_code, from_code)
        if self.cd in (None, ctypes.c_void_p(-1).value):
            sys.exit(f"iconv cannot convert {from_code.decode()} to {to_code.decode()}")

    def convert(self, data):
        """The output bytes, how many input bytes went in and whether all did;
        iconv stops at an invalid or cut-short sequence."""
        self.libc.iconv(self.cd, None, None, None, None)
        source = ctypes.create_string_buffer(data, len(data))
        target = ctypes.create_string_buffer(16)
        in_pointer = ctypes.cast(source, ctypes.c_char_p)
        in_left = ctypes.c_size_t(len(data))
        out_pointer = ctypes.cast(target, ctypes.c_char_p)
        out_left = ctypes.c_size_t(len(target))
        result = self.libc.iconv(self.cd, ctypes.byref(in_pointer), ctypes.byref(in_left),
                                 ctypes.byref(out_pointer), ctypes.byref(out_left))
        stopped = result == ctypes.c_size_t(-1).value
        if stopped and ctypes.get_errno() not in (errno.EILSEQ, errno.EINVAL):
            sys.exit(f"iconv failed on {data.hex()}")
        output = target.raw[:len(target) - out_left.value]
        return output, len(data) - in_left.value, not stopped


def one_character(output):
    """The one UTF-16 code unit of iconv's output, which must be one."""
    if len(output) != 2:
        sys.exit(f"glibc decodes to {output.hex()}, not one UTF-16 code unit")
    unit = int.from_bytes(output, "little")
    if unit == NO_CHARACTER or 0xD800 <= unit <= 0xDFFF:
        sys.exit(f"glibc decodes to U+{unit:04X}, which the tables cannot hold")
    return unit


def decode_tables():
    decoder = Iconv(UTF16, CODE_PAGE)
    singles = []
    for byte in range(256):
        output, _, complete = decoder.convert(bytes([byte]))
        singles.append(one_character(output) if complete else NO_CHARACTER)
    pairs = {}
    for lead in range(256):
        for trail in range(256):
            output, used, complete = decoder.convert(bytes([lead, trail]))
            if singles[lead] != NO_CHARACTER:
                # The decoder keeps no state: a byte that decodes alone does
                # so whatever follows, and leads no pair.
                if used == 0 or int.from_bytes(output[:2], "little") != singles[lead]:
                    sys.exit(f"{lead:#04x} decodes alone but not before {trail:#04x}")
            elif complete:
                pairs[lead, trail] = one_character(output)
            elif used != 0:
                sys.exit(f"glibc takes part of {lead:#04x} {trail:#04x}")
    return singles, pairs


def encoding_choices(singles, pairs):
    """Each character whose code from glibc's encoder is not the first code,
    in byte order, that decodes to it: glibc's pick among several codes, the
    characters it encodes but never decodes to, and any it decodes to but
    cannot encode (as UNMAPPED_CODE)."""
    first_code = {}
    for byte, unit in enumerate(singles):
        if unit != NO_CHARACTER:
            first_code.setdefault(unit, byte)
    for (lead, trail), unit in sorted(pairs.items()):
        first_code.setdefault(unit, lead << 8 | trail)
    encoder = Iconv(CODE_PAGE, UTF16)
    choices = []
    for unit in range(0x10000):
        output, _, complete = encoder.convert(unit.to_bytes(2, "little"))
        code = UNMAPPED_CODE
        if complete and len(output) in (1, 2):
            code = int.from_bytes(output, "big")
        if code != first_code.get(unit, UNMAPPED_CODE):
            choices.append((unit, code))
    return choices


def value_lines(values, indent, per_line=CHARACTERS_PER_LINE):
    lines = []
    for start in range(0, len(values), per_line):
        lines.append(indent + ", ".join(values[start:start + per_line]) + ",")
    return lines


def header_text(singles, pairs, choices):
    leads = sorted({lead for lead, _ in pairs})
    first_trail = min(trail for _, trail in pairs)
    trail_count = max(trail for _, trail in pairs) - first_trail + 1
    rows = {lead: row for row, lead in enumerate(leads)}
    if len(leads) >= NOT_A_LEAD_BYTE:
        sys.exit("too many lead bytes for the row numbers")

    out = [
        "// Generated by scripts/generate-cp932-table.py from glibc's iconv (\"CP932\"):",
        "// regenerate rather than edit. The core's one code page 932, the same on",
        "// every platform, so that names decode and order alike everywhere.",
        "",
        "#pragma once",
        "",
        "#include <array>",
        "#include <cstddef>",
        "#include <cstdint>",
        "",
        "namespace morvane::cp932 {",
        "",
        "// clang-format off",
        "",
        "// No sequence decodes to U+FFFD, so it marks \"no character\" here, and a",
        "// byte that does not decode becomes it.",
        f"inline constexpr char16_t NoCharacter = 0x{NO_CHARACTER:04X};",
        "",
        "// Each byte on its own: NoCharacter for a lead byte and an undefined byte.",
        "inline constexpr std::array<char16_t, 256> SingleByteCharacters = {",
    ]
    out += value_lines([f"0x{unit:04X}" for unit in singles], "    ")
    out += [
        "};",
        "",
        f"inline constexpr std::uint8_t NotALeadByte = 0x{NOT_A_LEAD_BYTE:02X};",
        "",
        "// The row of DoubleByteCharacters that each lead byte starts.",
        "inline constexpr std::array<std::uint8_t, 256> LeadByteRows = {",
    ]
    out += value_lines([f"0x{rows.get(byte, NOT_A_LEAD_BYTE):02X}" for byte in range(256)], "    ",
                       ROWS_PER_LINE)
    out += [
        "};",
        "",
        f"inline constexpr unsigned FirstTrailByte = 0x{first_trail:02X};",
        f"inline constexpr std::size_t TrailByteCount = {trail_count};",
        "",
        "// By lead byte, then trail byte from FirstTrailByte on. NoCharacter where",
        "// the two bytes are no character: the first then stands alone.",
        "inline constexpr std::array<std::array<char16_t, TrailByteCount>, "
        f"{len(leads)}> DoubleByteCharacters = {{{{",
    ]
    for lead in leads:
        units = [pairs.get((lead, first_trail + i), NO_CHARACTER) for i in range(trail_count)]
        out.append(f"    // 0x{lead:02X}")
        out.append("    {{")
        out += value_lines([f"0x{unit:04X}" for unit in units], "        ")
        out.append("    }},")
    out += [
        "}};",
        "",
        "// A character and the code glibc encodes it to (0x3F for none), where that",
        "// is not the first code, in byte order, that decodes to it.",
        "struct EncodingChoice {",
        "    char16_t character;",
        "    std::uint16_t code;",
        "};",
        "",
        f"inline constexpr std::array<EncodingChoice, {len(choices)}> EncodingChoices = {{{{",
    ]
    out += value_lines([f"{{0x{unit:04X}, 0x{code:X}}}" for unit, code in choices], "    ",
                       CHOICES_PER_LINE)
    out += [
        "}};",
        "",
        "// clang-format on",
        "",
        "} // namespace morvane::cp932",
        "",
    ]
    return "\n".join(out)


def main():
    root = pathlib.Path(__file__).resolve().parent.parent
    output = pathlib.Path(sys.argv[1]) if len(sys.argv) > 1 else root / "src/input/Cp932Table.h"
    singles, pairs = decode_tables()
    choices = encoding_choices(singles, pairs)
    output.write_text(header_text(singles, pairs, choices), encoding="utf-8")
    print(f"generate-cp932-table: {len(pairs)} pairs, {len(choices)} encoding choices")


if __name__ == "__main__":
    main()
