-- The tables of the library database. Declared types carry the field kind the
-- data layer gives each column: TEXT(n) text of n characters, MEMO TEXT long
-- text, INTEGER/SMALLINT whole numbers, FLOAT numbers, CURRENCY money,
-- BOOLEAN 0/1, DATE 'yyyy-MM-dd' text, IMAGE pictures.
-- Text compares without regard to letter case (COLLATE NOCASE), as the
-- program's statements expect of codes, names and passwords. Long text is
-- declared "MEMO TEXT" so that SQLite keeps it as text: a remark such as
-- "00123" must not turn into the number 123.
-- Counters default to 0 because the program raises them with "x=x+1".

PRAGMA foreign_keys = OFF;

-- The database password the connection string carries; checked on open.
CREATE TABLE MSysPassword (
  Password TEXT
);

-- Operators and their rights.
CREATE TABLE SystemUser (
  UseCode   TEXT(20) COLLATE NOCASE PRIMARY KEY,
  UseName   TEXT(20) COLLATE NOCASE,
  Duty      TEXT(10) COLLATE NOCASE,
  Passwords TEXT(20) COLLATE NOCASE
);

CREATE TABLE UserModule (
  Usecode  TEXT(20) COLLATE NOCASE,
  ModuleId INTEGER,
  Ifcheck  BOOLEAN DEFAULT 0
);
CREATE INDEX UserModule_Usecode ON UserModule (Usecode, ModuleId);

-- The library settings: one row, inserted by the main window on first start.
CREATE TABLE AcctInfo (
  Id        INTEGER PRIMARY KEY AUTOINCREMENT,
  CorpName  TEXT(100) COLLATE NOCASE,
  Tel       TEXT(20) COLLATE NOCASE,
  Fax       TEXT(20) COLLATE NOCASE,
  Addr      TEXT(200) COLLATE NOCASE,
  Remarks   TEXT(200) COLLATE NOCASE,
  IfFine    BOOLEAN DEFAULT 0,
  IfExcced  BOOLEAN DEFAULT 0,
  Ifrepeat  BOOLEAN DEFAULT 0,
  PerFine   CURRENCY DEFAULT 0,
  PerFine1  FLOAT DEFAULT 0,
  -- 30 is also the value the first start uses before the row exists.
  InDay     INTEGER DEFAULT 30,
  Rcardmemo MEMO TEXT COLLATE NOCASE
);

-- Grid layouts.
CREATE TABLE TableStructure (
  Id            INTEGER PRIMARY KEY AUTOINCREMENT,
  TableCode     TEXT(20) COLLATE NOCASE,
  ColumnsCode   TEXT(30) COLLATE NOCASE,
  ColumnsName   TEXT(20) COLLATE NOCASE,
  TableOrder    SMALLINT DEFAULT 0,
  ColumnsLength SMALLINT DEFAULT 0,
  IsKey         BOOLEAN DEFAULT 0,
  IsVisible     BOOLEAN DEFAULT 0
);
CREATE INDEX TableStructure_TableCode ON TableStructure (TableCode, TableOrder);

CREATE TABLE ModuleTable (
  ModuleCode TEXT(50) COLLATE NOCASE PRIMARY KEY,
  TableCode  TEXT(20) COLLATE NOCASE
);

-- Classification: sKey is the parent's key followed by four digits.
CREATE TABLE Type (
  sKey      TEXT(50) COLLATE NOCASE PRIMARY KEY,
  ParentKey TEXT(50) COLLATE NOCASE,
  SortCode  TEXT(20) COLLATE NOCASE,
  SortName  TEXT(100) COLLATE NOCASE
);
CREATE INDEX Type_ParentKey ON Type (ParentKey);
CREATE INDEX Type_SortCode ON Type (SortCode);

