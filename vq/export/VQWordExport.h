// The word-processor export: the grid's visible columns and every record
// as one table of an RTF document (a title row of captions, then one row
// per record, Boolean fields as "是"/"否"), under a name the caller chose.
// The heading and the footer, when given, are paragraphs before and after
// the table. The document goes through the program's one RTF writer.
#pragma once

#include <string>

#include "VQExportSource.h"

class TVQCustomDBGrid;

// The document's bytes for a source (what the file receives). The data set
// is walked under disabled controls and returned to the record it was on.
// Throws EVQExportError when the data set is not open.
std::string GridRtfDocument(const TVQExportSource& src, const std::string& heading, const std::string& footer);

// Writes the document beside fileName and renames it over it; the grid's
// current record is the same afterwards. Throws EVQExportError naming the
// cause.
void ExportGridToRtf(TVQCustomDBGrid* grid, const std::string& heading, const std::string& footer,
                     const std::string& fileName);
