// The rules of collecting a fine; see FineCollection.h.
#include "FineCollection.h"

#include "SysUtils.h"

TBoundSql UnpaidFinesSql(TItemKind kind, const std::string& reader) {
    if (kind == TItemKind::Book)
        return {"select a.Id,a.Code,b.Name,a.BorrowDate,a.ReturnDate,a.ExceedDay,a.ExceedFund from Borrowinfo a "
                "left join bookinfo b on a.code=b.code  where a.RCode=? and a.State='已还' and a.IsPay=false and "
                "a.ExceedFund<>0",
                {Trim(reader)}};
    return {"select a.Id,a.Code,b.Name,b.Orderyear,b.PeriodNo,a.BorrowDate,a.ReturnDate,a.ExceedDay,a.ExceedFund "
            "from Borrowinfo1 a left join Magzinfo b on a.code=b.code  where a.RCode=? and a.State='已还' and "
            "a.IsPay=false and a.ExceedFund<>0",
            {Trim(reader)}};
}

TFineAmounts FineAmounts(int overdueDays, int deductedDays, Currency perDay) {
    TFineAmounts a;
    a.Due = Currency(overdueDays) * perDay;
    a.Deducted = Currency(deductedDays) * perDay;
    a.Real = a.Due - a.Deducted;
    return a;
}

std::string FineRefusal(const std::string& reader, const std::string& item, const TFineAmounts& amounts) {
    if (Trim(reader).empty()) return "会员卡号必须填写！";
    if (item.empty()) return "书籍编码必须填写！";
    if (amounts.Due == Currency()) return "应罚金额不能为空或零！";
    // A fine below zero would pay the reader.
    if (amounts.Real < Currency()) return "扣减金额不能大于应罚金额！";
    return "";
}

TBoundSql FinePaymentSql(TItemKind kind, const std::string& reader, int loanId, Currency real) {
    return {std::string("update ") + CircTables(kind).Loans +
                " set ispay=true,ExceedFund=? where RCode=? and State='已还' and IsPay=false and Id=?",
            {Variant(real), Trim(reader), loanId}};
}
