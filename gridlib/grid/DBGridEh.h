// The second grid library's data grid: one row per record of a data set,
// one column per TColumnEh, with single or multi-level titles (captions
// split at "|"), frozen columns, footer rows with sums, averages, counts,
// field values or fixed texts (kept by the grid's own sum list), and four
// kinds of multi-selection (records, a rectangle, columns, everything).
// Printing is gridlib/print, the sum engine gridlib/data/DBSumLst.h.
// Not here: design-time hit tests and right-to-left mirroring (no caller).
//
//   auto* grid = new TDBGridEh(form);
//   grid->SetParent(form); grid->SetDataSource(src);
//   grid->SetEnabled(false);
//   TColumnEh* c = grid->Columns()->Add(); c->SetFieldName("BookQty");
//   c->Title()->SetCaption("数量"); c->Title()->SetAlignment(taCenter);
//   c->Footer()->SetValueType(fvtSum);
//   grid->SetFooterRowCount(1); grid->SumList()->SetActive(true);
//   grid->SetEnabled(true);
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "Classes.h"
#include "DB.h"
#include "DBGrids.h"
#include "Graphics.h"
#include "Grids.h"
#include "Variants.h"
#include "gridlib/data/DBSumLst.h"
#include "gridlib/edits/ToolCtrlsEh.h"

class TCustomDBGridEh;
class TColumnEh;
class TColumnDefValuesEh;
class TDBGridColumnsEh;
class TPopupMenu;
class TImageList;
class TPopupDataGridEh;
class THintWindow;
class TTimer;
class TSpecRowEh;
class TDataSource;
class TDBGridInplaceEdit;
class TShape;
class TPopupListboxEh;

// ------------------------------------------------------------ option sets

enum TDBGridEhOption {
    dghFixed3D,
    dghFrozen3D,
    dghFooter3D,
    dghData3D,
    dghResizeWholeRightPart,
    dghHighlightFocus,
    dghClearSelection,
    dghFitRowHeightToText,
    dghAutoSortMarking,
    dghMultiSortMarking,
    dghEnterAsTab,
    dghTraceColSizing,
    dghIncSearch,
    dghPreferIncSearch,
    dghRowHighlight
};
using TDBGridEhOptions = TSet<TDBGridEhOption>;

enum TDBGridEhAllowedOperation { alopInsertEh, alopUpdateEh, alopDeleteEh, alopAppendEh };
using TDBGridEhAllowedOperations = TSet<TDBGridEhAllowedOperation>;

enum TDBGridEhSelectionType { gstNon, gstRecordBookmarks, gstRectangle, gstColumns, gstAll };
using TDBGridEhAllowedSelections = TSet<TDBGridEhSelectionType>;

enum TDBGridEhEditAction { geaCutEh, geaCopyEh, geaPasteEh, geaDeleteEh, geaSelectAllEh };
using TDBGridEhEditActions = TSet<TDBGridEhEditAction>;

enum TSortMarkerEh { smNoneEh, smDownEh, smUpEh };
enum TTextOrientationEh { tohHorizontal, tohVertical };
enum TFooterValueType { fvtNon, fvtSum, fvtAvg, fvtCount, fvtFieldValue, fvtStaticText };
enum TColumnButtonStyleEh { cbsAutoEh, cbsEllipsisEh, cbsNoneEh, cbsUpDownEh, cbsDropDownEh };
// What the in-place editor offers over a cell: nothing, a "..." button, a
// pick list, the lookup's data grid, a month calendar, up/down stepping, or
// a drop-down button with nothing to drop.
enum TInplaceEditStyleEh {
    iesSimpleEh,
    iesEllipsisEh,
    iesPickListEh,
    iesDataGridEh,
    iesCalendarEh,
    iesUpDownEh,
    iesDropDownEh
};

// Which kind of value a column shows and edits (by precedence: key list,
// check box, lookup, pick list, plain text).
enum TColumnEhValueType { ctCommon, ctPickList, ctLookupField, ctKeyPickList, ctKeyImageList, ctCheckboxes };

// ------------------------------------------------------------ title tree

// A node of the multi-level title: the words of the captions split at "|"
// form a tree under the grid's root; leaves are the columns. Siblings form
// a ring (Next wraps to the first child).
class THeadTreeNode {
public:
    THeadTreeNode() = default;
    THeadTreeNode(const std::string& text, int width, int height, THeadTreeNode* host = nullptr);
    ~THeadTreeNode();
    THeadTreeNode(const THeadTreeNode&) = delete;
    THeadTreeNode& operator=(const THeadTreeNode&) = delete;

    std::string Text;
    int Width = 0;
    int Height = 0;
    int WIndent = 0;
    THeadTreeNode* Host = nullptr;
    THeadTreeNode* Child = nullptr;
    THeadTreeNode* Next = nullptr;
    TColumnEh* Column = nullptr;
    bool DrawPrevLine = false;

    THeadTreeNode* Add(THeadTreeNode* after, const std::string& text, int width, int height);
    THeadTreeNode* AddChild(THeadTreeNode* node, const std::string& text, int width, int height);
    // Makes the nodes from `from` to `to` (siblings, in ring order) the
    // children of one new node with the given text, put in their place.
    THeadTreeNode* Union(THeadTreeNode* from, THeadTreeNode* to, const std::string& text, int height);
    bool Find(THeadTreeNode* node, int& level) const;
    // Children in ring order (empty for a leaf).
    std::vector<THeadTreeNode*> Children() const;
    void FreeAllChild();
};

// ------------------------------------------------------------ columns

class TColumnTitleEh : public TPersistent {
public:
    explicit TColumnTitleEh(TColumnEh* column);
    ~TColumnTitleEh() override;
    std::string ClassName() const override { return "TColumnTitleEh"; }
    void Assign(TPersistent* Source) override;

    TColumnEh* Column() const { return column_; }
    // Assigned caption, else the field's DisplayName, else FieldName.
    std::string Caption() const;
    std::string GetCaption() const { return Caption(); }
    void SetCaption(const std::string& v);
    std::string DefaultCaption() const;
    TAlignment Alignment() const;
    void SetAlignment(TAlignment v);
    TColor Color() const;
    void SetColor(TColor v);
    TFont* Font() const;
    void SetFont(TFont* v);
    bool EndEllipsis() const;
    void SetEndEllipsis(bool v);
    const std::string& Hint() const { return hint_; }
    void SetHint(const std::string& v) { hint_ = v; }
    int ImageIndex() const { return imageIndex_; }
    void SetImageIndex(int v);
    TTextOrientationEh Orientation() const;
    void SetOrientation(TTextOrientationEh v);
    TSortMarkerEh SortMarker() const { return sortMarker_; }
    void SetSortMarker(TSortMarkerEh v);
    // Position among the sort-marked columns (1-based), 0 when unmarked.
    int SortIndex() const;
    // Changes places with the marked column holding v; anything else is
    // ignored (stored as is while the grid loads).
    void SetSortIndex(int v);
    // A title click's step: None, Down, Up, Down...; with KeepOthers the
    // other marks stay and the step after Up is None.
    void StepSortMarker(bool KeepOthers);
    // Pixels the title keeps for the marker and, with two or more marked
    // columns, its number: the marker goes first, then the number.
    int SortMarkerWidth() const;
    bool TitleButton() const;
    void SetTitleButton(bool v);
    bool ToolTips() const;
    void SetToolTips(bool v);
    void RestoreDefaults();
    void RefreshDefaultFont();

private:
    friend class TColumnEh;
    void fontChanged();
    TColumnEh* column_;
    std::string caption_;
    std::string hint_;
    TAlignment alignment_ = taLeftJustify;
    TColor color_ = clBtnFace;
    bool endEllipsis_ = false;
    bool titleButton_ = false;
    bool toolTips_ = false;
    int imageIndex_ = -1;
    TTextOrientationEh orientation_ = tohHorizontal;
    TSortMarkerEh sortMarker_ = smNoneEh;
    std::unique_ptr<TFont> font_;
    bool settingFont_ = false;
};

