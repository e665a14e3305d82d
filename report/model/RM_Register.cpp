#include "report/model/RM_Register.h"

TRMReport* CurReport = nullptr;
TRMReport* MasterReport = nullptr;
TRMPage* CurPage = nullptr;
TRMBandView* CurBand = nullptr;
TRMView* CurView = nullptr;

namespace {
std::unique_ptr<std::vector<TRMToolInfo>> tools;
}

void RMRegisterTool(const std::string& caption, const std::string& bitmapName, std::function<void()> onClick) {
    if (!tools) tools = std::make_unique<std::vector<TRMToolInfo>>();
    tools->push_back({caption, bitmapName, std::move(onClick)});
}

int RMGetToolCount() { return tools ? int(tools->size()) : -1; }

const TRMToolInfo* RMGetTool(int index) {
    return tools && index >= 0 && index < int(tools->size()) ? &(*tools)[size_t(index)] : nullptr;
}

TRMCompressor* RMGetCompressor() {
    static TRMCompressor compressor;
    return &compressor;
}

std::vector<TRMView*>& RMWatchers() {
    static std::vector<TRMView*> watchers;
    return watchers;
}
