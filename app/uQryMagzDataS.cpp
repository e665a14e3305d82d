// The periodical twin; everything but the tables is uQryBookDataS's.
#include "uQryMagzDataS.h"
