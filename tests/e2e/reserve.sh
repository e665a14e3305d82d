#!/usr/bin/env bash
# A reader asks for a book that is out: the desk says when it is due and
# offers a reservation, which the save writes; when the book comes back the
# desk shows the waiting reservation.
source "$(dirname "$0")/lib.sh"

start_program
login Admin ''

key ctrl+F5
type_text R001; key Return
type_text B005; key Return
answer_box '提示！' "这本书被借出了,应还日为$(date -d '-10 days' +%F),是否预约？"
key F2
answer_box '信息' '张三借书成功'
expect_db "select Rcode, State from Borrowinfo where Code='B005' order by Id" "R002|未还
R001|预约"

# The borrower brings it back (return mode, F11): the desk shows the list of
# reservations waiting for the returned book.
expect_focus_back "$E2E_MAIN"
key F11
type_text B005; key Return
key F2
answer_box '信息' '李四还书成功,本次还书1本！'
id=$(wait_window '预约记录')
expect_focus_back "$id"
key Escape
wait_id_gone "$id"
expect_db "select Rcode, State from Borrowinfo where Code='B005' order by Id" "R002|已还
R001|预约"
done_story
