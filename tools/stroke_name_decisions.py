"""Hand decisions on the stroke names of stroke_names.py, and the triage of
every disagreement with npm cnchar-order 3.2.6 that check_stroke_names.py
finds.

OVERRIDES maps a character to {stroke number: (name, why)}; the generator
writes these names instead of the classifier's.

CLASSES maps (our name, cnchar-order's letter) to (verdict, why) for
disagreements decided as a kind; ORDER lists characters whose stroke order
differs from cnchar-order's, so stroke k is not the same stroke in both.
Verdicts: "ours" (our name stands; cnchar-order lacks the name or follows
another convention), "open" (both names are in use for this stroke shape;
ours stands), "fault" (ours is wrong: a known weakness of the classifier).
"""

OVERRIDES = {
}

ORDER = {
}

CLASSES = {
}
