// The masked edit: an edit whose text follows an edit mask of the class
// library ("!99/99/0000;1;_", ">LL-000;0;_"). Mask characters: 0 digit, 9
// optional digit, # optional digit or sign, L letter, l optional letter,
// A letter or digit, a optional, C any character, c optional, > upper
// case, < lower case, <> no change, \ the next character literally. The
// second field says whether Text keeps the literals (1) or not (0); the
// third is the blank character.
#pragma once

#include "StdCtrls.h"

class TMaskEdit : public TCustomEdit {
public:
    explicit TMaskEdit(TComponent* AOwner);
    std::string ClassName() const override { return "TMaskEdit"; }
    std::string EditMask() const { return mask_; }
    void SetEditMask(const std::string& v);
    bool IsMasked() const { return !mask_.empty(); }
    // Text as shown, blanks included.
    std::string EditText() const;
    void SetEditText(const std::string& v);
    // With a mask: the characters typed, with the literals when the mask
    // saves them; blanks left out.
    std::string GetText() const override;
    void SetText(const std::string& v) override;
    // Raises EConvertError "Invalid input value.  Use escape key to abandon
    // changes" when a required position is empty.
    virtual void ValidateEdit();
    char PasswordChar() const;
    void SetPasswordChar(char v);

private:
    std::string mask_;
    bool saveLiterals_ = true;
};

// The Qt input mask for an edit mask of the class library (exposed for
// tests); literals that would be mask characters in Qt are escaped.
std::string QtInputMaskFor(const std::string& editMask, bool* saveLiterals = nullptr, char* blank = nullptr);
