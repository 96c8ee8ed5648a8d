#!/usr/bin/env python3
"""Writes the sample memory card in examples/card: setup.cfg, default.cfg (572-byte settings records, layout 1.2)
and lang/ver.dat. The values below are what a camera in use and a camera fresh from the factory would hold."""
import argparse
import os
import struct
import sys

SIZE = 572


def record(fields, texts, raw):
    data = bytearray(SIZE)
    for offset, value in fields.items():
        struct.pack_into("<i" if value < 0 else "<I", data, offset, value)
    for offset, (width, text) in texts.items():
        encoded = text.encode("cp1252")[:width]
        data[offset:offset + len(encoded)] = encoded
    for offset, blob in raw.items():
        data[offset:offset + len(blob)] = blob
    # combinedFlag as the camera derives it from the three flag sources
    flag = 1 if any(struct.unpack_from("<I", data, o)[0] for o in (484, 492, 500)) else 0
    struct.pack_into("<I", data, 440, flag)
    return bytes(data)


COMMON_RAW = {
    24: bytes.fromhex("5a3931302d4555000000000000000003"),  # camera's hardware id block
    40: bytes(range(0x31, 0x3B)),                           # retainedBlock: kept across a restore
    68: bytes([0x02, 0, 0, 0, 0x01, 0, 0, 0]),
    124: bytes([0x01, 0, 0, 0, 0x1E, 0, 0, 0]),
    228: bytes((i * 37 + 11) & 0xFF for i in range(144)),    # the camera's own block
    552: bytes([0x55, 0xAA] * 10),
}


def settings(factory):
    f = {
        0: SIZE,                 # recordLength
        4: (1 << 16) | 2,        # configVersion 1.2
        64: 1,                   # cameraBrightness: middle
        108: 1, 112: 2,          # voice guidance on, volume 2
        116: 1,                  # safety camera alert
        120: 3,                  # continuous-mode impact sensitivity
        132: 1, 136: 1, 140: 1, 144: 0,  # overwrite options
        176: 3,                  # parking impact sensitivity
        180: 1,                  # parking mode enabled
        184: 1,                  # motionSet
        196: 3,                  # motion sensitivity
        200: 12 if factory else 24,      # record timer hours
        204: 3, 208: 3,          # cut-off steps: 11.9 V and 23.8 V
        212: 1,                  # memory partition Type A
        216: 1,                  # systemRadioChoice
        224: 0x00C0FFEE if not factory else 0x00000001,  # retainedValue
        372: 0 if factory else 60,       # time zone bias (minutes east)
        376: 0 if factory else 1,        # daylight saving
        416: 0,                  # km/h
        420: 2,                  # auxSliderLevel
        424: 30000,              # LCD auto-off
        428: 0,                  # camera language: first code of ver.dat
        432: 0x00 if factory else 0x03,  # winter month mask
        464: 1,                  # low-voltage shutdown on
        484: 0, 492: 1, 500: 0,  # flag sources
        508: 1, 512: 1,          # recordOptionA, speed stamp
        536: 0, 540: 1,          # recordOptionB, recordOptionC
        548: 1,                  # speed trap alert
    }
    texts = {8: (16, "KESTRAVON Z910"), 380: (32, "" if factory else "W. Europe Standard Time")}
    return record(f, texts, COMMON_RAW)


VER_DAT = (
    "FW Ver: 1.2.05\r\n"
    "Lang Pack Name: Europe\r\n"
    "Lang Code: en de fr es it pt\r\n"
    "Target Device: Z910\r\n"
)


def main():
    parser = argparse.ArgumentParser(description="Writes the sample card: setup.cfg, default.cfg and lang/ver.dat.")
    parser.add_argument("folder", nargs="?", default=os.path.join(os.path.dirname(__file__), "..", "examples", "card"),
                        help="card folder to write (default: examples/card)")
    root = parser.parse_args().folder
    os.makedirs(os.path.join(root, "lang"), exist_ok=True)
    with open(os.path.join(root, "setup.cfg"), "wb") as f:
        f.write(settings(factory=False))
    with open(os.path.join(root, "default.cfg"), "wb") as f:
        f.write(settings(factory=True))
    with open(os.path.join(root, "lang", "ver.dat"), "wb") as f:
        f.write(VER_DAT.encode("ascii"))


if __name__ == "__main__":
    main()
