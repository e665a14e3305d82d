// Must not compile as a unit of app/: the platform's private parts are
// for the platform and its own tests.
#include "Controls_p.h"

int probePrivateHeader() { return sizeof(TControlPrivate) > 0; }
