// The class library's data grid: one row per record of a data set (read
// through TDataSource and the grid's own data link) and one column per
// field or per TColumn of Columns. It keeps only the rows that show: the
// link's buffer is the visible rows, so a million-record data set paints
// and scrolls at the cost of a hundred-record one.
// Not here: multi-line titles, footers and sums (the second grid library).
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "DB.h"
#include "Grids.h"

class TDBGrid;
class TColumn;

enum TDBGridOption {
    dgEditing,
    dgAlwaysShowEditor,
    dgTitles,
    dgIndicator,
    dgColumnResize,
    dgColLines,
    dgRowLines,
    dgTabs,
    dgRowSelect,
    dgAlwaysShowSelection,
    dgConfirmDelete,
    dgCancelOnExit,
    dgMultiSelect
};
using TDBGridOptions = TSet<TDBGridOption>;

enum TColumnButtonStyle { cbsAuto, cbsEllipsis, cbsNone };

// The title cell of a column. Caption defaults to the field's DisplayLabel;
// Color to the grid's FixedColor; Font to the grid's TitleFont.
class TColumnTitle {
public:
    explicit TColumnTitle(TColumn* column);
    std::string Caption() const;
    void SetCaption(const std::string& v);
    TAlignment Alignment() const { return alignment_; }
    void SetAlignment(TAlignment v);
    TColor Color() const;
    void SetColor(TColor v);
    TFont* Font() const;
    void SetFont(const TFont* v);

private:
    TColumn* column_;
    std::string caption_;
    bool captionSet_ = false;
    TAlignment alignment_ = taLeftJustify;
    TColor color_ = clDefault;
    std::unique_ptr<TFont> font_;
};

// One column of a data grid: which field it shows and how. Properties that
// were never set follow the field (width, alignment) or the grid (colour,
// font).
class TColumn {
public:
    explicit TColumn(TDBGrid* grid);
    ~TColumn();
    TDBGrid* Grid() const { return grid_; }
    int Index() const;
    void SetIndex(int v);

    const std::string& FieldName() const { return fieldName_; }
    void SetFieldName(const std::string& v);
    // The data set's field of that name while the grid's link is active.
    TField* Field() const;
    TColumnTitle* Title() const { return title_.get(); }
    // Pixels; default from the field's DisplayWidth in the grid's font.
    int Width() const;
    void SetWidth(int v);
    bool Visible() const { return visible_; }
    void SetVisible(bool v);
    TAlignment Alignment() const;
    void SetAlignment(TAlignment v);
    TColor Color() const;
    void SetColor(TColor v);
    TFont* Font() const;
    void SetFont(const TFont* v);
    bool ReadOnly() const { return readOnly_; }
    void SetReadOnly(bool v) { readOnly_ = v; }
    std::vector<std::string>& PickList() { return pickList_; }
    TColumnButtonStyle ButtonStyle() const { return buttonStyle_; }
    void SetButtonStyle(TColumnButtonStyle v) { buttonStyle_ = v; }

private:
    friend class TDBGrid;
    friend class TDBGridColumns;
    friend class TColumnTitle;
    void changed();
    TDBGrid* grid_;
    std::string fieldName_;
    std::unique_ptr<TColumnTitle> title_;
    int width_ = -1; // -1: not set
    bool visible_ = true;
    TAlignment alignment_ = taLeftJustify;
    bool alignmentSet_ = false;
    TColor color_ = clDefault;
    std::unique_ptr<TFont> font_;
    bool readOnly_ = false;
    std::vector<std::string> pickList_;
    TColumnButtonStyle buttonStyle_ = cbsAuto;
};

enum TDBGridColumnsState { csDefault, csCustomized };

