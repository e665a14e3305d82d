// The class box of the statistics windows: the class code typed or picked
// (TFrmSortSet) in an edit whose hint holds the class key. Not here: any
// statistics.
#pragma once

#include <string>

class TEdit;
class TComponent;

// The key of the class whose code is typed ("" for none or an unknown code).
std::string ClassKeyOf(const std::string& sortCode);
// The class picker; a chosen class goes into the box, its key into the
// box's hint. The box takes the focus again.
void PickClassInto(TComponent* owner, TEdit* box);