class TColumnFooterEh : public TCollectionItem {
public:
    // As an item of a column's Footers, or as the column's single Footer
    // (collection null, column given).
    explicit TColumnFooterEh(TCollection* collection, TColumnEh* column = nullptr);
    ~TColumnFooterEh() override;
    std::string ClassName() const override { return "TColumnFooterEh"; }
    // Alignment, colour and font only into a footer that has them assigned.
    void Assign(TPersistent* Source) override;

    TColumnEh* Column() const { return column_; }
    TAlignment Alignment() const;
    void SetAlignment(TAlignment v);
    TColor Color() const;
    void SetColor(TColor v);
    TFont* Font() const;
    void SetFont(TFont* v);
    bool EndEllipsis() const { return endEllipsis_; }
    void SetEndEllipsis(bool v);
    const std::string& FieldName() const { return fieldName_; }
    void SetFieldName(const std::string& v);
    const std::string& Value() const { return value_; }
    void SetValue(const std::string& v);
    TFooterValueType ValueType() const { return valueType_; }
    void SetValueType(TFooterValueType v);
    bool WordWrap() const { return wordWrap_; }
    void SetWordWrap(bool v);
    TDBSum* SumItem() const { return sumItem_; }
    void RestoreDefaults();
    void RefreshDefaultFont();
    // Creates, retargets or frees the sum item as the value type asks.
    void UpdateSumItem();
    bool AlignmentAssigned() const { return alignmentSet_; }
    bool ColorAssigned() const { return colorSet_; }
    bool FontAssigned() const { return fontSet_; }

private:
    void fontChanged();
    void changed();
    TColumnEh* column_;
    TAlignment alignment_ = taLeftJustify;
    TColor color_ = clWindow;
    bool alignmentSet_ = false, colorSet_ = false, fontSet_ = false;
    bool endEllipsis_ = false;
    std::string fieldName_;
    std::string value_;
    TFooterValueType valueType_ = fvtNon;
    bool wordWrap_ = false;
    std::unique_ptr<TFont> font_;
    bool settingFont_ = false;
    TDBSum* sumItem_ = nullptr;
};

class TColumnFootersEh : public TCollection {
public:
    explicit TColumnFootersEh(TColumnEh* column);
    std::string ClassName() const override { return "TColumnFootersEh"; }
    TColumnFooterEh* Add() { return static_cast<TColumnFooterEh*>(TCollection::Add()); }
    TColumnFooterEh* Items(int i) const { return static_cast<TColumnFooterEh*>(TCollection::Items(i)); }
    TColumnEh* Column() const { return column_; }

private:
    TColumnEh* column_;
};

// What OnGetCellParams may change of one cell (and, in edit mode, of the
// editor).
class TColCellParamsEh {
public:
    TColor Background = clWindow;
    TFont* Font = nullptr;
    TAlignment Alignment = taLeftJustify;
    std::string Text;
    bool ReadOnly = false;
    bool TextEditing = true;
    int ImageIndex = -1;
    int CheckboxState = 0; // 0 unchecked, 1 checked, 2 grayed
    int Row = 0;
    int Col = 0;
    TGridDrawState State;
};

using TGetColCellParamsEventEh = std::function<void(TObject* Sender, bool EditMode, TColCellParamsEh* Params)>;
using TColCellUpdateDataEventEh =
    std::function<void(TObject* Sender, std::string& Text, Variant& Value, bool& UseText, bool& Handled)>;
using TNotInListEventEh = std::function<void(TObject* Sender, const std::string& NewText, bool& RecheckInList)>;

// ------------------------------------------------------------ events

using TDBGridEhClickEvent = std::function<void(TColumnEh* Column)>;
using TTitleEhClickEvent = std::function<void(TObject* Sender, int ACol, TColumnEh* Column)>;
using TCheckTitleEhBtnEvent = std::function<void(TObject* Sender, int ACol, TColumnEh* Column, bool& Enabled)>;
using TDrawColumnEhCellEvent =
    std::function<void(TObject* Sender, const TRect& Rect, int DataCol, TColumnEh* Column, TGridDrawState State)>;
using TDrawDataCellEhEvent =
    std::function<void(TObject* Sender, const TRect& Rect, TField* Field, TGridDrawState State)>;
using TDrawFooterCellEvent = std::function<void(TObject* Sender, int DataCol, int Row, TColumnEh* Column,
                                                const TRect& Rect, TGridDrawState State)>;
using TGetCellEhParamsEvent =
    std::function<void(TObject* Sender, TColumnEh* Column, TFont* AFont, TColor& Background, TGridDrawState State)>;
using TGetFooterParamsEvent =
    std::function<void(TObject* Sender, int DataCol, int Row, TColumnEh* Column, TFont* AFont, TColor& Background,
                       TAlignment& Alignment, TGridDrawState State, std::string& Text)>;
using TGetBtnEhParamsEvent = std::function<void(TObject* Sender, TColumnEh* Column, TFont* AFont, TColor& Background,
                                                TSortMarkerEh& SortMarker, bool IsDown)>;
using TMovedEventEh = std::function<void(TObject* Sender, int FromIndex, int ToIndex)>;

// One column. Defaultable properties read their assigned value, else the
// default (from the field, the grid's ColumnDefValues or the grid); an
// equal write of an assigned value reports nothing.
// A column's settings for its drop-down data grid; Columns and Options
// live in that grid (made on first use).
class TColumnDropDownBoxEh : public TPersistent {
public:
    explicit TColumnDropDownBoxEh(TColumnEh* column) : column_(column) {}
    std::string ClassName() const override { return "TColumnDropDownBoxEh"; }
    TPersistent* GetOwner() const;
    void Assign(TPersistent* Source) override;
    bool AutoFitColWidths = true;
    bool UseMultiTitle = false;
    TDBGridColumnsEh* Columns() const;
    TColumnDefValuesEh& ColumnDefValues() const;
    // A set of TDBLookupGridEhOption bits (dlgColLinesEh alone by default).
    unsigned Options() const;
    void SetOptions(unsigned v);

private:
    TColumnEh* column_;
};

class TColumnEh : public TCollectionItem {
public:
    explicit TColumnEh(TCollection* collection);
    ~TColumnEh() override;
    std::string ClassName() const override { return "TColumnEh"; }
    void Assign(TPersistent* Source) override;

    TCustomDBGridEh* Grid() const;
    // Created by Columns()->Add (stored) or by the layout from the fields.
    bool Stored() const { return stored_; }
    virtual bool UseFieldProperties() const { return !stored_; }

    const std::string& FieldName() const { return fieldName_; }
    // Case-insensitive; adopts the field's spelling; an unknown name leaves
    // the column unbound (no error).
    void SetFieldName(const std::string& v);
    // The bound field, looked up lazily; null when none.
    TField* Field() const;
    TField* GetField() const { return Field(); }
    void SetField(TField* v);

    int Width() const;
    int GetWidth() const { return Width(); }
    // Clipped to MinWidth/MaxWidth when those are > 0 (Min wins); -1 means
    // "back to the default".
    virtual void SetWidth(int v);
    int DefaultWidth() const;
    int MinWidth() const { return minWidth_; }
    void SetMinWidth(int v);
    int MaxWidth() const { return maxWidth_; }
    void SetMaxWidth(int v);
    bool AutoFitColWidth() const { return autoFitColWidth_; }
    void SetAutoFitColWidth(bool v);
    int AutoFitBaseWidth = 0;

