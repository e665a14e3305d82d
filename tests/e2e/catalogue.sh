#!/usr/bin/env bash
# The catalogue's own windows from the keyboard: a class added in the
# classification tree, a word typed into each word list, and the settings
# and data clearing opened and left with Esc; the database shows what was
# typed.
source "$(dirname "$0")/lib.sh"

start_program
login Admin ''

menu 1 1 # 图书分类: the classification tree uSortSet
tree=$(wait_window '中图分类简表')
expect_focus_back "$tree"
key alt+a # 新增: the root is selected, so a class directly under it
dlg=$(wait_window '图书类目')
expect_focus_back "$dlg"
type_text 'TP'
key Tab
type_text 'Computing'
key Return # the default button 确定
wait_id_gone "$dlg"
expect_db "select sKey || '|' || ParentKey || '|' || SortCode || '|' || SortName from Type" "000000|00|TP|Computing"
expect_focus_back "$tree"
key Escape
wait_id_gone "$tree"

menu 1 2 # 图书词库 (uFirstData on the word-list base uWordList): opens on the suppliers
key F2
type_text 'Bookland'
key Return
expect_db "select group_concat(Code) from Booksupplier" "Bookland"
key Escape

menu 1 14 # 读者词库 (uReaderFirstData): opens on the departments
key F2
type_text 'Physics'
key Return
expect_db "select count(*) from Readerdept where Code = 'Physics'" "1"
key Escape

menu 5 4 # 系统设置, uParameter
id=$(wait_window '系统设置')
expect_focus_back "$id"
key Escape
wait_id_gone "$id"
expect_db "select CorpName from AcctInfo" "端到端测试图书馆"

menu 5 8 # 数据清理, uClearData
id=$(wait_window '清理数据')
expect_focus_back "$id"
key Escape
wait_id_gone "$id"
expect_db "select count(*) from Borrowinfo" "1"
expect_focus_back "$E2E_MAIN"
done_story
