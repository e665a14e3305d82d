// Small engine helpers shared by the model, the parser and the builder.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "Variants.h"

class TComponent;

// Takes "." and "," both as the decimal point and ignores surrounding
// blanks; "" stays 0.
double RMStrToFloat(const std::string& s);
// Rounds half away from zero to n decimals.
double RMRound(int decimals, double x);

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
// A published property of a component found as above: whole numbers and
// choices as integers, texts as text; 0 when the component or the
// property is missing.
Variant RMGetPropValue(TComponent* owner, const std::string& componentPath, const std::string& prop);
