#include "report/model/RM_Designer.h"

uint16_t RMDesignerRestrictions = 0;

namespace {
TRMDesigner* current = nullptr;
} // namespace

TRMDesigner* RMDesignerComp() { return current; }

TRMDesigner::TRMDesigner(TComponent* owner) : TComponent(owner) { current = this; }

TRMDesigner::~TRMDesigner() {
    if (current == this) current = nullptr;
}

void TRMDesigner::SetOpenFileCount(int n) {
    if (n >= 0 && n <= 9) openFileCount_ = n;
}

void TRMDesigner::SetDesignerRestrictions(uint16_t r) {
    restrictions_ = r;
    if (!ComponentState().Contains(csDesigning)) RMDesignerRestrictions = r;
}
