// The lookup grid: a data grid over a list data set that lets the user
// choose one record by its key. The chosen key is KeyValue and, with a data
// field bound, is written into that field (for a lookup field: into the
// fields its KeyFields name). A special row above the records can stand for
// a value outside the list; typing seeks the shown field; the grid keeps its
// height to whole rows.
//
// TPopupDataGridEh is the same grid as a drop-down window: the data grid's
// in-place editor drops it under a lookup column's cell, and a release on a
// row (or the special row) accepts, a release outside cancels.
//
//   auto* g = new TDBLookupGridEh(form);
//   g->SetParent(form);
//   g->SetListSource(publishers);      // the list
//   g->SetKeyField("PubId");
//   g->SetListField("PubName;City");
//   g->SetDataSource(books); g->SetDataField("PubId");   // optional
//   g->SetDisplayRows(8);
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "gridlib/edits/ToolCtrlsEh.h"
#include "gridlib/grid/DBGridEh.h"

class TDBLookupGridEh;
class TTimer;

enum TDBLookupGridEhOption {
    dlgColumnResizeEh,
    dlgColLinesEh,
    dlgRowLinesEh,
    dlgAutoSortMarkingEh,
    dlgMultiSortMarkingEh
};
using TDBLookupGridEhOptions = TSet<TDBLookupGridEhOption>;

// The data side of a lookup grid: the record whose field takes the key.
class TLookupGridDataLinkEh : public TDataLink {
public:
    explicit TLookupGridDataLinkEh(TDBLookupGridEh* grid) : grid_(grid) {}

protected:
    void ActiveChanged() override;
    void LayoutChanged() override;
    void RecordChanged(TField* field) override;
    void FocusControl(TField** field) override;

private:
    TDBLookupGridEh* grid_;
};

class TDBLookupGridColumnEh;

// A lookup grid column's cell in the special row. Text, colour and font are
// each either the cell's own (once set) or the grid's special row's: the
// text its cell at the column's index, its colour, its font.
class TGridColumnSpecCellEh : public TPersistent {
public:
    explicit TGridColumnSpecCellEh(TDBLookupGridColumnEh* column);
    ~TGridColumnSpecCellEh() override;
    std::string ClassName() const override { return "TGridColumnSpecCellEh"; }
    TPersistent* GetOwner() const;
    // Text and colour; the font only when the source has its own.
    void Assign(TPersistent* Source) override;

    std::string Text() const;
    // A different text becomes the cell's own.
    void SetText(const std::string& v);
    TColor Color() const;
    void SetColor(TColor v);
    // Any change of the font makes it the cell's own.
    TFont* Font() const;
    void SetFont(TFont* v) { font_->Assign(v); }
    bool TextAssigned() const { return textAssigned_; }
    bool ColorAssigned() const { return colorAssigned_; }
    bool FontAssigned() const { return fontAssigned_; }

private:
    TSpecRowEh* gridSpecRow() const;
    void changed();
    TDBLookupGridColumnEh* column_;
    std::string text_;
    TColor color_ = clWindow;
    bool textAssigned_ = false, colorAssigned_ = false, fontAssigned_ = false;
    std::unique_ptr<TFont> font_;
    bool copyingFont_ = false;
};

// The column kind of a lookup grid: a column with its special-row cell.
class TDBLookupGridColumnEh : public TColumnEh {
public:
    explicit TDBLookupGridColumnEh(TCollection* collection);
    std::string ClassName() const override { return "TDBLookupGridColumnEh"; }
    TGridColumnSpecCellEh* SpecCell() const { return specCell_.get(); }
    void SetSpecCell(TGridColumnSpecCellEh* v) { specCell_->Assign(v); }
    // In a lookup grid that fits its columns to its width, a new width is
    // what the column's share is reckoned from (the grid remembers its
    // columns' widths once bound).
    void SetWidth(int v) override;

private:
    std::unique_ptr<TGridColumnSpecCellEh> specCell_;
};

