-- Rows the database comes with: the first operator and his rights, the grid
-- layouts of every list, query, desk and word-list window, and the map from
-- window component names to layout codes. Generated once and kept by hand.

INSERT INTO MSysPassword (Password) VALUES ('mopu284617');

-- The super user; his password is empty until he sets one.
INSERT INTO SystemUser (UseCode, UseName, Duty, Passwords) VALUES ('Admin', '管理员', '超级用户', '');
INSERT INTO UserModule (Usecode, ModuleId, Ifcheck) VALUES
  ('Admin', 0, 1),
  ('Admin', 1, 1),
  ('Admin', 2, 1),
  ('Admin', 3, 1),
  ('Admin', 4, 1),
  ('Admin', 5, 1),
  ('Admin', 6, 1),
  ('Admin', 7, 1),
  ('Admin', 8, 1),
  ('Admin', 9, 1),
  ('Admin', 10, 1),
  ('Admin', 11, 1),
  ('Admin', 12, 1),
  ('Admin', 13, 1),
  ('Admin', 14, 1),
  ('Admin', 15, 1),
  ('Admin', 16, 1),
  ('Admin', 17, 1),
  ('Admin', 18, 1),
  ('Admin', 19, 1),
  ('Admin', 20, 1),
  ('Admin', 21, 1),
  ('Admin', 22, 1),
  ('Admin', 23, 1),
  ('Admin', 24, 1),
  ('Admin', 25, 1),
  ('Admin', 26, 1),
  ('Admin', 27, 1),
  ('Admin', 28, 1),
  ('Admin', 29, 1),
  ('Admin', 30, 1),
  ('Admin', 31, 1),
  ('Admin', 32, 1),
  ('Admin', 33, 1),
  ('Admin', 34, 1);

INSERT INTO ModuleTable (ModuleCode, TableCode) VALUES
  ('FrmBookData', 'Bookinfo'),
  ('FrmBookPreData', 'BookinfoPre'),
  ('FrmBookPubData', 'Bookpub'),
  ('FrmBookShortData', 'Bookshort'),
  ('FrmBookRejectData', 'QryReject'),
  ('FrmMagzData', 'Magzinfo'),
  ('FrmMagzOrderData', 'MagzOrder'),
  ('FrmMagzRejectData', 'QryReject1'),
  ('FrmReaderData', 'Readerinfo'),
  ('FrmReaderTypeData', 'ReaderType'),
  ('FrmQryBorrow', 'QryBorrow'),
  ('FrmQryBorrow1', 'QryBorrow1'),
  ('FrmQryLent', 'QryLent'),
  ('FrmQryLent1', 'QryLent1'),
  ('FrmQryOperator', 'QryOperator'),
  ('FrmQryOperator1', 'QryOperator1'),
  ('FrmQryBorrowOrder', 'QryBorrowOrder'),
  ('FrmQryBorrowOrderq', 'QryBorrowOrderq'),
  ('FrmQryBorrowOrder1', 'QryBorrowOrder1'),
  ('FrmQryBorrowOrderq1', 'QryBorrowOrderq1'),
  ('FrmQryDayIn', 'QryDayIn'),
  ('FrmQryDayIn1', 'QryDayIn1'),
  ('FrmQryDayBorrow', 'QryDayBorrow'),
  ('FrmQryDayBorrow1', 'QryDayBorrow1'),
  ('FrmQryDayLent', 'QryDayLent'),
  ('FrmQryDayLent1', 'QryDayLent1'),
  ('FrmQryDayReject', 'QryDayReject'),
  ('FrmQryDayReject1', 'QryDayReject1'),
  ('FrmQryBorrowList', 'QryBorrowList'),
  ('FrmQryBorrowList1', 'QryBorrowList1'),
  ('FrmQryBorrowS', 'QryBorrowS'),
  ('FrmQryBorrowqS', 'QryBorrowqS'),
  ('FrmQryBookDataS', 'QryBookDataS'),
  ('FrmQryMagzDataS', 'QryMagzDataS');

INSERT INTO TableStructure (TableCode, ColumnsCode, ColumnsName, TableOrder, ColumnsLength, IsKey, IsVisible) VALUES
  ('Borrowinfo', 'Code', '图书编号', 1, 100, 1, 1),
  ('Borrowinfo', 'Name', '书名', 2, 180, 0, 1),
  ('Borrowinfo', 'Rcode', '读者编号', 3, 80, 0, 0),
  ('Borrowinfo', 'State', '状态', 4, 50, 0, 1),
  ('Borrowinfo', 'BorrowDate', '借书日期', 5, 85, 0, 1),
  ('Borrowinfo', 'ReturnDate', '应还日期', 6, 85, 0, 1),
  ('Borrowinfo', 'RenewTimes', '续借次数', 7, 60, 0, 1),
  ('Borrowinfo', 'RenewDate', '续借日期', 8, 85, 0, 1),
  ('Borrowinfo', 'BookPrice', '价格', 9, 70, 0, 1),
  ('Borrowinfo', 'Publisher', '出版社', 10, 130, 0, 1),
  ('Borrowinfo', 'SortCode', '分类号', 11, 80, 0, 1);

INSERT INTO TableStructure (TableCode, ColumnsCode, ColumnsName, TableOrder, ColumnsLength, IsKey, IsVisible) VALUES
  ('Renewinfo', 'Code', '图书编号', 1, 100, 1, 1),
  ('Renewinfo', 'Name', '书名', 2, 180, 0, 1),
  ('Renewinfo', 'Rcode', '读者编号', 3, 80, 0, 0),
  ('Renewinfo', 'State', '状态', 4, 50, 0, 1),
  ('Renewinfo', 'BorrowDate', '借书日期', 5, 85, 0, 1),
  ('Renewinfo', 'ReturnDate', '应还日期', 6, 85, 0, 1),
  ('Renewinfo', 'RenewTimes', '续借次数', 7, 60, 0, 1),
  ('Renewinfo', 'RenewDate', '续借日期', 8, 85, 0, 1),
  ('Renewinfo', 'BookPrice', '价格', 9, 70, 0, 1),
  ('Renewinfo', 'Publisher', '出版社', 10, 130, 0, 1),
  ('Renewinfo', 'SortCode', '分类号', 11, 80, 0, 1),
  ('Renewinfo', 'ExceedDay', '逾期天数', 12, 60, 0, 1),
  ('Renewinfo', 'ExceedFund', '罚款金额', 13, 70, 0, 1);

INSERT INTO TableStructure (TableCode, ColumnsCode, ColumnsName, TableOrder, ColumnsLength, IsKey, IsVisible) VALUES
  ('Returninfo', 'Code', '图书编号', 1, 100, 1, 1),
  ('Returninfo', 'Name', '书名', 2, 180, 0, 1),
  ('Returninfo', 'Rcode', '读者编号', 3, 80, 0, 0),
  ('Returninfo', 'State', '状态', 4, 50, 0, 1),
  ('Returninfo', 'BorrowDate', '借书日期', 5, 85, 0, 1),
  ('Returninfo', 'ReturnDate', '还书日期', 6, 85, 0, 1),
  ('Returninfo', 'RenewTimes', '续借次数', 7, 60, 0, 1),
  ('Returninfo', 'RenewDate', '续借日期', 8, 85, 0, 1),
  ('Returninfo', 'BookPrice', '价格', 9, 70, 0, 1),
  ('Returninfo', 'Publisher', '出版社', 10, 130, 0, 1),
  ('Returninfo', 'SortCode', '分类号', 11, 80, 0, 1),
  ('Returninfo', 'ExceedDay', '逾期天数', 12, 60, 0, 1),
  ('Returninfo', 'ExceedFund', '罚款金额', 13, 70, 0, 1);

