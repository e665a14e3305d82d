// A program folder of its own for each query window test (see
// AppDbFixture), with the loans most of them share.
#pragma once

#include <string>
#include <vector>

#include "support/AppDbFixture.h"
#include "support/TestNames.h"

class TDataSet;

class QueryFixture : public AppDbFixture {
protected:
    QueryFixture() : AppDbFixture("appquery") {}

    // One field of every row of a data set, in its current order.
    static std::vector<std::string> Column(TDataSet* ds, const std::string& field);
    // Loans, readers, books and periodicals most tests share (business
    // date 2011-05-15).
    void LoanFixture();
};

// Printed output of the query windows: build/test-output/print/ (one folder
// per lane), listed in index.tsv with the grid library's columns.
std::string PrintDir();
// Sends the next printout to the built-in PDF printer as file name.
std::string PdfTarget(const std::string& name);
// The text of each page of a PDF (pdftotext).
std::vector<std::string> PdfPages(const std::string& pdf);
void ListInIndex(const std::string& file, const std::string& what, int pages, const std::string& everyPage);
