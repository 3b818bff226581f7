"""Hand decisions for strokes the cutting rules of segments.py get wrong.

OVERRIDES maps a character to {stroke number (from 1, writing order):
[cut positions]}, each position a fraction of the stroke's median length
(0 = where the brush starts, 1 = where it ends).  An empty list keeps the
stroke whole.  Each entry says in a comment what the rules did and why the
stroke is cut this way instead.

REVERSED and EXTENDED map a character to the stroke numbers whose source
centre line is at fault: REVERSED ones run from the end of the stroke to its
start and are turned round; EXTENDED ones stop short of the stroke's last
part, which segments.extend_to_tip takes from the outline.

Every flag of tools/check_directions.py is decided in direction_triage.py;
the faults among them are mended here.
"""

OVERRIDES = {
    # 骨 squeezed to the left: the little 横 of its inner 横折 is shorter than
    # a pressed-in head, so the stroke came out as one 竖; cut it like 骨.
    "骶": {3: [0.38]},
    "骺": {3: [0.37]},
    "髀": {3: [0.39]},
    "髂": {3: [0.36]},
    "髅": {3: [0.37]},
    "髑": {3: [0.37]},
    "鹘": {3: [0.38]},
    # 敖 on top of another part: the 横 of 方's 横折钩 is a short curve and
    # was taken for the head of the 竖 ("23"); cut it like 敖 ("123").
    "獒": {5: [0.26, 0.655]},
    "螯": {5: [0.27, 0.635]},
    "熬": {5: [0.25, 0.739]},
    "聱": {5: [0.26, 0.752]},
    "鏊": {5: [0.25, 0.671]},
    "鳌": {5: [0.25, 0.768]},
    "廒": {8: [0.21, 0.773]},
    # Same for the 横折钩 of 成 squeezed by 钅 ("23" instead of "123").
    "铖": {8: [0.27, 0.788]},
    # The short first 竖 of 丂 (号, 考, 巧: "2123") was lost in the 横.
    "羲": {13: [0.14, 0.446, 0.824]},
    "曦": {17: [0.13, 0.428, 0.817]},
    "饕": {5: [0.12, 0.411, 0.815]},
    # Small 横折 whose 横 was taken for a pressed-in head: 片 of 牒, 口 of
    # 鹗, 夕 of 爹 (片, 口 and 多 give "12").
    "牒": {4: [0.21]},
    "鹗": {2: [0.53]},
    "爹": {6: [0.15]},
    # The 横折弯钩 of 虒 bends gently and starts with a short 横, so it came
    # out "14"; cut it like 褫 and 乙 ("1214").
    "搋": {13: [0.17, 0.49, 0.744]},
    # The centre line of 钅's 竖提 in 镢 jogs right and back just above the
    # corner, so the cut ran along the 提's lower edge and the 竖 uncovered
    # the 提; cut at the corner like every other 钅 ("21").
    "镢": {5: [0.69]},
}

REVERSED = {
    # The 撇 of 𠂢 runs up from its thin end (coded 1); in 派 it is 2.
    "哌": [8],
    # The inner right 横 of 臼 runs right to left (3; 臼 everywhere else is
    # 1), and the small 撇 of the lower part runs up from its thin end (1).
    "裒": [7, 11],
}

EXTENDED = {
    # The 竖提 of 钅 and 饣: the centre line ends at the corner, so the stroke
    # came out one 竖 ("2") with its 提 uncovered top-down; every other 钅
    # and 饣 has "21".
    "钸": [5],
    "铽": [5],
    "锋": [5],
    "镢": [5],
    "镣": [5],
    "饧": [3],
}
