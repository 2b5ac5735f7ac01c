#!/usr/bin/env python3
"""Writes the case folding and collation tables of platform/base/unicode_text.cpp.

    make-unicode-tables.py UNICODE_DIR OUTPUT

UNICODE_DIR holds CaseFolding.txt, PropList.txt and allkeys.txt of Unicode
15.0 (Debian's unicode-data package puts them in /usr/share/unicode). The
files are checked against their checksums first, so that every build, the
native one and the WebAssembly one alike, orders text the same way.

Every table is a two-stage lookup: the code point's high bits choose a block,
its low bits the entry inside it, and equal blocks are stored once. The block
size is the one that makes the tables smallest.
"""

import hashlib
import os
import re
import sys

CHECKSUMS = {
    "CaseFolding.txt": "cdd49e55eae3bbf1f0a3f6580c974a0263cb86a6a08daa10fbf705b4808a56f7",
    "PropList.txt": "e05c0a2811d113dae4abd832884199a3ea8d187ee1b872d8240a788a96540bfd",
    "allkeys.txt": "1827227524d4ad16374ceb1a1234156b2e855f653b0c3e86c6aab2a713777577",
}

# Collation element bits in the generated tables. A table entry for a code
# point is 0 (not listed: implicit weights), a single element, an expansion
# (offset and length in the expansion pool; length 0 is ignorable), or a
# contraction starter (index into the starter table).
TAG_SINGLE = 1 << 30
TAG_EXPANSION = 2 << 30
TAG_CONTRACTION = 3 << 30
MAX_EXPANSION = 31


def tag(value):
    return value & TAG_CONTRACTION


def fail(message):
    sys.exit("make-unicode-tables: " + message)


def data_lines(path):
    with open(path, encoding="utf-8") as f:
        for line in f:
            line = line.split("#", 1)[0].strip()
            if line:
                yield line


def code_range(text):
    first, _, last = text.strip().partition("..")
    return int(first, 16), int(last or first, 16)


def read_folding(path):
    folding = {}
    for line in data_lines(path):
        fields = [f.strip() for f in line.split(";")]
        if fields[1] in ("C", "F"):
            folding[int(fields[0], 16)] = [int(x, 16) for x in fields[2].split()]
    return folding


def read_unified_ideographs(path):
    ranges = []
    for line in data_lines(path):
        fields = [f.strip() for f in line.split(";")]
        if fields[1] == "Unified_Ideograph":
            ranges.append(code_range(fields[0]))
    return merge(sorted(ranges))


def merge(ranges):
    out = []
    for first, last in ranges:
        if out and first == out[-1][1] + 1:
            out[-1] = (out[-1][0], last)
        else:
            out.append((first, last))
    return out


ELEMENT = re.compile(r"\[[.*]([0-9A-F]{4})\.([0-9A-F]{4})\.([0-9A-F]{4})\]")


def read_ducet(path):
    """Mappings from code point tuples to (primary, secondary) lists, and the
    implicit weight ranges. Elements that weigh nothing at the first two
    levels are left out: the comparison never looks past the secondary."""
    mappings = {}
    implicit = []
    version = None
    for line in data_lines(path):
        if line.startswith("@version"):
            version = line.split()[1]
            continue
        if line.startswith("@implicitweights"):
            span, base = line.split(None, 1)[1].split(";")
            first, last = code_range(span)
            implicit.append((first, last, int(base, 16)))
            continue
        keys, elements = line.split(";", 1)
        cps = tuple(int(x, 16) for x in keys.split())
        ces = [(int(p, 16), int(s, 16)) for p, s, _ in ELEMENT.findall(elements)]
        mappings[cps] = [ce for ce in ces if ce != (0, 0)]
    if version != "15.0.0":
        fail("allkeys.txt is version %s, not 15.0.0" % version)
    return mappings, implicit


def two_stage(values, limit, width_of, rebase=None):
    """The smallest two-stage table for values (code point -> int, missing
    ones 0) over [0, limit). With rebase, a block is stored less a base that
    rebase(block) chooses, and the bases go to a table of their own, so that
    blocks of consecutive weights are stored once. Returns (shift, stage1,
    bases, stage2, bytes)."""
    best = None
    for shift in range(4, 11):
        size = 1 << shift
        blocks = {}
        stage1 = []
        bases = []
        stage2 = []
        for start in range(0, limit, size):
            block = tuple(values.get(cp, 0) for cp in range(start, start + size))
            base = 0
            if rebase:
                base, block = rebase(block)
            if block not in blocks:
                blocks[block] = len(blocks)
                stage2.extend(block)
            stage1.append(blocks[block])
            bases.append(base)
        total = len(stage1) * width_of(max(stage1)) + len(stage2) * width_of(max(stage2))
        if rebase:
            total += len(bases) * width_of(max(bases))
        if best is None or total < best[4]:
            best = (shift, stage1, bases, stage2, total)
    return best


