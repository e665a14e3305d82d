#!/usr/bin/env bash
# uPrintBar, the label window (打印条码书标), from the keyboard: a range whose
# ends differ in length is refused with its message; then barcode labels
# A0098 to A0102, each twice, are made, previewed (a picture of the label
# page for a person to look at) and printed on the built-in PDF printer,
# whose file pdftotext and a barcode scanner read back. Ctrl+Tab,
# Ctrl+Shift+Tab and Alt+B turn the pages; on 补打 two codes typed with Enter
# print as two labels.
source "$(dirname "$0")/lib.sh"

start_program
login Admin ''

menu 1 11
win=$(wait_window '打印条码书标')
expect_focus_back "$win"
# 前缀, 号码从, 到; 重复个数 stepped up to 2 with the arrow; past the two
# radio buttons (条形码 stays selected) onto 生成.
type_text 'A'
key Tab
type_text '5'
key Tab
type_text '10'
key Tab Up Tab Tab Tab space
answer_box '信息' '起始号码和终止号码长度必须相等！'
expect_focus_back "$win"

# Back to 号码从 and a range of equal lengths.
key shift+Tab shift+Tab shift+Tab shift+Tab shift+Tab ctrl+a
type_text '0098'
key Tab ctrl+a
type_text '0102'
key Tab Tab Tab Tab space
no_box_within 1

# 预览: the label page on the screen.
key Tab space
preview=$(wait_window '预览 - 条码标签')
expect_focus_back "$preview"
sleep 1
mkdir -p "$E2E_SCREENS"
import -window "$preview" "$E2E_SCREENS/e2e-label-preview.png" && say "screen: $E2E_SCREENS/e2e-label-preview.png"
key Escape
wait_id_gone "$preview"
expect_focus_back "$win"

# 打印 on the PDF printer, the last in the printer list; Enter is OK. The
# PDF printer writes the report's title as the file name.
pdf="$E2E_SCRATCH/条码标签.pdf"
key Tab space
dlg=$(wait_dialog '打印' "$win")
expect_focus_back "$dlg"
key End Return
wait_id_gone "$dlg"
end=$(deadline 10)
while before "$end" && [ ! -s "$pdf" ]; do sleep 0.1; done
[ -s "$pdf" ] || fail "no PDF written at $pdf"
text=$(pdftotext -layout "$pdf" -)
case "$text" in
*端到端测试图书馆*) say "ok: the labels carry the library's name" ;;
*) fail "the PDF does not show the library's name: $text" ;;
esac
# The scanner reports each code once; the text under the bars shows the
# repeats.
pdftoppm -r 300 -f 1 -l 1 -png "$pdf" "$E2E_SCRATCH/labels"
scan=$(zbarimg -q "$E2E_SCRATCH"/labels*.png 2>/dev/null || true)
for code in A0098 A0099 A0100 A0101 A0102; do
  expect_eq "scanned $code" "$(grep -c "^CODE-39:$code\$" <<<"$scan")" 1
  expect_eq "labels printed of $code" "$(grep -o "$code" <<<"$text" | wc -l)" 2
done

# 补打 by Ctrl+Tab, back by Ctrl+Shift+Tab, and 补打 again by its letter: the
# keyboard lands in its prefix box; past the two radio buttons (条形码 stays
# selected) to the code box, where each Enter collects one label. 打印 then
# prints just those two.
rm -f "$pdf"
key ctrl+Tab
key ctrl+shift+Tab
key alt+b
type_text 'R'
key Tab Tab Tab
type_text '0555'
key Return
type_text '0556'
key Return
# On past the list (Tab leaves it) and 预览 to 打印; 生成 is off on this page.
key Tab Tab Tab space
dlg=$(wait_dialog '打印' "$win")
expect_focus_back "$dlg"
key End Return
wait_id_gone "$dlg"
end=$(deadline 10)
while before "$end" && [ ! -s "$pdf" ]; do sleep 0.1; done
[ -s "$pdf" ] || fail "no PDF of the reprinted labels at $pdf"
text=$(pdftotext -layout "$pdf" -)
for code in R0555 R0556; do expect_eq "labels printed of $code" "$(grep -o "$code" <<<"$text" | wc -l)" 1; done
expect_eq "labels of the first run left in the reprint" "$(grep -c A0098 <<<"$text" || true)" 0

key Escape
wait_id_gone "$win"
expect_focus_back "$E2E_MAIN"
done_story
