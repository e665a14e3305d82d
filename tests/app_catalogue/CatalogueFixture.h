// A program folder of its own for each catalogue test (see AppDbFixture).
#pragma once

#include "support/AppDbFixture.h"
#include "support/TestNames.h"

class CatalogueFixture : public AppDbFixture {
protected:
    CatalogueFixture() : AppDbFixture("appcatalogue") {}
};
