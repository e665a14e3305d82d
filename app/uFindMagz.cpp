// The periodical lookup; see uFindMagz.h.
#include "uFindMagz.h"

namespace {
const char* const kColumns =
    "a.Code,a.Name,a.Sortcode,a.isout,a.islimit,b.ReturnDate,a.Orderyear,a.PeriodNo from Magzinfo a left join "
    "(select Code,ReturnDate from Borrowinfo1 where State='未还') b on a.Code=b.Code ";
}

TFrmFindMagz::TFrmFindMagz(TComponent* AOwner)
    : TFrmFindByModes(
          AOwner, "选择期刊",
          {{"按编码查找", "code", "a.code like :prefix escape '\\'"},
           {"按期刊名称", "Name",
            "(a.Name like :part escape '\\')  or (a.Py like :prefix escape '\\') or (a.Wb like :prefix escape "
            "'\\') or (a.Wbh like :prefix escape '\\')"},
           {"按类别查找", "Sortcode", "a.Sortcode like :part escape '\\'"}},
          {{"状态", "isout", 52, true},
           {"编号", "Code", 71},
           {"名称", "Name", 135},
           {"年度", "Orderyear", 74},
           {"期号", "PeriodNo", 76},
           {"应还日", "ReturnDate", 75},
           {"分类号", "Sortcode", 66},
           {"限制否", "islimit", 0}}) {
    SetName("FrmFindMagz");
}

std::string TFrmFindMagz::AllRowsSql() const { return std::string("select ") + kColumns; }

std::string TFrmFindMagz::SearchSql(const std::string& condition) const {
    return std::string("select top 20 ") + kColumns + "where " + condition + " order by a.code";
}