INSERT INTO TableStructure (TableCode, ColumnsCode, ColumnsName, TableOrder, ColumnsLength, IsKey, IsVisible) VALUES
  ('Borrowinfo1', 'Code', '期刊编号', 1, 100, 1, 1),
  ('Borrowinfo1', 'Name', '刊名', 2, 160, 0, 1),
  ('Borrowinfo1', 'Orderyear', '年度', 3, 50, 0, 1),
  ('Borrowinfo1', 'PeriodNo', '期号', 4, 50, 0, 1),
  ('Borrowinfo1', 'ZPeriodNo', '总期号', 5, 60, 0, 1),
  ('Borrowinfo1', 'PeriodSt', '缺期', 6, 80, 0, 1),
  ('Borrowinfo1', 'Rcode', '读者编号', 7, 80, 0, 0),
  ('Borrowinfo1', 'State', '状态', 8, 50, 0, 1),
  ('Borrowinfo1', 'BorrowDate', '借书日期', 9, 85, 0, 1),
  ('Borrowinfo1', 'ReturnDate', '应还日期', 10, 85, 0, 1),
  ('Borrowinfo1', 'BookPrice', '价格', 11, 70, 0, 1),
  ('Borrowinfo1', 'Writer', '编辑部', 12, 120, 0, 1),
  ('Borrowinfo1', 'SortCode', '分类号', 13, 80, 0, 1);

INSERT INTO TableStructure (TableCode, ColumnsCode, ColumnsName, TableOrder, ColumnsLength, IsKey, IsVisible) VALUES
  ('Returninfo1', 'Code', '期刊编号', 1, 100, 1, 1),
  ('Returninfo1', 'Name', '刊名', 2, 160, 0, 1),
  ('Returninfo1', 'Orderyear', '年度', 3, 50, 0, 1),
  ('Returninfo1', 'PeriodNo', '期号', 4, 50, 0, 1),
  ('Returninfo1', 'ZPeriodNo', '总期号', 5, 60, 0, 1),
  ('Returninfo1', 'PeriodSt', '缺期', 6, 80, 0, 1),
  ('Returninfo1', 'Rcode', '读者编号', 7, 80, 0, 0),
  ('Returninfo1', 'State', '状态', 8, 50, 0, 1),
  ('Returninfo1', 'BorrowDate', '借书日期', 9, 85, 0, 1),
  ('Returninfo1', 'ReturnDate', '还书日期', 10, 85, 0, 1),
  ('Returninfo1', 'BookPrice', '价格', 11, 70, 0, 1),
  ('Returninfo1', 'Writer', '编辑部', 12, 120, 0, 1),
  ('Returninfo1', 'SortCode', '分类号', 13, 80, 0, 1),
  ('Returninfo1', 'ExceedDay', '逾期天数', 14, 60, 0, 1),
  ('Returninfo1', 'ExceedFund', '罚款金额', 15, 70, 0, 1);

INSERT INTO TableStructure (TableCode, ColumnsCode, ColumnsName, TableOrder, ColumnsLength, IsKey, IsVisible) VALUES
  ('Bookinfo', 'Id', '序号', 1, 50, 1, 0),
  ('Bookinfo', 'Code', '图书编号', 2, 100, 0, 1),
  ('Bookinfo', 'CodeSet', '卷册号', 3, 60, 0, 1),
  ('Bookinfo', 'Name', '中文名称', 4, 180, 0, 1),
  ('Bookinfo', 'YName', '原文名称', 5, 140, 0, 1),
  ('Bookinfo', 'BookIsbn', 'ISBN号', 6, 110, 0, 1),
  ('Bookinfo', 'SortCode', '分类号', 7, 80, 0, 1),
  ('Bookinfo', 'SortNum', '书次号', 8, 60, 0, 1),
  ('Bookinfo', 'Scode', '索书号', 9, 100, 0, 1),
  ('Bookinfo', 'Publisher', '出版社', 10, 140, 0, 1),
  ('Bookinfo', 'Writer', '作者', 11, 90, 0, 1),
  ('Bookinfo', 'Translator', '译者', 12, 80, 0, 1),
  ('Bookinfo', 'PubDate', '出版日期', 13, 80, 0, 1),
  ('Bookinfo', 'PubNum', '版次', 14, 50, 0, 1),
  ('Bookinfo', 'BookPage', '页码', 15, 50, 0, 1),
  ('Bookinfo', 'BookPrice', '价格', 16, 70, 0, 1),
  ('Bookinfo', 'AvePrice', '成本价', 17, 70, 0, 1),
  ('Bookinfo', 'Supplier', '供应商', 18, 120, 0, 1),
  ('Bookinfo', 'RegDate', '登记日期', 19, 85, 0, 1),
  ('Bookinfo', 'BookPosi', '架位', 20, 70, 0, 1),
  ('Bookinfo', 'language', '语言', 21, 60, 0, 1),
  ('Bookinfo', 'Print', '印刷', 22, 60, 0, 1),
  ('Bookinfo', 'Size', '尺寸', 23, 60, 0, 1),
  ('Bookinfo', 'Grade', '等级', 24, 60, 0, 1),
  ('Bookinfo', 'Attach', '附件', 25, 60, 0, 1),
  ('Bookinfo', 'IsLimit', '限制外借', 26, 60, 0, 1),
  ('Bookinfo', 'IsOut', '借阅状况', 27, 60, 0, 1),
  ('Bookinfo', 'Borrowman', '借书人', 28, 70, 0, 1),
  ('Bookinfo', 'BorrowDate', '最后借出', 29, 85, 0, 1),
  ('Bookinfo', 'Times', '借阅次数', 30, 60, 0, 1),
  ('Bookinfo', 'Remarks', '内容简介', 31, 200, 0, 1),
  ('Bookinfo', 'Remarks1', '摘要', 32, 200, 0, 0),
  ('Bookinfo', 'Py', '拼音码', 33, 80, 0, 0),
  ('Bookinfo', 'Wb', '五笔码', 34, 80, 0, 0),
  ('Bookinfo', 'Wbh', '笔划码', 35, 80, 0, 0);

INSERT INTO TableStructure (TableCode, ColumnsCode, ColumnsName, TableOrder, ColumnsLength, IsKey, IsVisible) VALUES
  ('BookinfoPre', 'Id', '序号', 1, 50, 1, 0),
  ('BookinfoPre', 'CodeSet', '卷册号', 2, 60, 0, 1),
  ('BookinfoPre', 'Name', '中文名称', 3, 180, 0, 1),
  ('BookinfoPre', 'YName', '原文名称', 4, 140, 0, 1),
  ('BookinfoPre', 'BookIsbn', 'ISBN号', 5, 110, 0, 1),
  ('BookinfoPre', 'SortCode', '分类号', 6, 80, 0, 1),
  ('BookinfoPre', 'SortNum', '书次号', 7, 60, 0, 1),
  ('BookinfoPre', 'Scode', '索书号', 8, 100, 0, 1),
  ('BookinfoPre', 'Publisher', '出版社', 9, 140, 0, 1),
  ('BookinfoPre', 'Writer', '作者', 10, 90, 0, 1),
  ('BookinfoPre', 'Translator', '译者', 11, 80, 0, 1),
  ('BookinfoPre', 'PubDate', '出版日期', 12, 80, 0, 1),
  ('BookinfoPre', 'PubNum', '版次', 13, 50, 0, 1),
  ('BookinfoPre', 'BookPage', '页码', 14, 50, 0, 1),
  ('BookinfoPre', 'BookPrice', '价格', 15, 70, 0, 1),
  ('BookinfoPre', 'AvePrice', '成本价', 16, 70, 0, 1),
  ('BookinfoPre', 'Supplier', '供应商', 17, 120, 0, 1),
  ('BookinfoPre', 'RegDate', '登记日期', 18, 85, 0, 1),
  ('BookinfoPre', 'BookPosi', '架位', 19, 70, 0, 1),
  ('BookinfoPre', 'language', '语言', 20, 60, 0, 1),
  ('BookinfoPre', 'Print', '印刷', 21, 60, 0, 1),
  ('BookinfoPre', 'Size', '尺寸', 22, 60, 0, 1),
  ('BookinfoPre', 'Grade', '等级', 23, 60, 0, 1),
  ('BookinfoPre', 'Attach', '附件', 24, 60, 0, 1),
  ('BookinfoPre', 'IsLimit', '限制外借', 25, 60, 0, 1),
  ('BookinfoPre', 'Remarks', '内容简介', 26, 200, 0, 1),
  ('BookinfoPre', 'Remarks1', '摘要', 27, 200, 0, 0),
  ('BookinfoPre', 'Py', '拼音码', 28, 80, 0, 0),
  ('BookinfoPre', 'Wb', '五笔码', 29, 80, 0, 0),
  ('BookinfoPre', 'Wbh', '笔划码', 30, 80, 0, 0);

