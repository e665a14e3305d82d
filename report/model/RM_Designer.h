// The designer component a window holds to configure the report designer:
// its folders, help file, recent-file count, restrictions and file events.
// The designer window reads the process's component when it opens; until
// a designer is registered the settings are only kept.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "Classes.h"

class TRMReport;

// What the designer may not do; bit = 1 << position.
enum TRMDesignerRestriction : uint16_t {
    RMdrDontEditObj = 1,
    RMdrDontModifyObj = 2,
    RMdrDontSizeObj = 4,
    RMdrDontMoveObj = 8,
    RMdrDontDeleteObj = 16,
    RMdrDontCreateObj = 32,
    RMdrDontDeletePage = 64,
    RMdrDontCreatePage = 128,
    RMdrDontEditPage = 256,
    RMdrDontCreateReport = 512,
    RMdrDontLoadReport = 1024,
    RMdrDontSaveReport = 2048,
    RMdrDontPreviewReport = 4096,
    RMdrDontEditVariables = 8192,
    RMdrDontChangeReportOptions = 16384,
};
// The restrictions in force, which the designer consults.
extern uint16_t RMDesignerRestrictions;

class TRMDesigner : public TComponent {
public:
    // The last one made becomes the process's designer component.
    explicit TRMDesigner(TComponent* owner);
    ~TRMDesigner() override;
    std::string ClassName() const override { return "TRMDesigner"; }

    bool CanEditRestrictions = true;
    bool CloseQuery = true;
    std::string OpenDir, SaveDir, TemplateDir;
    std::string HelpFile = "rmuser.hlp";
    std::function<void(TRMReport* report, std::string& reportName, bool& opened)> OnLoadReport;
    std::function<void(TRMReport* report, std::string& reportName, bool saveAs, bool& saved)> OnSaveReport;
    std::function<void(TRMReport* report, std::string& reportName)> OnNewReport;
    std::function<void(TObject* designerWindow)> OnShow;
    std::function<void(TObject* sender)> OnShowAboutForm;

    int OpenFileCount() const { return openFileCount_; }
    // 0 to 9; any other count is ignored.
    void SetOpenFileCount(int n);
    uint16_t DesignerRestrictions() const { return restrictions_; }
    // Also the restrictions in force, unless the component is being
    // designed itself.
    void SetDesignerRestrictions(uint16_t r);

private:
    int openFileCount_ = 4;
    uint16_t restrictions_ = 0;
};

// The process's designer component (null when none).
TRMDesigner* RMDesignerComp();
