// What the engine keeps once for the whole program besides its object and
// function registries: the designer tools, the base of the objects' editor
// dialogs, the hook through which built pages could be compressed, the
// objects that watch the others print, and the reports, page, band and
// object that a load, save, build or design is working on.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "Classes.h"
#include "Forms.h"

class TRMReport;
class TRMPage;
class TRMView;
class TRMBandView;

// ---- designer tools: a menu item and a button each in the designer.
struct TRMToolInfo {
    std::string Caption;
    std::string BitmapName;
    std::function<void()> OnClick;
};
// The registry exists from the first registration on; nothing of the
// program registers a tool, so the count stays -1.
void RMRegisterTool(const std::string& caption, const std::string& bitmapName, std::function<void()> onClick);
int RMGetToolCount();
// Null outside 0 .. count - 1.
const TRMToolInfo* RMGetTool(int index);

// ---- the base of the object editors the add-in registry names. An
// editor edits one object and answers the modal result; the base shows
// nothing and answers 1 (OK).
class TRMObjEditorForm : public TForm {
public:
    explicit TRMObjEditorForm(TComponent* owner = nullptr) : TForm(owner) {}
    std::string ClassName() const override { return "TRMObjEditorForm"; }
    virtual int ShowEditor(TRMView* view) { return 1; }
};

// ---- page compression: a hook only. The shared instance is disabled and
// both operations leave Dest as it is.
class TRMCompressor {
public:
    virtual ~TRMCompressor() = default;
    bool Enabled = false;
    virtual void Compress(TStream* source, TStream* dest) {}
    virtual void Decompress(TStream* source, TStream* dest) {}
};
// Made on first use.
TRMCompressor* RMGetCompressor();

// ---- objects whose flags carry 0x8000: a build's page set-up lists them
// here and starts them (WatchStart); every object the build then writes is
// shown to each of them (WatchNotify). Emptied when a build starts and ends.
std::vector<TRMView*>& RMWatchers();

// ---- what the engine is working on (null when nothing): the report being
// loaded, saved, built, shown or designed; the report whose build runs; the
// design page, band and object being worked on. Each operation puts back
// what it found when it ends.
extern TRMReport* CurReport;
extern TRMReport* MasterReport;
extern TRMPage* CurPage;
extern TRMBandView* CurBand;
extern TRMView* CurView;
