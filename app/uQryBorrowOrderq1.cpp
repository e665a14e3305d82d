// The periodical twin; everything but the tables is uQryBorrowOrder1's.
#include "uQryBorrowOrderq1.h"
