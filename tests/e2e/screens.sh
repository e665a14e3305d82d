#!/usr/bin/env bash
# Screenshots on the real display, for a person to look at: the main
# window, the navigation page, both desks with a loaded reader, a lookup
# with its search-mode menu open, a file dialog and the classification
# tree. Written to
# build/test-output/screens/ (or $E2E_SCREENS) with an index.tsv.
source "$(dirname "$0")/lib.sh"

out="${E2E_SCREENS:-$E2E_PROGRAM_DIR/../test-output/screens}"
mkdir -p "$out"
index="$out/index.tsv"
printf 'file\tshows\n' >"$index"

# shot <file> <what it shows> <window id, or "root"> [crop geometry]
shot() {
  local file=$1 what=$2 win=$3 crop=${4:-}
  sleep 1 # let the last key's work and paint reach the server
  if [ "$win" = root ]; then
    import -window root ${crop:+-crop "$crop"} "$out/$file"
  else
    import -window "$win" "$out/$file"
  fi
  [ -s "$out/$file" ] || fail "no picture $file"
  printf '%s\t%s\n' "$file" "$what" >>"$index"
  say "screen: $out/$file ($what)"
}

start_program
login Admin ''

shot main-window.png '主窗口: menu, navigation page, status bar, after login' root
# The navigation page sits at the top left of the main window's client area.
shot navigation.png '导航 page as it first opens' root 760x620+0+0

key ctrl+F5
type_text R002; key Return
type_text B001; key Return
shot book-desk.png '借还图书 with reader R002 (one loan open, B001 scanned)' root

# The item lookup from the desk's item box (F5), its mode menu opened by
# the mouse on the mode button's arrow.
key F5
id=$(wait_window '选择图书')
expect_focus_back "$id"
popups=$(xwininfo -root -children | grep -c 'has no name')
click_in "$id" 267 18 # the 按编码查找 button
# The menu is a window of its own: wait for it before the shot.
end=$(deadline 5)
while [ "$(xwininfo -root -children | grep -c 'has no name')" -le "$popups" ] && before "$end"; do sleep 0.1; done
shot lookup-mode-menu.png '选择图书 with the search-mode menu (button 按编码查找) opened' root
key Escape # the menu, when it opened; else the lookup
sleep 0.3
xwininfo -id "$id" 2>/dev/null | grep -q IsViewable && key Escape
wait_id_gone "$id"
expect_focus_back "$E2E_MAIN"
key F3 Escape # clears the bill, closes the desk

key ctrl+F6
type_text R001; key Return
type_text M001; key Return
shot periodical-desk.png '借还期刊 with reader R001 and periodical M001 scanned' root
key F3 # clears the bill
key Escape
expect_focus_back "$E2E_MAIN"

menu 5 6 # 数据备份
answer_box '提示！' '是否确定备份数据？' 'shift+Tab space'
id=$(wait_dialog '备份数据')
next_box_line
shot file-dialog.png '数据备份: the save file dialog' "$id"
expect_focus_back "$id"
key Escape
wait_id_gone "$id"
expect_focus_back "$E2E_MAIN"

sql <<'SQL'
INSERT INTO Type (sKey, ParentKey, SortCode, SortName) VALUES
  ('000000', '00', 'A', '马克思主义、列宁主义'), ('000001', '00', 'I', '文学'),
  ('000002', '00', 'T', '工业技术'), ('0000010000', '000001', 'I1', '世界文学'),
  ('0000010001', '000001', 'I2', '中国文学'), ('00000100010000', '0000010001', 'I24', '小说'),
  ('0000020000', '000002', 'TP', '自动化技术、计算机技术');
SQL
menu 1 1 # 图书分类
id=$(wait_window '中图分类简表')
expect_focus_back "$id"
key Down Down Right # 文学, opened
shot class-tree.png '中图分类简表: 文学 opened, its subclasses listed on the right' "$id"
key Escape
wait_id_gone "$id"
done_story
