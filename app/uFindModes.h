// What the book, reader and periodical lookups share on top of the lookup
// base: three search modes in the mode menu (N1..N3, F6 re-applies the
// current one), a search on every change of the typed text with at most 20
// rows, and the designed columns. The typed text reaches the statement only
// as a bound value whose "%", "_" and "\" are escaped, so each character
// the operator types, a quote included, searches as itself. Not here: the
// statements themselves (each lookup's own).
//
// Usage (a desk's F5):
//   TFrmFindBook dlg(this);
//   dlg.ChosenCode = EditCode->Text();   // optional preset
//   dlg.ShowModal();
//   if (!dlg.ChosenCode.empty()) EditCode->SetText(dlg.ChosenCode);
#pragma once

#include "uFindCode.h"

#include <string>
#include <vector>

class TMenuItem;

// One search mode: the menu caption, the client-side sort order and the
// condition on the typed text. The condition names its patterns as
// parameters: ":prefix" (what starts with the typed text) and ":part" (what
// contains it), each used as "like :prefix escape '\'".
struct TFindMode {
    std::string Caption;
    std::string Sort;
    std::string Condition;
};

// One designed grid column.
struct TFindColumn {
    std::string Title;
    std::string Field;
    int Width; // 0: the default width
    bool Centred = false;
};

class TFrmFindByModes : public TFrmFindCode {
public:
    std::string ClassName() const override { return "TFrmFindByModes"; }
    void InitForm() override;
    void Edit1KeyDown(TObject* Sender, Word& Key, TShiftState Shift) override;
    void DBGrid1KeyDown(TObject* Sender, Word& Key, TShiftState Shift);
    void Edit1Change(TObject* Sender);
    // Selects mode i (0..2): sort order and the mode button's caption.
    void ModeClick(int i);

    TMenuItem* N1;
    TMenuItem* N2;
    TMenuItem* N3;

protected:
    TFrmFindByModes(TComponent* AOwner, std::string caption, std::vector<TFindMode> modes,
                    std::vector<TFindColumn> columns);
    // The full list shown before the first keystroke.
    virtual std::string AllRowsSql() const = 0;
    // The capped search for a condition.
    virtual std::string SearchSql(const std::string& condition) const = 0;

private:
    void openSql(const std::string& sql, const std::string& typed);
    std::string caption_;
    std::vector<TFindMode> modes_;
};
