#!/usr/bin/env bash
# The lists' smaller windows from the keyboard: the condition dialogs of
# the book, reader, periodical and subscription lists, the editors of the
# publisher, reader-type, subscription and write-off lists, the periodical
# editor with its contents box, the publisher lookup, and (by their
# buttons' letters) the reader card window and the loan statistics chart;
# each found by its title, used with a key or two and closed. The database shows the publisher, the reader type and the
# periodical's contents that were typed.
source "$(dirname "$0")/lib.sh"

# The periodical is saved again below: it needs its class.
sql "UPDATE Magzinfo SET SortCode = 'Z' WHERE Code = 'M001'"
start_program
login Admin ''

# Opens the editor of the list that has the keyboard with Alt+A and
# returns its id.
open_editor() {
  local id
  key alt+a
  id=$(wait_window "$1")
  expect_focus_back "$id"
  echo "$id"
}

# uBookPubDataEdit: the publisher list's editor (出版社设置); one added.
menu 1 3
ed=$(open_editor '图书类别')
type_text 'Sunrise Press'
key Tab
type_text '978-7-5999'
key alt+s
wait_id_gone "$ed"
expect_db "select Code || '|' || Isbn from BookPub where Code = 'Sunrise Press'" "Sunrise Press|978-7-5999"
key Escape
expect_focus_back "$E2E_MAIN"

# uReaderTypeDataEdit: the reader-type list's editor (读者类别); one added.
menu 1 13
ed=$(open_editor '读者类别')
type_text 'Visitor'
key alt+s # the name still being typed is saved
wait_id_gone "$ed"
expect_db "select count(*) from ReaderType where Code = 'Visitor'" "1"
key Escape
expect_focus_back "$E2E_MAIN"


# uBookCond: the book list's condition dialog (图书编目, Ctrl+F2).
key ctrl+F2
sleep 1
key alt+f
dlg=$(wait_window '查询条件')
expect_focus_back "$dlg"
# uFindPublish: the publisher lookup, F5 in the condition's 出版社 box
# (four boxes on from 图书编号); the publisher just added is picked.
key Tab Tab Tab Tab F5
lookup=$(wait_window '选择出版社')
expect_focus_back "$lookup"
type_text 'Sun'
key Return Return
wait_id_gone "$lookup"
expect_focus_back "$dlg"
key alt+e
wait_id_gone "$dlg"
key Escape
expect_focus_back "$E2E_MAIN"

# uReaderCond: the reader list's condition dialog (读者管理, Ctrl+F4).
key ctrl+F4
sleep 1
key alt+f
dlg=$(wait_window '查询条件')
expect_focus_back "$dlg"
key alt+c
wait_id_gone "$dlg"
# uPrintReaderCard: the list's 打印借书证(&C) button, by its letter.
key alt+c
card=$(wait_window '打印借书证')
expect_focus_back "$card"
key Escape # 退出(&E): nothing printed
wait_id_gone "$card"
key Escape
expect_focus_back "$E2E_MAIN"

# uMagzDataEdit: the periodical editor (期刊编目, Ctrl+F3), on the
# periodical in the list.
key ctrl+F3
sleep 1
key alt+m
ed=$(wait_window '期刊信息')
expect_focus_back "$ed"
# The contents typed straight into its 目录 box, clicked into.
click_in "$ed" 555 356
type_text 'Editorial; Letters'
key alt+s
wait_id_gone "$ed"
expect_db "select Remarks from Magzinfo where Code = 'M001'" "Editorial; Letters"
# uMagzCond: the periodical list's condition dialog.
key alt+f
dlg=$(wait_window '查询条件')
expect_focus_back "$dlg"
key alt+c
wait_id_gone "$dlg"
key Escape
expect_focus_back "$E2E_MAIN"

# uMagzOrderCond: the subscription list's condition dialog (期刊征订).
menu 1 9
sleep 1
key alt+f
dlg=$(wait_window '查询条件')
expect_focus_back "$dlg"
key alt+c
wait_id_gone "$dlg"
# uMagzOrderDataEdit: the subscription editor.
ed=$(open_editor '征订信息')
key alt+e
wait_id_gone "$ed"
key Escape
expect_focus_back "$E2E_MAIN"

# uMagzRejectDataEdit: the periodical write-off editor (期刊报废).
menu 1 10
ed=$(open_editor '期刊报废')
key alt+e
wait_id_gone "$ed"
key Escape
expect_focus_back "$E2E_MAIN"

# uBookRejectDataEdit: the book write-off editor (图书报废).
menu 1 7
ed=$(open_editor '图书报废')
key alt+e
wait_id_gone "$ed"
key Escape
expect_focus_back "$E2E_MAIN"

# uBorrowStatChart (on the chart base uBaseChart): the chart of the loan statistics (图书报表 / 图书借阅分类统计).
key alt Right Right Down Down Down Down Down Down Return
id=$(wait_window '图书借阅分类统计')
expect_focus_back "$id"
key alt+t # 统计图(&T)
chart=$(wait_window '统计图')
expect_focus_back "$chart"
key alt+e # 退出(&E)
wait_id_gone "$chart"
expect_focus_back "$id"
key Escape
wait_id_gone "$id"
done_story