INSERT INTO TableStructure (TableCode, ColumnsCode, ColumnsName, TableOrder, ColumnsLength, IsKey, IsVisible) VALUES
  ('Bookpub', 'Code', '出版社', 1, 200, 1, 1),
  ('Bookpub', 'Isbn', 'ISBN前缀', 2, 120, 0, 1),
  ('Bookpub', 'PY', '拼音码', 3, 80, 0, 0),
  ('Bookpub', 'WB', '五笔码', 4, 80, 0, 0),
  ('Bookpub', 'WBH', '笔划码', 5, 80, 0, 0);

INSERT INTO TableStructure (TableCode, ColumnsCode, ColumnsName, TableOrder, ColumnsLength, IsKey, IsVisible) VALUES
  ('Magzinfo', 'Id', '序号', 1, 50, 1, 0),
  ('Magzinfo', 'Code', '期刊编号', 2, 100, 0, 1),
  ('Magzinfo', 'Name', '名称', 3, 180, 0, 1),
  ('Magzinfo', 'BookIsbn', 'ISSN号', 4, 100, 0, 1),
  ('Magzinfo', 'PubNo', '统一刊号', 5, 90, 0, 1),
  ('Magzinfo', 'PostNo', '邮发代号', 6, 70, 0, 1),
  ('Magzinfo', 'SortCode', '分类号', 7, 80, 0, 1),
  ('Magzinfo', 'SortNum', '书次号', 8, 60, 0, 1),
  ('Magzinfo', 'Scode', '索刊号', 9, 100, 0, 1),
  ('Magzinfo', 'Writer', '编辑部', 10, 120, 0, 1),
  ('Magzinfo', 'Pubfreq', '出版周期', 11, 60, 0, 1),
  ('Magzinfo', 'Orderyear', '订购年度', 12, 60, 0, 1),
  ('Magzinfo', 'PeriodNo', '期号', 13, 50, 0, 1),
  ('Magzinfo', 'ZPeriodNo', '总期号', 14, 60, 0, 1),
  ('Magzinfo', 'PeriodSt', '缺期', 15, 80, 0, 1),
  ('Magzinfo', 'IsNew', '现刊', 16, 50, 0, 1),
  ('Magzinfo', 'Publisher', '出版社', 17, 140, 0, 1),
  ('Magzinfo', 'PubDate', '出版日期', 18, 85, 0, 1),
  ('Magzinfo', 'BookPrice', '价格', 19, 70, 0, 1),
  ('Magzinfo', 'AvePrice', '成本价', 20, 70, 0, 1),
  ('Magzinfo', 'BookPage', '页码', 21, 50, 0, 1),
  ('Magzinfo', 'Supplier', '供应商', 22, 120, 0, 1),
  ('Magzinfo', 'RegDate', '登记日期', 23, 85, 0, 1),
  ('Magzinfo', 'BookPosi', '架位', 24, 70, 0, 1),
  ('Magzinfo', 'language', '语言', 25, 60, 0, 1),
  ('Magzinfo', 'Print', '印刷', 26, 60, 0, 1),
  ('Magzinfo', 'Size', '尺寸', 27, 60, 0, 1),
  ('Magzinfo', 'Grade', '等级', 28, 60, 0, 1),
  ('Magzinfo', 'Attach', '附件', 29, 60, 0, 1),
  ('Magzinfo', 'IsLimit', '限制外借', 30, 60, 0, 1),
  ('Magzinfo', 'IsOut', '借阅状况', 31, 60, 0, 1),
  ('Magzinfo', 'Borrowman', '借书人', 32, 70, 0, 1),
  ('Magzinfo', 'BorrowDate', '最后借出', 33, 85, 0, 1),
  ('Magzinfo', 'Times', '借阅次数', 34, 60, 0, 1),
  ('Magzinfo', 'Remarks', '目录', 35, 200, 0, 1),
  ('Magzinfo', 'Py', '拼音码', 36, 80, 0, 0),
  ('Magzinfo', 'Wb', '五笔码', 37, 80, 0, 0),
  ('Magzinfo', 'Wbh', '笔划码', 38, 80, 0, 0);

INSERT INTO TableStructure (TableCode, ColumnsCode, ColumnsName, TableOrder, ColumnsLength, IsKey, IsVisible) VALUES
  ('Readerinfo', 'Code', '读者编号', 1, 90, 1, 1),
  ('Readerinfo', 'Name', '读者姓名', 2, 80, 0, 1),
  ('Readerinfo', 'Sax', '性别', 3, 40, 0, 1),
  ('Readerinfo', 'SortCode', '读者类别', 4, 80, 0, 1),
  ('Readerinfo', 'CardId', '身份证号', 5, 140, 0, 1),
  ('Readerinfo', 'BornDate', '出生年月', 6, 80, 0, 1),
  ('Readerinfo', 'Department', '部门', 7, 100, 0, 1),
  ('Readerinfo', 'RegDate', '登记日期', 8, 85, 0, 1),
  ('Readerinfo', 'TelDay', '电话(日)', 9, 100, 0, 1),
  ('Readerinfo', 'TelNight', '电话(夜)', 10, 100, 0, 1),
  ('Readerinfo', 'HandTel', '手机', 11, 100, 0, 1),
  ('Readerinfo', 'E_mail', 'E_mail', 12, 140, 0, 1),
  ('Readerinfo', 'Addr', '地址', 13, 160, 0, 1),
  ('Readerinfo', 'Remarks', '备注', 14, 160, 0, 1),
  ('Readerinfo', 'DepoSum', '押金', 15, 60, 0, 1),
  ('Readerinfo', 'Isstop', '停用否', 16, 50, 0, 1),
  ('Readerinfo', 'BookQty', '未还本数(图书)', 17, 90, 0, 1),
  ('Readerinfo', 'Times', '借书次数(图书)', 18, 90, 0, 1),
  ('Readerinfo', 'Overdue', '超期次数(图书)', 19, 90, 0, 1),
  ('Readerinfo', 'BookQty1', '未还本数(期刊)', 20, 90, 0, 1),
  ('Readerinfo', 'Times1', '借书次数(期刊)', 21, 90, 0, 1),
  ('Readerinfo', 'Overdue1', '超期次数(期刊)', 22, 90, 0, 1),
  ('Readerinfo', 'BorrowDate', '最后借阅', 23, 85, 0, 1),
  ('Readerinfo', 'Py', '拼音码', 24, 80, 0, 0),
  ('Readerinfo', 'Wb', '五笔码', 25, 80, 0, 0),
  ('Readerinfo', 'Wbh', '笔划码', 26, 80, 0, 0),
  ('Readerinfo', 'Photo', '照片', 27, 150, 0, 0);

INSERT INTO TableStructure (TableCode, ColumnsCode, ColumnsName, TableOrder, ColumnsLength, IsKey, IsVisible) VALUES
  ('ReaderType', 'Code', '类别名称', 1, 100, 1, 1),
  ('ReaderType', 'CeQty', '借书册数', 2, 70, 0, 1),
  ('ReaderType', 'LimitDay', '借书天数', 3, 70, 0, 1),
  ('ReaderType', 'RenewTime', '续借次数', 4, 70, 0, 1),
  ('ReaderType', 'IsLimit', '限制借书', 5, 70, 0, 1),
  ('ReaderType', 'CeQty1', '借刊册数', 6, 70, 0, 1),
  ('ReaderType', 'LimitDay1', '借刊天数', 7, 70, 0, 1),
  ('ReaderType', 'IsLimit1', '限制借刊', 8, 70, 0, 1);

