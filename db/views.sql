-- The saved queries the lists, queries and statistics read. Items and readers
-- are joined with LEFT JOIN: a loan or write-off whose copy or reader has
-- since been deleted or renamed still shows, with an empty name, instead of
-- vanishing from the lists (a write-off's reader is often empty).

-- Book loans and reservations with the copy's and the reader's details.
CREATE VIEW QryBorrow AS
SELECT a.Id, a.Code, b.Name AS BName, a.Rcode, c.Name AS RName, a.State,
       a.BorrowDate, a.ReturnDate, a.RenewDate, a.RenewTimes, a.ExceedDay,
       a.ExceedFund, a.IsPay, a.Operator, b.CodeSet, b.BookIsbn, b.SortCode,
       b.Publisher, b.Writer, b.BookPrice, c.Department, c.SortCode AS RSortcode,
       c.TelDay, c.TelNight, c.HandTel
FROM Borrowinfo a
LEFT JOIN Bookinfo b ON a.Code = b.Code
LEFT JOIN Readerinfo c ON a.Rcode = c.Code;

-- Periodical loans and reservations.
CREATE VIEW QryBorrow1 AS
SELECT a.Id, a.Code, b.Name AS BName, a.Rcode, c.Name AS RName, a.State,
       a.BorrowDate, a.ReturnDate, a.RenewDate, a.RenewTimes, a.ExceedDay,
       a.ExceedFund, a.IsPay, a.Operator, b.Orderyear, b.PeriodNo, b.ZPeriodNo,
       b.Writer, b.PeriodSt, b.Publisher, b.BookIsbn, b.SortCode, b.BookPrice,
       c.Department, c.SortCode AS RSortcode, c.TelDay, c.TelNight, c.HandTel
FROM Borrowinfo1 a
LEFT JOIN Magzinfo b ON a.Code = b.Code
LEFT JOIN Readerinfo c ON a.Rcode = c.Code;

-- Book write-offs. RejectId tells two write-offs of one copy apart (the
-- table has no key of its own), so an editor opens the row that was listed.
CREATE VIEW QryReject AS
SELECT r.rowid AS RejectId, r.Code, b.Name AS BName, b.YName, b.CodeSet, b.SortCode AS Sortcode,
       b.Publisher, b.Writer, b.BookIsbn, b.Translator, r.RCode, r.RejectDate,
       r.Finesum, r.Remarks, c.Name AS RName, c.SortCode AS RSortcode
FROM BookReject r
LEFT JOIN Bookinfo b ON r.Code = b.Code
LEFT JOIN Readerinfo c ON r.RCode = c.Code;

-- Periodical write-offs; RejectId names the write-off row itself, as one copy
-- may have several.
CREATE VIEW QryReject1 AS
SELECT r.Code, b.Name AS BName, b.Orderyear, b.PeriodNo, b.ZPeriodNo,
       b.SortCode AS Sortcode, b.Publisher, b.Writer, b.BookIsbn, r.RCode,
       r.RejectDate, r.Finesum, r.Remarks, c.Name AS RName,
       c.SortCode AS RSortcode, r.rowid AS RejectId
FROM MagzReject r
LEFT JOIN Magzinfo b ON r.Code = b.Code
LEFT JOIN Readerinfo c ON r.RCode = c.Code;

-- Loans per class key and loan day: all loans, returned, still out.
-- Reservations are not loans. A copy whose class code names no class has no
-- key and counts in no class.
CREATE VIEW QryBorrowSort AS
SELECT t.sKey AS sKey, a.BorrowDate AS BorrowDate, count(*) AS BookQty,
       sum(CASE WHEN a.State = '已还' THEN 1 ELSE 0 END) AS beQty,
       sum(CASE WHEN a.State = '未还' THEN 1 ELSE 0 END) AS NotQty
FROM Borrowinfo a
JOIN Bookinfo b ON a.Code = b.Code
JOIN Type t ON b.SortCode = t.SortCode
WHERE a.State IN ('已还', '未还')
GROUP BY t.sKey, a.BorrowDate;

CREATE VIEW QryBorrowqSort AS
SELECT t.sKey AS sKey, a.BorrowDate AS BorrowDate, count(*) AS BookQty,
       sum(CASE WHEN a.State = '已还' THEN 1 ELSE 0 END) AS beQty,
       sum(CASE WHEN a.State = '未还' THEN 1 ELSE 0 END) AS NotQty
FROM Borrowinfo1 a
JOIN Magzinfo b ON a.Code = b.Code
JOIN Type t ON b.SortCode = t.SortCode
WHERE a.State IN ('已还', '未还')
GROUP BY t.sKey, a.BorrowDate;

-- Holdings with the key of their class.
CREATE VIEW QryBookInfo AS
SELECT t.sKey AS sKey, b.Code, b.Name, b.SortCode, b.BookPrice, b.IsOut
FROM Bookinfo b
LEFT JOIN Type t ON b.SortCode = t.SortCode;

CREATE VIEW QryMagzInfo AS
SELECT t.sKey AS sKey, b.Code, b.Name, b.SortCode, b.BookPrice, b.IsOut
FROM Magzinfo b
LEFT JOIN Type t ON b.SortCode = t.SortCode;