    bool Visible() const { return visible_; }
    void SetVisible(bool v);
    TAlignment Alignment() const;
    virtual void SetAlignment(TAlignment v);
    TColor Color() const;
    void SetColor(TColor v);
    TFont* Font() const;
    void SetFont(TFont* v);
    bool ReadOnly() const;
    virtual void SetReadOnly(bool v);
    bool WordWrap() const;
    void SetWordWrap(bool v);
    bool EndEllipsis() const;
    void SetEndEllipsis(bool v);
    bool ToolTips() const;
    void SetToolTips(bool v);
    bool Checkboxes() const;
    void SetCheckboxes(bool v);
    bool AlwaysShowEditButton() const;
    void SetAlwaysShowEditButton(bool v);
    bool AutoDropDown() const;
    void SetAutoDropDown(bool v);
    bool DblClickNextVal() const;
    void SetDblClickNextVal(bool v);
    TColumnButtonStyleEh ButtonStyle() const { return buttonStyle_; }
    void SetButtonStyle(TColumnButtonStyleEh v);
    // Buttons the editor shows beside its own (outermost last).
    TEditButtonsEh* EditButtons() { return &editButtons_; }
    // The style the cell's editor takes, for painting and presses (a
    // column with images never shows a pick list here).
    TInplaceEditStyleEh ColumnEditStyle() const;
    // Pixels the buttons take at the cell's right edge: the editor's own
    // button (none for iesSimpleEh) plus every visible edit button.
    int EditButtonsWidth() const;
    int DropDownRows() const { return dropDownRows_; }
    void SetDropDownRows(int v) { dropDownRows_ = v; }
    int DropDownWidth() const { return dropDownWidth_; }
    void SetDropDownWidth(int v) { dropDownWidth_ = v; }
    double Increment() const { return increment_; }
    void SetIncrement(double v) { increment_ = v; }
    int NotInKeyListIndex() const { return notInKeyListIndex_; }
    void SetNotInKeyListIndex(int v);
    TStrings* PickList();
    TStrings* KeyList();
    const TStrings* PickList() const;
    const TStrings* KeyList() const;
    TImageList* ImageList() const { return imageList_; }
    void SetImageList(TImageList* v);
    TPopupMenu* PopupMenu() const { return popupMenu_; }
    void SetPopupMenu(TPopupMenu* v) { popupMenu_ = v; }
    const std::string& LookupDisplayFields() const { return lookupDisplayFields_; }
    void SetLookupDisplayFields(const std::string& v);
    // The drop-down data grid of a lookup column, made on first use.
    TPopupDataGridEh* DropDownGrid();
    bool HasDropDownGrid() const { return dropDownGrid_ != nullptr; }
    TSpecRowEh* DropDownSpecRow();
    TColumnDropDownBoxEh* DropDownBox() { return &dropDownBox_; }
    // Events of the drop-down data grid, kept by that grid (reading or
    // setting one makes it).
    TCheckTitleEhBtnEvent& OnDropDownBoxCheckButton();
    TDrawColumnEhCellEvent& OnDropDownBoxDrawColumnCell();
    TGetCellEhParamsEvent& OnDropDownBoxGetCellParams();
    TNotifyEvent& OnDropDownBoxSortMarkingChanged();
    TTitleEhClickEvent& OnDropDownBoxTitleBtnClick();
    bool DropDownShowTitles() const;
    void SetDropDownShowTitles(bool v);
    bool DropDownSizing() const;
    void SetDropDownSizing(bool v);

    TColumnTitleEh* Title() const { return title_.get(); }
    void SetTitle(TColumnTitleEh* v) { title_->Assign(v); }
    TColumnFooterEh* Footer() const { return footer_.get(); }
    void SetFooter(TColumnFooterEh* v) { footer_->Assign(v); }
    TColumnFootersEh* Footers() const { return footers_.get(); }
    // Item `row` of Footers when it has that many, else Footer.
    TColumnFooterEh* FooterOfRow(int row) const;
    // Lets every footer re-point its sum item (after a rebind).
    void RefreshFooters();

    // Values (4.113).
    TColumnEhValueType GetColumnType() const;
    // The text the cell shows for the record the grid reads now.
    std::string DisplayText() const;
    // Check box state of the current record: 0 off, 1 on, 2 grayed.
    int CheckboxState() const;
    void SetCheckboxState(int v);
    // Whether the current record's value may change (TryEdit: put the data
    // set in edit state).
    bool CanModify(bool TryEdit);
    // The one path every write takes: OnUpdateData first (by reference;
    // Handled stops the write), then Text or Value into the field.
    void UpdateDataValues(const std::string& Text, const Variant& Value, bool UseText);
    // The next/previous value of a pick list, key list, check box or
    // number (Increment).
    void SetNextFieldValue(double Increment);

    void RestoreDefaults();
    // Refreshes the unassigned fonts from their defaults.
    void RefreshDefaultFont();
    int SortIndexInternal = 0;

    TGetColCellParamsEventEh OnGetCellParams;
    TColCellUpdateDataEventEh OnUpdateData;
    TNotInListEventEh OnNotInList;
    TNotifyEvent OnEditButtonClick;

protected:
    friend class TDBGridColumnsEh;
    friend class TCustomDBGridEh;
    friend class TColumnTitleEh;
    friend class TColumnFooterEh;
    void changed(bool all = false) { Changed(all); }
    bool stored_ = true;

private:
    enum Assigned : unsigned {
        avColor = 1u << 0,
        avWidth = 1u << 1,
        avFont = 1u << 2,
        avAlignment = 1u << 3,
        avReadOnly = 1u << 4,
        avTitleColor = 1u << 5,
        avTitleCaption = 1u << 6,
        avTitleAlignment = 1u << 7,
        avTitleFont = 1u << 8,
        avTitleButton = 1u << 9,
        avTitleEndEllipsis = 1u << 10,
        avTitleToolTips = 1u << 11,
        avTitleOrientation = 1u << 12,
        avWordWrap = 1u << 15,
        avLookupDisplayFields = 1u << 16,
        avCheckboxes = 1u << 17,
        avAlwaysShowEditButton = 1u << 18,
        avEndEllipsis = 1u << 19,
        avAutoDropDown = 1u << 20,
        avDblClickNextVal = 1u << 21,
        avToolTips = 1u << 22,
        avDropDownShowTitles = 1u << 23,
        avDropDownSizing = 1u << 24,
    };
    bool assigned(unsigned m) const { return (assigned_ & m) != 0; }
    void fontChanged();
    unsigned assigned_ = 0;
    std::string fieldName_;
    mutable TField* field_ = nullptr;
    int width_ = 0;
    int minWidth_ = 0;
    int maxWidth_ = 0;
    bool autoFitColWidth_ = true;
    bool visible_ = true;
    TAlignment alignment_ = taLeftJustify;
    TColor color_ = clWindow;
    bool readOnly_ = false;
    bool wordWrap_ = false;
    bool endEllipsis_ = false;
    bool toolTips_ = false;
    bool checkboxes_ = false;
    bool alwaysShowEditButton_ = false;
    bool autoDropDown_ = false;
    bool dblClickNextVal_ = false;
    TColumnButtonStyleEh buttonStyle_ = cbsAutoEh;
    int dropDownRows_ = 7;
    int dropDownWidth_ = 0;
    double increment_ = 1.0;
    int notInKeyListIndex_ = -1;
    std::unique_ptr<TStringList> pickList_;
    std::unique_ptr<TStringList> keyList_;
    TImageList* imageList_ = nullptr;
    TPopupMenu* popupMenu_ = nullptr;
    std::string lookupDisplayFields_;
    std::unique_ptr<TFont> font_;
    bool settingFont_ = false;
    std::unique_ptr<TColumnTitleEh> title_;
    std::unique_ptr<TColumnFooterEh> footer_;
    std::unique_ptr<TColumnFootersEh> footers_;
    TPopupDataGridEh* dropDownGrid_ = nullptr;
    std::unique_ptr<TSpecRowEh> dropDownSpecRow_;
    TColumnDropDownBoxEh dropDownBox_{this};
    bool dropDownShowTitles_ = false;
    bool dropDownSizing_ = false;
    TEditButtonsEh editButtons_;
};

using TDBGridColumnEh = TColumnEh;

class TDBGridColumnsEh : public TCollection {
public:
    // The factory makes the grid's kind of column (plain TColumnEh without).
    explicit TDBGridColumnsEh(TCustomDBGridEh* grid, ItemFactory factory = nullptr);
    std::string ClassName() const override { return "TDBGridColumnsEh"; }
    TCustomDBGridEh* Grid() const { return grid_; }
    // A new stored column at the end; the grid lays out again.
    TColumnEh* Add();
    // EListError "List index out of bounds (%d)" outside 0..Count-1.
    TColumnEh* Items(int i) const { return static_cast<TColumnEh*>(TCollection::Items(i)); }
    TColumnEh* GetColumn(int i) const { return Items(i); }
    TColumnEh* operator[](int i) const { return Items(i); }
    // The first column is a stored one.
    bool HasStoredColumns() const;
    // Stored columns from the visible fields of the data set.
    void RebuildColumns();
    void RestoreDefaults();
    TColumnEh* addDefaultColumn(TField* field);

protected:
    void Update(TCollectionItem* item) override;

private:
    TCustomDBGridEh* grid_;
};

