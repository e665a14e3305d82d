// The reader lookup; see uFindReader.h.
#include "uFindReader.h"

TFrmFindReader::TFrmFindReader(TComponent* AOwner)
    : TFrmFindByModes(
          AOwner, "选择读者",
          {{"按编码查找", "code", [](const std::string& t) { return "code like '" + t + "%'"; }},
           {"按姓名查找", "Name",
            [](const std::string& t) {
                return "(Name like '%" + t + "%') or (Py like '" + t + "%') or (Wb like '" + t + "%') or (Wbh like '" +
                       t + "%')";
            }},
           {"按部门查找", "Department", [](const std::string& t) { return "Department like '%" + t + "%'"; }}},
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