INSERT INTO TableStructure (TableCode, ColumnsCode, ColumnsName, TableOrder, ColumnsLength, IsKey, IsVisible) VALUES
  ('Bookshort', 'Code', '登记编号', 1, 100, 1, 1),
  ('Bookshort', 'BookIsbn', 'ISBN号', 2, 110, 0, 1),
  ('Bookshort', 'Name', '中文名称', 3, 180, 0, 1),
  ('Bookshort', 'YName', '原文名称', 4, 140, 0, 1),
  ('Bookshort', 'Sortcode', '分类号', 5, 80, 0, 1),
  ('Bookshort', 'Publisher', '出版社', 6, 140, 0, 1),
  ('Bookshort', 'Writer', '作者', 7, 90, 0, 1),
  ('Bookshort', 'Translator', '译者', 8, 80, 0, 1),
  ('Bookshort', 'BookPrice', '书籍价格', 9, 70, 0, 1),
  ('Bookshort', 'RegQty', '订购数量', 10, 60, 0, 1),
  ('Bookshort', 'BeBuy', '已到数量', 11, 60, 0, 1),
  ('Bookshort', 'BookSum', '订购金额', 12, 80, 0, 1),
  ('Bookshort', 'RegDate', '订购日期', 13, 85, 0, 1),
  ('Bookshort', 'Tel', '联系电话', 14, 100, 0, 1),
  ('Bookshort', 'LinkMan', '联系人', 15, 70, 0, 1),
  ('Bookshort', 'Addr', '通信地址', 16, 160, 0, 1),
  ('Bookshort', 'Bank', '开户行', 17, 100, 0, 1),
  ('Bookshort', 'BankNo', '银行帐号', 18, 120, 0, 1),
  ('Bookshort', 'Language', '语系', 19, 60, 0, 1),
  ('Bookshort', 'Remarks', '备注', 20, 160, 0, 1);

INSERT INTO TableStructure (TableCode, ColumnsCode, ColumnsName, TableOrder, ColumnsLength, IsKey, IsVisible) VALUES
  ('MagzOrder', 'Code', '登记编号', 1, 100, 1, 1),
  ('MagzOrder', 'BookIsbn', 'ISSN号', 2, 100, 0, 1),
  ('MagzOrder', 'PubNo', '统一刊号', 3, 90, 0, 1),
  ('MagzOrder', 'PostNo', '邮发代号', 4, 70, 0, 1),
  ('MagzOrder', 'Name', '期刊名称', 5, 180, 0, 1),
  ('MagzOrder', 'Sortcode', '分类号', 6, 80, 0, 1),
  ('MagzOrder', 'Writer', '编辑部', 7, 120, 0, 1),
  ('MagzOrder', 'Pubfreq', '出版周期', 8, 60, 0, 1),
  ('MagzOrder', 'OrderPeriod', '起止订期', 9, 100, 0, 1),
  ('MagzOrder', 'StartYear', '创刊年', 10, 50, 0, 1),
  ('MagzOrder', 'Publisher', '出版社', 11, 140, 0, 1),
  ('MagzOrder', 'BookPrice', '期刊价格', 12, 70, 0, 1),
  ('MagzOrder', 'RegQty', '订购数量', 13, 60, 0, 1),
  ('MagzOrder', 'BeBuy', '已到数量', 14, 60, 0, 1),
  ('MagzOrder', 'BookSum', '订购金额', 15, 80, 0, 1),
  ('MagzOrder', 'RegDate', '预订日期', 16, 85, 0, 1),
  ('MagzOrder', 'Tel', '联系电话', 17, 100, 0, 1),
  ('MagzOrder', 'LinkMan', '联系人', 18, 70, 0, 1),
  ('MagzOrder', 'Addr', '通信地址', 19, 160, 0, 1),
  ('MagzOrder', 'Bank', '开户行', 20, 100, 0, 1),
  ('MagzOrder', 'BankNo', '银行帐号', 21, 120, 0, 1),
  ('MagzOrder', 'Language', '语系', 22, 60, 0, 1),
  ('MagzOrder', 'Remarks', '备注', 23, 160, 0, 1);

INSERT INTO TableStructure (TableCode, ColumnsCode, ColumnsName, TableOrder, ColumnsLength, IsKey, IsVisible) VALUES
  ('QryReject', 'Code', '图书编号', 1, 100, 1, 1),
  ('QryReject', 'BName', '书名', 2, 180, 0, 1),
  ('QryReject', 'Publisher', '出版社', 3, 140, 0, 1),
  ('QryReject', 'BookIsbn', 'ISBN号', 4, 110, 0, 1),
  ('QryReject', 'RCode', '读者编号', 5, 80, 0, 1),
  ('QryReject', 'RName', '读者姓名', 6, 80, 0, 1),
  ('QryReject', 'RejectDate', '报废日期', 7, 85, 0, 1),
  ('QryReject', 'Finesum', '报废金额', 8, 70, 0, 1),
  ('QryReject', 'Remarks', '备注', 9, 160, 0, 1);

INSERT INTO TableStructure (TableCode, ColumnsCode, ColumnsName, TableOrder, ColumnsLength, IsKey, IsVisible) VALUES
  ('QryReject1', 'Code', '期刊编号', 1, 100, 1, 1),
  ('QryReject1', 'BName', '刊名', 2, 180, 0, 1),
  ('QryReject1', 'Orderyear', '年度', 3, 50, 0, 1),
  ('QryReject1', 'PeriodNo', '期号', 4, 50, 0, 1),
  ('QryReject1', 'Writer', '编辑部', 5, 120, 0, 1),
  ('QryReject1', 'BookIsbn', 'ISSN号', 6, 100, 0, 1),
  ('QryReject1', 'RCode', '读者编号', 7, 80, 0, 1),
  ('QryReject1', 'RName', '读者姓名', 8, 80, 0, 1),
  ('QryReject1', 'RejectDate', '报废日期', 9, 85, 0, 1),
  ('QryReject1', 'Finesum', '报废金额', 10, 70, 0, 1),
  ('QryReject1', 'Remarks', '备注', 11, 160, 0, 1);

INSERT INTO TableStructure (TableCode, ColumnsCode, ColumnsName, TableOrder, ColumnsLength, IsKey, IsVisible) VALUES
  ('QryBorrow', 'Code', '图书编号', 1, 100, 0, 1),
  ('QryBorrow', 'BName', '书名', 2, 180, 0, 1),
  ('QryBorrow', 'Rcode', '读者编号', 3, 80, 0, 1),
  ('QryBorrow', 'RName', '读者姓名', 4, 80, 0, 1),
  ('QryBorrow', 'State', '状态', 5, 50, 0, 1),
  ('QryBorrow', 'BorrowDate', '借书日期', 6, 85, 0, 1),
  ('QryBorrow', 'ReturnDate', '还书日期', 7, 85, 0, 1),
  ('QryBorrow', 'RenewDate', '续借日期', 8, 85, 0, 1),
  ('QryBorrow', 'RenewTimes', '续借次数', 9, 60, 0, 1),
  ('QryBorrow', 'ExceedDay', '逾期天数', 10, 60, 0, 1),
  ('QryBorrow', 'ExceedFund', '罚款金额', 11, 70, 0, 1),
  ('QryBorrow', 'IsPay', '已交罚款', 12, 60, 0, 1),
  ('QryBorrow', 'CodeSet', '卷册号', 13, 60, 0, 1),
  ('QryBorrow', 'Operator', '操作员', 14, 70, 0, 1);

