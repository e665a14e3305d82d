// The periodical twin; everything but the tables is uQryBorrowOrder's.
#include "uQryBorrowOrderq.h"
