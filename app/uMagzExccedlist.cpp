// The periodical overdue list lives in uBookExccedlist.cpp: one window, two
// views.
#include "uMagzExccedlist.h"
