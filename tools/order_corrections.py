"""Stroke-order corrections to the source data.

CORRECTIONS maps a character to its strokes in the correct writing order, as
1-based indexes of the source's strokes: {ch: [source stroke for stroke 1, ...]}.
Every generator reads the source through hwdata.load(), which applies them.
"""

CORRECTIONS = {
}
