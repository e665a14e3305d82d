// A program folder of its own for each test: a fresh database made from
// db/*.sql under Data/, a "ConSQL.ini" with an empty Path, and the
// executable's folder pointed at it. The data module and the main window
// are the test's to create.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "support/ProgramFolder.h"
#include "support/TestNames.h"

class CoreFixture : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Runs one statement on the test database outside the program's
    // connection (a fixture's own rows, or reading what the program wrote).
    void Exec(const std::string& sql);
    // The first column of the first row, as text ("" when none).
    std::string Scalar(const std::string& sql);
    void WriteIni(const std::string& text);

    std::unique_ptr<TestProgramFolder> folder_;
    std::string dir_;    // ends with "/"
    std::string dbFile_; // dir_ + "Data/ombry.dat"
};
