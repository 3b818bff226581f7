"""Hand decisions for centre lines that need more than the mended source
lines of segment_overrides.py (which the segment font shares).

FIXES maps a character to {stroke number (from 1, writing order): fix}; a
fix takes the stroke's centre line (source units, y up, already turned round
or carried on where segment_overrides says so) and its outline polygon, and
returns the line to keep.  Each entry says in a comment why.
"""

FIXES = {
}
