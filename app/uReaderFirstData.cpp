// The reader word lists; see uReaderFirstData.h.
#include "uReaderFirstData.h"

TFrmReaderFirstData::TFrmReaderFirstData(TComponent* AOwner)
    : TFrmWordList(AOwner, "FrmReaderFirstData", "读者词库",
                   {{"SBtDepartment", "部  门", "Readerdept", "部门"},
                    {"SBtAddr", "地  址", "ReaderAddr", "地址"},
                    {"SBtRemark", "备  注", "BookRemark", "备注"}}) {}
