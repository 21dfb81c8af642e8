#!/usr/bin/env python3
"""Writes the seed corpora of the fuzz targets into corpus/<target>/: a few small,
typical inputs each, in the byte layout the target reads (see its source)."""
import os
import struct

HERE = os.path.dirname(os.path.abspath(__file__))


def u16(text, bom=False):
    return (b"\xff\xfe" if bom else b"") + text.encode("utf-16-le")


def be32(value):
    return struct.pack(">i", value)


SEEDS = {
    "color_text": [
        b"\x01\x20\x02" + u16("Press [fB;Enter] to start, [fB,I,clRed;Esc] to stop"),
        b"\x03\x08\x02" + u16("[fB,S+2,F'Tahoma';big] and ^[not^] a [fS*1.5;run]\r\nnext"),
        b"\x05\x00\x00" + u16("[fC$FF00FF,U,K;col][f;empty][fS12;twelve]\nline two\rthree"),
        b"\x08\x04\x03" + u16("averyveryverylongwordwithoutanyblanks [fB;bold words here]"),
    ],
    "language_file": [
        u16("Deutsch\r\n1=Datei\r\n2='  Start  '\r\n100=Zeile\\nzwei\r\n", bom=True),
        u16("Fran\u00e7ais\n90=Pause avant: %s\n301=Trop de fils !\\rCr\u00e9\u00e9s : %d.\n"),
        b"\xef\xbb\xbfUTF-8 name\r\n1=x\r\n",
        b"\xfe\xff" + "Big endian\r\n1=x".encode("utf-16-be"),
    ],
    "window_place": [
        be32(1280) + be32(1024) + b"\x00" + u16("#1#1280x1024=Nl10t20w400h300;1:1920x1080=M"),
        be32(1920) + be32(1080) + b"\x01" + u16("1:1920x1080=Nl-5t0w800h600"),
        be32(800) + be32(600) + b"\x00" + u16("800x600=M;800x600=Nl1t2w3h4"),
    ],
    "command_line": [
        be32(0) + be32(0) + be32(1920) + be32(1080) + u16("3 20 5 3 0 4 1 1 0 100 200"),
        be32(-1920) + be32(0) + be32(0) + be32(1080) + u16("0 4294967291 9 -1 x 200000 1 0 1 -5000 99999"),
        be32(0) + be32(0) + be32(800) + be32(600) + u16("1 2 3"),
    ],
    "settings_file": [
        b'{"PauseBefore": 3, "Time": 20, "Priority": 5, "ClassPriority": 3, "Rhythm": 0,'
        b' "Threads": 1, "Templates": {"a b c": {"PauseBefore": 0, "Time": 1, "Priority": 3,'
        b' "ClassPriority": 1, "Rhythm": 2, "Threads": 2}}, "LatestTempl": "a b c"}',
        b'{"threads": "4", "TIME": 4294967295, "Priority": 1.5, "Place": "#1#800x600=M",'
        b' "templates": {"x": {"Threads": -1}, "X": {}}, "LangCode": "de"}',
        b'{"Templates": 5, "Compact": true, "AutoPin": null}',
        b'{"PauseBefore": 3,,}',
    ],
    "lang_format": [
        b"\x00\x00" + be32(31999) + u16("Too many threads!\\rCreated: %d."),
        b"\x05\x41" + be32(-5) + u16("%s %d %x %% %1:s %-10.3s|%08d|%.2x"),
        b"\x10\xe4" + be32(65) + u16("%0:s%1:d%2:s%3:x%99:s%"),
    ],
    "hex_to_bytes": [
        be32(8) + u16("424D0A0B"),
        be32(7) + u16("424d0a0bff"),
        be32(100) + u16("00ff"),
        be32(-4) + u16("zz"),
    ],
    "number_readers": [
        b"\x05\x03\x00" + u16("3\n20\n4"),
        b"\xff\x09\x06" + u16("  -12 \n4294967291\n99999999999999999999999"),
        b"\x00\x00\x00" + u16("+7\n2147484\nx"),
    ],
    "cli_arguments": [
        b"-p\x000\x00-t\x005\x00-n\x004\x00--json",
        b"--save-template\x00a/b:c\x00--template\x00x\x00-P\x007\x00-c\x001\x00-r\x007",
        b"--lang\x00de\x00--help",
        b"--delete-template\x00x\x00--templates\x00--list\x00--version\x00-n\x00200000",
    ],
}

for target, seeds in SEEDS.items():
    folder = os.path.join(HERE, "corpus", target)
    os.makedirs(folder, exist_ok=True)
    for number, seed in enumerate(seeds, 1):
        with open(os.path.join(folder, f"seed{number}"), "wb") as out:
            out.write(seed)
