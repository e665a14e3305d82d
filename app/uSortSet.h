// The classification tree (table Type), which is also the class picker of
// the catalogue and statistics windows. A class's key is its parent's key
// followed by four digits (Catalogue.h allocates it); the root is not a
// row and has the key "00". The tree is rebuilt on every show: the first
// two levels at once, deeper ones as their parents expand. Nodes are found
// by their exact key, whatever width the first-level keys have, and a row
// whose parent is missing hangs under the root instead of stopping the
// build. Class codes are unique: items refer to classes by code only.
//
// Results for the caller: ChosenSortCode (emptied at every show) and
// ChosenSKey (set by OK and the tree's double-click only).
#pragma once

#include "uBaseD.h"

#include "Variants.h"

#include <map>
#include <string>

class TToolBar;
class TToolButton;
class TTreeView;
class TTreeNode;
class TSplitter;
class TPanel;
class TDBGrid;
class TLabel;
class TEdit;
class TButton;
class TADOQuery;
class TDataSource;

// One class's code and name.
class TFrmSortSetEdit : public TFrmBaseD {
public:
    explicit TFrmSortSetEdit(TComponent* AOwner);
    std::string ClassName() const override { return "TFrmSortSetEdit"; }
    void InitForm() override;
    // Copies the boxes into CodeText and NameText (the OK button's
    // modal result closes the dialog).
    void BtOkClick(TObject* Sender);
    void BtCancelClick(TObject* Sender);

    TEdit* EditCode;
    TEdit* EditName;
    TButton* BtOk;
    TButton* BtCancel;
    std::string CodeText;
    std::string NameText;
};

class TFrmSortSet : public TFrmBaseD {
public:
    explicit TFrmSortSet(TComponent* AOwner);
    ~TFrmSortSet() override;
    std::string ClassName() const override { return "TFrmSortSet"; }

    // Rebuilds the tree and the right-hand list; empties ChosenSortCode.
    void InitForm() override;
    void FormShow(TObject* Sender) override;
    // Esc closes; F1 is help.
    void FormKeyDown(TObject* Sender, Word& Key, TShiftState Shift) override;

    void TvtempChange(TObject* Sender, TTreeNode* Node);
    void TvtempExpanding(TObject* Sender, TTreeNode* Node, bool& AllowExpansion);
    void TvtempKeyPress(TObject* Sender, char32_t& Key);
    void TbtOkClick(TObject* Sender);
    void TbtExitClick(TObject* Sender);
    void TbtHelpClick(TObject* Sender);
    void TbtAddClick(TObject* Sender);
    void TbtEditClick(TObject* Sender);
    void TbtDeleteClick(TObject* Sender);
    void DBGrid1DblClick(TObject* Sender);

    // The node of a class key: the root for "00", nullptr when the key is
    // not in the tree (yet).
    TTreeNode* FindParentNode(const std::string& key) const;
    // The class key of a node ("00" for the root).
    std::string KeyOf(TTreeNode* node) const;
    TTreeNode* RootNode() const { return root_; }

    TToolBar* ToolBar1;
    TToolButton* TbtAdd;
    TToolButton* TbtEdit;
    TToolButton* TbtDelete;
    TToolButton* TbtOk;
    TToolButton* TbtExit;
    TToolButton* TbtHelp;
    TTreeView* Tvtemp;
    TSplitter* Splitter1;
    TPanel* Panel1;
    TDBGrid* DBGrid1;
    TLabel* Label1;
    TADOQuery* ADOqSortList;
    TDataSource* DataSource1;
    TADOQuery* ADOqTemp;

    std::string ChosenSortCode;
    std::string ChosenSKey;

private:
    TTreeNode* addNode(TTreeNode* parent, const std::string& key, const std::string& text);
    // Adds the rows of a statement on Type under their parents' nodes.
    void addRows(const std::string& sql, const std::vector<Variant>& values);
    void forget(TTreeNode* node);
    void showChildren(const std::string& key);
    // The code another class than exceptKey already uses; false when free.
    bool codeTaken(const std::string& code, const std::string& exceptKey);
    // Shows the edit dialog with code and name; false unless confirmed
    // with a code that is not empty and not another class's.
    bool editClass(std::string& code, std::string& name, const std::string& exceptKey);
    void choose(bool withKey);

    TTreeNode* root_ = nullptr;
    std::map<std::string, TTreeNode*> nodes_;
    std::map<TTreeNode*, std::string> keys_;
    std::map<std::string, bool> loaded_;
    // While the tree is rebuilt or torn down, a changed selection shows nothing.
    bool rebuilding_ = false;
};

// Shows the picker modally; true with the chosen code (and key) when the
// operator chose a class, false when the result is empty.
bool PickClass(TComponent* owner, std::string& sortCode, std::string* sKey = nullptr);
