#!/usr/bin/env python3
"""Writes the hostile package corpus: small .pkg files that a stranger could
hand a user, each built field by field to break one rule of the package
layout. The installer must refuse every "bad_*" file with a clear message,
in bounded time and memory, without writing anything; it must install every
"ok_*" file (limits that are still valid, bytes after the zlib stream).

The output is deterministic: run it again and only a changed zlib could
change a byte. Usage: make_corpus.py [folder]  (default: beside this script)
"""

import os
import struct
import sys
import zlib

# Field widths of the entry record, in stored order (4915 bytes in all).
FIELDS = [
    ("title", 255), ("sim", 100), ("model", 150), ("sound", 150), ("panel", 150),
    ("texture", 150), ("kb_checklists", 150), ("kb_reference", 150), ("kb_notes", 150),
    ("atc_id", 50), ("atc_airline", 150), ("atc_flight_number", 10), ("atc_heavy", 10),
    ("atc_type", 50), ("ui_manufacturer", 255), ("ui_type", 150), ("ui_variation", 255),
    ("ui_typerole", 150), ("ui_createdby", 150), ("description", 255), ("atc_model", 150),
    ("atc_id_font", 50), ("atc_id_color", 50), ("atc_id_enable", 10), ("atc_parking_codes", 255),
    ("atc_parking_types", 100), ("visual_model_guid", 150), ("ui_thumbnailfile", 100),
    ("soundai", 100), ("visual_damage", 10), ("prop_anim_ratio", 50),
]
RCF_SIZE = 1000
RECORD_SIZE = sum(w for _, w in FIELDS) + RCF_SIZE
assert RECORD_SIZE == 4915

NAME_SIZE = 100
RCF_TEXT = b"folder=SimObjects\\Airplanes\\C172\r\ntitle=Cessna 172\r\n"
FILES = [(b"texture.bmp", b"B" * 300 + b"tail"), (b"panel.dds", bytes(range(256)))]
PREVIEW = b"BM" + bytes(60)
# Every file a hostile name would create carries this in its name, so the
# test can look for it anywhere.
EVIL = b"pw_evil"


def record(texture=b"Hostile", **values):
    values.setdefault("title", b"Hostile Test")
    values.setdefault("ui_variation", b"Hostile Test")
    values.setdefault("visual_damage", b"1")
    values["texture"] = texture
    out = b""
    for name, width in FIELDS:
        out += values.get(name, b"")[:width].ljust(width, b" ")
    return out + RCF_TEXT.ljust(RCF_SIZE, b"\0")


def table_entry(size, name):
    return struct.pack("<i", size) + name[:NAME_SIZE].ljust(NAME_SIZE, b" ")


def package(files=FILES, preview=None, texture=b"Hostile", flag=None, preview_length=None,
            count=None, sizes=None, block=None, tail=b""):
    """A package as the format lays it out; every argument that is given
    overrides what a correct writer would put there."""
    out = record(texture)
    if flag is None:
        flag = 1 if preview is not None else 0
    out += struct.pack("<H", flag)
    if preview is not None:
        out += struct.pack("<I", len(preview) if preview_length is None else preview_length & 0xFFFFFFFF)
        out += preview
    out += struct.pack("<H", (len(files) if count is None else count) & 0xFFFF)
    sizes = [len(data) for _, data in files] if sizes is None else sizes
    for (name, _), size in zip(files, sizes):
        out += table_entry(size, name)
    if block is None:
        block = zlib.compress(b"".join(data for _, data in files))
    return out + block + tail


