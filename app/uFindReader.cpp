// The reader lookup; see uFindReader.h.
#include "uFindReader.h"

TFrmFindReader::TFrmFindReader(TComponent* AOwner)
    : TFrmFindByModes(
          AOwner, "选择读者",
          {{"按编码查找", "code", "code like :prefix escape '\\'"},
           {"按姓名查找", "Name",
            "(Name like :part escape '\\') or (Py like :prefix escape '\\') or (Wb like :prefix escape '\\') or "
            "(Wbh like :prefix escape '\\')"},
           {"按部门查找", "Department", "Department like :part escape '\\'"}},
          {{"读者编号", "Code", 89},
           {"读者姓名", "Name", 99},
           {"电话(日)", "TelDay", 96},
           {"手机", "HandTel", 107},
           {"电话(夜)", "TelNight", 91},
           {"部门", "Department", 92}}) {
    SetName("FrmFindReader");
}

std::string TFrmFindReader::AllRowsSql() const { return "select * from Readerinfo  order by code"; }

std::string TFrmFindReader::SearchSql(const std::string& condition) const {
    return "select top 20 * from Readerinfo where " + condition + " order by code";
}
