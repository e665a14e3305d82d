// The import wizard: rows of a spreadsheet (.xls, .xlsx) or a dBase table
// go into a master-data table (books, pre-catalogue, readers, periodicals),
// each source column mapped onto a target column with a fixed prefix and a
// default, the mapping kept as a template per window and grid under
// "bmp/", and every row inserted, or updated when its key is there already
// and 覆盖 is ticked.
// Not here: the readers (vq/data/VqTableCopy.h), the list windows that
// open it (each reloads its own counters afterwards).
#pragma once

#include <string>

class TVQDBGrid;

// Opens the wizard modally over the list whose grid is `grid` (the template
// is named after the grid's form and the grid), importing into
// targetTable ("BookInfo", "BookInfoPre", "ReaderInfo", "MagzInfo") in
// mode "Share"; `extra` is kept and not read. When it closes after an
// import, the grid's data set has been read again.
void OpenImportWizard(TVQDBGrid* grid, const std::string& mode, const std::string& targetTable,
                      const std::string& extra);
