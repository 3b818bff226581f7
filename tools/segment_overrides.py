"""Hand decisions for strokes the cutting rules of segments.py get wrong.

OVERRIDES maps a character to {stroke number (from 1, writing order):
[cut positions]}, each position a fraction of the stroke's median length
(0 = where the brush starts, 1 = where it ends).  An empty list keeps the
stroke whole.  Each entry says in a comment what the rules did and why the
stroke is cut this way instead.
"""

OVERRIDES = {
}