// Defaults the columns take when a property is not assigned.
class TColumnTitleDefValuesEh {
public:
    TAlignment Alignment = taLeftJustify;
    TColor Color = clBtnFace;
    bool EndEllipsis = false;
    bool TitleButton = false;
    bool ToolTips = false;
    TTextOrientationEh Orientation = tohHorizontal;
};

class TColumnDefValuesEh {
public:
    bool AlwaysShowEditButton = false;
    bool AutoDropDown = false;
    bool DblClickNextVal = false;
    bool DropDownShowTitles = false;
    bool DropDownSizing = false;
    bool EndEllipsis = false;
    bool ToolTips = false;
    TColumnTitleDefValuesEh Title;
};

// ------------------------------------------------------------ data link

// The grid's link: maps grid columns to fields and forwards the data set's
// notifications to the grid.
class TGridDataLinkEh : public TDataLink {
public:
    explicit TGridDataLinkEh(TCustomDBGridEh* grid) : grid_(grid) {}
    // Lenient: an unknown name maps to -1; strict: "Field '%s' not found".
    bool LenientMapping = false;
    bool AddMapping(const std::string& fieldName);
    void ClearMapping();
    int FieldCount() const { return int(map_.size()); }
    // The field of mapping i, null when unmapped.
    TField* Fields(int i) const;
    bool DefaultFields() const { return defaultFields_; }
    bool Modified() const { return modified_; }
    void SetModified(bool v) { modified_ = v; }
    // Reloads the current cell when it was edited, else cancels the record.
    void Reset();
    void UpdateDataPublic() { UpdateData(); }

protected:
    void ActiveChanged() override;
    void DataSetChanged() override;
    void DataSetScrolled(int distance) override;
    void LayoutChanged() override;
    void EditingChanged() override;
    void RecordChanged(TField* field) override;
    void UpdateData() override;
    void FocusControl(TField** field) override;

private:
    TCustomDBGridEh* grid_;
    std::vector<int> map_;
    bool defaultFields_ = true;
    bool modified_ = false;
    bool inUpdateData_ = false;
};

// ------------------------------------------------------------ selection

// The selected records as bookmarks, kept in the data set's presented
// order (CompareBookmarks), searched by bisection with a one-entry cache.
class TBookmarkListEh {
public:
    explicit TBookmarkListEh(TCustomDBGridEh* grid) : grid_(grid) {}
    int Count() const { return int(list_.size()); }
    int ItemCount() const { return Count(); }
    const TBookmark& BookmarkAt(int i) const { return list_.at(size_t(i)); }
    const TBookmark& operator[](int i) const { return BookmarkAt(i); }
    // EInvalidGridOperation "Cannot perform this operation on a closed
    // dataset" without an active link.
    TBookmark CurrentBookmark() const;
    bool CurrentSelected();
    void SetCurrentSelected(bool v);
    bool CurrentRowSelected() { return CurrentSelected(); }
    void SetCurrentRowSelected(bool v) { SetCurrentSelected(v); }
    bool Locate(const TBookmark& b, int& index);
    bool Find(const TBookmark& b) {
        int i;
        return Locate(b, i);
    }
    void Empty();
    void Clear() { Empty(); }
    void LinkActiveChanged(bool v);
    // Deletes every listed record (the last first), controls disabled.
    void DeleteRecords();
    // Adds a bookmark (used by range selection).
    void Insert(const TBookmark& b);
    // Replaces the list with bookmarks already in presented order.
    void AssignOrdered(std::vector<TBookmark>&& ordered);

private:
    int compare(const TBookmark& a, const TBookmark& b) const;
    TCustomDBGridEh* grid_;
    std::vector<TBookmark> list_;
    TBookmark lastSought_;
    int lastIndex_ = -1;
    bool lastFound_ = false;
    bool linkActive_ = false;
};

struct TDBCell {
    int ColumnIndex = -1;
    TBookmark RowBookmark;
};

class TDBGridEhSelectionRect {
public:
    explicit TDBGridEhSelectionRect(TCustomDBGridEh* grid) : grid_(grid) {}
    TDBCell AnchorCell;
    TDBCell ShiftCell;
    // Selects from the anchor to the cell (a single cell selects nothing).
    void Select(int col, const TBookmark& row, bool keepAnchor);
    void Reset();
    bool CellSelected(int col, const TBookmark& row) const;
    bool BoxRect(int& left, TBookmark& top, int& right, TBookmark& bottom) const;
    int LeftCol() const;
    int RightCol() const;
    TBookmark TopRow() const;
    TBookmark BottomRow() const;

private:
    TCustomDBGridEh* grid_;
};

class TDBGridEhSelectionCols {
public:
    explicit TDBGridEhSelectionCols(TCustomDBGridEh* grid) : grid_(grid) {}
    int Count() const { return int(list_.size()); }
    TColumnEh* Items(int i) const { return list_.at(size_t(i)); }
    bool Contains(TColumnEh* c) const;
    void AddSorted(TColumnEh* c);
    void Clear();
    // Ctrl: the column in or out; it becomes the anchor of Shift.
    void ToggleColumn(TColumnEh* c);
    // Shift (and dragging over the titles): the columns from the anchor to c
    // take the anchor's state; moving the end back towards the anchor puts
    // back exactly the columns an earlier extension changed.
    void ShiftSelectColumn(TColumnEh* c);
    // A plain click (Keep false: the only selected column), or a column
    // added to the others (Keep true).
    void SelectColumn(TColumnEh* c, bool Keep);
    // Forgets columns that left the grid's collection (the layout asks),
    // and puts the rest back in collection order.
    void DropMissingColumns();
    TColumnEh* AnchorColumn = nullptr;
    TColumnEh* ShiftEndColumn = nullptr;
    // The columns the extensions since the anchor was set have changed.
    std::vector<TColumnEh*> ShiftChangedColumns;

private:
    void repaintColumn(TColumnEh* c);
    TCustomDBGridEh* grid_;
    std::vector<TColumnEh*> list_;
};

// One selection kind at a time.
//
//   gstNon --Ctrl/Shift+click rows--> gstRecordBookmarks
//   gstNon --drag over cells-------> gstRectangle
//   gstNon --Ctrl+click titles-----> gstColumns
//   any ----Ctrl+A / top-left------> gstAll
//   any ----Clear / a plain move---> gstNon
class TDBGridEhSelection {
public:
    explicit TDBGridEhSelection(TCustomDBGridEh* grid);
    ~TDBGridEhSelection();
    TDBGridEhSelectionType SelectionType() const { return kind_; }
    TDBGridEhSelectionType Kind() const { return kind_; }
    TBookmarkListEh* Rows() const;
    TDBGridEhSelectionRect* Rect() const { return rect_.get(); }
    TDBGridEhSelectionCols* Columns() const { return cols_.get(); }
    void Clear();
    void ChangeKind(TDBGridEhSelectionType k);
    bool DataCellSelected(int columnIndex, const TBookmark& row);
    void SelectWholeGrid();
    void DropEmptyKind();
    void DataLinkActiveChanged(bool v);

private:
    TCustomDBGridEh* grid_;
    TDBGridEhSelectionType kind_ = gstNon;
    std::unique_ptr<TDBGridEhSelectionRect> rect_;
    std::unique_ptr<TDBGridEhSelectionCols> cols_;
};

// ------------------------------------------------------------ scroll bars

// The grid's settings of one scroll bar: shown or not, and (vertical) whether
// dragging the thumb moves the data set while it is dragged.
class TDBGridEhScrollBar : public TPersistent {
public:
    TDBGridEhScrollBar(TCustomDBGridEh* grid, TScrollBarKind kind) : grid_(grid), kind_(kind) {}
    std::string ClassName() const override { return "TDBGridEhScrollBar"; }
    void Assign(TPersistent* Source) override;
    TScrollBarKind Kind() const { return kind_; }
    bool Tracking() const { return tracking_; }
    void SetTracking(bool v) { tracking_ = v; }
    bool Visible() const { return visible_; }
    void SetVisible(bool v);
    // Visible and the grid's window has the bar now.
    bool IsShowing() const;

private:
    TCustomDBGridEh* grid_;
    TScrollBarKind kind_;
    bool tracking_ = false;
    bool visible_ = true;
};