INSERT INTO TableStructure (TableCode, ColumnsCode, ColumnsName, TableOrder, ColumnsLength, IsKey, IsVisible) VALUES
  ('QryLent', 'Code', '图书编号', 1, 100, 0, 1),
  ('QryLent', 'BName', '书名', 2, 180, 0, 1),
  ('QryLent', 'Rcode', '读者编号', 3, 80, 0, 1),
  ('QryLent', 'RName', '读者姓名', 4, 80, 0, 1),
  ('QryLent', 'State', '状态', 5, 50, 0, 1),
  ('QryLent', 'BorrowDate', '借书日期', 6, 85, 0, 1),
  ('QryLent', 'ReturnDate', '还书日期', 7, 85, 0, 1),
  ('QryLent', 'RenewDate', '续借日期', 8, 85, 0, 1),
  ('QryLent', 'RenewTimes', '续借次数', 9, 60, 0, 1),
  ('QryLent', 'ExceedDay', '逾期天数', 10, 60, 0, 1),
  ('QryLent', 'ExceedFund', '罚款金额', 11, 70, 0, 1),
  ('QryLent', 'IsPay', '已交罚款', 12, 60, 0, 1),
  ('QryLent', 'CodeSet', '卷册号', 13, 60, 0, 1),
  ('QryLent', 'Operator', '操作员', 14, 70, 0, 1);

INSERT INTO TableStructure (TableCode, ColumnsCode, ColumnsName, TableOrder, ColumnsLength, IsKey, IsVisible) VALUES
  ('QryOperator', 'Code', '图书编号', 1, 100, 0, 1),
  ('QryOperator', 'BName', '书名', 2, 180, 0, 1),
  ('QryOperator', 'Rcode', '读者编号', 3, 80, 0, 1),
  ('QryOperator', 'RName', '读者姓名', 4, 80, 0, 1),
  ('QryOperator', 'State', '状态', 5, 50, 0, 1),
  ('QryOperator', 'BorrowDate', '借书日期', 6, 85, 0, 1),
  ('QryOperator', 'ReturnDate', '还书日期', 7, 85, 0, 1),
  ('QryOperator', 'RenewDate', '续借日期', 8, 85, 0, 1),
  ('QryOperator', 'RenewTimes', '续借次数', 9, 60, 0, 1),
  ('QryOperator', 'ExceedDay', '逾期天数', 10, 60, 0, 1),
  ('QryOperator', 'ExceedFund', '罚款金额', 11, 70, 0, 1),
  ('QryOperator', 'IsPay', '已交罚款', 12, 60, 0, 1),
  ('QryOperator', 'CodeSet', '卷册号', 13, 60, 0, 1),
  ('QryOperator', 'Operator', '操作员', 14, 70, 0, 1);

INSERT INTO TableStructure (TableCode, ColumnsCode, ColumnsName, TableOrder, ColumnsLength, IsKey, IsVisible) VALUES
  ('QryDayBorrow', 'Code', '图书编号', 1, 100, 0, 1),
  ('QryDayBorrow', 'BName', '书名', 2, 180, 0, 1),
  ('QryDayBorrow', 'Rcode', '读者编号', 3, 80, 0, 1),
  ('QryDayBorrow', 'RName', '读者姓名', 4, 80, 0, 1),
  ('QryDayBorrow', 'State', '状态', 5, 50, 0, 1),
  ('QryDayBorrow', 'BorrowDate', '借书日期', 6, 85, 0, 1),
  ('QryDayBorrow', 'ReturnDate', '还书日期', 7, 85, 0, 1),
  ('QryDayBorrow', 'RenewDate', '续借日期', 8, 85, 0, 1),
  ('QryDayBorrow', 'RenewTimes', '续借次数', 9, 60, 0, 1),
  ('QryDayBorrow', 'ExceedDay', '逾期天数', 10, 60, 0, 1),
  ('QryDayBorrow', 'ExceedFund', '罚款金额', 11, 70, 0, 1),
  ('QryDayBorrow', 'IsPay', '已交罚款', 12, 60, 0, 1),
  ('QryDayBorrow', 'CodeSet', '卷册号', 13, 60, 0, 1),
  ('QryDayBorrow', 'Operator', '操作员', 14, 70, 0, 1);

INSERT INTO TableStructure (TableCode, ColumnsCode, ColumnsName, TableOrder, ColumnsLength, IsKey, IsVisible) VALUES
  ('QryDayLent', 'Code', '图书编号', 1, 100, 0, 1),
  ('QryDayLent', 'BName', '书名', 2, 180, 0, 1),
  ('QryDayLent', 'Rcode', '读者编号', 3, 80, 0, 1),
  ('QryDayLent', 'RName', '读者姓名', 4, 80, 0, 1),
  ('QryDayLent', 'State', '状态', 5, 50, 0, 1),
  ('QryDayLent', 'BorrowDate', '借书日期', 6, 85, 0, 1),
  ('QryDayLent', 'ReturnDate', '还书日期', 7, 85, 0, 1),
  ('QryDayLent', 'RenewDate', '续借日期', 8, 85, 0, 1),
  ('QryDayLent', 'RenewTimes', '续借次数', 9, 60, 0, 1),
  ('QryDayLent', 'ExceedDay', '逾期天数', 10, 60, 0, 1),
  ('QryDayLent', 'ExceedFund', '罚款金额', 11, 70, 0, 1),
  ('QryDayLent', 'IsPay', '已交罚款', 12, 60, 0, 1),
  ('QryDayLent', 'CodeSet', '卷册号', 13, 60, 0, 1),
  ('QryDayLent', 'Operator', '操作员', 14, 70, 0, 1);

INSERT INTO TableStructure (TableCode, ColumnsCode, ColumnsName, TableOrder, ColumnsLength, IsKey, IsVisible) VALUES
  ('QryBorrow1', 'Code', '期刊编号', 1, 100, 0, 1),
  ('QryBorrow1', 'BName', '刊名', 2, 160, 0, 1),
  ('QryBorrow1', 'Orderyear', '年度', 3, 50, 0, 1),
  ('QryBorrow1', 'PeriodNo', '期号', 4, 50, 0, 1),
  ('QryBorrow1', 'ZPeriodNo', '总期号', 5, 60, 0, 1),
  ('QryBorrow1', 'PeriodSt', '缺期', 6, 80, 0, 1),
  ('QryBorrow1', 'Writer', '编辑部', 7, 120, 0, 1),
  ('QryBorrow1', 'Rcode', '读者编号', 8, 80, 0, 1),
  ('QryBorrow1', 'RName', '读者姓名', 9, 80, 0, 1),
  ('QryBorrow1', 'State', '状态', 10, 50, 0, 1),
  ('QryBorrow1', 'BorrowDate', '借书日期', 11, 85, 0, 1),
  ('QryBorrow1', 'ReturnDate', '还书日期', 12, 85, 0, 1),
  ('QryBorrow1', 'ExceedDay', '逾期天数', 13, 60, 0, 1),
  ('QryBorrow1', 'ExceedFund', '罚款金额', 14, 70, 0, 1),
  ('QryBorrow1', 'IsPay', '已交罚款', 15, 60, 0, 1),
  ('QryBorrow1', 'Operator', '操作员', 16, 70, 0, 1);

INSERT INTO TableStructure (TableCode, ColumnsCode, ColumnsName, TableOrder, ColumnsLength, IsKey, IsVisible) VALUES
  ('QryLent1', 'Code', '期刊编号', 1, 100, 0, 1),
  ('QryLent1', 'BName', '刊名', 2, 160, 0, 1),
  ('QryLent1', 'Orderyear', '年度', 3, 50, 0, 1),
  ('QryLent1', 'PeriodNo', '期号', 4, 50, 0, 1),
  ('QryLent1', 'ZPeriodNo', '总期号', 5, 60, 0, 1),
  ('QryLent1', 'PeriodSt', '缺期', 6, 80, 0, 1),
  ('QryLent1', 'Publisher', '出版社', 7, 120, 0, 1),
  ('QryLent1', 'Rcode', '读者编号', 8, 80, 0, 1),
  ('QryLent1', 'RName', '读者姓名', 9, 80, 0, 1),
  ('QryLent1', 'State', '状态', 10, 50, 0, 1),
  ('QryLent1', 'BorrowDate', '借书日期', 11, 85, 0, 1),
  ('QryLent1', 'ReturnDate', '还书日期', 12, 85, 0, 1),
  ('QryLent1', 'ExceedDay', '逾期天数', 13, 60, 0, 1),
  ('QryLent1', 'ExceedFund', '罚款金额', 14, 70, 0, 1),
  ('QryLent1', 'IsPay', '已交罚款', 15, 60, 0, 1),
  ('QryLent1', 'Operator', '操作员', 16, 70, 0, 1);

