// The book lookup; see uFindBook.h.
#include "uFindBook.h"

namespace {
const char* const kColumns = "a.Code,a.Name,a.Sortcode,a.isout,a.islimit,b.ReturnDate from Bookinfo a left join "
                             "(select Code,ReturnDate from Borrowinfo where State='未还') b on a.Code=b.Code ";
}

TFrmFindBook::TFrmFindBook(TComponent* AOwner)
    : TFrmFindByModes(
          AOwner, "选择图书",
          {{"按编码查找", "code", "a.code like :prefix escape '\\'"},
           {"按中文名称", "Name",
            "(a.Name like :part escape '\\')  or (a.Py like :prefix escape '\\') or (a.Wb like :prefix escape "
            "'\\') or (a.Wbh like :prefix escape '\\')"},
           {"按类别查找", "Sortcode", "a.Sortcode like :part escape '\\'"}},
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
