// Form decoration and caption conversion; see VqDecorate.h.
#include "vq/data/VqDecorate.h"

#include "Forms.h"
#include "Menus.h"

int CaptionConvertMode = 0;

std::string ConvertCaptionByTable(const std::string& text) { return text; }

std::string ConvertCaption(const std::string& text) {
    return CaptionConvertMode == 3 ? ConvertCaptionByTable(text) : text;
}

void DecorateForm(TCustomForm* form) {
    if (!form) return;
    const std::string caption = ConvertCaption(form->Caption());
    if (caption != form->Caption()) form->SetCaption(caption);
    for (int i = 0; i < form->ComponentCount(); ++i) {
        TComponent* c = form->Components(i);
        if (auto* item = dynamic_cast<TMenuItem*>(c)) {
            const std::string t = ConvertCaption(item->Caption());
            if (t != item->Caption()) item->SetCaption(t);
        } else if (auto* control = dynamic_cast<TControl*>(c)) {
            const std::string t = ConvertCaption(control->Caption());
            if (t != control->Caption()) control->SetCaption(t);
        }
        if (auto* d = dynamic_cast<TVqDecoratable*>(c)) d->DecorateForShow();
    }
}

void ToggleImeMode() {}