// ------------------------------------------------------------ the grid's sum list

class TDBGridEhSumList : public TDBSumListProducer {
public:
    explicit TDBGridEhSumList(TCustomDBGridEh* grid);
    std::string ClassName() const override { return "TDBGridEhSumList"; }
};

// ------------------------------------------------------------ the grid

// Axes (see the layout in DBGridEh.cpp):
//   columns: [indicator 11 px] then one grid column per TColumnEh (hidden:
//            width 0, or -1 with dgColLines); fixed = indicator + FrozenCols.
//   rows:    [title row] then the link's buffer rows, then, with footers,
//            one separator row that fills down to FooterRowCount footer
//            rows standing at the bottom of the client area.
class TCustomDBGridEh : public TCustomGrid {
public:
    // columnFactory: the kind of column this grid holds (TColumnEh without).
    explicit TCustomDBGridEh(TComponent* AOwner, TCollection::ItemFactory columnFactory = nullptr);
    ~TCustomDBGridEh() override;
    std::string ClassName() const override { return "TCustomDBGridEh"; }

    // ---- data
    TDataSource* DataSource() const;
    TDataSource* GetDataSource() const { return DataSource(); }
    void SetDataSource(TDataSource* v);
    TGridDataLinkEh* DataLink() const { return dataLink_.get(); }
    TDBGridColumnsEh* Columns() const { return columns_.get(); }
    void SetColumns(TDBGridColumnsEh* v);
    // The columns in collection order that are Visible.
    std::vector<TColumnEh*> VisibleColumns() const;
    TColumnDefValuesEh& ColumnDefValues() { return columnDefValues_; }
    const TColumnDefValuesEh& ColumnDefValues() const { return columnDefValues_; }
    TDBGridEhSumList* SumList() const { return sumList_.get(); }
    TDBGridEhScrollBar* HorzScrollBar() const { return horzScrollBar_.get(); }
    void SetHorzScrollBar(TDBGridEhScrollBar* v) { horzScrollBar_->Assign(v); }
    TDBGridEhScrollBar* VertScrollBar() const { return vertScrollBar_.get(); }
    void SetVertScrollBar(TDBGridEhScrollBar* v) { vertScrollBar_->Assign(v); }
    // Shows the scroll bars the two objects and auto-fitting ask for.
    void updateScrollBarStyle();
    void SetSumList(TDBGridEhSumList* v) { sumList_->Assign(v); }

    // ---- options
    TDBGridOptions Options() const { return options_; }
    void SetOptions(TDBGridOptions v);
    TDBGridEhOptions OptionsEh() const { return optionsEh_; }
    void SetOptionsEh(TDBGridEhOptions v);
    TDBGridEhAllowedOperations AllowedOperations() const { return allowedOperations_; }
    void SetAllowedOperations(TDBGridEhAllowedOperations v) { allowedOperations_ = v; }
    TDBGridEhAllowedSelections AllowedSelections() const { return allowedSelections_; }
    void SetAllowedSelections(TDBGridEhAllowedSelections v);
    TDBGridEhEditActions EditActions() const { return editActions_; }
    void SetEditActions(TDBGridEhEditActions v) { editActions_ = v; }
    bool ReadOnly() const { return readOnly_; }
    void SetReadOnly(bool v);
    bool AutoFitColWidths() const { return autoFitColWidths_; }
    void SetAutoFitColWidths(bool v);
    int MinAutoFitWidth() const { return minAutoFitWidth_; }
    void SetMinAutoFitWidth(int v);
    bool DrawMemoText() const { return drawMemoText_; }
    void SetDrawMemoText(bool v);
    bool Flat() const { return flat_; }
    void SetFlat(bool v);
    int FrozenCols() const { return frozenCols_; }
    void SetFrozenCols(int v);
    int FooterRowCount() const { return footerRowCount_; }
    void SetFooterRowCount(int v);
    TColor FooterColor() const { return footerColor_; }
    void SetFooterColor(TColor v);
    TFont* FooterFont() const { return footerFont_.get(); }
    void SetFooterFont(TFont* v) { footerFont_->Assign(v); }
    TFont* TitleFont() const { return titleFont_.get(); }
    void SetTitleFont(TFont* v) { titleFont_->Assign(v); }
    int TitleHeight() const { return titleHeight_; }
    void SetTitleHeight(int v);
    int TitleLines() const { return titleLines_; }
    void SetTitleLines(int v);
    int RowHeight() const { return rowHeight_; }
    void SetRowHeight(int v);
    int RowLines() const { return rowLines_; }
    void SetRowLines(int v);
    bool RowSizingAllowed() const { return rowSizingAllowed_; }
    void SetRowSizingAllowed(bool v);
    bool UseMultiTitle() const { return useMultiTitle_; }
    void SetUseMultiTitle(bool v);
    int VTitleMargin() const { return vTitleMargin_; }
    void SetVTitleMargin(int v);
    TImageList* TitleImages() const { return titleImages_; }
    void SetTitleImages(TImageList* v);
    bool ParentColor() const { return parentColor_; }
    void SetParentColor(bool v);
    // The grid paints cell contents itself (the base's own drawing stays
    // off: the grid paints every region).
    bool DefaultDrawing() const { return defaultDrawingEh_; }
    void SetDefaultDrawing(bool v) {
        defaultDrawingEh_ = v;
        Invalidate();
    }

    // ---- position
    int SelectedIndex() const;
    int GetSelectedIndex() const { return SelectedIndex(); }
    void SetSelectedIndex(int v);
    TField* SelectedField() const;
    void SetSelectedField(TField* v);
    TBookmarkListEh* SelectedRows() const { return bookmarks_.get(); }
    TDBGridEhSelection* Selection() const { return selection_.get(); }
    // The sort-marked columns in marking order.
    const std::vector<TColumnEh*>& SortMarkedColumns() const { return sortMarked_; }
    int VisibleDataRowCount() const;
    // The rectangle of the data cells (between titles and footers).
    TRect DataAreaRect() const;
    int TitleOffset() const { return titleOffset_; }
    int IndicatorOffset() const { return indicatorOffset_; }
    int RawToDataColumn(int aCol) const { return aCol - indicatorOffset_; }
    int DataToRawColumn(int aCol) const { return aCol + indicatorOffset_; }
    // The grid row of footer row 0 (-1 without footers).
    int FirstFooterRow() const;
    THeadTreeNode* HeadTree() const { return headTree_.get(); }
    // The leaf of the title tree of a column (multi-title), null otherwise.
    THeadTreeNode* LeafFieldArr(int dataCol) const;

    // ---- automatic scrolling while a selection is dragged past the data
    // cells. Records and rectangles: each step moves min(D / 6, 8) records
    // (D: pixels outside) and the next comes after 200 - 15 x D ms. Columns
    // dragged over the titles: one column a step, the next after
    // 200 - 10 x D ms. Never sooner than kMinAutoScrollInterval.
    virtual void SelectionAutoScroll();
    void StartAutoScrollTimer(int Interval);
    void StopAutoScrollTimer();
    bool AutoScrollTimerOn() const;
    // The interval of the last restart, -1 once stopped.
    int AutoScrollInterval() const { return autoScrollInterval_; }
    static constexpr int kMinAutoScrollInterval = 10;