-- Book copies. Code is the barcode, by which circulation finds the copy:
-- unique (without regard to case, as the column compares). A database made
-- before this held duplicates gets the constraint when it opens without
-- any (SchemaUpgrade.h).
CREATE TABLE Bookinfo (
  Id         INTEGER PRIMARY KEY AUTOINCREMENT,
  Code       TEXT(30) COLLATE NOCASE,
  CodeSet    TEXT(20) COLLATE NOCASE,
  BookIsbn   TEXT(20) COLLATE NOCASE,
  SortCode   TEXT(20) COLLATE NOCASE,
  SortNum    TEXT(30) COLLATE NOCASE,
  Scode      TEXT(20) COLLATE NOCASE,
  Name       TEXT(100) COLLATE NOCASE,
  YName      TEXT(100) COLLATE NOCASE,
  Publisher  TEXT(100) COLLATE NOCASE,
  Writer     TEXT(30) COLLATE NOCASE,
  Translator TEXT(50) COLLATE NOCASE,
  PubDate    TEXT(20) COLLATE NOCASE,
  PubNum     TEXT(50) COLLATE NOCASE,
  BookPage   TEXT(20) COLLATE NOCASE,
  BookPrice  FLOAT,
  AvePrice   FLOAT,
  Supplier   TEXT(100) COLLATE NOCASE,
  RegDate    DATE,
  BookPosi   TEXT(30) COLLATE NOCASE,
  language   TEXT(20) COLLATE NOCASE,
  Print      TEXT(20) COLLATE NOCASE,
  Size       TEXT(20) COLLATE NOCASE,
  Grade      TEXT(20) COLLATE NOCASE,
  Attach     TEXT(20) COLLATE NOCASE,
  IsLimit    TEXT(10) COLLATE NOCASE,
  IsOut      TEXT(10) COLLATE NOCASE,
  Borrowman  TEXT(50) COLLATE NOCASE,
  BorrowDate DATE,
  Times      INTEGER DEFAULT 0,
  Remarks    MEMO TEXT COLLATE NOCASE,
  Remarks1   MEMO TEXT COLLATE NOCASE,
  Py         TEXT(50) COLLATE NOCASE,
  Wb         TEXT(50) COLLATE NOCASE,
  Wbh        TEXT(50) COLLATE NOCASE
);
CREATE UNIQUE INDEX Bookinfo_Code ON Bookinfo (Code);
CREATE INDEX Bookinfo_SortCode ON Bookinfo (SortCode);
CREATE INDEX Bookinfo_Scode ON Bookinfo (Scode);
CREATE INDEX Bookinfo_RegDate ON Bookinfo (RegDate);
CREATE INDEX Bookinfo_Py ON Bookinfo (Py);
CREATE INDEX Bookinfo_Wb ON Bookinfo (Wb);
CREATE INDEX Bookinfo_Wbh ON Bookinfo (Wbh);
CREATE INDEX Bookinfo_BookIsbn ON Bookinfo (BookIsbn);

-- Pre-catalogued books: the bibliographic columns of Bookinfo.
CREATE TABLE BookinfoPre (
  Id         INTEGER PRIMARY KEY AUTOINCREMENT,
  Name       TEXT(100) COLLATE NOCASE,
  YName      TEXT(100) COLLATE NOCASE,
  CodeSet    TEXT(20) COLLATE NOCASE,
  Scode      TEXT(20) COLLATE NOCASE,
  SortCode   TEXT(20) COLLATE NOCASE,
  SortNum    TEXT(30) COLLATE NOCASE,
  Publisher  TEXT(100) COLLATE NOCASE,
  Writer     TEXT(30) COLLATE NOCASE,
  Translator TEXT(50) COLLATE NOCASE,
  PubDate    TEXT(20) COLLATE NOCASE,
  PubNum     TEXT(50) COLLATE NOCASE,
  BookPage   TEXT(20) COLLATE NOCASE,
  BookPrice  FLOAT,
  AvePrice   FLOAT,
  BookIsbn   TEXT(20) COLLATE NOCASE,
  Supplier   TEXT(100) COLLATE NOCASE,
  RegDate    DATE,
  BookPosi   TEXT(30) COLLATE NOCASE,
  language   TEXT(20) COLLATE NOCASE,
  Print      TEXT(20) COLLATE NOCASE,
  Size       TEXT(20) COLLATE NOCASE,
  Grade      TEXT(20) COLLATE NOCASE,
  Attach     TEXT(20) COLLATE NOCASE,
  IsLimit    TEXT(10) COLLATE NOCASE,
  Remarks    MEMO TEXT COLLATE NOCASE,
  Remarks1   MEMO TEXT COLLATE NOCASE,
  Py         TEXT(50) COLLATE NOCASE,
  Wb         TEXT(50) COLLATE NOCASE,
  Wbh        TEXT(50) COLLATE NOCASE
);
CREATE INDEX BookinfoPre_Name ON BookinfoPre (Name);
CREATE INDEX BookinfoPre_BookIsbn ON BookinfoPre (BookIsbn);

