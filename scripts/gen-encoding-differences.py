#!/usr/bin/env python3
"""Writes print/EncodingDifferences.inc: every byte sequence that glibc's iconv decodes otherwise than browsers do.

The renderer decodes legacy encodings with glibc's iconv, choosing for each web encoding the converter whose
mapping is closest to the browsers' (CP932 for Shift_JIS, CP949 for EUC-KR, GB18030 for GBK, ...). This script
compares, sequence by sequence, that converter with the browsers' index tables (the index-*.txt files published with
the Encoding Standard) and writes down where they differ, so the decoder can follow the browsers there.

Usage: scripts/gen-encoding-differences.py INDEX_FOLDER > print/EncodingDifferences.inc
       scripts/gen-encoding-differences.py --labels ENCODINGS_JSON > print/WebEncodingLabels.inc
The second form writes the label table (every label and the encoding it names), sorted for a binary search.
"""
import ctypes
import ctypes.util
import json
import os
import sys

libc = ctypes.CDLL(ctypes.util.find_library("c"), use_errno=True)
libc.iconv_open.restype = ctypes.c_void_p
libc.iconv_open.argtypes = [ctypes.c_char_p, ctypes.c_char_p]
libc.iconv.restype = ctypes.c_size_t
libc.iconv.argtypes = [ctypes.c_void_p, ctypes.POINTER(ctypes.c_char_p), ctypes.POINTER(ctypes.c_size_t),
                       ctypes.POINTER(ctypes.c_char_p), ctypes.POINTER(ctypes.c_size_t)]
libc.iconv_close.argtypes = [ctypes.c_void_p]


def glibc(charset, data):
    """The code points glibc makes of `data` alone, or None when it refuses any of it."""
    cd = libc.iconv_open(b"UTF-32LE", charset.encode())
    inbuf = ctypes.create_string_buffer(data, len(data))
    out = ctypes.create_string_buffer(64)
    ip = ctypes.c_char_p(ctypes.addressof(inbuf))
    il = ctypes.c_size_t(len(data))
    op = ctypes.c_char_p(ctypes.addressof(out))
    ol = ctypes.c_size_t(64)
    result = libc.iconv(cd, ctypes.byref(ip), ctypes.byref(il), ctypes.byref(op), ctypes.byref(ol))
    if result != ctypes.c_size_t(-1).value:
        result = libc.iconv(cd, None, None, ctypes.byref(op), ctypes.byref(ol))
    libc.iconv_close(cd)
    if result == ctypes.c_size_t(-1).value or il.value:
        return None
    raw = out.raw[:64 - ol.value]
    return [int.from_bytes(raw[i:i + 4], "little") for i in range(0, len(raw), 4)]


def index(folder, name):
    table = {}
    with open(os.path.join(folder, "index-%s.txt" % name), encoding="utf-8") as f:
        for line in f:
            if line.strip() and not line.startswith("#"):
                pointer, code = line.split()[:2]
                table[int(pointer)] = int(code, 16)
    return table


def gb18030_ranges(folder):
    ranges = []
    with open(os.path.join(folder, "index-gb18030-ranges.txt"), encoding="utf-8") as f:
        for line in f:
            if line.strip() and not line.startswith("#"):
                pointer, code = line.split()[:2]
                ranges.append((int(pointer), int(code, 16)))
    return ranges


# The browsers' decoders, one sequence at a time: the code points, or None for an error.
def shift_jis(jis):
    def decode(seq):
        if len(seq) == 1:
            b = seq[0]
            return [b] if b <= 0x80 else [0xFF61 + b - 0xA1] if 0xA1 <= b <= 0xDF else None
        lead, trail = seq
        if not (0x40 <= trail <= 0x7E or 0x80 <= trail <= 0xFC):
            return None
        pointer = (lead - (0x81 if lead < 0xA0 else 0xC1)) * 188 + trail - (0x40 if trail < 0x7F else 0x41)
        if 8836 <= pointer <= 10715:
            return [0xE000 + pointer - 8836]
        return [jis[pointer]] if pointer in jis else None
    return decode, [b for b in range(0x81, 0xFD) if not 0xA0 <= b <= 0xDF]


def euc_kr(table):
    def decode(seq):
        if len(seq) == 1:
            return None
        lead, trail = seq
        if not 0x41 <= trail <= 0xFE:
            return None
        pointer = (lead - 0x81) * 190 + trail - 0x41
        return [table[pointer]] if pointer in table else None
    return decode, list(range(0x81, 0xFF))


def gb18030(table, ranges):
    def four_byte(seq):
        b1, b2, b3, b4 = seq
        pointer = ((b1 - 0x81) * 10 + b2 - 0x30) * 1260 + (b3 - 0x81) * 10 + b4 - 0x30
        if 39419 < pointer < 189000 or pointer > 1237575:
            return None
        if pointer == 7457:
            return [0xE7C7]
        if pointer >= 189000:
            return [0x10000 + pointer - 189000]
        offset, start = max((p, c) for p, c in ranges if p <= pointer)
        return [start + pointer - offset]

    def decode(seq):
        if len(seq) == 1:
            return [0x20AC] if seq[0] == 0x80 else None
        if len(seq) == 4:
            return four_byte(seq)
        lead, trail = seq
        if not (0x40 <= trail <= 0x7E or 0x80 <= trail <= 0xFE):
            return None
        pointer = (lead - 0x81) * 190 + trail - (0x40 if trail < 0x7F else 0x41)
        return [table[pointer]] if pointer in table else None
    return decode, list(range(0x81, 0xFF))


