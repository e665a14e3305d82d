// The periodical twin; everything but the tables is uQryBorrowList's.
#include "uQryBorrowList1.h"