-- Periodical copies; Code is unique as in Bookinfo.
CREATE TABLE Magzinfo (
  Id         INTEGER PRIMARY KEY AUTOINCREMENT,
  Code       TEXT(30) COLLATE NOCASE,
  BookIsbn   TEXT(20) COLLATE NOCASE,
  PubNo      TEXT(50) COLLATE NOCASE,
  PostNo     TEXT(20) COLLATE NOCASE,
  SortCode   TEXT(20) COLLATE NOCASE,
  SortNum    TEXT(30) COLLATE NOCASE,
  Scode      TEXT(20) COLLATE NOCASE,
  Name       TEXT(100) COLLATE NOCASE,
  Writer     TEXT(30) COLLATE NOCASE,
  Pubfreq    TEXT(20) COLLATE NOCASE,
  Orderyear  TEXT(4) COLLATE NOCASE,
  PeriodNo   TEXT(10) COLLATE NOCASE,
  ZPeriodNo  TEXT(10) COLLATE NOCASE,
  PeriodSt   TEXT(30) COLLATE NOCASE,
  IsNew      BOOLEAN DEFAULT 0,
  Publisher  TEXT(100) COLLATE NOCASE,
  PubDate    DATE,
  BookPrice  FLOAT,
  AvePrice   FLOAT,
  BookPage   TEXT(20) COLLATE NOCASE,
  Supplier   TEXT(100) COLLATE NOCASE,
  RegDate    DATE,
  BookPosi   TEXT(30) COLLATE NOCASE,
  language   TEXT(20) COLLATE NOCASE,
  Print      TEXT(20) COLLATE NOCASE,
  Size       TEXT(20) COLLATE NOCASE,
  Grade      TEXT(20) COLLATE NOCASE,
  Attach     TEXT(20) COLLATE NOCASE,
  IsLimit    TEXT(10) COLLATE NOCASE,
  IsOut      TEXT(10) COLLATE NOCASE,
  Borrowman  TEXT(50) COLLATE NOCASE,
  BorrowDate DATE,
  Times      INTEGER DEFAULT 0,
  Remarks    MEMO TEXT COLLATE NOCASE,
  Py         TEXT(50) COLLATE NOCASE,
  Wb         TEXT(50) COLLATE NOCASE,
  Wbh        TEXT(50) COLLATE NOCASE
);
CREATE UNIQUE INDEX Magzinfo_Code ON Magzinfo (Code);
CREATE INDEX Magzinfo_SortCode ON Magzinfo (SortCode);
CREATE INDEX Magzinfo_Scode ON Magzinfo (Scode);
CREATE INDEX Magzinfo_RegDate ON Magzinfo (RegDate);
CREATE INDEX Magzinfo_Py ON Magzinfo (Py);
CREATE INDEX Magzinfo_Wb ON Magzinfo (Wb);
CREATE INDEX Magzinfo_Wbh ON Magzinfo (Wbh);
CREATE INDEX Magzinfo_BookIsbn ON Magzinfo (BookIsbn);

-- Readers and reader types.
CREATE TABLE Readerinfo (
  Code       TEXT(20) COLLATE NOCASE PRIMARY KEY,
  Name       TEXT(20) COLLATE NOCASE,
  Sax        TEXT(4) COLLATE NOCASE,
  SortCode   TEXT(20) COLLATE NOCASE,
  CardId     TEXT(20) COLLATE NOCASE,
  BornDate   TEXT(20) COLLATE NOCASE,
  Department TEXT(20) COLLATE NOCASE,
  RegDate    DATE,
  TelDay     TEXT(30) COLLATE NOCASE,
  TelNight   TEXT(30) COLLATE NOCASE,
  HandTel    TEXT(30) COLLATE NOCASE,
  E_mail     TEXT(100) COLLATE NOCASE,
  Addr       TEXT(100) COLLATE NOCASE,
  Remarks    TEXT(200) COLLATE NOCASE,
  DepoSum    FLOAT,
  Isstop     BOOLEAN DEFAULT 0,
  BookQty    INTEGER DEFAULT 0,
  Times      INTEGER DEFAULT 0,
  Overdue    INTEGER DEFAULT 0,
  BookQty1   INTEGER DEFAULT 0,
  Times1     INTEGER DEFAULT 0,
  Overdue1   INTEGER DEFAULT 0,
  BorrowDate DATE,
  Py         TEXT(50) COLLATE NOCASE,
  Wb         TEXT(50) COLLATE NOCASE,
  Wbh        TEXT(50) COLLATE NOCASE,
  Photo      TEXT(150) COLLATE NOCASE,
  PhotoBmp   IMAGE
);
CREATE INDEX Readerinfo_SortCode ON Readerinfo (SortCode);
CREATE INDEX Readerinfo_Department ON Readerinfo (Department);
CREATE INDEX Readerinfo_Py ON Readerinfo (Py);
CREATE INDEX Readerinfo_Wb ON Readerinfo (Wb);
CREATE INDEX Readerinfo_Wbh ON Readerinfo (Wbh);

