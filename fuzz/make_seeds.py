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
        chunks = text.replace(b"\r\n", b"\n").split(b"\n[")
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

# Index files: a reference index and an ID index per small plug-in, in the index string
# layout (32-bit little-endian length, then the bytes), made from the records' NAME values.
def index_string(b):
    return struct.pack("<I", len(b)) + b


def record_ids(data):
    for n, (off, length) in enumerate(records(data)):
        kind = data[off:off + 4]
        body = data[off + 16:off + length]
        if body[:4] == b"NAME" and len(body) >= 8:
            size = struct.unpack_from("<I", body, 4)[0]
            yield n, kind, body[8:8 + size].split(b"\0")[0]


for path in data_files(plugins):
    if os.path.getsize(path) > 64 * 1024:
        continue
    with open(path, "rb") as f:
        data = f.read()
    ids = list(record_ids(data))
    if not ids:
        continue
    name = os.path.basename(path)
    rdx = b"".join(index_string(b"\0".join([i.upper(), str(n).encode(), b"0", k, b"NAME", b"ID"]))
                   for n, k, i in ids[:200])
    put("index", name + ".rdx", rdx)
    cats = {}
    for _, k, i in ids:
        cats.setdefault(k, []).append(i)
    idx = index_string(str(len(cats)).encode()) + b"".join(index_string(k) for k in cats)
    for k, values in cats.items():
        block = b"".join(index_string(v) for v in values)
        idx += index_string(k) + index_string(str(len(values)).encode()) + \
            index_string(str(len(block)).encode()) + block
    put("index", name + ".idx", idx)
