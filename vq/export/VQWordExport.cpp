#include "VQWordExport.h"

#include "VQExportSource.h"

void ExportGridToRtf(TVQCustomDBGrid*, const std::string&, const std::string&, const std::string&) {
    throw EVQExportError("Word格式导出暂不可用");
}