    // ---- sizing frozen columns by their title lines: a zone max(L, 7)
    // pixels wide (L the grid line width) round each frozen column's right
    // edge, over the title rows; when the frozen columns reach past the
    // window, its right edge sizes the column it cuts. Found: State 6, the
    // column's grid index, the sizing line's position and its offset from X.
    void FrozenSizingHitTest(int X, int Y, int& Offset, int& Position, int& Index, int& State) const;
    bool OverFrozenSizingLine(int X, int Y) const;
    // Whether a press at (X, Y) selects columns: the lower
    // kColumnSelectZone pixels of a data column's title, in a grid that may
    // select columns. The pointer shows DownCursorEh() there, and
    // RightCursorEh() over the indicator of a record that a press selects.
    bool OverColumnSelectZone(int X, int Y) const;
    bool OverRecordSelectZone(int X, int Y) const;
    static constexpr int kColumnSelectZone = 7;
    // 1 when the grid is flat with a bsSingle border (its 1-pixel edge
    // outside the cells), else 0.
    int FlatBorderWidth() const;

    // ---- layout protocol: BeginLayout/EndLayout nest; the last EndLayout
    // lays out once (InternalLayout); an exception still ends it.
    void BeginLayout();
    void EndLayout();
    void CancelLayout();
    bool AcquireLayoutLock();
    void BeginUpdate();
    void EndUpdate();
    virtual void LayoutChanged();
    void DeferLayout();
    // Full layouts done so far.
    int LayoutCount() const { return layoutCount_; }

    // ---- values
    virtual std::string GetFooterValue(int Row, TColumnEh* Column);
    void InvalidateFooters();
    void SumListChanged();
    void DefaultDrawColumnCell(const TRect& Rect, int DataCol, TColumnEh* Column, TGridDrawState State);
    void DefaultDrawFooterCell(const TRect& Rect, int DataCol, int Row, TColumnEh* Column, TGridDrawState State);
    void DefaultApplySorting();
    // The cell text the painter would show for a column of the record the
    // data set reads now (print and export read it too).
    std::string CellDisplayText(TColumnEh* Column) const;

    // ---- tooltips: the whole text of a cell or title that does not fit,
    // shown while the pointer rests on it (columns' ToolTips, titles'
    // Title.ToolTips), and a title's own Hint.
    TFont* TooltipFont();
    // Whether text needs more room than r gives (wrapped when asked).
    bool TextExceedsCell(const std::string& text, const TRect& r, bool wrap);
    // The text a data cell's tooltip shows for the record read now.
    std::string CellTipText(TColumnEh* Column);
    // What a tooltip at client point (X, Y) would show: its text, the cell
    // it belongs to and where the text goes (client coordinates). False
    // when the point asks for none.
    bool CellTooltipAt(int X, int Y, std::string& Text, TRect& CellRect, TPoint& TextPos);
    // The window showing the current tooltip (null before the first).
    THintWindow* TooltipWindow() const { return tipWindow_; }
    void HideTooltip();

    // ---- the in-place editor (null until first shown)
    TDBGridInplaceEdit* InplaceEditorEh() const;

    // ---- the drop-down data grid of a lookup column's editor
    TPopupDataGridEh* DroppedDataGrid() const { return droppedGrid_; }
    void DropDownDataGrid();
    void CloseUpDataGrid(bool Accept);

    // ---- editing / actions
    bool CanCopySelection();
    bool CanCutSelection();
    bool CanDeleteSelection();
    bool CanPasteSelection();
    bool CanSelectAll();
    // Whether the user may make a selection of this kind here: rectangles
    // and columns not with whole rows selected.
    bool CanSelectKind(TDBGridEhSelectionType Kind) const;
    // Deletes a whole selection (asking first with dgConfirmDelete).
    void ClearSelection();
    // Moves the data set by Distance records (ToEnd: to the last or first
    // record). With Select, whole records are selected from the range's
    // anchor when moving record-wise or with dgRowSelect, else a rectangle
    // of cells stretches to the record reached; without Select the move
    // drops a record selection.
    void MoveBySelecting(bool Select, int Distance, bool RecordWise, bool ToEnd);
    // Makes grid column ACol current; with Direction, columns too narrow to
    // see are passed over that way. ExtendRect stretches a rectangle (one
    // is started at the current cell) to the column reached.
    void MoveCol(int ACol, int Direction, bool ExtendRect);
    // Incremental search.
    bool InTitleFilterMode() const { return false; }
    bool IncSearching() const { return incSearching_; }
    const std::string& IncSearchText() const { return incSearchText_; }
    void StartIncSearch();
    void StopIncSearch();
    bool DoIncSearch(const std::string& text, int direction);

    // ---- events
    TDBGridEhClickEvent OnCellClick;
    TDBGridEhClickEvent OnTitleClick;
    TTitleEhClickEvent OnTitleBtnClick;
    TCheckTitleEhBtnEvent OnCheckButton;
    TNotifyEvent OnColEnter;
    TNotifyEvent OnColExit;
    TMovedEventEh OnColumnMoved;
    TNotifyEvent OnColWidthsChanged;
    TDrawColumnEhCellEvent OnDrawColumnCell;
    TDrawDataCellEhEvent OnDrawDataCell;
    TDrawFooterCellEvent OnDrawFooterCell;
    TNotifyEvent OnEditButtonClick;
    TGetBtnEhParamsEvent OnGetBtnParams;
    TGetCellEhParamsEvent OnGetCellParams;
    TGetFooterParamsEvent OnGetFooterParams;
    TNotifyEvent OnSortMarkingChanged;
    TNotifyEvent OnSumListRecalcAll;

    void Loaded() override;
    void Notification(TComponent* component, TOperation operation) override;

    // Used by the columns, the link and the selection objects.
    std::vector<TColumnEh*>& sortMarkedList() { return sortMarked_; }
    int SortIndexTextWidth(const TColumnEh* col, int index) const;
    TColumnEh* columnAt(int gridCol) const;
    void columnsChanged(TCollectionItem* item);
    void columnFontChanged();
    void invalidateSelectionArea();
    bool loading() const { return ComponentState().Contains(csLoading); }
    // Paints the whole grid on any canvas (screenshots, print fixtures).
    void PaintTo(TCanvas* canvas);

protected:
    friend class TGridDataLinkEh;
    friend class TBookmarkListEh;
    friend class TDBGridEhSelection;
    friend class TDBGridEhScrollBar;
    friend class TDBGridInplaceEdit;

    // data link reactions
    virtual void LinkActive(bool Value);
    virtual void DataChanged();
    virtual void EditingChanged();
    virtual void RecordChanged(TField* Field);
    virtual void Scroll(int Distance);
    virtual void UpdateActive();
    virtual void UpdateData();
    virtual void DefineFieldMap();
    virtual void UpdateRowCount();
    virtual void UpdateScrollBar();
    virtual void InternalLayout();
    virtual void SetColumnAttributes();
    virtual bool IsCellHighlighted(int DataCol, TGridDrawState State, bool rowSelected);
    // Rows between the title row and the records that stay in place (a
    // lookup grid's special row); the layout asks when it runs.
    virtual int SpecialRowCount() const { return 0; }
    // The fields default columns are made of (the visible fields).
    virtual std::vector<TField*> DatasetFieldList() const;
    virtual void DrawSpecialRowCell(TCanvas* c, int ACol, const TRect& r, TGridDrawState st) {}
    bool HasTitleRow() const { return titleRow_; }
    int DataRowHeightPx() const { return dataRowHeight_; }
    int TitleRowHeightPx() const { return titleRowHeight_; }

    // notifications
    virtual void CellClick(TColumnEh* Column);
    virtual void TitleClick(TColumnEh* Column);
    virtual void TitleBtnClick(int ACol, TColumnEh* Column);
    virtual void ColEnter();
    virtual void ColExit();

