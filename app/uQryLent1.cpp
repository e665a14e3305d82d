// The periodical twin; everything but the tables is uQryLent's.
#include "uQryLent1.h"
