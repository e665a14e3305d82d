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
done_story
