#!/usr/bin/env python3
"""Builds the fuzz seed corpora in the build folder from the shared test data and the
shipped data files. Nothing here is committed: seeds are derived at build time.

usage: make_seeds.py SOURCE_DIR SHARED_DIR OUT_DIR
"""
import os
import struct
import sys

src, shared, out = sys.argv[1:4]
plugins = os.path.join(shared, "testdata", "plugins")
malformed = os.path.join(shared, "testdata", "malformed")


def put(harness, name, data):
    d = os.path.join(out, harness)
    os.makedirs(d, exist_ok=True)
    with open(os.path.join(d, name), "wb") as f:
        f.write(data)


def records(data):
    """Offsets and lengths of whole records, stopping at the first that does not fit."""
    pos = 0
    while pos + 16 <= len(data):
        size = struct.unpack_from("<i", data, pos + 4)[0]
        if size < 0 or pos + 16 + size > len(data):
            break
        yield pos, 16 + size
        pos += 16 + size


def data_files(folder):
    if not os.path.isdir(folder):
        return []
    return sorted(os.path.join(folder, n) for n in os.listdir(folder)
                  if os.path.isfile(os.path.join(folder, n)) and not n.endswith((".md", ".txt", ".py")))


# Data files: small files whole; big ones as their header plus a few records of each type.
for path in data_files(plugins) + data_files(malformed):
    name = os.path.basename(path)
    with open(path, "rb") as f:
        data = f.read()
    if len(data) <= 64 * 1024:
        put("file", name, data)
        continue
    recs = list(records(data))
    if not recs:
        put("file", name + ".head", data[:4096])
        continue
    head_off, head_len = recs[0]
    seen = {}
    chosen = []
    for off, length in recs[1:]:
        kind = data[off:off + 4]
        if seen.get(kind, 0) < 2 and length <= 16 * 1024:
            seen[kind] = seen.get(kind, 0) + 1
            chosen.append(data[off:off + length])
    body = b"".join(chosen)
    header = bytearray(data[head_off:head_off + head_len])
    put("file", name + ".slice", bytes(header) + body)

# Configuration text: the shipped template and settings-like files.
for rel in ("data/ESTemplate.ini", "data/Signatures.ini"):
    p = os.path.join(src, rel)
    if os.path.isfile(p):
        with open(p, "rb") as f:
            text = f.read()
        put("config", os.path.basename(p), text)
        # Pieces of the template make small, fast seeds.
        chunks = text.split(b"\r\n[")
        for i in range(0, len(chunks), max(1, len(chunks) // 40)):
            put("config", "%s.%d" % (os.path.basename(p), i), b"[" + chunks[i])

# Codec: a record type's template groups, "====", then one record's subrecords.
codec_template = os.path.join(src, "tests", "template", "data", "RoundTrip.ini")
if os.path.isfile(codec_template):
    with open(codec_template, "rb") as f:
        groups = {}
        for chunk in (b"\r\n" + f.read()).split(b"\r\n[")[1:]:
            groups.setdefault(chunk[:4], []).append(b"[" + chunk)
    per_type = {}
    for path in data_files(plugins):
        with open(path, "rb") as f:
            data = f.read()
        for off, length in records(data):
            kind = data[off:off + 4]
            if kind in groups and per_type.get(kind, 0) < 3 and length <= 8 * 1024:
                per_type[kind] = per_type.get(kind, 0) + 1
                body = data[off + 16:off + length]
                text = b"\r\n".join(groups[kind])
                put("codec", "%s.%d" % (kind.decode("latin-1"), per_type[kind]),
                    text + b"\n====\n" + body)
