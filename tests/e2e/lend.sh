#!/usr/bin/env bash
# The book desk lends three books to one reader: the reader's card and three
# books scanned (a code and Enter each), F2 saves the bill.
source "$(dirname "$0")/lib.sh"

start_program
login Admin ''

key ctrl+F5
type_text R001; key Return
for book in B001 B002 B003; do
  type_text "$book"; key Return
done
key F2
answer_box '信息' '张三借书成功,本次借出3本！'

expect_db "select Code, Operator from Borrowinfo where Rcode='R001' and State='未还' order by Code" \
  "B001|管理员
B002|管理员
B003|管理员"
expect_db "select count(*) from Bookinfo where Code in ('B001','B002','B003') and IsOut='外借' and Borrowman='张三'" 3
expect_db "select BookQty from Readerinfo where Code='R001'" 3
done_story
