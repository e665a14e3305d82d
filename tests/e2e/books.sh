#!/usr/bin/env bash
# The book catalogue from the keyboard: Ctrl+F2 opens the list and Alt+A
# its editor, where a copy is typed with its class (leaving the class box
# numbers it), its synopsis written in the larger memo dialog, and saved
# with Alt+S; Esc closes the list. The database
# shows the copy with its call number. A second copy's ISBN, shared by two
# pre-catalogue records, opens the copy-cataloguing chooser, which is
# cancelled. The write-off list opens from the menu and closes with Esc.
source "$(dirname "$0")/lib.sh"

sql "INSERT INTO Type (sKey, ParentKey, SortCode, SortName) VALUES ('000000', '00', 'TP3', 'Computing')"
sql "INSERT INTO BookinfoPre (Name, BookIsbn) VALUES ('Edition One', '7-111-2'), ('Edition Two', '7-111-2')"
start_program
login Admin ''

key ctrl+F2 # 图书编目: uBookData, its editor uBookDataEdit
sleep 1
expect_focus_back "$E2E_MAIN"
key alt+a # 新增
dlg=$(wait_window '图书信息')
expect_focus_back "$dlg"
type_text 'E2E001'
key Return Return Tab # past the volume box and the ISBN box (whose Enter looks the ISBN up) to the class
type_text 'TP3'
key Return Return Return # the call number is made on leaving the class
type_text 'Algorithms'
# A double-click on the synopsis box opens it larger (uBookMemo, 图书简介,
# on the memo dialog base uMemoDialog): typed there, taken with Alt+O. The
# abstract's (uBookMemo1, 图书摘要) is left with Esc.
xdotool mousemove --window "$dlg" 230 415 click --repeat 2 --delay 80 1
memo=$(wait_window '图书简介')
expect_focus_back "$memo"
type_text 'A short synopsis'
key alt+o
wait_id_gone "$memo"
xdotool mousemove --window "$dlg" 590 415 click --repeat 2 --delay 80 1
memo=$(wait_window '图书摘要')
expect_focus_back "$memo"
key Escape
wait_id_gone "$memo"
expect_focus_back "$dlg"
key alt+s # 保存退出
wait_id_gone "$dlg"
expect_db "select Remarks || '|' || ifnull(Remarks1, '') from Bookinfo where Code = 'E2E001'" "A short synopsis|"
expect_db "select Code || '|' || Name || '|' || SortCode || '|' || Scode from Bookinfo where Code = 'E2E001'" \
  "E2E001|Algorithms|TP3|TP3/1"
expect_focus_back "$E2E_MAIN"

# Copy cataloguing: an ISBN that two pre-catalogue records share opens the
# chooser (uFindBookSet, 图书套录); leaving it without choosing copies
# nothing, and Esc leaves the editor with nothing saved.
key alt+a
dlg=$(wait_window '图书信息')
expect_focus_back "$dlg"
type_text 'E2E002'
key Return Return # past the volume box to the ISBN
type_text '7-111-2'
key Return
set=$(wait_window '图书套录')
expect_focus_back "$set"
key alt+e # 取消
wait_id_gone "$set"
expect_focus_back "$dlg"
key Escape
wait_id_gone "$dlg"
expect_db "select count(*) from Bookinfo where Code = 'E2E002'" "0"
expect_focus_back "$E2E_MAIN"
key Escape # closes the list
sleep 0.5
expect_focus_back "$E2E_MAIN"

menu 1 7 # 图书报废 (uBookRejectData): the write-off list opens and closes from the keyboard
sleep 1
expect_focus_back "$E2E_MAIN"
key Escape
sleep 0.5
expect_focus_back "$E2E_MAIN"
done_story
