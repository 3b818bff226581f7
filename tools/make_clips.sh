#!/usr/bin/env bash
# Makes the 63 pinyin sound clips resources/clips/<NAME>.wav with espeak-ng
# (voice cmn-latn-pinyin) and sox: plain PCM WAVE (44-byte header), 2 channels,
# 8000 Hz, 8 bits unsigned; silence trimmed, peak level normalised.
# The voice reads pinyin with a tone digit correctly (it misreads hanzi), so
# every clip is made from the syllable below.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
out="$here/../resources/clips"
for tool in espeak-ng sox soxi; do
    command -v "$tool" >/dev/null || { echo "make_clips: $tool not found" >&2; exit 1; }
done

# clip name, syllable spoken.  Initials are said with the vowel they are
# taught with; finals in the first tone (er in the second, as 儿); u-umlaut,
# ue-umlaut and un-umlaut are spelled yu, yue, yun as syllables.
clips="
B bo1       P po1       M mo1       F fo2       D de2       T te4
N ne4       L le4       G ge1       K ke1       H he1       J ji1
Q qi1       X xi1       ZH zhi1     CH chi1     SH shi1     R ri4
Z zi1       C ci4       S si1       Y yi1       W wu1
A a1        O o1        E e1        I i1        U u1        V yu1
AI ai1      EI ei1      UI ui1      AO ao1      OU ou1      IU iu1
IE ie1      VE yue1     ER er2      AN an1      EN en1      IN in1
UN un1      VN yun1     ANG ang1    ENG eng1    ING ing1    ONG ong1
ZHI zhi1    CHI chi1    SHI shi1    RI ri4      ZI zi1      CI ci1
SI si1      YI yi1      WU wu1      YU yu1      YE ye1      YUE yue1
YUAN yuan1  YIN yin1    YUN yun1    YING ying1
"

tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
mkdir -p "$out"
count=0
# shellcheck disable=SC2086 # split into name / syllable pairs on purpose
set -- $clips
while [ $# -gt 0 ]; do
    name=$1 syllable=$2
    shift 2
    # The slowest pace espeak-ng offers (default 175 words per minute): a
    # calm voice for children.
    espeak-ng -v cmn-latn-pinyin -s 80 -w "$tmp/raw.wav" "$syllable"
    # -D: no dither, which is random; the quiet ends stay exact silence.
    # Trim below 0.5 % at both ends; leave headroom for the resampler, then
    # normalise the peak to -1 dBFS.
    sox -D "$tmp/raw.wav" -b 8 -e unsigned-integer "$out/$name.wav" \
        silence 1 0.01 0.5% reverse silence 1 0.01 0.5% reverse \
        norm -3 rate 8000 channels 2 norm -1
    count=$((count + 1))
done
[ "$count" -eq 63 ] || { echo "make_clips: made $count clips, expected 63" >&2; exit 1; }

# Every clip must decode in the stated format, last 0.3 to 2.5 seconds and
# carry a plain 44-byte header (RIFF, fmt of 16 bytes, data; nothing else).
status=0
for f in "$out"/*.wav; do
    fmt="$(soxi -t "$f") $(soxi -c "$f") $(soxi -r "$f") $(soxi -b "$f") $(soxi -e "$f")"
    dur=$(soxi -D "$f")
    size=$(stat -c %s "$f")
    data=$(od -An -tu4 -j40 -N4 "$f" | tr -d ' ')
    head=$(od -An -c -j36 -N4 "$f" | tr -d ' ')
    fmtlen=$(od -An -tu4 -j16 -N4 "$f" | tr -d ' ')
    if [ "$fmt" != "wav 2 8000 8 Unsigned Integer PCM" ] \
        || ! awk -v d="$dur" 'BEGIN { exit !(d >= 0.3 && d <= 2.5) }' \
        || [ "$head" != data ] || [ "$fmtlen" != 16 ] || [ $((data + 44)) -ne "$size" ]; then
        echo "make_clips: bad clip $f: $fmt, ${dur}s, $size bytes" >&2
        status=1
    fi
done
exit $status