// The columns of a grid. Adding a column makes the set customized; a grid
// with no customized columns shows every visible field of the data set and
// rebuilds its columns when the data set's fields change.
class TDBGridColumns {
public:
    explicit TDBGridColumns(TDBGrid* grid) : grid_(grid) {}
    TColumn* Add();
    int Count() const { return int(items_.size()); }
    // Throws EListError "List index out of bounds (%d)" outside 0..Count-1.
    TColumn* Items(int i) const;
    TColumn* operator[](int i) const { return Items(i); }
    void Delete(int i);
    void Clear();
    TDBGridColumnsState State() const { return state_; }
    void SetState(TDBGridColumnsState v);
    // Fills the columns from the data set's visible fields (customized).
    void RebuildColumns();

private:
    friend class TDBGrid;
    friend class TColumn;
    void move(int from, int to);
    TDBGrid* grid_;
    std::vector<std::unique_ptr<TColumn>> items_;
    TDBGridColumnsState state_ = csDefault;
};

// The grid's link: forwards the data set's notifications to the grid.
class TGridDataLink : public TDataLink {
public:
    explicit TGridDataLink(TDBGrid* grid) : grid_(grid) {}
    bool Modified() const { return modified_; }
    void SetModified(bool v) { modified_ = v; }
    // Public face of the protected notifications for the grid.
    void Reset();

protected:
    void ActiveChanged() override;
    void DataSetChanged() override;
    void DataSetScrolled(int distance) override;
    void LayoutChanged() override;
    void EditingChanged() override;
    void RecordChanged(TField* field) override;
    void UpdateData() override;
    void CheckBrowseMode() override;

private:
    TDBGrid* grid_;
    bool modified_ = false;
};

// The records a multi-select grid has selected, as bookmarks.
class TBookmarkList {
public:
    explicit TBookmarkList(TDBGrid* grid) : grid_(grid) {}
    int Count() const { return int(items_.size()); }
    const TBookmark& Items(int i) const { return items_.at(size_t(i)); }
    bool CurrentRowSelected() const;
    void SetCurrentRowSelected(bool v);
    bool Find(const TBookmark& b) const;
    void Clear();
    // Deletes every selected record from the data set.
    void Delete();

private:
    TDBGrid* grid_;
    std::vector<TBookmark> items_;
};

using TDrawColumnCellEvent =
    std::function<void(TObject* Sender, const TRect& Rect, int DataCol, TColumn* Column, TGridDrawState State)>;
using TDBGridClickEvent = std::function<void(TColumn* Column)>;
using TMovedColumnEvent = std::function<void(TObject* Sender, int FromIndex, int ToIndex)>;

// The data grid.
//
// Axes: grid column 0 is the indicator with dgIndicator (11 pixels), then
// one grid column per TColumn (hidden: width 0, or -1 with dgColLines so
// its line goes too). Grid row 0 is the title row with dgTitles; grid row
// TitleOffset + i shows window row i of the link's buffer; the buffer holds
// the rows that fit, so RowCount never exceeds a screen.
//
// Record cursor and grid row stay together both ways: a data set move
// scrolls the grid (DataSetScrolled), and grid keys, clicks and the scroll
// bar move the data set (never walking it: the bar is RecNo of
// RecordCount).
//
// Editing: typing in a cell (dgEditing, not ReadOnly) puts the data set in
// edit state; the editor's text is written to the field when the editor
// hides or the record is left, and the data set posts as it moves on.
class TDBGrid : public TCustomGrid {
public:
    explicit TDBGrid(TComponent* AOwner);
    ~TDBGrid() override;
    std::string ClassName() const override { return "TDBGrid"; }

    TDataSource* DataSource() const { return dataLink_->DataSource(); }
    void SetDataSource(TDataSource* v);
    TGridDataLink* DataLink() const { return dataLink_.get(); }
    TDBGridColumns* Columns() const { return columns_.get(); }
    TDBGridOptions Options() const { return dbOptions_; }
    void SetOptions(TDBGridOptions v);
    bool ReadOnly() const { return readOnly_; }
    void SetReadOnly(bool v);
    TFont* TitleFont() const { return titleFont_.get(); }
    void SetTitleFont(const TFont* v);
    int SelectedIndex() const;
    void SetSelectedIndex(int v);
    TField* SelectedField() const;
    void SetSelectedField(TField* v);
    TBookmarkList* SelectedRows() const { return selectedRows_.get(); }
    int FieldCount() const { return columns_->Count(); }
    TField* Fields(int i) const;
    // Rows of records that fit the client area now.
    int VisibleDataRowCount() const;

