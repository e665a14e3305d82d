// The per-test program folder; see CoreFixture.h.
#include "CoreFixture.h"

#include "ADODB.h"
#include "SysUtils.h"
#include "app/uDMData.h"
#include "app/uGlobal.h"

#include <memory>

void CoreFixture::SetUp() {
    folder_ = std::make_unique<TestProgramFolder>("appcore");
    dir_ = folder_->dir;
    dbFile_ = folder_->dbFile;
    DatabasePath.clear();
    OperatorCode.clear();
    OperatorName.clear();
}

void CoreFixture::TearDown() { folder_.reset(); }

void CoreFixture::WriteIni(const std::string& text) { AtomicWriteFile(dir_ + "ConSQL.ini", text); }

void CoreFixture::Exec(const std::string& sql) { folder_->Exec(sql); }

std::string CoreFixture::Scalar(const std::string& sql) { return folder_->Scalar(sql); }
