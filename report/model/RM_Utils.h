// Small engine helpers shared by the model, the parser and the builder.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "Variants.h"

class TBitmap;
class TComboBox;
class TComponent;
class TControl;
class TCustomForm;
class TDataSet;
class TField;
class TFont;
class TGraphic;
class TObject;
class TStream;
class TStrings;
class TWinControl;

// ---------------------------------------------------------------- texts

// The engine's texts by number: 45000-47503 for captions, hints, messages,
// band and paper names, format samples and function descriptions; from
// 50001, without gaps, one "Property=caption[;hint]" per report property.
// There is one locale, made on first use; its texts can be replaced as a
// whole (another language) or one by one.
class TRMLocale {
public:
    // The designer's inspector shows the localized property names.
    bool LocalPropNames = false;
    // The text of id, "" when there is none.
    std::string LoadStr(int id) const;
    // Replaces the text of id; "" takes it away.
    void SetText(int id, const std::string& text) { replaced_[id] = text; }
    // Back to the program's own texts.
    void ResetTexts() { replaced_.clear(); }

private:
    std::map<int, std::string> replaced_;
};
TRMLocale* RMGetLocale();
// The text of id; for 47337 (font character set), 47444 (font name),
// 47445 (font size) and 47483 (Chinese size names) a missing text reads as
// "1", "MS Sans Serif", "8" and "0".
std::string RMLoadStr(int id);
// Sets the object's published text property (Caption, Text or Hint) to
// text id, only when that text is not empty: the designed text is the
// fall-back.
void RMSetStrProp(TObject* object, const std::string& property, int id);
// The engine dialogs' font: texts 47444 (name), 47445 (size) and 47337
// (character set).
void RMSetDialogFont(TFont* font);

// ---------------------------------------------------------------- font sizes

// The 13 standard sizes in points, largest first, and their names: 初号 42
// ... 六号 8.
extern const int RMStandardFontSizes[13];
extern const char* const RMChineseFontSizeNames[13];
// Whether the size boxes show the Chinese names (text 47483 is "1"); taken
// once, when the engine starts.
extern const bool RMChineseFontSizes;
// Shows a size in a size box: a standard size by its name (its number
// when the Chinese names are off), any other by its number.
void RMSetFontSize(TComboBox* box, int size);
// The size a box shows: item 0-12 the standard size at that position, any
// other item or typed text read as a whole number (typed text that is not
// one gives 0; a later item that is not one raises EConvertError).
int RMGetFontSize(TComboBox* box);

// Takes "." and "," both as the decimal point and ignores surrounding
// blanks; "" stays 0.
double RMStrToFloat(const std::string& s);
// Rounds half away from zero to n decimals; a value that rounds to
// nothing gives 0.
double RMRound(int decimals, double x);
// Where "DataSet.Field" splits: the last "." outside double quotes; npos
// when there is none.
size_t RMLastDotOutsideQuotes(const std::string& name);
// A text of more than two characters between double quotes loses them;
// any other stays.
std::string RMRemoveQuotes(const std::string& s);
// The next item of a ";"-separated text from position pos (0-based),
// moving pos past its separator.
std::string RMGetNextItem(const std::string& s, size_t& pos);
// Every item of a ";"-separated text, empty ones between two separators
// kept.
std::vector<std::string> RMSplitSemicolonList(const std::string& s);
// The bytes in reverse order.
std::string RMReverseString(const std::string& s);
// The text's height in pixels in the font on the screen.
int RMGetTextHeight(const std::string& text, const TFont* font);
// The host system's version name: "" here, as no Windows version applies.
std::string RMGetWindowsVersion();