CREATE TABLE ReaderType (
  Code      TEXT(20) COLLATE NOCASE PRIMARY KEY,
  CeQty     SMALLINT DEFAULT 0,
  LimitDay  INTEGER DEFAULT 0,
  RenewTime SMALLINT DEFAULT 0,
  IsLimit   BOOLEAN DEFAULT 0,
  CeQty1    INTEGER DEFAULT 0,
  LimitDay1 INTEGER DEFAULT 0,
  IsLimit1  BOOLEAN DEFAULT 0
);

-- Loans and reservations: books and periodicals.
CREATE TABLE Borrowinfo (
  Id         INTEGER PRIMARY KEY AUTOINCREMENT,
  Code       TEXT(30) COLLATE NOCASE,
  Rcode      TEXT(20) COLLATE NOCASE,
  State      TEXT(4) COLLATE NOCASE,
  BorrowDate DATE,
  ReturnDate DATE,
  RenewDate  DATE,
  RenewTimes INTEGER DEFAULT 0,
  ExceedDay  FLOAT DEFAULT 0,
  ExceedFund CURRENCY DEFAULT 0,
  IsPay      BOOLEAN DEFAULT 0,
  Operator   TEXT(20) COLLATE NOCASE
);
CREATE INDEX Borrowinfo_Code ON Borrowinfo (Code, State);
CREATE INDEX Borrowinfo_Rcode ON Borrowinfo (Rcode, State);
CREATE INDEX Borrowinfo_State ON Borrowinfo (State, ReturnDate);
CREATE INDEX Borrowinfo_BorrowDate ON Borrowinfo (BorrowDate);

CREATE TABLE Borrowinfo1 (
  Id         INTEGER PRIMARY KEY AUTOINCREMENT,
  Code       TEXT(30) COLLATE NOCASE,
  Rcode      TEXT(20) COLLATE NOCASE,
  State      TEXT(4) COLLATE NOCASE,
  BorrowDate DATE,
  ReturnDate DATE,
  RenewDate  DATE,
  RenewTimes INTEGER DEFAULT 0,
  ExceedDay  FLOAT DEFAULT 0,
  ExceedFund CURRENCY DEFAULT 0,
  IsPay      BOOLEAN DEFAULT 0,
  Operator   TEXT(20) COLLATE NOCASE
);
CREATE INDEX Borrowinfo1_Code ON Borrowinfo1 (Code, State);
CREATE INDEX Borrowinfo1_Rcode ON Borrowinfo1 (Rcode, State);
CREATE INDEX Borrowinfo1_State ON Borrowinfo1 (State, ReturnDate);
CREATE INDEX Borrowinfo1_BorrowDate ON Borrowinfo1 (BorrowDate);

-- Write-offs. Several rows per copy are possible and have no key of their
-- own: the data layer addresses them by rowid.
CREATE TABLE BookReject (
  Code       TEXT(30) COLLATE NOCASE,
  RCode      TEXT(20) COLLATE NOCASE,
  RejectDate DATE,
  Finesum    CURRENCY DEFAULT 0,
  Remarks    TEXT(200) COLLATE NOCASE
);
CREATE INDEX BookReject_Code ON BookReject (Code);
CREATE INDEX BookReject_RejectDate ON BookReject (RejectDate);

CREATE TABLE MagzReject (
  Code       TEXT(30) COLLATE NOCASE,
  RCode      TEXT(20) COLLATE NOCASE,
  RejectDate DATE,
  Finesum    CURRENCY DEFAULT 0,
  Remarks    TEXT(200) COLLATE NOCASE
);
CREATE INDEX MagzReject_Code ON MagzReject (Code);
CREATE INDEX MagzReject_RejectDate ON MagzReject (RejectDate);