INSERT INTO TableStructure (TableCode, ColumnsCode, ColumnsName, TableOrder, ColumnsLength, IsKey, IsVisible) VALUES
  ('QryOperator1', 'Code', '期刊编号', 1, 100, 0, 1),
  ('QryOperator1', 'BName', '刊名', 2, 160, 0, 1),
  ('QryOperator1', 'Orderyear', '年度', 3, 50, 0, 1),
  ('QryOperator1', 'PeriodNo', '期号', 4, 50, 0, 1),
  ('QryOperator1', 'ZPeriodNo', '总期号', 5, 60, 0, 1),
  ('QryOperator1', 'PeriodSt', '缺期', 6, 80, 0, 1),
  ('QryOperator1', 'Writer', '编辑部', 7, 120, 0, 1),
  ('QryOperator1', 'Rcode', '读者编号', 8, 80, 0, 1),
  ('QryOperator1', 'RName', '读者姓名', 9, 80, 0, 1),
  ('QryOperator1', 'State', '状态', 10, 50, 0, 1),
  ('QryOperator1', 'BorrowDate', '借书日期', 11, 85, 0, 1),
  ('QryOperator1', 'ReturnDate', '还书日期', 12, 85, 0, 1),
  ('QryOperator1', 'ExceedDay', '逾期天数', 13, 60, 0, 1),
  ('QryOperator1', 'ExceedFund', '罚款金额', 14, 70, 0, 1),
  ('QryOperator1', 'IsPay', '已交罚款', 15, 60, 0, 1),
  ('QryOperator1', 'Operator', '操作员', 16, 70, 0, 1);

INSERT INTO TableStructure (TableCode, ColumnsCode, ColumnsName, TableOrder, ColumnsLength, IsKey, IsVisible) VALUES
  ('QryDayBorrow1', 'Code', '期刊编号', 1, 100, 0, 1),
  ('QryDayBorrow1', 'BName', '刊名', 2, 160, 0, 1),
  ('QryDayBorrow1', 'Orderyear', '年度', 3, 50, 0, 1),
  ('QryDayBorrow1', 'PeriodNo', '期号', 4, 50, 0, 1),
  ('QryDayBorrow1', 'ZPeriodNo', '总期号', 5, 60, 0, 1),
  ('QryDayBorrow1', 'PeriodSt', '缺期', 6, 80, 0, 1),
  ('QryDayBorrow1', 'Writer', '编辑部', 7, 120, 0, 1),
  ('QryDayBorrow1', 'Rcode', '读者编号', 8, 80, 0, 1),
  ('QryDayBorrow1', 'RName', '读者姓名', 9, 80, 0, 1),
  ('QryDayBorrow1', 'State', '状态', 10, 50, 0, 1),
  ('QryDayBorrow1', 'BorrowDate', '借书日期', 11, 85, 0, 1),
  ('QryDayBorrow1', 'ReturnDate', '还书日期', 12, 85, 0, 1),
  ('QryDayBorrow1', 'ExceedDay', '逾期天数', 13, 60, 0, 1),
  ('QryDayBorrow1', 'ExceedFund', '罚款金额', 14, 70, 0, 1),
  ('QryDayBorrow1', 'IsPay', '已交罚款', 15, 60, 0, 1),
  ('QryDayBorrow1', 'Operator', '操作员', 16, 70, 0, 1);

INSERT INTO TableStructure (TableCode, ColumnsCode, ColumnsName, TableOrder, ColumnsLength, IsKey, IsVisible) VALUES
  ('QryDayLent1', 'Code', '期刊编号', 1, 100, 0, 1),
  ('QryDayLent1', 'BName', '刊名', 2, 160, 0, 1),
  ('QryDayLent1', 'Orderyear', '年度', 3, 50, 0, 1),
  ('QryDayLent1', 'PeriodNo', '期号', 4, 50, 0, 1),
  ('QryDayLent1', 'ZPeriodNo', '总期号', 5, 60, 0, 1),
  ('QryDayLent1', 'PeriodSt', '缺期', 6, 80, 0, 1),
  ('QryDayLent1', 'Publisher', '出版社', 7, 120, 0, 1),
  ('QryDayLent1', 'Rcode', '读者编号', 8, 80, 0, 1),
  ('QryDayLent1', 'RName', '读者姓名', 9, 80, 0, 1),
  ('QryDayLent1', 'State', '状态', 10, 50, 0, 1),
  ('QryDayLent1', 'BorrowDate', '借书日期', 11, 85, 0, 1),
  ('QryDayLent1', 'ReturnDate', '还书日期', 12, 85, 0, 1),
  ('QryDayLent1', 'ExceedDay', '逾期天数', 13, 60, 0, 1),
  ('QryDayLent1', 'ExceedFund', '罚款金额', 14, 70, 0, 1),
  ('QryDayLent1', 'IsPay', '已交罚款', 15, 60, 0, 1),
  ('QryDayLent1', 'Operator', '操作员', 16, 70, 0, 1);

INSERT INTO TableStructure (TableCode, ColumnsCode, ColumnsName, TableOrder, ColumnsLength, IsKey, IsVisible) VALUES
  ('QryBorrowList', 'Code', '图书编号', 1, 100, 0, 1),
  ('QryBorrowList', 'BName', '书名', 2, 180, 0, 1),
  ('QryBorrowList', 'Rcode', '读者编号', 3, 80, 0, 1),
  ('QryBorrowList', 'RName', '读者姓名', 4, 80, 0, 1),
  ('QryBorrowList', 'State', '状态', 5, 50, 0, 1),
  ('QryBorrowList', 'BorrowDate', '借书日期', 6, 85, 0, 1),
  ('QryBorrowList', 'ReturnDate', '还书日期', 7, 85, 0, 1),
  ('QryBorrowList', 'RenewDate', '续借日期', 8, 85, 0, 1),
  ('QryBorrowList', 'RenewTimes', '续借次数', 9, 60, 0, 1),
  ('QryBorrowList', 'ExceedDay', '逾期天数', 10, 60, 0, 1),
  ('QryBorrowList', 'ExceedFund', '罚款金额', 11, 70, 0, 1),
  ('QryBorrowList', 'IsPay', '已交罚款', 12, 60, 0, 1),
  ('QryBorrowList', 'CodeSet', '卷册号', 13, 60, 0, 1),
  ('QryBorrowList', 'Operator', '操作员', 14, 70, 0, 1),
  ('QryBorrowList', 'Department', '部门', 15, 90, 0, 1),
  ('QryBorrowList', 'TelDay', '电话(日)', 16, 100, 0, 1),
  ('QryBorrowList', 'HandTel', '手机', 17, 100, 0, 1);

INSERT INTO TableStructure (TableCode, ColumnsCode, ColumnsName, TableOrder, ColumnsLength, IsKey, IsVisible) VALUES
  ('QryBorrowList1', 'Code', '期刊编号', 1, 100, 0, 1),
  ('QryBorrowList1', 'BName', '刊名', 2, 160, 0, 1),
  ('QryBorrowList1', 'Orderyear', '年度', 3, 50, 0, 1),
  ('QryBorrowList1', 'PeriodNo', '期号', 4, 50, 0, 1),
  ('QryBorrowList1', 'ZPeriodNo', '总期号', 5, 60, 0, 1),
  ('QryBorrowList1', 'PeriodSt', '缺期', 6, 80, 0, 1),
  ('QryBorrowList1', 'Publisher', '出版社', 7, 120, 0, 1),
  ('QryBorrowList1', 'Rcode', '读者编号', 8, 80, 0, 1),
  ('QryBorrowList1', 'RName', '读者姓名', 9, 80, 0, 1),
  ('QryBorrowList1', 'State', '状态', 10, 50, 0, 1),
  ('QryBorrowList1', 'BorrowDate', '借书日期', 11, 85, 0, 1),
  ('QryBorrowList1', 'ReturnDate', '还书日期', 12, 85, 0, 1),
  ('QryBorrowList1', 'ExceedDay', '逾期天数', 13, 60, 0, 1),
  ('QryBorrowList1', 'ExceedFund', '罚款金额', 14, 70, 0, 1),
  ('QryBorrowList1', 'IsPay', '已交罚款', 15, 60, 0, 1),
  ('QryBorrowList1', 'Operator', '操作员', 16, 70, 0, 1),
  ('QryBorrowList1', 'Department', '部门', 17, 90, 0, 1),
  ('QryBorrowList1', 'TelDay', '电话(日)', 18, 100, 0, 1),
  ('QryBorrowList1', 'HandTel', '手机', 19, 100, 0, 1);

