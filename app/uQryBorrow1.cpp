// The periodical loan query; everything but the tables is uQryBorrow's.
#include "uQryBorrow1.h"
