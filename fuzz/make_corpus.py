#!/usr/bin/env python3
"""Writes the seed corpus of the fuzz targets into fuzz/corpus/<target>/.

Usage: fuzz/make_corpus.py KVRTOOL   (the built kvrtool, for the data-file seeds)

Reply seeds start with the command, argument and flag bytes the targets read first,
then length-prefixed replies: well-formed ones, so that the fuzzer starts deep in the
parsers rather than at the checksum tests.
"""
import os
import subprocess
import sys

HERE = os.path.dirname(os.path.abspath(__file__))


def crc16(data):
    crc = 0xFFFF
    for byte in data:
        crc ^= byte
        for _ in range(8):
            crc = (crc >> 1) ^ 0xA001 if crc & 1 else crc >> 1
    return crc


def rtu(function, payload, address=1):
    body = bytes([address, function]) + bytes(payload)
    crc = crc16(body)
    return body + bytes([crc & 0xFF, crc >> 8])


def ascii_frame(function, payload, address=1):
    body = bytes([address, function]) + bytes(payload)
    lrc = (-sum(body)) & 0xFF
    return b":" + body.hex().upper().encode() + b"%02X" % lrc + b"\r\n"


def prefixed(reply):
    if 0 < len(reply) < 256:
        return bytes([len(reply)]) + reply
    return bytes([0, len(reply) >> 8, len(reply) & 0xFF]) + reply


def write(target, name, data):
    folder = os.path.join(HERE, "corpus", target)
    os.makedirs(folder, exist_ok=True)
    with open(os.path.join(folder, name), "wb") as f:
        f.write(data)


def reply_seeds():
    memory = bytes(range(10, 16))
    seeds = {
        # command 0 (read memory), argument 2, flags 1: 6 bytes in one piece
        "read_memory": (bytes([0, 2, 1]), [rtu(0x03, bytes([6]) + memory)]),
        "read_param": (bytes([1, 2, 1]), [rtu(0x16, bytes([6]) + memory)]),
        "record_block": (bytes([2, 0, 1]), [rtu(0x13, bytes([0]) + bytes(range(256)))]),
        # two records of two channels after eight bytes not looked at
        "records_at": (bytes([3, 1, 3]), [rtu(0x13, bytes(8) + bytes(range(8)))]),
        "clock": (bytes([4, 0, 1]), [rtu(0x14, bytes([6, 24, 5, 6, 7, 8, 9]))]),
        "identify": (bytes([5, 0, 1]), [rtu(0x41, bytes([11, 10]) + b"QZK2TW1009")]),
        # a silent first try, then a good reply
        "retry": (bytes([1, 2, 1]), [b"", rtu(0x16, bytes([6]) + memory)]),
    }
    for name, (head, replies) in seeds.items():
        write("fuzz_rtu_reply", name, head + b"".join(prefixed(r) for r in replies))
    ascii_seeds = {
        "read_memory": (bytes([0, 2, 1]), [ascii_frame(0x03, bytes([4, 1, 2, 3, 4]))]),
        "record_block": (bytes([1, 4, 1]), [ascii_frame(0x13, bytes([4, 9, 8, 7, 6]))]),
        "identify": (bytes([2, 16, 1]), [ascii_frame(0x41, bytes([7]) + b"QDV0003")]),
        "full_piece": (bytes([0, 128, 1]), [ascii_frame(0x03, bytes([0]) + bytes(range(256)))]),
    }
    for name, (head, replies) in ascii_seeds.items():
        write("fuzz_ascii_reply", name, head + b"".join(prefixed(r) for r in replies))


def data_seeds(kvrtool):
    for version in (1002, 1003, 1004):
        path = os.path.join(HERE, "corpus", "fuzz_datafile", "sample-%d.FDZ" % version)
        subprocess.run([kvrtool, "make-sample", "--force", "--records", "12", "--interval", "60",
                        "--version", str(version), "--tags", "2", path], check=True,
                       stdout=subprocess.DEVNULL)
        with open(path, "rb") as f:
            data = f.read()
        # The configuration image of the sample: from 0x140 for the version's size.
        size = {1002: 3728, 1003: 3888, 1004: 4048}[version]
        write("fuzz_config_record", "image-%d" % version,
              bytes([(version - 1002) % 5]) + data[0x140:0x140 + size])
        if version == 1004:
            damaged_seeds(data, 0x150 + size)


def damaged_seeds(data, record_area):
    """Copies of a 12-record sample cut short (read-only opens): inside the last record,
    the hourly table and the tag list."""
    hourly = record_area + 12 * 6 * 4
    cuts = {"cut-in-records": hourly - 5, "cut-in-hourly": hourly + 3, "cut-in-tags": hourly + 8 + 2}
    for name, size in cuts.items():
        write("fuzz_datafile", name + ".FDZ", data[:size])


if __name__ == "__main__":
    if len(sys.argv) != 2:
        sys.exit(__doc__)
    reply_seeds()
    data_seeds(sys.argv[1])