INSERT INTO TableStructure (TableCode, ColumnsCode, ColumnsName, TableOrder, ColumnsLength, IsKey, IsVisible) VALUES
  ('QryDayIn', 'Code', '图书编号', 1, 100, 0, 1),
  ('QryDayIn', 'Name', '中文名称', 2, 180, 0, 1),
  ('QryDayIn', 'YName', '原文名称', 3, 140, 0, 1),
  ('QryDayIn', 'CodeSet', '卷册号', 4, 60, 0, 1),
  ('QryDayIn', 'SortCode', '分类号', 5, 80, 0, 1),
  ('QryDayIn', 'Publisher', '出版社', 6, 140, 0, 1),
  ('QryDayIn', 'Writer', '作者', 7, 90, 0, 1),
  ('QryDayIn', 'BookPrice', '价格', 8, 70, 0, 1),
  ('QryDayIn', 'AvePrice', '成本价', 9, 70, 0, 1),
  ('QryDayIn', 'BookPage', '页码', 10, 50, 0, 1),
  ('QryDayIn', 'BookIsbn', 'ISBN号', 11, 110, 0, 1),
  ('QryDayIn', 'Supplier', '供应商', 12, 120, 0, 1),
  ('QryDayIn', 'RegDate', '登记日期', 13, 85, 0, 1),
  ('QryDayIn', 'Scode', '索书号', 14, 100, 0, 1),
  ('QryDayIn', 'PubDate', '出版日期', 15, 80, 0, 1),
  ('QryDayIn', 'Remarks', '内容简介', 16, 200, 0, 1);

INSERT INTO TableStructure (TableCode, ColumnsCode, ColumnsName, TableOrder, ColumnsLength, IsKey, IsVisible) VALUES
  ('QryDayIn1', 'Code', '期刊编号', 1, 100, 0, 1),
  ('QryDayIn1', 'Name', '名称', 2, 180, 0, 1),
  ('QryDayIn1', 'Orderyear', '年度', 3, 50, 0, 1),
  ('QryDayIn1', 'PeriodNo', '期号', 4, 50, 0, 1),
  ('QryDayIn1', 'ZPeriodNo', '总期号', 5, 60, 0, 1),
  ('QryDayIn1', 'PeriodSt', '缺期', 6, 80, 0, 1),
  ('QryDayIn1', 'SortCode', '分类号', 7, 80, 0, 1),
  ('QryDayIn1', 'Publisher', '出版社', 8, 140, 0, 1),
  ('QryDayIn1', 'PubDate', '出版日期', 9, 85, 0, 1),
  ('QryDayIn1', 'Writer', '编辑部', 10, 120, 0, 1),
  ('QryDayIn1', 'BookPrice', '价格', 11, 70, 0, 1),
  ('QryDayIn1', 'AvePrice', '成本价', 12, 70, 0, 1),
  ('QryDayIn1', 'BookPage', '页码', 13, 50, 0, 1),
  ('QryDayIn1', 'BookIsbn', 'ISSN号', 14, 100, 0, 1),
  ('QryDayIn1', 'Supplier', '供应商', 15, 120, 0, 1),
  ('QryDayIn1', 'RegDate', '登记日期', 16, 85, 0, 1),
  ('QryDayIn1', 'Scode', '索刊号', 17, 100, 0, 1),
  ('QryDayIn1', 'PubNo', '统一刊号', 18, 90, 0, 1),
  ('QryDayIn1', 'Pubfreq', '出版周期', 19, 60, 0, 1),
  ('QryDayIn1', 'Remarks', '目录', 20, 200, 0, 1);

INSERT INTO TableStructure (TableCode, ColumnsCode, ColumnsName, TableOrder, ColumnsLength, IsKey, IsVisible) VALUES
  ('QryDayReject', 'Code', '图书编号', 1, 100, 0, 1),
  ('QryDayReject', 'BName', '书名', 2, 180, 0, 1),
  ('QryDayReject', 'YName', '原文名称', 3, 140, 0, 1),
  ('QryDayReject', 'CodeSet', '卷册号', 4, 60, 0, 1),
  ('QryDayReject', 'Sortcode', '分类号', 5, 80, 0, 1),
  ('QryDayReject', 'Publisher', '出版社', 6, 140, 0, 1),
  ('QryDayReject', 'Writer', '作者', 7, 90, 0, 1),
  ('QryDayReject', 'Translator', '译者', 8, 80, 0, 1),
  ('QryDayReject', 'BookIsbn', 'ISBN号', 9, 110, 0, 1),
  ('QryDayReject', 'RCode', '读者编号', 10, 80, 0, 1),
  ('QryDayReject', 'RName', '读者姓名', 11, 80, 0, 1),
  ('QryDayReject', 'RSortcode', '读者类别', 12, 80, 0, 1),
  ('QryDayReject', 'RejectDate', '报废日期', 13, 85, 0, 1),
  ('QryDayReject', 'Finesum', '报废金额', 14, 70, 0, 1),
  ('QryDayReject', 'Remarks', '备注', 15, 160, 0, 1);

INSERT INTO TableStructure (TableCode, ColumnsCode, ColumnsName, TableOrder, ColumnsLength, IsKey, IsVisible) VALUES
  ('QryDayReject1', 'Code', '期刊编号', 1, 100, 0, 1),
  ('QryDayReject1', 'BName', '刊名', 2, 180, 0, 1),
  ('QryDayReject1', 'Orderyear', '年度', 3, 50, 0, 1),
  ('QryDayReject1', 'PeriodNo', '期号', 4, 50, 0, 1),
  ('QryDayReject1', 'ZPeriodNo', '总期号', 5, 60, 0, 1),
  ('QryDayReject1', 'Sortcode', '分类号', 6, 80, 0, 1),
  ('QryDayReject1', 'Publisher', '出版社', 7, 140, 0, 1),
  ('QryDayReject1', 'Writer', '编辑部', 8, 120, 0, 1),
  ('QryDayReject1', 'BookIsbn', 'ISSN号', 9, 100, 0, 1),
  ('QryDayReject1', 'RCode', '读者编号', 10, 80, 0, 1),
  ('QryDayReject1', 'RName', '读者姓名', 11, 80, 0, 1),
  ('QryDayReject1', 'RSortcode', '读者类别', 12, 80, 0, 1),
  ('QryDayReject1', 'RejectDate', '报废日期', 13, 85, 0, 1),
  ('QryDayReject1', 'Finesum', '报废金额', 14, 70, 0, 1),
  ('QryDayReject1', 'Remarks', '备注', 15, 160, 0, 1);

INSERT INTO TableStructure (TableCode, ColumnsCode, ColumnsName, TableOrder, ColumnsLength, IsKey, IsVisible) VALUES
  ('QryBorrowOrder', 'OrderId', '名次', 1, 50, 0, 1),
  ('QryBorrowOrder', 'Code', '读者编号', 2, 90, 0, 1),
  ('QryBorrowOrder', 'Name', '读者姓名', 3, 80, 0, 1),
  ('QryBorrowOrder', 'SortCode', '读者类别', 4, 80, 0, 1),
  ('QryBorrowOrder', 'BorrowQty', '借阅本数', 5, 70, 0, 1),
  ('QryBorrowOrder', 'BookQty', '未还本数', 6, 70, 0, 1),
  ('QryBorrowOrder', 'Overdue', '逾期次数', 7, 70, 0, 1),
  ('QryBorrowOrder', 'BorrowDate', '最后借阅', 8, 85, 0, 1);