class TDBLookupGridEh : public TCustomDBGridEh {
public:
    explicit TDBLookupGridEh(TComponent* AOwner);
    ~TDBLookupGridEh() override;
    std::string ClassName() const override { return "TDBLookupGridEh"; }

    // ---- the list
    TDataSource* ListSource() const { return TCustomDBGridEh::DataSource(); }
    // "Property already defined by lookup field" in lookup mode.
    void SetListSource(TDataSource* v);
    const std::string& KeyField() const { return keyField_; }
    void SetKeyField(const std::string& v);
    const std::string& ListField() const { return listField_; }
    void SetListField(const std::string& v);
    int ListFieldIndex() const { return listFieldIndex_; }
    void SetListFieldIndex(int v) { listFieldIndex_ = v; }
    const Variant& KeyValue() const { return keyValue_; }
    void SetKeyValue(const Variant& v);
    // The text of the choice (the special row's cell text when it is chosen).
    std::string SelectedText() const;
    bool ListActive() const { return listActive_; }
    bool LookupMode() const { return lookupMode_; }
    const std::string& SearchText() const { return searchText_; }
    // The field SelectedText and type-ahead read.
    TField* ListFieldOfChoice() const { return listFieldOfChoice_; }
    const std::vector<TField*>& ListFields() const { return listFields_; }

    // ---- the data side
    TDataSource* DataSource() const { return dataLink_->DataSource(); }
    void SetDataSource(TDataSource* v);
    const std::string& DataField() const { return dataField_; }
    void SetDataField(const std::string& v);
    bool DataReadOnly() const { return dataLink_->ReadOnly(); }
    void SetDataReadOnly(bool v) { dataLink_->SetReadOnly(v); }

    // ---- look
    int DisplayRows() const { return displayRows_; }
    // Kept within 1..100; the height follows in whole rows.
    void SetDisplayRows(int v);
    bool ShowTitles() const { return TCustomDBGridEh::Options().Contains(dgTitles); }
    void SetShowTitles(bool v);
    TDBLookupGridEhOptions Options() const { return lookupOptions_; }
    void SetOptions(TDBLookupGridEhOptions v);
    void SetUseMultiTitle(bool v);
    void SetAutoFitColWidths(bool v);
    TSpecRowEh* SpecRow() const { return specRow_.get(); }
    void SetSpecRow(TSpecRowEh* v) { specRow_->Assign(v); }

    // The list rows' cells (from the special row to the last shown record).
    TRect DataRowsRect() const;
    // The visible columns' widths plus their lines.
    int ColumnsWidth() const;

    // ---- the operations the grid is made of
    virtual bool CanEditValue() const;
    virtual int BorderSize() const;
    virtual int SpecRowHeight() const;
    virtual int RecordRowHeight() const;
    virtual void KeyValueUpdated();
    virtual void ListStateChanged();
    virtual void TypeAheadChar(char32_t Key);
    virtual void ChooseKeyValue(const Variant& Value);
    virtual void SpecRowUpdated();
    virtual void FitRowsAndWidths();
    virtual void BindDataFields();
    virtual void BindListFields();
    virtual bool FindKeyInList();
    void DataFieldChanged(TField* Field);
    void SelectCurrent();
    void SelectSpecRow();
    void SelectAt(int X, int Y);
    // The key steps of the keyboard (what KeyDown does when the user may
    // choose); public so the cell editor can pass its keys while it shows
    // this grid dropped down.
    bool StepByKey(Word Key, TShiftState Shift);

    // Keeps the height a whole number of rows.
    void SetBounds(int ALeft, int ATop, int AWidth, int AHeight) override;
    void Notification(TComponent* component, TOperation operation) override;

