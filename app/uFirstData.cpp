// The book word lists; see uFirstData.h.
#include "uFirstData.h"

TFrmFirstData::TFrmFirstData(TComponent* AOwner)
    : TFrmWordList(AOwner, "FrmFirstData", "图书词库",
                   {{"SBtSupplier", "代理商", "Booksupplier", "代理商"},
                    {"SBtAttach", "附件", "Bookattch", "附件"},
                    {"SBtPosition", "架位", "Bookposi", "架位"},
                    {"SBtGrade", "分级", "Bookgrade", "分级"},
                    {"SBtLanguage", "语系", "BookLang", "语系"},
                    {"SbtPrint", "印刷", "BookPrint", "印刷"},
                    {"SbtSize", "尺寸", "BookSize", "尺寸"}}) {}
