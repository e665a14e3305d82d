// How tests are named, and the two helpers that keep the names of
// parameterised tests readable and stable from run to run.
//
// The rule, in every folder under tests/:
//   - test suites are PascalCase nouns: the thing under test
//     (`Currency`, `BookDesk`, `VqMemTableFile`);
//   - test names are camelCase sentences of what must hold
//     (`Currency.roundsHalfToEven`, `BookDesk.returnByDoubleClickUsesFineSetting`);
//     a regression test is named after the fault it pins;
//   - rows of a TEST_P table carry a `name`, which becomes the last part of
//     the test name (`Rows/BookDeskRenewal.needs.../borrowerEarliest`):
//     camelCase, unless it is a name the code itself uses (a window, a
//     field type, a symbology).
//
// Without a printer GoogleTest shows a row as its raw bytes, and a row that
// holds `const char*` texts then shows string addresses that change with
// every run: ctest's names and the failure messages could not be followed
// from one run to the next. So every row type with a `name` member prints as
// that name, and INSTANTIATE_TEST_SUITE_P takes `RowName()` as its name
// generator.
//
//   struct FineRow { const char* name; int days; Currency perDay, expected; };
//   INSTANTIATE_TEST_SUITE_P(Rows, OverdueFine, ::testing::Values(FineRow{...}), RowName());
#pragma once

#include <gtest/gtest.h>

#include "support/TestNames.h"

#include <ostream>
#include <string>

// Found by argument-dependent lookup from GoogleTest's printer, for rows
// declared at namespace scope here and (through the using-declaration
// below) for rows in a test file's unnamed namespace.
template <class R>
requires requires(const R& r) { std::string(r.name); }
void PrintTo(const R& row, std::ostream* os) { *os << row.name; }

namespace {
using ::PrintTo;
} // namespace

// The name generator for a table of rows: the row's name.
struct RowName {
    template <class R>
    std::string operator()(const ::testing::TestParamInfo<R>& info) const {
        return std::string(info.param.name);
    }
};
