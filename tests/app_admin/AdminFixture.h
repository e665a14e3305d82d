// A program folder of its own for each administration test (see
// AppDbFixture).
#pragma once

#include "support/AppDbFixture.h"
#include "support/TestNames.h"

class AdminFixture : public AppDbFixture {
protected:
    AdminFixture() : AppDbFixture("appadmin") {}
};
