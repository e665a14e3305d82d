// The periodical twin; everything but the tables is uQryBorrowS's.
#include "uQryBorrowqS.h"