    // Draws a data cell's text the standard way (for OnDrawColumnCell).
    void DefaultDrawColumnCell(const TRect& Rect, int DataCol, TColumn* Column, TGridDrawState State);

    TDrawColumnCellEvent OnDrawColumnCell;
    TDBGridClickEvent OnCellClick;
    TDBGridClickEvent OnTitleClick;
    TNotifyEvent OnColEnter;
    TNotifyEvent OnColExit;
    TMovedColumnEvent OnColumnMoved;
    TNotifyEvent OnEditButtonClick;

protected:
    friend class TGridDataLink;
    friend class TColumn;
    friend class TDBGridColumns;
    friend class TColumnTitle;
    friend class TBookmarkList;

    void DrawCell(int ACol, int ARow, const TRect& ARect, TGridDrawState AState) override;
    std::string GetEditText(int ACol, int ARow) override;
    void SetEditText(int ACol, int ARow, const std::string& Value) override;
    std::string GetEditMask(int ACol, int ARow) override;
    int GetEditLimit() override;
    TEditStyle GetEditStyle(int ACol, int ARow) override;
    std::vector<std::string> GetPickList(int ACol, int ARow) override;
    void EditButtonClick() override;
    void PickListChosen() override;
    bool CanEditShow() override;
    bool CanEditModify() override;
    bool SelectCell(int ACol, int ARow) override;
    void ColumnMoved(int FromIndex, int ToIndex) override;
    void ColWidthsChanged() override;
    bool BeginColumnDrag(int& Origin, int& Destination, TPoint MousePt) override;
    bool CheckColumnDrag(int& Origin, int& Destination, TPoint MousePt) override;
    void TimedScroll(bool Left, bool Right, bool Up, bool Down) override;
    void KeyDown(Word& Key, TShiftState Shift) override;
    void KeyPress(char32_t& Key) override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    bool DoMouseWheel(TShiftState Shift, int WheelDelta, TPoint MousePos) override;
    void ScrollBarChanged(TScrollBarKind Kind, TScrollCode Code, int Pos) override;
    void UpdateScrollRange() override;
    void ClientResized() override;
    void DoExit() override;
    void FontChanged() override;

    // Data link reactions.
    virtual void LinkActive(bool Active);
    virtual void DataChanged();
    virtual void EditingChanged();
    virtual void RecordChanged(TField* Field);
    virtual void Scroll(int Distance);
    virtual void LayoutChanged();
    virtual void UpdateData();
    virtual void CellClick(TColumn* Column);
    virtual void TitleClick(TColumn* Column);
    virtual void ColEnter();
    virtual void ColExit();

    int TitleOffset() const { return titleOffset_; }
    int IndicatorOffset() const { return indicatorOffset_; }

private:
    void updateRowCount();
    void updateActive();
    void setGridOptions();
    TColumn* columnAt(int gridCol) const;
    void moveRecordBy(int distance, TShiftState shift);
    void moveToColumn(int gridCol);
    void deleteCurrent();
    void drawIndicator(const TRect& r, int dataRow);
    bool acquireLayout();

    std::unique_ptr<TGridDataLink> dataLink_;
    std::unique_ptr<TDBGridColumns> columns_;
    std::unique_ptr<TBookmarkList> selectedRows_;
    std::unique_ptr<TFont> titleFont_;
    TDBGridOptions dbOptions_{dgEditing,  dgTitles, dgIndicator,     dgColumnResize, dgColLines,
                              dgRowLines, dgTabs,   dgConfirmDelete, dgCancelOnExit};
    bool readOnly_ = false;
    int titleOffset_ = 1;
    int indicatorOffset_ = 1;
    int layoutLock_ = 0;
    bool inLayout_ = false;
    bool inUpdate_ = false;
    std::string editText_;
    int titleClickCol_ = -1;
    int lastCol_ = -1;
};