    // grid base overrides
    void DrawCell(int ACol, int ARow, const TRect& ARect, TGridDrawState AState) override;
    void Paint() override;
    std::string GetEditText(int ACol, int ARow) override;
    void SetEditText(int ACol, int ARow, const std::string& Value) override;
    std::string GetEditMask(int ACol, int ARow) override;
    int GetEditLimit() override;
    TEditStyle GetEditStyle(int ACol, int ARow) override;
    std::vector<std::string> GetPickList(int ACol, int ARow) override;
    void EditButtonClick() override;
    void PickListChosen() override;
    TInplaceEdit* CreateEditor() override;
    bool CanEditShow() override;
    bool CanEditModify() override;
    bool CanEditAcceptKey(char32_t Key) override;
    void EditorKeyDownFirst(Word& Key, TShiftState Shift) override;
    bool EditorPaste(const std::string& Text) override;
    bool SelectCell(int ACol, int ARow) override;
    void ColumnMoved(int FromIndex, int ToIndex) override;
    void ColWidthsChanged() override;
    void RowHeightsChanged() override;
    void TopLeftChanged() override;
    bool BeginColumnDrag(int& Origin, int& Destination, TPoint MousePt) override;
    bool CheckColumnDrag(int& Origin, int& Destination, TPoint MousePt) override;
    bool CalcSizingState(int X, int Y, TGridState& State, int& Index, int& SizingPos, int& SizingOfs) override;
    void TimedScroll(bool Left, bool Right, bool Up, bool Down) override;
    void KeyDown(Word& Key, TShiftState Shift) override;
    void KeyUp(Word& Key, TShiftState Shift) override;
    void KeyPress(char32_t& Key) override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseMove(TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void DblClick() override;
    void MouseLeave() override;
    bool DoMouseWheel(TShiftState Shift, int WheelDelta, TPoint MousePos) override;
    bool DoContextPopup(TPoint MousePos) override;
    void ScrollBarChanged(TScrollBarKind Kind, TScrollCode Code, int Pos) override;
    void ClientResized() override;
    void DoEnter() override;
    void DoExit() override;
    void FontChanged() override;
    void ColorChanged() override;
    void EnabledChanged() override;
    void CancelMode() override;
    // Inside InternalLayout: widths set now are the layout's, not a user's.
    bool InLayout() const { return inLayout_; }

private:
    struct Impl;
    void setGridOptions();
    void moveToColumn(int gridCol);
    void moveRecordBy(int distance, TShiftState shift);
    // What a plain move does to the selection: drops it when the grid
    // clears its selection, and ends a keyboard range.
    void dropSelection();
    // Starts a rectangle at the current cell unless one is selected.
    void anchorRectHere();
    void deleteCurrent();
    void drawIndicator(TCanvas* c, const TRect& r, int dataRow);
    void drawTitleCell(TCanvas* c, int ACol, const TRect& r, TGridDrawState st);
    void drawDataCell(TCanvas* c, int ACol, int ARow, const TRect& r, TGridDrawState st);
    void drawFooterCell(TCanvas* c, int ACol, int footerRow, const TRect& r, TGridDrawState st);
    // The buttons of an AlwaysShowEditButton cell, from x = left to the
    // cell's right edge.
    void drawCellButtons(TCanvas* c, TColumnEh* col, const TRect& cell, int left);
    // A left press at (X, Y) on the buttons of the current cell, shown by
    // the cell or by the editor: the editor shows and the button under the
    // point takes the press. False when the point holds no button.
    bool pressCellButton(int X, int Y);
    void buildTitleTree();
    int titleRowHeight();
    int footerRowHeight() const;
    int dataRowHeight() const { return dataRowHeight_; }
    void autoFitWidths();
    void showTooltip(const std::string& text, const TRect& cell, const TPoint& at);
    enum ListCell { lcNone, lcLookup, lcKeyPick, lcPick };
    ListCell listCellHere(TColumnEh*& c);
    // The editor's pick list while it is open, else null.
    TPopupListboxEh* openPickList() const;
    bool listCellMayChange();
    int locateInPickList(TColumnEh* c, const std::string& Text, bool Partial);
    bool locateLookup(TField* f, const std::string& Text, bool Partial);
    void showListEntry(TColumnEh* c, ListCell kind, const std::string& entry, int index, int typedChars);
    void showListText(TColumnEh* c, ListCell kind, const std::string& text, int caret);
    // Typed or pasted text in a lookup or key list cell: shows the first
    // entry that begins with wanted, or notInList when none does and the
    // column takes texts outside its list; typedChars stay unselected.
    void completeListCell(TColumnEh* c, ListCell kind, const std::string& wanted, const std::string& notInList,
                          int typedChars);
    bool completeListText(char32_t& Key);
    void writeLookupText(TColumnEh* c, const std::string& text, int caret);
    void stepSortMarker(TColumnEh* c, bool keepOthers);
    void selectRangeTo(const TBookmark& target);
    void dragRowsTo(const TBookmark& target);
    void recordPress(TShiftState Shift, const TBookmark& before);
    void cellPress(TMouseButton Button, TShiftState Shift, int gridCol, const TDBCell& previous);
    void mouseDownNow(TMouseButton Button, TShiftState Shift, int X, int Y);
    void columnSelectPress(int gridCol, TShiftState Shift);
    void columnSelectMove(int X, int Y);
    void columnAutoScroll();
    bool traceSizingPress(TMouseButton Button, int X, int Y);
    void traceSizingMove(int X);
    void updateMouseCursor(int X, int Y);
    TColumnEh* columnPopupAt(int X, int Y) const;
    bool columnPopupRelease(TShiftState Shift, int X, int Y);
    void popupColumnMenu(TColumnEh* c, int X, int Y);
    bool canModifyDataSet() const;
    int cellColumnIndex(int gridCol) const { return gridCol - indicatorOffset_; }

    std::unique_ptr<TGridDataLinkEh> dataLink_;
    std::unique_ptr<TDBGridColumnsEh> columns_;
    std::unique_ptr<TBookmarkListEh> bookmarks_;
    std::unique_ptr<TDBGridEhSelection> selection_;
    std::unique_ptr<TDBGridEhSumList> sumList_;
    std::unique_ptr<TDBGridEhScrollBar> horzScrollBar_;
    std::unique_ptr<TDBGridEhScrollBar> vertScrollBar_;
    std::unique_ptr<TFont> titleFont_;
    std::unique_ptr<TFont> footerFont_;
    std::unique_ptr<THeadTreeNode> headTree_;
    std::vector<THeadTreeNode*> leafFieldArr_;
    std::vector<TColumnEh*> sortMarked_;
    TColumnDefValuesEh columnDefValues_;
    TCanvas* paintCanvas_ = nullptr;

    TDBGridOptions options_{dgEditing,  dgTitles, dgIndicator,     dgColumnResize, dgColLines,
                            dgRowLines, dgTabs,   dgConfirmDelete, dgCancelOnExit};
    TDBGridEhOptions optionsEh_{dghFixed3D, dghHighlightFocus, dghClearSelection};
    TDBGridEhAllowedOperations allowedOperations_{alopInsertEh, alopUpdateEh, alopDeleteEh, alopAppendEh};
    TDBGridEhAllowedSelections allowedSelections_{gstRecordBookmarks, gstRectangle, gstColumns, gstAll};
    TDBGridEhEditActions editActions_;
    bool readOnly_ = false;
    bool autoFitColWidths_ = false;
    int minAutoFitWidth_ = 0;
    bool drawMemoText_ = false;
    bool flat_ = false;
    int frozenCols_ = 0;
    int footerRowCount_ = 0;
    TColor footerColor_ = clWindow;
    int titleHeight_ = 0;
    int titleLines_ = 0;
    int rowHeight_ = 0;
    int rowLines_ = 0;
    bool rowSizingAllowed_ = false;
    bool useMultiTitle_ = false;
    int vTitleMargin_ = 10;
    TImageList* titleImages_ = nullptr;
    bool parentColor_ = false;
    bool defaultDrawingEh_ = true;

    int titleOffset_ = 1;
    bool titleRow_ = true;
    // The view shows the first scrolling column right after the frozen ones.
    bool leftAtFrozenEdge_ = true;
    int specRows_ = 0;
    int indicatorOffset_ = 1;
    int layoutLock_ = 0;
    int updateLock_ = 0;
    int layoutCount_ = 0;
    bool inLayout_ = false;
    bool layoutPending_ = false;
    bool inUpdateData_ = false;
    bool multiLineRows_ = false;
    int dataRowHeight_ = 18;
    int titleRowHeight_ = 18;
    int textMargin_ = 4;
    int lastCol_ = -1;
    std::string editText_;
    TPopupDataGridEh* droppedGrid_ = nullptr;
    THintWindow* tipWindow_ = nullptr;
    // A title's own hint waiting for the hint pause.
    TTimer* tipTimer_ = nullptr;
    std::string pendingTipText_;
    TRect pendingTipCell_;
    TPoint pendingTipAt_;
    std::unique_ptr<TFont> tooltipFont_;
    TRect tipCell_;
    TDataSource* dropDownSource_ = nullptr;

    // mouse tracking
    int titlePressCol_ = -1;
    bool titlePressed_ = false;
    bool selectingRect_ = false;
    bool selectingRows_ = false;
    bool sizingFrozen_ = false;
    bool selectingCols_ = false;
    bool colScrollOutside_ = false;
    // A press of an automatic drag with multi-select, handled as the
    // grid's own (autoDragPress_); it left a drag to begin on the next move
    // (dragPending_).
    bool autoDragPress_ = false;
    bool dragPending_ = false;
    // A right press on a title moving a column (as a left press).
    bool rightColDrag_ = false;
    // Records dragged over on the indicator: each record passed going away
    // from rowAnchor_ takes rowMarkState_ (the pressed record's new state),
    // each one left going back towards it the opposite; rowDragEnd_ is
    // where the drag has reached.
    bool rowMarkState_ = true;
    TBookmark rowDragEnd_;
    // A column sized live (dghTraceColSizing): its grid index (-1 when
    // none), the pointer's offset from its right edge, its left edge and
    // its width before the press (put back when the sizing is cancelled).
    int traceSizingCol_ = -1;
    int traceSizingOfs_ = 0;
    int traceSizingLeft_ = 0;
    int traceSizingWidth_ = 0;
    TBookmark rowAnchor_;
    TPoint pressPoint_;
    TPoint lastMouse_;
    TTimer* autoScrollTimer_ = nullptr;
    int autoScrollInterval_ = -1;

    // incremental search
    bool incSearching_ = false;
    bool incSearchMoving_ = false;
    std::string incSearchText_;
    uint64_t incSearchTick_ = 0;
};

// The editor a data grid shows over its current cell: besides the text, the
// column's button (ellipsis, up/down, or a drop-down: pick list, the
// lookup's data grid, a month calendar) and the column's EditButtons at the
// outer edge. The pick list and the calendar are windows of their own,
// placed beside the editor inside the screen's work area; the keyboard
// stays in the editor and steers them.
class TDBGridInplaceEdit : public TInplaceEdit, public IDropDownOwnerEh {
public:
    explicit TDBGridInplaceEdit(TCustomDBGridEh* Grid);
    ~TDBGridInplaceEdit() override;
    std::string ClassName() const override { return "TDBGridInplaceEdit"; }
    TCustomDBGridEh* GridEh() const { return grid_; }
    // The grid's current column; null while it has none.
    TColumnEh* Column() const;
    TInplaceEditStyleEh EditStyleEh() const { return style_; }
    bool DroppedDown() const;
    void DropDown();
    void CloseUp(bool Accept) override;
    TPopupListboxEh* PopupList() const { return list_; }
    TPopupMonthCalendarEh* Calendar() const { return calendar_; }
    // The cell's parameters (OnGetCellParams) set ReadOnly other than the
    // column would: the editor's own state holds instead.
    bool ReadOnlyOverridden() const { return readOnlyOverridden_; }
    bool ForcedReadOnly() const { return forcedReadOnly_; }
    // Pixels the buttons take at the right edge.
    int ButtonAreaWidth() const;
    // The button of the up/down style (null for the other styles) and the
    // controls of the column's visible EditButtons, in order.
    TEditButtonControlEh* UpDownButton() const { return upDown_; }
    int EditButtonControlCount() const { return int(buttons_.size()); }
    TEditButtonControlEh* EditButtonControl(int i) const { return buttons_.at(size_t(i)).control; }
    void UpdateContents() override;
    // Steps the value as the up/down button does: the top button adds the
    // column's Increment to a number and takes the previous item of a list.
    void UpDownStep(bool IsBottom);
    // Keys the editor takes before anything else (cleared when taken), and
    // typed characters (a closed drop-down of an AutoDropDown column opens).
    void HandleKeyDown(Word& Key, TShiftState Shift);
    void HandleKeyPress(char32_t Key);
    // A press the grid passes on from a cell's button zone, in editor
    // coordinates: the button there takes it. False when none is there.
    bool PressButtonAt(int X, int Y);
    // A press on the default button is held: the grid passes on the moves
    // and the release of a press it handed over (editor coordinates).
    bool ButtonHeld() const { return buttonHeld_; }
    void ButtonMouseMove(TShiftState Shift, int X, int Y) { MouseMove(Shift, X, Y); }
    void ButtonMouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) { MouseUp(Button, Shift, X, Y); }
    // The press now held opened the drop-down (its click leaves it open).
    bool OpenedByThisPress() const { return openedByThisPress_; }
    // The 1-pixel lines left of the buttons in a flat grid, the default
    // button's first; hidden ones elsewhere.
    int SeparatorCount() const { return int(separators_.size()); }
    TShape* Separator(int i) const { return separators_.at(size_t(i)); }

protected:
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseMove(TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void BoundsChanged() override;
    bool KeepsLineKey(Word Key) const override;
    bool DoMouseWheel(TShiftState Shift, int WheelDelta, TPoint MousePos) override;
    void DoExit() override;

private:
    struct Button {
        TEditButtonControlEh* control;
        int item;
    };
    void updateEditButtons();
    void editButtonDown(int item, TEditButtonControlEh* control);
    void editButtonClick(int item, TEditButtonControlEh* control);
    void listMouseUp(TMouseButton Button, int X, int Y);
    void showListItemText();
    int defaultButtonWidth() const;
    void trackDropDownMouse(int X, int Y);
    TShape* separatorAt(size_t i);

    TCustomDBGridEh* grid_;
    TInplaceEditStyleEh style_ = iesSimpleEh;
    TPopupListboxEh* list_ = nullptr;
    bool listDown_ = false;
    TPopupMonthCalendarEh* calendar_ = nullptr;
    bool calendarDown_ = false;
    TEditButtonControlEh* upDown_ = nullptr;
    std::vector<Button> buttons_;
    std::vector<TShape*> separators_;
    bool readOnlyOverridden_ = false;
    bool forcedReadOnly_ = false;
    bool buttonHeld_ = false;
    bool openedByThisPress_ = false;
    TDropDownMouseTrackEh track_;
    TReleaseButtonEh releaseButton_;
};

class TDBGridEh : public TCustomDBGridEh {
public:
    explicit TDBGridEh(TComponent* AOwner) : TCustomDBGridEh(AOwner) {}
    std::string ClassName() const override { return "TDBGridEh"; }
};

// The grid's own pointers: a down arrow over the strip of a title that
// selects columns ("DOWNCUREH"), a right arrow over the indicator of the
// records ("RIGHTCUREH").
TCursor DownCursorEh();
TCursor RightCursorEh();

// The clipboard actions (copy, cut, paste, clearing cells of a rectangle or
// columns) live beside the export and import formats in gridlib/data; they
// install themselves here and the grid's keys call them.
struct TDBGridEhEditActionHooks {
    std::function<void(TCustomDBGridEh*)> Copy;
    std::function<void(TCustomDBGridEh*)> Cut;
    std::function<void(TCustomDBGridEh*)> Paste;
    std::function<void(TCustomDBGridEh*)> ClearCells;
};
TDBGridEhEditActionHooks& DBGridEhEditActionHooks();

// ------------------------------------------------------------ cell text routines

// Cuts text to fit width pixels with "..." at the end (dropping two
// characters first, then one at a time by bisection); "..." alone when even
// that is too wide.
std::string ShortenTextToWidth(TCanvas* canvas, const std::string& text, int width);
// Writes text into r: the quick path for one line (2-pixel left margin, 3
// from the right edge when right-aligned), word-wrapped when asked.
void WriteTextEh(TCanvas* canvas, const TRect& r, bool fillRect, int dx, int dy, const std::string& text,
                 TAlignment alignment, bool multiLine, bool endEllipsis, int leftMargin = 0, int rightMargin = 0);
// Vertical (bottom-up) text; returns the width it took.
int WriteTextVerticalEh(TCanvas* canvas, const TRect& r, bool fillRect, int dx, int dy, const std::string& text,
                        TAlignment alignment, bool measureOnly);