INSERT INTO TableStructure (TableCode, ColumnsCode, ColumnsName, TableOrder, ColumnsLength, IsKey, IsVisible) VALUES
  ('QryBorrowOrderq', 'OrderId', '名次', 1, 50, 0, 1),
  ('QryBorrowOrderq', 'Code', '读者编号', 2, 90, 0, 1),
  ('QryBorrowOrderq', 'Name', '读者姓名', 3, 80, 0, 1),
  ('QryBorrowOrderq', 'SortCode', '读者类别', 4, 80, 0, 1),
  ('QryBorrowOrderq', 'BorrowQty', '借阅本数', 5, 70, 0, 1),
  ('QryBorrowOrderq', 'BookQty1', '未还本数', 6, 70, 0, 1),
  ('QryBorrowOrderq', 'Overdue1', '逾期次数', 7, 70, 0, 1),
  ('QryBorrowOrderq', 'BorrowDate', '最后借阅', 8, 85, 0, 1);

INSERT INTO TableStructure (TableCode, ColumnsCode, ColumnsName, TableOrder, ColumnsLength, IsKey, IsVisible) VALUES
  ('QryBorrowOrder1', 'OrderId', '名次', 1, 50, 0, 1),
  ('QryBorrowOrder1', 'Code', '图书编号', 2, 100, 0, 1),
  ('QryBorrowOrder1', 'Name', '中文名称', 3, 180, 0, 1),
  ('QryBorrowOrder1', 'YName', '原文名称', 4, 140, 0, 1),
  ('QryBorrowOrder1', 'CodeSet', '卷册号', 5, 60, 0, 1),
  ('QryBorrowOrder1', 'SortCode', '分类号', 6, 80, 0, 1),
  ('QryBorrowOrder1', 'BookIsbn', 'ISBN号', 7, 110, 0, 1),
  ('QryBorrowOrder1', 'BorrowQty', '借阅次数', 8, 70, 0, 1),
  ('QryBorrowOrder1', 'Times', '累计借阅', 9, 70, 0, 1),
  ('QryBorrowOrder1', 'BorrowDate', '最后借出', 10, 85, 0, 1);

INSERT INTO TableStructure (TableCode, ColumnsCode, ColumnsName, TableOrder, ColumnsLength, IsKey, IsVisible) VALUES
  ('QryBorrowOrderq1', 'OrderId', '名次', 1, 50, 0, 1),
  ('QryBorrowOrderq1', 'Code', '期刊编号', 2, 100, 0, 1),
  ('QryBorrowOrderq1', 'Name', '名称', 3, 180, 0, 1),
  ('QryBorrowOrderq1', 'Orderyear', '年度', 4, 50, 0, 1),
  ('QryBorrowOrderq1', 'PeriodNo', '期号', 5, 50, 0, 1),
  ('QryBorrowOrderq1', 'ZPeriodNo', '总期号', 6, 60, 0, 1),
  ('QryBorrowOrderq1', 'PeriodSt', '缺期', 7, 80, 0, 1),
  ('QryBorrowOrderq1', 'BookIsbn', 'ISSN号', 8, 100, 0, 1),
  ('QryBorrowOrderq1', 'BorrowQty', '借阅次数', 9, 70, 0, 1),
  ('QryBorrowOrderq1', 'Times', '累计借阅', 10, 70, 0, 1),
  ('QryBorrowOrderq1', 'BorrowDate', '最后借出', 11, 85, 0, 1);

INSERT INTO TableStructure (TableCode, ColumnsCode, ColumnsName, TableOrder, ColumnsLength, IsKey, IsVisible) VALUES
  ('QryBorrowS', 'SortCode', '分类编号', 1, 97, 0, 1),
  ('QryBorrowS', 'SortName', '分类名称', 2, 168, 0, 1),
  ('QryBorrowS', 'BookQty', '借书数', 3, 111, 0, 1),
  ('QryBorrowS', 'BeQty', '已还数', 4, 103, 0, 1),
  ('QryBorrowS', 'NotQty', '未还数', 5, 103, 0, 1);

INSERT INTO TableStructure (TableCode, ColumnsCode, ColumnsName, TableOrder, ColumnsLength, IsKey, IsVisible) VALUES
  ('QryBorrowqS', 'SortCode', '分类编号', 1, 97, 0, 1),
  ('QryBorrowqS', 'SortName', '分类名称', 2, 168, 0, 1),
  ('QryBorrowqS', 'BookQty', '借书数', 3, 111, 0, 1),
  ('QryBorrowqS', 'BeQty', '已还数', 4, 103, 0, 1),
  ('QryBorrowqS', 'NotQty', '未还数', 5, 103, 0, 1);

INSERT INTO TableStructure (TableCode, ColumnsCode, ColumnsName, TableOrder, ColumnsLength, IsKey, IsVisible) VALUES
  ('QryBookDataS', 'SortCode', '分类编号', 1, 97, 0, 1),
  ('QryBookDataS', 'SortName', '分类名称', 2, 168, 0, 1),
  ('QryBookDataS', 'BookSum', '金额', 3, 132, 0, 1),
  ('QryBookDataS', 'BookQty', '册数', 4, 130, 0, 1);

INSERT INTO TableStructure (TableCode, ColumnsCode, ColumnsName, TableOrder, ColumnsLength, IsKey, IsVisible) VALUES
  ('QryMagzDataS', 'SortCode', '分类编号', 1, 97, 0, 1),
  ('QryMagzDataS', 'SortName', '分类名称', 2, 168, 0, 1),
  ('QryMagzDataS', 'BookSum', '金额', 3, 132, 0, 1),
  ('QryMagzDataS', 'BookQty', '册数', 4, 130, 0, 1);

INSERT INTO TableStructure (TableCode, ColumnsCode, ColumnsName, TableOrder, ColumnsLength, IsKey, IsVisible) VALUES
  ('Booksupplier', 'Code', '代理商', 1, 200, 1, 1);

INSERT INTO TableStructure (TableCode, ColumnsCode, ColumnsName, TableOrder, ColumnsLength, IsKey, IsVisible) VALUES
  ('Bookattch', 'Code', '附件', 1, 150, 1, 1);

INSERT INTO TableStructure (TableCode, ColumnsCode, ColumnsName, TableOrder, ColumnsLength, IsKey, IsVisible) VALUES
  ('Bookposi', 'Code', '架位', 1, 150, 1, 1);

INSERT INTO TableStructure (TableCode, ColumnsCode, ColumnsName, TableOrder, ColumnsLength, IsKey, IsVisible) VALUES
  ('Bookgrade', 'Code', '分级', 1, 150, 1, 1);

INSERT INTO TableStructure (TableCode, ColumnsCode, ColumnsName, TableOrder, ColumnsLength, IsKey, IsVisible) VALUES
  ('BookLang', 'Code', '语系', 1, 150, 1, 1);

INSERT INTO TableStructure (TableCode, ColumnsCode, ColumnsName, TableOrder, ColumnsLength, IsKey, IsVisible) VALUES
  ('BookPrint', 'Code', '印刷', 1, 150, 1, 1);

INSERT INTO TableStructure (TableCode, ColumnsCode, ColumnsName, TableOrder, ColumnsLength, IsKey, IsVisible) VALUES
  ('BookSize', 'Code', '尺寸', 1, 150, 1, 1);

INSERT INTO TableStructure (TableCode, ColumnsCode, ColumnsName, TableOrder, ColumnsLength, IsKey, IsVisible) VALUES
  ('Readerdept', 'Code', '部门', 1, 150, 1, 1);

INSERT INTO TableStructure (TableCode, ColumnsCode, ColumnsName, TableOrder, ColumnsLength, IsKey, IsVisible) VALUES
  ('ReaderAddr', 'Code', '地址', 1, 250, 1, 1);

INSERT INTO TableStructure (TableCode, ColumnsCode, ColumnsName, TableOrder, ColumnsLength, IsKey, IsVisible) VALUES
  ('BookRemark', 'Code', '备注', 1, 300, 1, 1);