def rebase_primaries(block):
    """A block of single elements less its lowest primary."""
    primaries = [v & 0xFFFF for v in block if tag(v) == TAG_SINGLE]
    if not primaries:
        return 0, block
    base = min(primaries)
    return base, tuple(v - base if tag(v) == TAG_SINGLE else v for v in block)


def width(value):
    return 1 if value < 1 << 8 else 2 if value < 1 << 16 else 4


TYPES = {1: "std::uint8_t", 2: "std::uint16_t", 4: "std::uint32_t"}


def c_array(name, values, type_name=None, per_line=12):
    """The array's C++ text and its size in bytes. Without a type, the
    narrowest unsigned one that holds the values."""
    items = [str(v) for v in values] or ["0"]
    if type_name is None:
        type_name = TYPES[width(max(values) if values else 0)]
    bytes_each = 4 if type_name not in TYPES.values() else next(w for w, t in TYPES.items() if t == type_name)
    lines = ["constexpr %s %s[%d] = {" % (type_name, name, len(items))]
    for i in range(0, len(items), per_line):
        lines.append("    " + ", ".join(items[i:i + per_line]) + ",")
    lines.append("};")
    return "\n".join(lines), len(items) * bytes_each


def fold_tables(folding):
    """Entry 0: no folding. Entries 1..: a delta (one code point) or, past the
    deltas, a full folding of two or three code points."""
    deltas = sorted({m[0] - cp for cp, m in folding.items() if len(m) == 1})
    fulls = sorted({tuple(m) for m in folding.values() if len(m) > 1})
    index = {}
    for cp, m in folding.items():
        if len(m) == 1:
            index[cp] = 1 + deltas.index(m[0] - cp)
        else:
            index[cp] = 1 + len(deltas) + fulls.index(tuple(m))
    return index, deltas, fulls


