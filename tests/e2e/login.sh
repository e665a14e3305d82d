#!/usr/bin/env bash
# A clerk logs in: a wrong password is refused with the program's message,
# the right one is taken, the business date is set three days back and
# confirmed, and the first loan at the desk carries that date and the
# clerk's name.
source "$(dirname "$0")/lib.sh"

day=$(date -d '-3 days' +%F)
start_program

id=$(wait_window '用户登陆' 30)
expect_focus_back "$id"
choose_operator clerk
key Return Return
type_text 'wrong'
key Return Return
answer_box "$APP_TITLE" '输入错误，请重新输入!'
expect_focus_back "$id"
# The box put the keyboard back into the password box.
key ctrl+a
type_text 'pw123'
key Return Return
wait_window_gone '用户登陆'

id=$(wait_window '业务日期')
expect_focus_back "$id"
set_date "$day"
key Return Return
wait_window_gone '业务日期'
E2E_MAIN=$(wait_window "$MAIN_TITLE")
expect_focus_back "$E2E_MAIN"

key ctrl+F5
type_text R001; key Return
type_text B001; key Return
key F2
answer_box '信息' '张三借书成功,本次借出1本！'
expect_db "select BorrowDate, Operator from Borrowinfo where Code='B001' and Rcode='R001' and State='未还'" \
  "$day|柜台员"
done_story