-- Book orders and periodical subscriptions.
CREATE TABLE Bookshort (
  Code       TEXT(30) COLLATE NOCASE PRIMARY KEY,
  BookIsbn   TEXT(20) COLLATE NOCASE,
  Name       TEXT(100) COLLATE NOCASE,
  YName      TEXT(100) COLLATE NOCASE,
  Sortcode   TEXT(20) COLLATE NOCASE,
  Publisher  TEXT(100) COLLATE NOCASE,
  Writer     TEXT(30) COLLATE NOCASE,
  Translator TEXT(50) COLLATE NOCASE,
  Tel        TEXT(50) COLLATE NOCASE,
  LinkMan    TEXT(20) COLLATE NOCASE,
  Addr       TEXT(200) COLLATE NOCASE,
  BankNo     TEXT(30) COLLATE NOCASE,
  Bank       TEXT(30) COLLATE NOCASE,
  Language   TEXT(20) COLLATE NOCASE,
  RegDate    DATE,
  BookPrice  CURRENCY DEFAULT 0,
  RegQty     INTEGER DEFAULT 0,
  BeBuy      INTEGER DEFAULT 0,
  BookSum    FLOAT DEFAULT 0,
  Remarks    MEMO TEXT COLLATE NOCASE
);
CREATE INDEX Bookshort_Name ON Bookshort (Name);
CREATE INDEX Bookshort_BookIsbn ON Bookshort (BookIsbn);

CREATE TABLE MagzOrder (
  Code        TEXT(30) COLLATE NOCASE PRIMARY KEY,
  BookIsbn    TEXT(20) COLLATE NOCASE,
  PubNo       TEXT(50) COLLATE NOCASE,
  PostNo      TEXT(20) COLLATE NOCASE,
  Name        TEXT(100) COLLATE NOCASE,
  Sortcode    TEXT(20) COLLATE NOCASE,
  Writer      TEXT(30) COLLATE NOCASE,
  Pubfreq     TEXT(20) COLLATE NOCASE,
  OrderPeriod TEXT(30) COLLATE NOCASE,
  StartYear   TEXT(4) COLLATE NOCASE,
  Tel         TEXT(50) COLLATE NOCASE,
  LinkMan     TEXT(20) COLLATE NOCASE,
  Addr        TEXT(200) COLLATE NOCASE,
  BankNo      TEXT(30) COLLATE NOCASE,
  Bank        TEXT(30) COLLATE NOCASE,
  Publisher   TEXT(100) COLLATE NOCASE,
  Language    TEXT(20) COLLATE NOCASE,
  RegDate     DATE,
  BookPrice   CURRENCY DEFAULT 0,
  RegQty      INTEGER DEFAULT 0,
  BeBuy       INTEGER DEFAULT 0,
  BookSum     FLOAT DEFAULT 0,
  Remarks     MEMO TEXT COLLATE NOCASE
);
CREATE INDEX MagzOrder_Name ON MagzOrder (Name);
CREATE INDEX MagzOrder_BookIsbn ON MagzOrder (BookIsbn);

-- Publishers: Code is the publisher's name, Isbn its ISBN prefix.
CREATE TABLE Bookpub (
  Code TEXT(50) COLLATE NOCASE PRIMARY KEY,
  Isbn TEXT(50) COLLATE NOCASE,
  PY   TEXT(50) COLLATE NOCASE,
  WB   TEXT(50) COLLATE NOCASE,
  WBH  TEXT(50) COLLATE NOCASE
);
CREATE INDEX Bookpub_Isbn ON Bookpub (Isbn);

-- Word lists offered by the editors' drop-down boxes.
CREATE TABLE Booksupplier (Code TEXT(100) COLLATE NOCASE PRIMARY KEY);
CREATE TABLE Bookattch    (Code TEXT(50) COLLATE NOCASE PRIMARY KEY);
CREATE TABLE Bookposi     (Code TEXT(30) COLLATE NOCASE PRIMARY KEY);
CREATE TABLE Bookgrade    (Code TEXT(20) COLLATE NOCASE PRIMARY KEY);
CREATE TABLE BookLang     (Code TEXT(20) COLLATE NOCASE PRIMARY KEY);
CREATE TABLE BookPrint    (Code TEXT(20) COLLATE NOCASE PRIMARY KEY);
CREATE TABLE BookSize     (Code TEXT(20) COLLATE NOCASE PRIMARY KEY);
CREATE TABLE BookRemark   (Code TEXT(200) COLLATE NOCASE PRIMARY KEY);
CREATE TABLE Readerdept   (Code TEXT(20) COLLATE NOCASE PRIMARY KEY);
CREATE TABLE ReaderAddr   (Code TEXT(100) COLLATE NOCASE PRIMARY KEY);
CREATE TABLE ReaderRemark (Code TEXT(200) COLLATE NOCASE PRIMARY KEY);