// Bytes of the UTF-8 character that begins with this byte.
size_t RMUtf8CharLen(uint8_t lead);
// The first position of sub in a GBK text, counted in bytes and found only
// at the start of a character (a trail byte and the next lead byte never
// match); npos when absent.
size_t RMGbkFind(const std::string& gbkText, const std::string& gbkSub);
// A text laid into an edit mask of the class library ("000-0000;0; "): the
// mask's literals are put in between the characters of the text, missing
// characters become blanks, "!" fills from the right. When the mask keeps
// its literals (";1"), the text already holds them. Counted in whole
// characters.
std::string RMFormatMaskText(const std::string& editMask, const std::string& value);
// The program's command-line parameter n; 0 is the program's own path, ""
// past the last.
std::string RMParamStr(int n);
// Drive and folder of a file name, up to and including the last "\", "/"
// or ":".
std::string RMExtractFilePath(const std::string& fileName);

// A component by name: a plain name among the owner's components; a name
// with "." (or any name without an owner) as "Form.Component[.Sub]", the
// form being one of the application's open forms. Raises EClassNotFound
// "Missing <name>" when it cannot look.
TComponent* RMFindComponentIn(TComponent* owner, const std::string& name);
// The same under the owner of the report the engine works on (CurReport).
TComponent* RMFindComponent(const std::string& name);
// Every component for which isOfClass holds (except skip) on the open
// forms and the data modules, with the owner's own first: the owner's by
// name alone, others as "Form.Component".
void RMGetComponents(TComponent* owner, const std::function<bool(const TComponent*)>& isOfClass, TStrings* list,
                     TComponent* skip);
// A data field reference: the text is cut at each "." until a double
// quote begins. One part: a field of dataSet as passed in; two: a data set
// found by name under owner; three: a form and a data set on it; four: a
// form, a component on it and a data set owned by that component. A band
// data source stands for its data set. field: the last part without its
// quotes when the data set has that field, else "".
void RMParseDataField(TComponent* owner, const std::string& text, TDataSet*& dataSet, std::string& field);
// The name when the data set has a field of that name, else "".
std::string RMCheckFieldName(TDataSet* dataSet, const std::string& name);
// Fills the list with the data set's field names; never fails (the list
// keeps what it got).
void RMGetFieldNames(TDataSet* dataSet, TStrings* list);
// A field that holds a blob: binary, memo, graphic, formatted memo, either
// OLE kind or typed binary. False for no field.
bool RMIsBlob(TField* field);
// The field's contents into a string list (its text lines) or into a
// stream (written at its position, then rewound to 0).
void RMAssignBlob(TField* field, TStrings* target);
void RMAssignBlob(TField* field, TStream& target);
// The data set's own bookmark comparison says the two are one record.
bool RMIsSameRecord(TDataSet* dataSet, const std::string& bookmark1, const std::string& bookmark2);
// A field's value for a report: its display text when it has a text
// handler or is a large integer; a null as an empty value of its type ("",
// false or 0).
Variant RMGetFieldValue(TField* field);
// A published property of a component found as above: whole numbers and
// choices as integers, texts as text; 0 when the component or the
// property is missing.
Variant RMGetPropValue(TComponent* owner, const std::string& componentPath, const std::string& prop);

// ---------------------------------------------------------------- windows

// Enables or disables controls; labels take a grey or normal font colour,
// other windowed controls the face or window colour.
void RMEnableControls(const std::vector<TControl*>& controls, bool enabled);
// The same for every child of parent, through children that have children;
// edits and combo boxes take the inactive-border or window colour.
void RMEnableChildControls(TWinControl* parent, bool enabled);
// Window position under the engine's registry root, key "Form\<class>":
// XPosition, YPosition, Width, Height and Maximized. A form saved
// maximized comes back in its normal state with the saved bounds.
void RMSaveFormPosition(TCustomForm* form);
void RMRestoreFormPosition(TCustomForm* form);

// ---------------------------------------------------------------- pictures

// The engine's named pictures ("RM_PENCIL", "RM_BAND", ...), drawn here;
// an unknown name gives an empty bitmap.
std::unique_ptr<TBitmap> RMLoadBitmap(const std::string& name);
// Resolution of a bitmap's own header: 96 for anything that is not a
// readable bitmap or gives none.
void RMGetBitmapPixelsPerInch(TGraphic* graphic, int& x, int& y);
