#!/usr/bin/env bash
# The reader and periodical lists from the keyboard: each opened from the
# main menu or its command key, its editor opened with Alt+A and left with
# Alt+E, the list closed with Esc; then one reader added through the reader
# list and its editor (type picked with F5), which the database shows.
source "$(dirname "$0")/lib.sh"

start_program
login Admin ''

# Opens a list, proves it by its editor, and closes both (the editor by
# 取消退出(&E), the list by Esc).
list_and_editor() {
  local editor=$1 id
  key alt+a
  id=$(wait_window "$editor")
  expect_focus_back "$id"
  key alt+e
  wait_id_gone "$id"
  key Escape
  expect_focus_back "$E2E_MAIN"
}

menu 1 3 # 出版社设置: uBookPubData on the list base uMDIBaseData, its editor uBookPubDataEdit
list_and_editor '图书类别'
key ctrl+F3 # 期刊编目: uMagzData, its editor uMagzDataEdit
list_and_editor '期刊信息'
menu 1 9 # 期刊征订: uMagzOrderData, its editor uMagzOrderDataEdit
list_and_editor '征订信息'
menu 1 10 # 期刊报废: uMagzRejectData, its editor uMagzRejectDataEdit
list_and_editor '期刊报废'
menu 1 13 # 读者类别: uReaderTypeData, its editor uReaderTypeDataEdit
list_and_editor '读者类别'

key ctrl+F4 # 读者管理: uReaderData, its editor uReaderDataEdit
key alt+a
editor=$(wait_window '读者信息')
expect_focus_back "$editor"
type_text 'R900'
key Return
type_text 'Zhao Liu'
key Return Return # past the sex box to the type box
key F5 # the reader-type lookup uFindReaderSort
lookup=$(wait_window '选择读者类别')
expect_focus_back "$lookup"
key Return
wait_id_gone "$lookup"
expect_focus_back "$editor"
key alt+s # 保存退出
wait_id_gone "$editor"
expect_db "select Code || '|' || Name || '|' || SortCode || '|' || Isstop from Readerinfo where Code = 'R900'" \
  "R900|Zhao Liu|学生|0"
key Escape
expect_focus_back "$E2E_MAIN"
done_story
