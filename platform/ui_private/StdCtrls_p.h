// Private part shared by every edit control: the edit base reads these fields
// for any edit, so each subclass (the masked edit too) must be built on it.
#pragma once

#include "StdCtrls.h"
#include "Controls_p.h"

class EditPrivate : public TControlPrivate {
public:
    explicit EditPrivate(QWidget* w) : TControlPrivate(w) {}
    TEditCharCase charCase = ecNormal;
    TBorderStyle border = bsSingle;
    bool autoSelect = true;
    bool settingText = false;
};
