// The periodical fine window; everything but the tables is uReaderfine's.
#include "uReaderfine1.h"
