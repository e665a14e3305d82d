#!/usr/bin/env bash
# The import wizard (uImportData) from the book list (uBookData), from the
# keyboard: a workbook written here, Excel导入 pressed by its key Alt+X, the file
# typed into the wizard's file box, 下一步 to the preview and the mapping,
# the code and title columns mapped in the mapping grid, and 下一步 again
# imports. The closing message counts the book whose code was already
# catalogued; the database shows the new books.
source "$(dirname "$0")/lib.sh"

sheet="$E2E_SCRATCH/newbooks.xlsx"
# Debian's openpyxl, whatever python3 comes first on the PATH.
/usr/bin/python3 - "$sheet" <<'PY'
import sys, openpyxl
wb = openpyxl.Workbook(); ws = wb.active
ws.append(['code', 'title', 'price'])
ws.append(['W001', 'Data Import', 12.5])
ws.append(['W002', 'Second Book', 30])
ws.append(['B001', 'Already catalogued', 1])
wb.save(sys.argv[1])
PY

start_program
login Admin ''

key ctrl+F2 # 图书编目: the search box has the keyboard
sleep 1
expect_focus_back "$E2E_MAIN"
key alt+x # Excel导入(&X)
wiz=$(wait_window '数据导入')
expect_focus_back "$wiz"
type_text "$sheet"
# From the file box past the three source types that can be chosen
# (Excel stays chosen), the four sheet boxes and <<上一步 to 下一步:
# pressed twice, to the preview and to the mapping.
key Tab Tab Tab Tab Tab Tab Tab Tab Tab space
sleep 0.5
key space
sleep 0.5
# From 下一步 back past <<上一步 into the mapping grid: the first row is
# 图书编号 (Code); its 导入字段 is two columns on. The title (Name) is
# six rows down.
key shift+Tab shift+Tab ctrl+Home Home Right Right
type_text 'code'
key Return Down Down Down Down Down Down Home Right Right
type_text 'title'
key Return
# Out of the grid to <<上一步, then 下一步 imports.
key Tab Tab space
answer_box '信息' '导入完成: 新增 2 条, 更新 0 条。'
case "$E2E_LAST_BOX" in
*'跳过 1 条关键字段重复的记录'*) say "ok: the catalogued code was counted" ;;
*) fail "the closing message does not count the catalogued code: $E2E_LAST_BOX" ;;
esac
wait_id_gone "$wiz"
expect_focus_back "$E2E_MAIN"
expect_db "select Code || '|' || Name from Bookinfo where Code like 'W%' order by Code" "W001|Data Import
W002|Second Book"
expect_db "select Name from Bookinfo where Code = 'B001'" "数据结构"
key Escape
expect_focus_back "$E2E_MAIN"
done_story
