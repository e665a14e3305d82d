// What the condition dialogs share: the first day of the business month
// (where their date ranges start), the department and operator lists, and
// the reader and book look-ups that fill a box. Not here: any dialog.
#pragma once

#include "System.h"

#include <string>

class TComboBox;
class TEdit;
class TComponent;

// The first day of date's month.
TDateTime MonthStart(TDateTime date);
// The departments ("select * from Readerdept order by Code", each Code).
void FillDepartments(TComboBox* box);
// The operators' names ("select UseName from SystemUser").
void FillOperators(TComboBox* box);
// The reader (book) look-up started with the box's text; a chosen code goes
// into the box, which takes the focus again.
void PickReaderInto(TComponent* owner, TEdit* box);
void PickBookInto(TComponent* owner, TEdit* box);