def big5(table):
    def decode(seq):
        if len(seq) == 1:
            return None
        lead, trail = seq
        if not (0x40 <= trail <= 0x7E or 0xA1 <= trail <= 0xFE):
            return None
        pointer = (lead - 0x81) * 157 + trail - (0x40 if trail < 0x7F else 0x62)
        combined = {1133: [0xCA, 0x304], 1135: [0xCA, 0x30C], 1164: [0xEA, 0x304], 1166: [0xEA, 0x30C]}
        if pointer in combined:
            return combined[pointer]
        return [table[pointer]] if pointer in table else None
    return decode, list(range(0x81, 0xFF))


def euc_jp(jis0208, jis0212):
    def decode(seq):
        if len(seq) == 1:
            return None
        if len(seq) == 3:
            _, lead, trail = seq
            if not 0xA1 <= trail <= 0xFE:
                return None
            pointer = (lead - 0xA1) * 94 + trail - 0xA1
            return [jis0212[pointer]] if pointer in jis0212 else None
        lead, trail = seq
        if lead == 0x8E:
            return [0xFF61 + trail - 0xA1] if 0xA1 <= trail <= 0xDF else None
        if not 0xA1 <= trail <= 0xFE:
            return None
        pointer = (lead - 0xA1) * 94 + trail - 0xA1
        return [jis0208[pointer]] if pointer in jis0208 else None
    return decode, [0x8E] + list(range(0xA1, 0xFF))


def sequences(name, leads):
    for b in range(0x80, 0x100):
        yield bytes([b])
    for lead in leads:
        for trail in range(0x40, 0x100):
            yield bytes([lead, trail])
    if name == "gb18030":
        for b1 in range(0x81, 0x85):
            for b2 in range(0x30, 0x3A):
                for b3 in range(0x81, 0xFF):
                    for b4 in range(0x30, 0x3A):
                        yield bytes([b1, b2, b3, b4])
    if name == "EUC-JP":
        for lead in range(0xA1, 0xFF):
            for trail in range(0xA1, 0xFF):
                yield bytes([0x8F, lead, trail])


def differences(name, charset, decode, leads):
    found = []
    for seq in sequences(name, leads):
        if len(seq) == 1 and seq[0] in leads:
            continue  # a lead byte alone is cut off, in both
        want = decode(list(seq))
        got = glibc(charset, seq)
        if want is None and (got is None or len(got) != 1):
            continue  # both refuse it, or glibc reads the bytes apart: a later byte starts anew in both
        if want != got:
            found.append((seq, want))
    return found


def single_byte_differences(name, charset, folder):
    table = index(folder, name)
    found = []
    for b in range(0x80, 0x100):
        want = [table[b - 0x80]] if b - 0x80 in table else None
        got = glibc(charset, bytes([b]))
        if want != got:
            found.append((bytes([b]), want))
    return found


def labels(path):
    with open(path, encoding="utf-8") as f:
        groups = json.load(f)
    rows = sorted((label, encoding["name"]) for group in groups for encoding in group["encodings"]
                  for label in encoding["labels"])
    print("// Generated by scripts/gen-encoding-differences.py --labels from the Encoding Standard's label list.")
    for label, name in rows:
        print('{ "%s", "%s" },' % (label, name))


def main():
    if sys.argv[1] == "--labels":
        labels(sys.argv[2])
        return
    folder = sys.argv[1]
    jis0208 = index(folder, "jis0208")
    multi = [
        ("Shift_JIS", "CP932", shift_jis(jis0208)),
        ("EUC-KR", "CP949", euc_kr(index(folder, "euc-kr"))),
        ("gb18030", "GB18030", gb18030(index(folder, "gb18030"), gb18030_ranges(folder))),
        ("Big5", "BIG5-HKSCS", big5(index(folder, "big5"))),
        ("EUC-JP", "EUC-JP", euc_jp(jis0208, index(folder, "jis0212"))),
    ]
    single = [("IBM866", "IBM866"), ("KOI8-R", "KOI8-R"), ("KOI8-U", "KOI8-U"), ("macintosh", "MACINTOSH"),
              ("windows-874", "CP874"), ("x-mac-cyrillic", "MAC-CYRILLIC")]
    single += [("ISO-8859-%d" % n, "ISO-8859-%d" % n) for n in (2, 3, 4, 5, 6, 7, 8, 10, 13, 14, 15, 16)]
    single += [("windows-%d" % n, "CP%d" % n) for n in range(1250, 1259)]

    print("// Generated by scripts/gen-encoding-differences.py from the browsers' index tables; do not edit.")
    print("// Each line: glibc's converter, a byte sequence as that converter frames it, and the code points")
    print("// browsers decode it to ({} where they see an error).")
    for name, charset, (decode, leads) in multi:
        for seq, want in differences(name, charset, decode, leads):
            print_row(charset, seq, want)
    for name, charset in single:
        for seq, want in single_byte_differences(name.lower(), charset, folder):
            print_row(charset, seq, want)


def print_row(name, seq, want):
    code_points = ", ".join("0x%04X" % c for c in want) if want else ""
    print('{ "%s", "%s", { %s } },' % (name, "".join("\\x%02X" % b for b in seq), code_points))


if __name__ == "__main__":
    main()
