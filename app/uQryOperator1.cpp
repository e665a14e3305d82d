// The periodical twin; everything but the tables is uQryOperator's.
#include "uQryOperator1.h"
