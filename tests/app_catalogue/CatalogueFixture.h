// A program folder of its own for each catalogue test: a fresh
// database made from db/*.sql under Data/, a "ConSQL.ini" with an empty
// Path, the executable's folder pointed at it, the data module open and the
// dialog seam scripted (anything unexpected fails the test).
#pragma once

#include "TestKit.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "support/ProgramFolder.h"
#include "support/TestNames.h"

class TDMData;

class CatalogueFixture : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Runs statements on the test database through a connection of its own.
    void Exec(const std::string& sql);
    // Every row of a query, columns joined by "|", rows in the query's order.
    std::vector<std::string> Rows(const std::string& sql);
    std::string Scalar(const std::string& sql);

    TSeamScript script;
    std::unique_ptr<TDMData> dm;
    std::unique_ptr<TestProgramFolder> folder_;
    std::string dir_;    // ends with "/"
    std::string dbFile_; // dir_ + "Data/ombry.dat"
};
