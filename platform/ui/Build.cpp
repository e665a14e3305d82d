// The window builder's out-of-line part; see Build.h. The handlers a
// builder bound are kept by an unnamed component the owner owns, so the
// record lives exactly as long as the window it describes.
#include "Build.h"

namespace {

class TBuildRecord : public TComponent {
public:
    using TComponent::TComponent;
    std::string ClassName() const override { return "TBuildRecord"; }
    std::vector<TBoundHandler> Handlers;
};

TBuildRecord* recordOf(const TComponent* owner) {
    for (int i = 0; owner && i < owner->ComponentCount(); ++i)
        if (auto* r = dynamic_cast<TBuildRecord*>(owner->Components(i))) return r;
    return nullptr;
}

} // namespace

std::vector<TBoundHandler> BoundHandlers(const TComponent* owner) {
    const TBuildRecord* r = recordOf(owner);
    return r ? r->Handlers : std::vector<TBoundHandler>{};
}

namespace build_detail {

void Record(TComponent* owner, TComponent* component, const char* event, std::function<bool()> isSet) {
    if (!owner) return;
    TBuildRecord* r = recordOf(owner);
    if (!r) r = new TBuildRecord(owner);
    r->Handlers.push_back(TBoundHandler{component, event, std::move(isSet)});
}

void SetNameAndParent(TComponent* component, const char* name, TWinControl* parent) {
    if (name && *name) component->SetName(name);
    if (parent)
        if (auto* c = dynamic_cast<TControl*>(component)) c->SetParent(parent);
}

} // namespace build_detail