def zeros_stream(total):
    """A zlib stream of `total` zero bytes, made without holding them."""
    packer = zlib.compressobj()
    chunk = bytes(1 << 20)
    parts = []
    for _ in range(total // len(chunk)):
        parts.append(packer.compress(chunk))
    parts.append(packer.compress(bytes(total % len(chunk))))
    parts.append(packer.flush())
    return b"".join(parts)


def truncations(corpus):
    with_preview = package(preview=PREVIEW)
    t = 4921 + len(PREVIEW)  # the file count
    table_end = t + 2 + 104 * len(FILES)
    cuts = {
        "empty": 0, "1_byte": 1, "in_record": 4914, "record_only": 4915, "in_flag": 4916,
        "before_preview_length": 4917, "in_preview_length": 4920, "before_preview": 4921,
        "in_preview": 4921 + len(PREVIEW) // 2, "before_count": t, "in_count": t + 1,
        "before_table": t + 2, "in_entry_size": t + 4, "in_entry_name": t + 2 + 50,
        "after_first_entry": t + 2 + 104, "before_block": table_end, "block_header_only": table_end + 2,
        "in_block": (table_end + len(with_preview)) // 2, "block_minus_1": len(with_preview) - 1,
    }
    for name, at in cuts.items():
        corpus["bad_cut_" + name] = with_preview[:at]
    plain = package()
    for name, at in {"no_preview_in_count": 4918, "no_preview_before_table": 4919,
                     "no_preview_in_table": 4919 + 103, "no_preview_before_block": 4919 + 208}.items():
        corpus["bad_cut_" + name] = plain[:at]


def counts_and_sizes(corpus):
    one = [(b"f%03d.dds" % i, bytes([i % 251 + 1])) for i in range(101)]
    corpus["ok_count_100"] = package(files=one[:100])
    corpus["bad_count_101"] = package(files=one)
    corpus["bad_count_0"] = package(files=[], block=zlib.compress(b"x"))
    corpus["bad_count_negative"] = package(count=-1)
    corpus["bad_count_most_negative"] = package(count=-32768)
    corpus["bad_count_above_table"] = package(count=3)
    corpus["bad_count_below_table"] = package(count=1)
    corpus["bad_size_0"] = package(sizes=[0, 556])
    corpus["bad_size_negative"] = package(sizes=[-1, 256])
    corpus["bad_size_most_negative"] = package(sizes=[-2**31, 256])
    # 2^32 + 1 in all: a 32-bit sum wraps to 1, which the block holds.
    three = [(b"a.dds", b""), (b"b.dds", b""), (b"c.dds", b"c")]
    corpus["bad_sizes_wrap_past_4gib"] = package(files=three, sizes=[2**31 - 1, 2**31 - 1, 3],
                                                 block=zlib.compress(b"c"))
    corpus["bad_sizes_past_4gib"] = package(files=three, sizes=[2**31 - 1] * 3, block=zlib.compress(b"c"))
    corpus["bad_size_largest_alone"] = package(files=FILES[:1], sizes=[2**31 - 1])
    corpus["bad_size_far_above_block"] = package(files=FILES[:1], sizes=[100_000_000])
    corpus["ok_size_1"] = package(files=[(b"one.bmp", b"A")])


def previews(corpus):
    corpus["bad_preview_length_negative"] = package(preview=PREVIEW, preview_length=-1)
    corpus["bad_preview_length_past_end"] = package(preview=PREVIEW, preview_length=1_000_000_000)
    whole = package(preview=PREVIEW)
    corpus["bad_preview_length_to_end"] = package(preview=PREVIEW, preview_length=len(whole) - 4921)
    corpus["ok_preview_flag_2"] = package(flag=2)
    corpus["ok_preview_flag_ffff"] = package(flag=0xFFFF)
    corpus["ok_preview_empty"] = package(preview=b"")


BAD_NAMES = {
    "backslash_folder": b"sub\\" + EVIL + b".bmp", "slash_folder": b"sub/" + EVIL + b".bmp",
    "dotdot_backslash": b"..\\" + EVIL + b".bmp", "dotdot_slash": b"../" + EVIL + b".bmp",
    "dotdot_deep": b"..\\..\\..\\..\\" + EVIL + b".bmp", "dotdot": b"..", "dot": b".",
    "drive_relative": b"C:" + EVIL + b".bmp", "drive_absolute": b"C:\\" + EVIL + b".bmp",
    "unc": b"\\\\server\\share\\" + EVIL + b".bmp", "root_slash": b"/" + EVIL + b".bmp",
    "root_backslash": b"\\" + EVIL + b".bmp", "stream": EVIL + b".bmp:hidden",
    "con": b"CON", "con_ext": b"con.dds", "prn": b"PRN.txt", "aux": b"AUX.bmp", "nul": b"NUL",
    "com1": b"COM1", "lpt9": b"lpt9.dds", "com_superscript": b"COM\xb9.txt", "con_blank_ext": b"CON .txt",
    "less": EVIL + b"<.bmp", "greater": EVIL + b">.bmp", "quote": EVIL + b"\".bmp",
    "bar": EVIL + b"|.bmp", "question": EVIL + b"?.bmp", "star": EVIL + b"*.bmp",
    "control": EVIL + b"\x01.bmp", "tab": EVIL + b"\t.bmp", "nul_byte": EVIL + b"\x00.bmp",
    "escape": EVIL + b"\x1b[2J.bmp", "trailing_dot": EVIL + b".bmp.", "blank": b"",
}

OK_NAMES = {
    "name_100": b"n" * 96 + b".dds", "name_cp1252": b"\xe9t\xe9.bmp", "name_spaces": b"my panel 2.bmp",
    "name_padded": b"   padded.bmp", "name_dots": b"a..b.dds",
}

BAD_TEXTURES = {
    "dotdot": b"..\\..\\" + EVIL, "drive": b"C:\\" + EVIL, "backslash": b"a\\" + EVIL,
    "slash": b"a/" + EVIL, "empty": b"", "trailing_dot": EVIL + b".", "star": EVIL + b"*",
    "root": b"\\" + EVIL, "control": EVIL + b"\x07",
}


def names(corpus):
    for what, name in BAD_NAMES.items():
        corpus["bad_name_" + what] = package(files=FILES + [(name, b"evil")])
    for what, name in OK_NAMES.items():
        corpus["ok_" + what] = package(files=FILES + [(name, b"fine")])
    # One file on the simulator's platform: the second would silently replace the first.
    corpus["bad_names_differing_in_case"] = package(files=[(b"a.bmp", b"first"), (b"A.BMP", b"second")])
    for what, texture in BAD_TEXTURES.items():
        corpus["bad_texture_" + what] = package(texture=texture)
    corpus["bad_record_all_nul"] = bytes(RECORD_SIZE) + package()[RECORD_SIZE:]


def blocks(corpus):
    data = b"".join(d for _, d in FILES)
    good = zlib.compress(data)
    corpus["bad_block_corrupt"] = package(block=good[:10] + bytes([good[10] ^ 0x55]) + good[11:])
    corpus["bad_block_checksum"] = package(block=good[:-1] + bytes([good[-1] ^ 1]))
    corpus["bad_block_not_zlib"] = package(block=bytes((i * 37 + 11) % 256 for i in range(200)))
    raw = zlib.compressobj(wbits=-15)
    corpus["bad_block_raw_deflate"] = package(block=raw.compress(data) + raw.flush())
    gz = zlib.compressobj(wbits=31)
    corpus["bad_block_gzip"] = package(block=gz.compress(data) + gz.flush())
    dict_packer = zlib.compressobj(zdict=b"tail" * 16)
    corpus["bad_block_needs_dictionary"] = package(block=dict_packer.compress(data) + dict_packer.flush())
    corpus["bad_block_expands_short"] = package(sizes=[304, 257])
    corpus["bad_block_expands_long"] = package(sizes=[304, 255])
    corpus["bad_block_empty_stream"] = package(block=zlib.compress(b""))
    corpus["bad_block_short_then_more"] = package(block=zlib.compress(data[:100]) + zlib.compress(data[100:]))
    corpus["ok_bytes_after_stream"] = package(tail=bytes((i * 7) % 256 for i in range(1000)))
    corpus["ok_stream_after_stream"] = package(tail=zlib.compress(b"ignored" * 50))


def bombs(corpus):
    # 2.3 GB of zeros in about 2.2 MB: the table claims exactly that, which
    # the block could hold, but it is past what any package may hold.
    total = 2_300_000_000
    stream = zeros_stream(total)
    assert total <= len(stream) * 1032, "the bomb must pass the ratio check"
    files = [(b"bomb%03d.dds" % i, b"") for i in range(100)]
    corpus["bad_bomb_past_limit"] = package(files=files, sizes=[total // 100] * 100, block=stream)
    # The same stream behind a table that claims a thousand bytes.
    corpus["bad_bomb_expands_long"] = package(files=files[:1], sizes=[1000], block=stream)
    # 2,000,000,000 bytes claimed, a few in the stream, zeros after it so
    # that the ratio check lets the claim through.
    padding = bytes(2_000_000)
    corpus["bad_bomb_expands_short"] = package(files=files, sizes=[20_000_000] * 100,
                                               block=zlib.compress(b"tiny"), tail=padding)


def main():
    folder = sys.argv[1] if len(sys.argv) > 1 else os.path.dirname(os.path.abspath(__file__))
    os.makedirs(folder, exist_ok=True)
    corpus = {}
    for make in (truncations, counts_and_sizes, previews, names, blocks, bombs):
        make(corpus)
    for old in os.listdir(folder):
        if old.endswith(".pkg"):
            os.remove(os.path.join(folder, old))
    for name, data in sorted(corpus.items()):
        with open(os.path.join(folder, name + ".pkg"), "wb") as out:
            out.write(data)
    print(f"{len(corpus)} packages written to {folder}")


if __name__ == "__main__":
    main()
