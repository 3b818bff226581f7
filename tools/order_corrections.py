"""Stroke-order corrections to the source data.

CORRECTIONS maps a character to its strokes in the correct writing order, as
1-based indexes of the source's strokes: {ch: [source stroke for stroke 1, ...]}.
Every generator reads the source through hwdata.load(), which applies them.

Found by tools/check_stroke_order.py (see tools/stroke-order-report.md) and
checked against the mainland stroke-order standard one by one.
"""

CORRECTIONS = {
    # 𦍌: the vertical comes before the last horizontal (点 撇 横 横 竖 横).
    "盖": [1, 2, 3, 4, 6, 5, 7, 8, 9, 10, 11],
    # 𠃓: 横折折折钩 before the two 撇.
    "肠": [1, 2, 3, 4, 6, 5, 7],
    # 倝's 𠆢 (撇 捺) comes before 羽, and each half of 羽 is 横折钩 点 提; the source mixed them.
    "翰": [1, 2, 3, 4, 5, 6, 7, 8, 12, 15, 11, 9, 10, 14, 16, 13],
    # Same as 翰.
    "瀚": [1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 15, 18, 14, 12, 13, 17, 19, 16],
    # 冉: 竖 横折钩 竖 横 横.
    "冉": [1, 2, 4, 3, 5],
    # 冉, as in 冉.
    "苒": [1, 2, 3, 4, 5, 7, 6, 8],
    # 冉, as in 冉.
    "蚺": [1, 2, 3, 4, 5, 6, 7, 8, 10, 9, 11],
    # 冉, as in 冉.
    "聃": [1, 2, 3, 4, 5, 6, 7, 8, 10, 9, 11],
    # 冉, as in 冉.
    "髯": [1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 14, 13, 15],
    # 冉 inside 冓, as in 冉.
    "媾": [1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 12, 11, 13],
    # 冉 inside 冓, as in 冉.
    "篝": [1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 15, 14, 16],
    # 冉 inside 冓, as in 冉.
    "耩": [1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 15, 14, 16],
    # 冉 inside 冓, as in 冉.
    "觏": [1, 2, 3, 4, 5, 6, 7, 9, 8, 10, 11, 12, 13, 14],
    # 冉 inside 冓, as in 冉.
    "遘": [1, 2, 3, 4, 5, 6, 7, 9, 8, 10, 11, 12, 13],
    # 冉 inside 冓, as in 冉.
    "鞲": [1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 18, 17, 19],
    # 白 first, then the side parts (撇 竖提, 横折 横), then 儿.
    "兜": [3, 4, 5, 6, 7, 1, 2, 8, 9, 10, 11],
    # 兜, as in 兜.
    "篼": [1, 2, 3, 4, 5, 6, 9, 10, 11, 12, 13, 7, 8, 14, 15, 16, 17],
    # 兜, as in 兜.
    "蔸": [1, 2, 3, 6, 7, 8, 9, 10, 4, 5, 11, 12, 13, 14],
    # 自 in the middle before the part on its left.
    "夔": [1, 2, 3, 8, 9, 10, 11, 12, 13, 4, 5, 6, 7, 14, 15, 16, 17, 18, 19, 20, 21],
    # 彑, then 矢, then the two halves of 比.
    "彘": [1, 2, 3, 6, 7, 8, 9, 10, 4, 5, 11, 12],
    # 丬: 点 提 竖 (the source writes the 竖 first).
    "寝": [1, 2, 3, 5, 6, 4, 7, 8, 9, 10, 11, 12, 13],
    # 车 on the left ends in a 提, written after the 竖: 横 撇折 竖 提.
    "郓": [1, 2, 3, 4, 6, 5, 7, 8],
    # 车 on the left, as in 郓.
    "皲": [1, 2, 3, 4, 6, 5, 7, 8, 9, 10, 11],
    # 车 on the left, as in 郓; 殳 is 撇 横折弯 横撇 捺 (the source reverses both pairs).
    "毂": [1, 2, 3, 4, 5, 6, 7, 9, 8, 11, 10, 13, 12],
    # 八 in 公: 撇 before 点.
    "衮": [1, 2, 4, 3, 5, 6, 7, 8, 9, 10],
    # 衮, as in 衮.
    "滚": [1, 2, 3, 4, 5, 7, 6, 8, 9, 10, 11, 12, 13],
    # 衮, as in 衮.
    "磙": [1, 2, 3, 4, 5, 6, 7, 9, 8, 10, 11, 12, 13, 14, 15],
    # 言 in the middle first, then the 火 on its left and on its right, then 又.
    "燮": [5, 6, 7, 8, 9, 10, 11, 1, 2, 3, 4, 12, 13, 14, 15, 16, 17],
    # 燮, as in 燮.
    "躞": [1, 2, 3, 4, 5, 6, 7, 12, 13, 14, 15, 16, 17, 18, 8, 9, 10, 11, 19, 20, 21, 22, 23, 24],
    # The left 竖 before the 提 beside it.
    "芈": [2, 1, 3, 4, 5, 6, 7],
    # 艹: 横 first.
    "蒯": [3, 1, 2, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13],
    # The lower part is 横 竖提 横.
    "虐": [1, 2, 3, 4, 5, 6, 7, 9, 8],
    # 虐, as in 虐.
    "谑": [1, 2, 3, 4, 5, 6, 7, 8, 9, 11, 10],
    # Top: 一, then 中 (box before its middle 竖), 丶, 乛; 石: 横 撇 竖 横折 横.
    "蠹": [1, 6, 2, 4, 3, 5, 7, 9, 11, 10, 8, 12, 13, 14, 15, 16, 17, 18, 19, 20, 21, 22, 23, 24],
    # 彳, then 吾 in the middle, then 亍.
    "衙": [1, 2, 3, 7, 8, 9, 10, 11, 12, 13, 4, 5, 6],
    # 点 横, 臼 whole (撇 竖 横 横折 横 横), then the lower part as in 衣
    # (撇 竖提 撇 捺); the source splits 臼 and puts the 捺 sixth.
    "裒": [1, 2, 7, 8, 9, 10, 5, 4, 3, 12, 11, 6],
    # 亠, then 矛 (横撇 点 横钩 竖钩 撇), then the rest of 衣 (撇 竖提 撇 捺); the source interleaves them.
    "袤": [1, 2, 7, 8, 9, 5, 3, 11, 4, 10, 6],
    # The left 豕 before the middle 竖 of 山.
    "豳": [2, 3, 4, 5, 6, 7, 8, 1, 9, 10, 11, 12, 13, 14, 15, 16, 17],
    # The left 丰 whole (横 横 横 竖), then the middle 竖 of the 山 frame, then
    # the right 丰 (the source starts with that middle 竖).
    "酆": [2, 3, 4, 5, 1, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18, 19, 20],
    # 土: 横 竖 横.
    "陧": [1, 2, 3, 4, 5, 6, 8, 7, 9],
    # 左: 横 before 撇.
    "髓": [1, 2, 3, 4, 5, 6, 7, 8, 9, 11, 10, 12, 13, 14, 15, 16, 17, 18, 19, 20, 21],
    # The part between the legs (韭) before the legs 撇 and 竖.
    "齑": [1, 2, 3, 4, 6, 7, 8, 9, 10, 11, 12, 13, 14, 5, 15],
}