def main():
    if len(sys.argv) != 3:
        fail("usage: make-unicode-tables.py UNICODE_DIR OUTPUT")
    source, output = sys.argv[1], sys.argv[2]
    for name, digest in CHECKSUMS.items():
        path = os.path.join(source, name)
        try:
            with open(path, "rb") as f:
                actual = hashlib.sha256(f.read()).hexdigest()
        except OSError as e:
            fail("cannot read %s (install the unicode-data package): %s" % (path, e))
        if actual != digest:
            fail("%s is not the Unicode 15.0 file it should be (sha256 %s)" % (path, actual))

    folding = read_folding(os.path.join(source, "CaseFolding.txt"))
    ideographs = read_unified_ideographs(os.path.join(source, "PropList.txt"))
    ducet, implicit = read_ducet(os.path.join(source, "allkeys.txt"))

    def fold(cps):
        out = []
        for cp in cps:
            out.extend(folding.get(cp, [cp]))
        return tuple(out)

    # The comparison collates folded text, so a mapping that holds a code
    # point that folding changes can never be met.
    ducet = {cps: ces for cps, ces in ducet.items() if fold(cps) == cps}
    for cps, ces in ducet.items():
        for p, s in ces:
            if s >= 1 << 14:
                fail("secondary weight %04X does not fit" % s)
        if len(ces) > MAX_EXPANSION:
            fail("expansion of %d elements is too long" % len(ces))
        if len(cps) > 3:
            fail("contraction of %d code points is too long" % len(cps))
        if any(cp < 0x80 for cp in cps[1:]):
            fail("a contraction that goes on with an ASCII character would break the ASCII fast paths")

    pool = []
    pooled = {}

    def encode(ces):
        if len(ces) == 1 and ces[0][0] < 1 << 16:
            p, s = ces[0]
            return TAG_SINGLE | s << 16 | p
        key = tuple(ces)
        if key not in pooled:
            pooled[key] = len(pool)
            pool.extend((p << 16) | s for p, s in ces)
        return TAG_EXPANSION | pooled[key] << 5 | len(ces)

    contractions = {}
    for cps, ces in ducet.items():
        if len(cps) > 1:
            contractions.setdefault(cps[0], []).append((cps[1:], ces))
    starters = []     # (element of the starter alone, first contraction, count)
    followers = []    # (second code point, third or 0, element)
    collation = {}
    for cps, ces in sorted(ducet.items()):
        if len(cps) != 1:
            continue
        cp = cps[0]
        if cp in contractions:
            # Longest first, so the first that matches is the longest match.
            rest = sorted(contractions.pop(cp), key=lambda c: (-len(c[0]), c[0]))
            starters.append((encode(ces), len(followers), len(rest)))
            for tail, tail_ces in rest:
                followers.append((tail[0], tail[1] if len(tail) > 1 else 0, encode(tail_ces)))
            collation[cp] = TAG_CONTRACTION | (len(starters) - 1)
        else:
            collation[cp] = encode(ces)
    # Hangul syllables are weighed as their conjoining jamo, one element each.
    for first, last in ((0x1100, 0x1112), (0x1161, 0x1175), (0x11A8, 0x11C2)):
        for cp in range(first, last + 1):
            if tag(collation.get(cp, 0)) != TAG_SINGLE:
                fail("jamo %04X has no single element" % cp)
    if contractions:
        fail("contractions without a single mapping for their first code point: %r" % sorted(contractions))

    # Above the last weighed code point only ignorables are listed (tags and
    # variation selectors): they go to a range table instead.
    collation_limit = max(cp for cp, v in collation.items() if v != TAG_EXPANSION) + 1
    ignorable = merge(sorted((cp, cp) for cp in collation if cp >= collation_limit))
    for cp in [cp for cp in collation if cp >= collation_limit]:
        del collation[cp]

    fold_index, deltas, fulls = fold_tables(folding)
    fold_limit = max(folding) + 1
    fshift, fstage1, _, fstage2, _ = two_stage(fold_index, fold_limit, width)
    cshift, cstage1, cbases, cstage2, _ = two_stage(collation, collation_limit, width, rebase_primaries)

    ascii = []
    for c in range(128):
        folded = fold((c,))
        value = collation.get(folded[0], 0)
        if len(folded) == 1 and tag(value) == TAG_CONTRACTION:
            value = starters[value & 0xFFFF][0]
        if value == TAG_EXPANSION:
            ascii.append(0)  # ignorable
            continue
        if len(folded) != 1 or tag(value) != TAG_SINGLE:
            fail("ASCII character %02X has no single element" % c)
        ascii.append(((value & 0xFFFF) << 16) | ((value >> 16) & 0x3FFF))

    # The comparison settles two different ASCII characters by their primary
    # weights alone.
    primaries = [e >> 16 for e in ascii if e >> 16]
    if len(set(primaries)) != len(set(fold((c,)) for c in range(128) if ascii[c] >> 16)):
        fail("two ASCII characters share a primary weight")

    parts = []
    size = 0

    def add(text_and_size):
        nonlocal size
        parts.append(text_and_size[0])
        size += text_and_size[1]

    parts.append("// Generated by scripts/make-unicode-tables.py from the Unicode 15.0 data files.")
    parts.append("// Do not edit.")
    parts.append("constexpr unsigned kFoldShift = %d;" % fshift)
    parts.append("constexpr char32_t kFoldLimit = 0x%X;" % fold_limit)
    parts.append("constexpr std::uint32_t kFoldDeltas = %d;" % len(deltas))
    add(c_array("kFoldStage1", fstage1))
    add(c_array("kFoldStage2", fstage2))
    add(c_array("kFoldDelta", deltas, "std::int32_t"))
    full_flat = [cp for m in fulls for cp in (list(m) + [0])[:3]]
    add(c_array("kFoldFull", full_flat, "char32_t"))

    parts.append("constexpr unsigned kCollationShift = %d;" % cshift)
    parts.append("constexpr char32_t kCollationLimit = 0x%X;" % collation_limit)
    add(c_array("kCollationStage1", cstage1))
    add(c_array("kCollationBase", cbases))
    add(c_array("kCollationStage2", cstage2, "std::uint32_t"))
    add(c_array("kExpansions", pool, "std::uint32_t"))
    add(c_array("kContractionStarters", [v for s in starters for v in s], "std::uint32_t"))
    add(c_array("kContractionFollowers", [v for f in followers for v in f], "std::uint32_t"))
    add(c_array("kAsciiElements", ascii, "std::uint32_t"))
    # Looked up before folding, so "L" counts as the "l" it folds to.
    starts = [1 if tag(collation.get(fold((c,))[0], 0)) == TAG_CONTRACTION else 0 for c in range(128)]
    add(c_array("kAsciiStartsContraction", starts))
    add(c_array("kIgnorableRanges", [v for r in ignorable for v in r], "std::uint32_t"))

    # Implicit weights: the ranges with a base of their own (first, last,
    # base), then the unified ideographs (first, last).
    add(c_array("kImplicitRanges", [v for r in implicit for v in r], "std::uint32_t"))
    add(c_array("kUnifiedIdeographs", [v for r in ideographs for v in r], "std::uint32_t"))
    parts.append("// Table bytes: %d" % size)

    os.makedirs(os.path.dirname(os.path.abspath(output)), exist_ok=True)
    with open(output, "w", encoding="utf-8") as f:
        f.write("\n".join(parts) + "\n")


if __name__ == "__main__":
    main()
