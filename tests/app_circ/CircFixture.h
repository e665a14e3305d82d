// A library of its own for each circulation test: a fresh database made
// from db/*.sql with a few reader types, readers, books and periodicals,
// the data module open on it, an operator and the business date
// 2025-03-10, and the dialog seam scripted. The desks are the test's.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "SysUtils.h"
#include "TestKit.h"
#include "support/ProgramFolder.h"

class TADOConnection;

// 2025-03-10 and days around it.
TDateTime Day(int offsetFromBusinessDate);

class CircFixture : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // A statement on the test database through a connection of its own.
    void Exec(const std::string& sql);
    // The first column of the first row as text ("" when none).
    std::string Scalar(const std::string& sql);
    int Count(const std::string& sql) { return StrToIntDef(Scalar(sql), -1); }
    // An open loan (State "未还") due `dueOffset` days from the business date.
    void Lend(const std::string& table, const std::string& code, const std::string& reader, int dueOffset,
              int renewTimes = 0);
    void Reserve(const std::string& table, const std::string& code, const std::string& reader, int dayOffset);
    TADOConnection* Conn();

    std::unique_ptr<TSeamScript> script_;
    std::unique_ptr<TestProgramFolder> folder_;
    std::string dir_;
    std::string dbFile_;
};

// A desk of class TDesk shown and active over the circulation library, with
// the reader and item boxes filled the way a scanner fills them.
template <class TDesk>
class DeskFixture : public CircFixture {
protected:
    void SetUp() override {
        CircFixture::SetUp();
        desk = new TDesk(Application);
        ShowAndActivate(desk);
    }
    void TearDown() override {
        delete desk;
        CircFixture::TearDown();
    }
    void Reader(const std::string& code) {
        SendText(desk->EditRCode, code);
        SendKey(desk->EditRCode, VK_RETURN);
    }
    void Scan(const std::string& code) {
        SendText(desk->EditBCode, code);
        SendKey(desk->EditBCode, VK_RETURN);
    }
    TDesk* desk = nullptr;
};
