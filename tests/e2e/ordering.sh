#!/usr/bin/env bash
# The book ordering list from the keyboard: the menu opens it (基本资料 /
# 图书征订) and Alt+A its editor, where a line is typed with its price and
# quantity (leaving the quantity box works out the amount) and saved with
# Alt+S. "清除购齐" by its letter, Alt+Q: the question is cancelled once,
# then answered; the line fully received goes, the new one and the one
# still waiting stay. Esc closes the list.
source "$(dirname "$0")/lib.sh"

sql "INSERT INTO Bookshort (Code, Name, RegQty, BeBuy) VALUES ('DONE', 'Received', 2, 2), ('HALF', 'Waiting', 3, 1)"
start_program
login Admin ''

menu 1 6 # 图书征订: uBookShortData on the ordering-list base uOrderListData, its editor uBookShortDataEdit
sleep 1
expect_focus_back "$E2E_MAIN"
key alt+a # 新增
ed=$(wait_window '图书征订')
expect_focus_back "$ed"
type_text 'E2E-ORDER'
key Tab Tab # past the ISBN box to the title
type_text 'Ordered Book'
# The second group: language, order date, then the price and the quantity.
for _ in 1 2 3 4 5 6 7 8 9 10 11 12 13; do key Tab; done
type_text '25.5'
key Tab
type_text '4'
key Tab
key alt+s # 保存退出
wait_id_gone "$ed"
expect_db "select Code || '|' || Name || '|' || RegQty || '|' || printf('%g', BookSum) from Bookshort where Code = 'E2E-ORDER'" \
  "E2E-ORDER|Ordered Book|4|102"
expect_focus_back "$E2E_MAIN"

# uBookShortData's 清除购齐(&Q): asked first; Esc keeps every line.
key alt+q
answer_box '询问' '是否删除全部已购齐的征订记录？' Escape
expect_db "select count(*) from Bookshort" "3"
expect_focus_back "$E2E_MAIN"
key alt+q
answer_box '询问' '是否删除全部已购齐的征订记录？' Return
expect_db "select group_concat(Code, ',') from (select Code from Bookshort order by Code)" "E2E-ORDER,HALF"
expect_focus_back "$E2E_MAIN"
# uBookShortCond: the list's condition dialog, cancelled.
key alt+f
dlg=$(wait_window '查询条件')
expect_focus_back "$dlg"
key alt+e # 取消
wait_id_gone "$dlg"
expect_focus_back "$E2E_MAIN"
key Escape # closes the list
sleep 0.5
expect_focus_back "$E2E_MAIN"
done_story
