// The periodical reservation list lives in uBookDest.cpp: one window, two
// sets of tables.
#include "uMagzDest.h"
