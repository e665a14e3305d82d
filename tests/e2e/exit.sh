#!/usr/bin/env bash
# The librarian quits (基本资料 > 退出), confirms, and takes the backup the
# program offers on the way out under the name it proposes; the program
# ends by itself, the backup holds the day's loan and the database is whole.
source "$(dirname "$0")/lib.sh"

start_program
login Admin ''

key ctrl+F5
type_text R003; key Return
type_text B004; key Return
key F2
answer_box '信息' '王五借书成功,本次借出1本！'
expect_focus_back "$E2E_MAIN"
key Escape # closes the desk

menu 1 15 # 退出
answer_box '提示！' '确定退出Quillory图书馆管理系统？'
id=$(wait_window '备份数据')
click_in "$id" 172 163 # 备份退出
answer_file_dialog '备份数据' '' "$id"
wait_program_end 30

backup="$E2E_APP/Backup/Bck$(date +%Y%m%d).RKB"
[ -f "$backup" ] || fail "no backup $backup"
expect_eq "loan in the backup" \
  "$(sqlite3 "$backup" "select Code || '|' || Rcode from Borrowinfo where State='未还' and Code='B004'")" "B004|R003"
expect_eq "backup integrity" "$(sqlite3 "$backup" 'pragma integrity_check')" ok
expect_db "pragma integrity_check" ok
expect_db "select Rcode from Borrowinfo where State='未还' and Code='B004'" R003
[ -z "$(ls "$E2E_APP/Data" | grep -v '^ombry.dat$' || true)" ] || fail "left in Data/: $(ls "$E2E_APP/Data")"
done_story
