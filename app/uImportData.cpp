// The import wizard; see uImportData.h.
#include "uImportData.h"

// The wizard's window is on its way; until then the buttons open nothing.
void OpenImportWizard(TVQDBGrid*, const std::string&, const std::string&, const std::string&) {}
