#!/usr/bin/env bash
# The back office from the keyboard: every query, ranking, daily-list,
# overdue, statistics and fine window opened from the menus (the ones with
# a condition dialog through it) and closed again, the lending desk's
# layout editor on F8, one loan query run with a condition, and one fine
# paid; the database shows the payment.
source "$(dirname "$0")/lib.sh"

# A returned loan of R001 four days late with its fine not paid yet.
sql "INSERT INTO Borrowinfo (Code, Rcode, State, BorrowDate, ReturnDate, ExceedDay, ExceedFund, IsPay, Operator)
     VALUES ('B003', 'R001', '已还', date('now', '-30 days'), date('now', '-5 days'), 4, 2, 0, '管理员');"

start_program
login Admin ''

# Opens the window $2 with the menu keys $1 (after Alt), waits for it and
# closes it with Esc.
open_close() {
  local keys=$1 title=$2 id
  expect_focus_back "$E2E_MAIN"
  # shellcheck disable=SC2086
  key alt $keys Return
  id=$(wait_window "$title")
  expect_focus_back "$id"
  key Escape
  wait_id_gone "$id"
  say "opened and closed '$title'"
}

# Enter, box after box, until the condition dialog $1 confirms and closes.
enter_through() {
  local dlg=$1 i
  for i in $(seq 12); do
    key Return
    sleep 0.2
    xwininfo -id "$dlg" 2>/dev/null | grep -q 'IsViewable' || return 0
  done
  fail "Enter through the condition did not confirm it"
}

# The same through the condition dialog: Enter through its boxes confirms.
open_with_condition() {
  local keys=$1 title=$2 id dlg
  expect_focus_back "$E2E_MAIN"
  # shellcheck disable=SC2086
  key alt $keys Return
  dlg=$(wait_window '查询条件')
  expect_focus_back "$dlg"
  enter_through "$dlg"
  id=$(wait_window "$title")
  expect_focus_back "$id"
  key Escape
  wait_id_gone "$id"
  say "opened '$title' through its condition and closed it"
}

# The loan query with Ctrl+F7 (uBorrowCond, then uQryBorrow on the query
# window base uBaseQuery, opened through uQueryCommands); a reader typed into
# the condition.
key ctrl+F7
dlg=$(wait_window '查询条件')
expect_focus_back "$dlg"
key Return Return # the two dates
type_text 'R002'
enter_through "$dlg"
id=$(wait_window '借书查询')
expect_focus_back "$id"
shot="${E2E_SCREENS:-$E2E_PROGRAM_DIR/../test-output/screens}/e2e-loan-query.png"
mkdir -p "$(dirname "$shot")" && import -window "$id" "$shot" 2>/dev/null || true
key Escape
wait_id_gone "$id"

# One fine paid (uReaderfine): R001 loaded, the loan picked with a
# double-click, 罚款(&O).
key alt Right Down Down Return # 借还管理 / 图书罚款
id=$(wait_window '罚款管理')
expect_focus_back "$id"
type_text 'R001'
key Return
sleep 0.5
xdotool mousemove --window "$id" 60 126 click --repeat 2 --delay 100 1
sleep 0.3
key alt+o
answer_box '信息' '罚款成功!'
expect_db "select IsPay || '|' || ExceedFund from Borrowinfo where Code = 'B003'" "1|2"
key Escape
wait_id_gone "$id"

open_close "Right Down Down Down Down" '罚款管理' # 期刊罚款, uReaderfine1

# 图书报表 (third menu) and 期刊报表 (fourth): the same items. The book
# windows, then their periodical twins:
#   借书查询   uBorrowCond, uQryBorrow / uQryBorrow1
#   还书查询   uLentCond, uQryLent / uQryLent1
#   逾期查询   uQryBorrowList / uQryBorrowList1
#   读者排行榜 uBorrowOrderCond, uQryBorrowOrder / uQryBorrowOrderq
#   借书排行榜 uBorrowOrderCond1, uQryBorrowOrder1 / uQryBorrowOrderq1
#   分类统计   uQryBookDataS / uQryMagzDataS, uQryBorrowS / uQryBorrowqS
#   操作员查询 uOperCond, uQryOperator / uQryOperator1
#   每日清单   the daily-list base uQryDayList: uQryDayIn, uQryDayBorrow,
#              uQryDayLent, uQryDayReject and their twins uQryDayIn1,
#              uQryDayBorrow1, uQryDayLent1, uQryDayReject1
for top in "Right Right" "Right Right Right"; do
  open_with_condition "$top Down" '借书查询'
  open_with_condition "$top Down Down" '还书查询'
  open_close "$top Down Down Down" '逾期查询'
  open_with_condition "$top Down Down Down Down Right" '读者排行榜'
  open_with_condition "$top Down Down Down Down Right Down" '借书排行榜'
  open_close "$top Down Down Down Down Down" '馆藏(图书|期刊)分类统计'
  open_close "$top Down Down Down Down Down Down" '(图书|期刊)借阅分类统计'
  open_with_condition "$top Down Down Down Down Down Down Down" '操作员查询'
  open_close "$top Down Down Down Down Down Down Down Down Right" '每日进书'
  open_close "$top Down Down Down Down Down Down Down Down Right Down" '每日借阅'
  open_close "$top Down Down Down Down Down Down Down Down Right Down Down" '每日还书'
  open_close "$top Down Down Down Down Down Down Down Down Right Down Down Down" '每日报损'
done

# The desk's layout editor on F8 (uSetInterface), left with Esc.
key ctrl+F5
sleep 1
key F8
id=$(wait_window '界面设置')
expect_focus_back "$id"
key Escape
wait_id_gone "$id"
done_story
