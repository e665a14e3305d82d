// The query commands of the main menu; see uQueryCommands.h.
#include "uQueryCommands.h"

#include "Build.h"
#include "Menus.h"
#include "uBorrowCond.h"
#include "uBorrowOrderCond.h"
#include "uBorrowOrderCond1.h"
#include "uLentCond.h"
#include "uMain.h"
#include "uOperCond.h"
#include "uQryBookDataS.h"
#include "uQryBorrow.h"
#include "uQryBorrow1.h"
#include "uQryBorrowList.h"
#include "uQryBorrowList1.h"
#include "uQryBorrowOrder.h"
#include "uQryBorrowOrder1.h"
#include "uQryBorrowOrderq.h"
#include "uQryBorrowOrderq1.h"
#include "uQryBorrowS.h"
#include "uQryBorrowqS.h"
#include "uQryDayBorrow.h"
#include "uQryDayBorrow1.h"
#include "uQryDayIn.h"
#include "uQryDayIn1.h"
#include "uQryDayLent.h"
#include "uQryDayLent1.h"
#include "uQryDayReject.h"
#include "uQryDayReject1.h"
#include "uQryLent.h"
#include "uQryLent1.h"
#include "uQryMagzDataS.h"
#include "uQryOperator.h"
#include "uQryOperator1.h"
#include "uReaderfine.h"
#include "uReaderfine1.h"

#include <memory>

namespace {

using TCommandFn = void (*)(TFrmMain*);

struct TCommand {
    const char* item;
    TCommandFn run;
};

// A window that needs no condition dialog: made with the main window as
// owner, shown modally, released.
template <class Window>
void modal(TFrmMain* main) {
    std::unique_ptr<Window> window(new Window(main));
    window->ShowModal();
}

template <class Dialog, class Window>
void report(TFrmMain* main) {
    RunReportCommand<Dialog, Window>(main);
}

const TCommand commands[] = {
    {"NFine", modal<TFrmReaderFine>},
    {"NFineMagz", modal<TFrmReaderFine1>},
    {"NQryBorrow", report<TFrmBorrowCond, TFrmQryBorrow>},
    {"NQryBorrow1", report<TFrmBorrowCond, TFrmQryBorrow1>},
    {"NQtyLent", report<TFrmLentCond, TFrmQryLent>},
    {"NQryLent1", report<TFrmLentCond, TFrmQryLent1>},
    {"NQryOperator", report<TFrmOperCond, TFrmQryOperator>},
    {"NQryOperator1", report<TFrmOperCond, TFrmQryOperator1>},
    {"NBorrowList", report<TFrmBorrowOrderCond, TFrmQryBorrowOrder>},
    {"NBorrowListq", report<TFrmBorrowOrderCond, TFrmQryBorrowOrderq>},
    {"NBorrowList1", report<TFrmBorrowOrderCond1, TFrmQryBorrowOrder1>},
    {"NBorrowListq1", report<TFrmBorrowOrderCond1, TFrmQryBorrowOrderq1>},
    {"NQryExcced", modal<TFrmQryBorrowList>},
    {"NQryExceed1", modal<TFrmQryBorrowList1>},
    {"NQryBookSort", modal<TFrmQryBookDataS>},
    {"NQryMagzSort", modal<TFrmQryMagzDataS>},
    {"NQryBorrows", modal<TFrmQryBorrowS>},
    {"NQryBorrowqs", modal<TFrmQryBorrowqS>},
    {"NDayIn", modal<TFrmQryDayIn>},
    {"N37", modal<TFrmQryDayIn1>},
    {"NDayBorrow", modal<TFrmQryDayBorrow>},
    {"N38", modal<TFrmQryDayBorrow1>},
    {"NDayLent", modal<TFrmQryDayLent>},
    {"N40", modal<TFrmQryDayLent1>},
    {"NDayReject", modal<TFrmQryDayReject>},
    {"N39", modal<TFrmQryDayReject1>},
};

} // namespace

void WireQueryCommands(TFrmMain* main) {
    // Through the builder, so the check over every window sees each command.
    TBuild b(main);
    for (const TCommand& c : commands) {
        TCommandFn run = c.run;
        b.Wire(main->Item(c.item)).OnClick([main, run](TObject*) { run(main); });
    }
}
