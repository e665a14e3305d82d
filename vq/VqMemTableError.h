// The one exception of the in-memory table and its file formats. It is a
// database error, so callers that catch EDatabaseError around any data set
// catch the table's failures too; the texts are English.
#pragma once

#include "System.h"

class EMemTableError : public EDatabaseError {
public:
    using EDatabaseError::EDatabaseError;
};
