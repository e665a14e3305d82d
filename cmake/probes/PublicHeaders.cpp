// Compiled as a unit of app/: the platform's public headers are all it needs.
#include "ADODB.h"
#include "DBGrids.h"
#include "Forms.h"
#include "Jpeg.h"
#include "StdCtrls.h"

int probePublicHeaders() { return sizeof(TForm) > 0; }
