#!/usr/bin/env python3
"""Writes the seed corpus of each fuzz target into corpus/<target>/: a few
small valid inputs and a few near misses, so the fuzzers start from the
shapes real files have. Deterministic. Usage: make_seeds.py"""

import os
import struct
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
sys.dont_write_bytecode = True  # no cache files in the source tree
sys.path.insert(0, os.path.join(HERE, "..", "packages", "hostile"))
import make_corpus  # noqa: E402  (the package layout lives there)


def packages():
    p = make_corpus
    return {
        "plain": p.package(),
        "preview": p.package(preview=p.PREVIEW),
        "one_byte": p.package(files=[(b"a.bmp", b"A")]),
        "three_files": p.package(files=p.FILES + [(b"notes.txt", b"hello\r\n" * 20)]),
        "flag_2": p.package(flag=2),
        "tail": p.package(tail=b"after the stream"),
        "short_claim": p.package(sizes=[304, 257]),
        "cut_table": p.package()[:4919 + 150],
    }


def rcf_texts():
    return {
        "rcf": b"folder=SimObjects\\Airplanes\\C172\r\ntitle=Cessna 172\r\n"
               b"information=Line one\xa5nLine two\r\nexclude=Red Livery|Green\r\n",
        "comments": b"// a comment\r\nfolder = a\\b \r\n//x=y\rtitle==\r\nnumber=12.50kg\r\n",
        "numbers": b"a=1e2\r\nb=-.5\r\nc=1D3\r\nd=+\r\ne=1e999\r\nf=0x10\n",
        "escapes": b"k=a\xa5eb\xa5nc\r\nK=second\r\n=novalue\r\n",
    }


def profiles():
    return {
        "aircraft": b"[General]\r\natc_type=CESSNA\r\n\r\n[fltsim.0]\r\ntitle=Cessna Red\r\n"
                    b"texture=Red\r\nui_variation=\"Red Livery\"\r\nvisual_damage=1\r\n\r\n"
                    b"[fltsim.1]\r\ntitle=Silver\r\ntexture=Silver\r\n\r\n[Views]\r\neyepoint=1",
        "odd": b"pre=1\n[ a ]\nk = ' v '\r[A]\rk=2\r\n[b\r\nnoequals\r\n]x[\r\n",
        # Ops for the target: section, key and value strings after the document.
        "with_ops": b"[s]\r\nk=v\r\n\\\x00\x01s\\k\\new\r\nline\\\x01\x00s\\",
    }


def regions():
    def encode(rects):
        count = len(rects)
        xs = [r[0] for r in rects] + [r[2] for r in rects] or [0]
        ys = [r[1] for r in rects] + [r[3] for r in rects] or [0]
        head = struct.pack("<8i", 32, 1, count, 16 * count, min(xs), min(ys), max(xs), max(ys))
        return head + b"".join(struct.pack("<4i", *r) for r in rects)
    return {
        "one": encode([(0, 0, 800, 600)]),
        "banded": encode([(10, 0, 790, 2), (2, 2, 798, 4), (0, 4, 800, 596), (2, 596, 798, 598)]),
        "empty": encode([]),
        "size_zero": encode([(0, 0, 4, 4)])[:12] + struct.pack("<i", 0) + encode([(0, 0, 4, 4)])[16:],
        "bad_rect": encode([(5, 5, 5, 9)]),
    }


def main():
    sets = {"package_reader_fuzz": packages(), "ez_cfg_fuzz": rcf_texts(),
            "profile_fuzz": profiles(), "region_data_fuzz": regions()}
    for target, seeds in sets.items():
        folder = os.path.join(HERE, "corpus", target)
        os.makedirs(folder, exist_ok=True)
        for name, data in seeds.items():
            with open(os.path.join(folder, name), "wb") as out:
                out.write(data)
    print("seeds written to", os.path.join(HERE, "corpus"))


if __name__ == "__main__":
    main()
