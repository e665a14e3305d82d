#!/usr/bin/env bash
# A backup is taken through the file dialog, a loan is made afterwards, and
# the backup is restored: the loan made after the backup is gone, the one
# before it is kept, and the program goes on working on the restored file.
source "$(dirname "$0")/lib.sh"

start_program
login Admin ''

key ctrl+F5
type_text R001; key Return
type_text B001; key Return
key F2
answer_box '信息' '张三借书成功,本次借出1本！'
expect_focus_back "$E2E_MAIN"
key Escape # closes the desk

menu 5 6 # 数据备份
answer_box '提示！' '是否确定备份数据？' 'shift+Tab space'
answer_file_dialog '备份数据' 'before-B002.RKB'
answer_box '信息' '备份成功！'
[ -f "$E2E_APP/Backup/before-B002.RKB" ] || fail "no backup file Backup/before-B002.RKB"
expect_eq "loans in the backup" \
  "$(sqlite3 "$E2E_APP/Backup/before-B002.RKB" "select group_concat(Code) from Borrowinfo where State='未还' and Rcode='R001'")" B001

expect_focus_back "$E2E_MAIN"
key ctrl+F5
type_text R001; key Return
type_text B002; key Return
key F2
answer_box '信息' '张三借书成功,本次借出1本！'
expect_db "select group_concat(Code) from (select Code from Borrowinfo where State='未还' and Rcode='R001' order by Code)" "B001,B002"
expect_focus_back "$E2E_MAIN"
key Escape

menu 5 7 # 数据恢复
answer_box '提示！' '恢复前,用户不能进行任何操作' 'shift+Tab space'
answer_file_dialog '选择备份文件' 'before-B002.RKB'
answer_box '信息' '恢复成功！'
expect_db "select group_concat(Code) from Borrowinfo where State='未还' and Rcode='R001'" "B001"
expect_db "pragma integrity_check" ok

# The program works on the restored file.
expect_focus_back "$E2E_MAIN"
key ctrl+F5
type_text R001; key Return
type_text B003; key Return
key F2
answer_box '信息' '张三借书成功,本次借出1本！'
expect_db "select group_concat(Code) from (select Code from Borrowinfo where State='未还' and Rcode='R001' order by Code)" "B001,B003"
done_story
