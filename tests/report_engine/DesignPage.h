// Bands and memos laid on a design page the way the engine's tests build
// their reports: full-width bands, one-line memos in a font with Chinese.
#pragma once

#include "Metafile.h"
#include "report/model/RM_Report.h"

#include <memory>
#include <string>
#include <vector>

// The names of an object's properties in the order it defines them.
inline std::vector<std::string> PropertyNames(TRMObject& o) {
    o.DefineProperties();
    std::vector<std::string> out;
    for (auto& p : o.Properties()) out.push_back(p.Name);
    return out;
}

inline TRMBandView* AddBand(TRMReport& report, TRMPage* page, TRMBandKind kind, int top, int height,
                            const std::string& dataSet = "") {
    auto* b = static_cast<TRMBandView*>(page->Add(std::make_unique<TRMBandView>()));
    b->SetBandType(kind);
    b->CreateUniqueName(&report);
    b->SetBounds(0, top, 700, height);
    b->SetDataSet(dataSet);
    return b;
}

inline TRMMemoView* AddMemo(TRMReport& report, TRMPage* page, int left, int top, const std::string& text, int width) {
    auto* m = static_cast<TRMMemoView*>(page->Add(std::make_unique<TRMMemoView>()));
    m->CreateUniqueName(&report);
    m->SetBounds(left, top, width, 20);
    m->Memo = {text};
    m->Font.Name = "宋体";
    return m;
}

// Texts of built page i in drawing order.
inline std::vector<std::string> PageTexts(TRMReport& report, int i) {
    TMetafile mf;
    std::vector<std::string> out;
    TMetafileCanvas c(&mf);
    auto& r = report.EMFPages[i];
    report.EMFPages.Draw(i, &c, TRect(0, 0, r.PageWidth, r.PageHeight));
    for (auto* t : c.TextRecords()) out.push_back(t->Text);
    return out;
}

// What drawing a view on the recording canvas recorded, of one kind.
inline std::vector<TMetafileRecord> DrawnRecords(TRMView& view, TMetafileRecordKind kind) {
    TMetafile mf;
    TMetafileCanvas c(&mf);
    view.Draw(&c);
    std::vector<TMetafileRecord> out;
    for (auto& r : c.Records())
        if (r.Kind == kind) out.push_back(r);
    return out;
}
