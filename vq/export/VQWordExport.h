// The word-processor export: the grid's visible columns and every record
// as one table of an RTF document (a title row of captions, then one row
// per record, Boolean fields as "是"/"否"), under a name the caller chose.
#pragma once

#include <string>

class TVQCustomDBGrid;

// Writes the document; the grid's current record is the same afterwards.
// Throws EVQExportError naming the cause.
void ExportGridToRtf(TVQCustomDBGrid* grid, const std::string& heading, const std::string& footer,
                     const std::string& fileName);