    // How long type-ahead waits before a character starts a new search.
    static constexpr int kTypeAheadMs = 2000;
    // For tests: the clock every lookup grid's type-ahead reads (ms).
    static std::function<uint64_t()> TypeAheadClock;

protected:
    friend class TLookupGridDataLinkEh;
    void LinkActive(bool Value) override;
    void DataChanged() override;
    void Scroll(int Distance) override;
    void UpdateActive() override;
    void UpdateRowCount() override;
    void UpdateScrollBar() override;
    void LayoutChanged() override;
    // A user's sizing of a column, with the columns fitted to the width:
    // the grid (a drop-down with it) widens or narrows by as much, and
    // every column keeps its width.
    void ColWidthsChanged() override;
    bool IsCellHighlighted(int DataCol, TGridDrawState State, bool rowSelected) override;
    int SpecialRowCount() const override;
    void DrawSpecialRowCell(TCanvas* c, int ACol, const TRect& r, TGridDrawState st) override;
    std::vector<TField*> DatasetFieldList() const override;
    void ColumnMoved(int FromIndex, int ToIndex) override;
    void KeyDown(Word& Key, TShiftState Shift) override;
    void KeyPress(char32_t& Key) override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseMove(TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    bool DoMouseWheel(TShiftState Shift, int WheelDelta, TPoint MousePos) override;
    void ScrollBarChanged(TScrollBarKind Kind, TScrollCode Code, int Pos) override;
    void DoEnter() override;
    void DoExit() override;
    // One auto-scroll step while the pointer is dragged above or below the
    // rows; the next comes after 200 - 15 x (pixels outside) ms.
    void selectionAutoScroll();
    virtual bool IsPopup() const { return false; }
    bool Tracking() const { return tracking_; }
    // The grid row of the special row (-1 when hidden).
    int specRowGridRow() const;
    TDataSet* listDataSet() const;
    void checkListSettable() const;
    void checkNotCircular() const;
    void setLookupMode(bool v);
    // Variant of the key fields in the list's current record.
    Variant currentListKey() const;
    bool choosing_ = false;

private:
    std::unique_ptr<TLookupGridDataLinkEh> dataLink_;
    std::unique_ptr<TSpecRowEh> specRow_;
    TDataSource* internalSource_ = nullptr;
    std::string keyField_, listField_, dataField_;
    int listFieldIndex_ = 0;
    Variant keyValue_;
    std::vector<TField*> dataFields_;
    std::vector<TField*> receivingFields_;
    std::string receivingNames_;
    std::vector<TField*> keyFields_;
    std::vector<TField*> listFields_;
    TField* listFieldOfChoice_ = nullptr;
    bool listActive_ = false;
    bool lookupMode_ = false;
    std::string searchText_;
    int activeRecord_ = 0, recordCount_ = 0;
    bool keyRowFound_ = false;
    int displayRows_ = 7;
    TDBLookupGridEhOptions lookupOptions_{dlgColLinesEh};
    bool tracking_ = false;
    int mouseY_ = 0;
    TTimer* scrollTimer_ = nullptr;
    bool inUpdateRowCount_ = false;
    bool settingBounds_ = false;
};

using TPopupDataGridCloseUpEvent = std::function<void(TObject* Sender, bool Accept)>;

class TPopupDataGridEh : public TDBLookupGridEh {
public:
    explicit TPopupDataGridEh(TComponent* AOwner);
    std::string ClassName() const override { return "TPopupDataGridEh"; }
    TSizeGripEh* SizeGrip() const { return grip_; }
    // Set when the user resized it since it was last shown.
    bool UserResized = false;

    TPopupDataGridCloseUpEvent OnMouseCloseUp;
    TNotifyEvent OnUserKeyValueChange;

    void KeyValueUpdated() override;

protected:
    bool IsPopup() const override { return true; }
    void KeyDown(Word& Key, TShiftState Shift) override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseMove(TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void Resize() override;
    void WndProc(TMessage& Message) override;

private:
    TSizeGripEh* grip_ = nullptr;
    int userAction_ = 0;
};
