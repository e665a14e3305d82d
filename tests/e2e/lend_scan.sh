#!/usr/bin/env bash
# One key press is one action at the book desk: after a code and Enter in
# the item box the scan is done before any other key is pressed: the box
# is empty again and the bill shows the book's line. Judged by what the
# screen shows (the code box is the one in the focus colour, the bill's
# title row has that colour too), then by the database after F2.
source "$(dirname "$0")/lib.sh"

SHOT="$E2E_SCRATCH/screen.png"
FOCUS_COLOUR='srgb(255,227,170)'

# The bounding box "w h x y" of the first band of the focus colour at or
# below screen row $1 (the whole band when it is at most $2 rows high).
colour_band() {
  local from=$1 rows=${2:-1024} top
  top=$(convert "$SHOT" -crop "1280x$((1024 - from))+0+$from" +repage -fuzz 1% \
    -fill white +opaque "$FOCUS_COLOUR" -fill black -opaque "$FOCUS_COLOUR" -trim -format '%Y' info: 2>/dev/null)
  top=$((from + ${top#+}))
  convert "$SHOT" -crop "1280x$rows+0+$top" +repage -fuzz 1% \
    -fill white +opaque "$FOCUS_COLOUR" -fill black -opaque "$FOCUS_COLOUR" -trim \
    -format "%w %h %X $top" info: 2>/dev/null | tr -d '+'
}

# Dark (text) pixels in the rectangle w h x y of the last shot.
ink() {
  convert "$SHOT" -crop "$1x$2+$3+$4" +repage -colorspace Gray -threshold 50% \
    -format '%[fx:int(w*h*(1-mean)+0.5)]' info:
}

# Reads the desk off the screen: BOX_INK (text in the item box; a caret
# alone is a few pixels) and ROW_INK (text in line $1 of the bill, 1 the
# first, each line ROW_HEIGHT high).
ROW_HEIGHT=17
read_desk() {
  local line=${1:-1}
  import -window root "$SHOT"
  local bw bh bx by gw gh gx gy
  read -r bw bh bx by <<<"$(colour_band 0 24)"
  [ "${bw:-0}" -gt 100 ] && [ "${bh:-0}" -gt 12 ] || fail "no code box in the focus colour on the screen"
  read -r gw gh gx gy <<<"$(colour_band $((by + bh + 4)) 24)"
  [ "${gw:-0}" -gt 300 ] || fail "no bill title row on the screen"
  BOX_INK=$(ink $((bw - 6)) $((bh - 6)) $((bx + 3)) $((by + 3)))
  ROW_INK=$(ink $((gw - 20)) $((ROW_HEIGHT - 4)) $((gx + 14)) $((gy + gh + 2 + (line - 1) * ROW_HEIGHT)))
}

# Types the code $1 and Enter, then, pressing nothing else, waits for the
# scan to be done, with the book on line $2 of the bill. A scan left for
# the next key never ends by itself: fails when the screen still shows it
# undone 10 s after the Enter. A busy machine takes seconds for one reading
# of the screen alone, so the verdict comes from a reading begun after those
# 10 s, never from one taken just after the key.
scan() {
  local code=$1 line=$2 end late readings=0 pressed at
  type_text "$code"
  key Return
  pressed=$(now_us)
  end=$(deadline 10)
  while :; do
    late=0
    before "$end" || late=1
    at=$((($(now_us) - pressed) / 100000))
    read_desk "$line"
    readings=$((readings + 1))
    if [ "$BOX_INK" -lt 30 ] && [ "$ROW_INK" -gt 30 ]; then
      say "ok: $code scanned (box ink $BOX_INK, line $line ink $ROW_INK; reading $readings, begun $((at / 10)).$((at % 10)) s after the Enter)"
      return 0
    fi
    [ "$late" = 1 ] && break
  done
  fail "$code and Enter: box ink $BOX_INK (empty < 30), line $line ink $ROW_INK (a line > 30) in a reading begun $((at / 10)).$((at % 10)) s after the Enter (reading $readings)"
}

start_program
login Admin ''

key ctrl+F5
type_text R003; key Return
read_desk 1
[ "$ROW_INK" -lt 30 ] || fail "the bill of a reader with no loans shows a line (ink $ROW_INK)"
scan B004 1
read_desk 2
[ "$ROW_INK" -lt 30 ] || fail "a second line before the second scan (ink $ROW_INK)"
scan B002 2
no_box_within 0.5
key F2
answer_box '信息' '王五借书成功,本次借出2本！'
expect_db "select Code from Borrowinfo where Rcode='R003' and State='未还' order by Code" "B002
B004"
done_story
