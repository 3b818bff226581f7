#!/usr/bin/python3
"""Checks the stroke names of resources/tables/CF6763 against an
independent list, npm cnchar-order 3.2.6 (MIT; fetched into tools/.cache,
not shipped), and makes sure every disagreement is triaged in
stroke_name_decisions.py.

cnchar-order writes a character as one letter per stroke; a few letters
stand for two names (横撇|横钩, 横折折|横折弯, 横折折折钩|横撇弯钩,
竖折撇|竖折折, 斜钩|卧钩) and its 点2 is a 点.  It has no 竖折 and no
横折弯钩 (those strokes are 竖弯 and 横斜钩 there).

Prints the agreement and the disagreements by verdict; with --list, every
disagreement; exits 1 if one is not triaged.  Run tools/make_character_facts.py
first."""
import collections
import os
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import make_character_facts as mcf  # noqa: E402
from stroke_name_decisions import CLASSES, ORDER, OVERRIDES  # noqa: E402


def read_table():
    with open(mcf.OUT, encoding="utf-8") as f:
        lines = f.read().split("\n")
    names = lines[1].split()
    out = {}
    for line in lines[3:]:
        if line:
            ch, _, _, _, codes = line.split("\t")
            out[ch] = [names[mcf.NAME_CODES.index(c)] for c in codes]
    return out


def main():
    ours = read_table()
    order, letters = mcf.embedded_json(os.path.join(mcf.npm_package("cnchar-order", "3.2.6"),
                                                    "cnchar.order.min.js"))
    accepts = {k: set(v["name"].replace("点2", "点").split("|")) for k, v in letters.items()}
    held = [ch for ch in ours if ch in order]
    strokes = agree = 0
    verdicts = collections.Counter()
    kinds = collections.Counter()
    untriaged, listing, count_differs = [], [], []
    for ch in held:
        ref = order[ch]
        if len(ref) != len(ours[ch]):
            count_differs.append(ch)
            if ch not in ORDER:
                untriaged.append("%s: %d strokes here, %d in cnchar-order" % (ch, len(ours[ch]), len(ref)))
            continue
        for k, (nm, letter) in enumerate(zip(ours[ch], ref), 1):
            strokes += 1
            if nm in accepts[letter]:
                agree += 1
                continue
            theirs = "|".join(sorted(accepts[letter]))
            if ch in ORDER:
                verdict = "order"
            elif k in OVERRIDES.get(ch, {}):
                verdict = "decided"
            elif (nm, letter) in CLASSES:
                verdict = CLASSES[nm, letter][0]
            else:
                verdict = None
                untriaged.append("%s %d: ours %s, cnchar-order %s" % (ch, k, nm, theirs))
            if verdict:
                verdicts[verdict] += 1
                kinds[verdict, nm, theirs] += 1
            listing.append("%s\t%d\t%s\t%s\t%s" % (ch, k, nm, theirs, verdict))
    whole = sum(1 for ch in held if len(order[ch]) == len(ours[ch])
                and all(n in accepts[l] for n, l in zip(ours[ch], order[ch])))
    print("cnchar-order holds %d of our %d characters; %d have another stroke count"
          % (len(held), len(ours), len(count_differs)))
    print("strokes compared: %d, same name: %d (%.2f %%)" % (strokes, agree, 100.0 * agree / strokes))
    print("characters with every name the same: %d of %d (%.2f %%)"
          % (whole, len(held), 100.0 * whole / len(held)))
    print("disagreements: %d; by verdict: %s" % (strokes - agree, ", ".join(
        "%s %d" % kv for kv in sorted(verdicts.items()))))
    for (v, nm, theirs), n in sorted(kinds.items(), key=lambda x: -x[1]):
        print("  %-6s %5d  ours %s, cnchar-order %s" % (v, n, nm, theirs))
    if "--list" in sys.argv:
        print("\n".join(listing))
    if untriaged:
        print("%d disagreements not triaged in stroke_name_decisions.py:" % len(untriaged))
        print("\n".join(untriaged[:200]))
        sys.exit(1)


if __name__ == "__main__":
    main()
