// The book lookup; see uFindBook.h.
#include "uFindBook.h"

namespace {
const char* const kColumns = "a.Code,a.Name,a.Sortcode,a.isout,a.islimit,b.ReturnDate from Bookinfo a left join "
                             "(select Code,ReturnDate from Borrowinfo where State='未还') b on a.Code=b.Code ";
}

TFrmFindBook::TFrmFindBook(TComponent* AOwner)
    : TFrmFindByModes(
          AOwner, "选择图书",
          {{"按编码查找", "code", [](const std::string& t) { return "a.code like '" + t + "%'"; }},
           {"按中文名称", "Name",
            [](const std::string& t) {
                return "(a.Name like '%" + t + "%')  or (a.Py like '" + t + "%') or (a.Wb like '" + t +
                       "%') or (a.Wbh like '" + t + "%')";
            }},
           {"按类别查找", "Sortcode", [](const std::string& t) { return "a.Sortcode like '%" + t + "%'"; }}},
          {{"状态", "isout", 52, true},
           {"编号", "Code", 89},
           {"中文名称", "Name", 150},
           {"分类号", "Sortcode", 88},
           {"应还日", "ReturnDate", 75},
           {"限制否", "islimit", 0}}) {
    SetName("FrmFindBook");
}

std::string TFrmFindBook::AllRowsSql() const { return std::string("select ") + kColumns; }

std::string TFrmFindBook::SearchSql(const std::string& condition) const {
    return std::string("select top 20 ") + kColumns + "where " + condition + " order by a.code";
}
