#!/usr/bin/env bash
# A book due ten days ago comes back: in return mode (F11) the scanned book
# brings its borrower up, F2 saves, and the loan is closed with ten days
# over and the fine of 0.50 a day.
source "$(dirname "$0")/lib.sh"

start_program
login Admin ''

key ctrl+F5
key F11
type_text B005; key Return
key F2
answer_box '信息' '李四还书成功,本次还书1本！'

expect_db "select State, ReturnDate, cast(ExceedDay as integer), ExceedFund from Borrowinfo where Code='B005' and Rcode='R002'" \
  "已还|$(date +%F)|10|5"
expect_db "select ifnull(IsOut,''), ifnull(Borrowman,'') from Bookinfo where Code='B005'" "|"
expect_db "select BookQty from Readerinfo where Code='R002'" 0
done_story
