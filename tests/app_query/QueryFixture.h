// A program folder of its own for each query window test: a fresh
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
class TDataSet;

class QueryFixture : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Runs statements on the test database through a connection of its own.
    void Exec(const std::string& sql);
    // Every row of a query, columns joined by "|", rows in the query's order.
    std::vector<std::string> Rows(const std::string& sql);
    std::string Scalar(const std::string& sql);
    // One field of every row of a data set, in its current order.
    static std::vector<std::string> Column(TDataSet* ds, const std::string& field);
    // Loans, readers, books and periodicals most tests share (business
    // date 2011-05-15).
    void LoanFixture();


    TSeamScript script;
    std::unique_ptr<TDMData> dm;
    std::unique_ptr<TestProgramFolder> folder_;
    std::string dir_;    // ends with "/"
    std::string dbFile_; // dir_ + "Data/ombry.dat"
};

// Printed output of the query windows: build/test-output/print/ (one folder
// per lane), listed in index.tsv with the grid library's columns.
std::string PrintDir();
// Sends the next printout to the built-in PDF printer as file name.
std::string PdfTarget(const std::string& name);
// The text of each page of a PDF (pdftotext).
std::vector<std::string> PdfPages(const std::string& pdf);
void ListInIndex(const std::string& file, const std::string& what, int pages, const std::string& everyPage);
