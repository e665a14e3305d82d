// The in-house data grid: one row per record of a data set (through a data
// source and the grid's own link), one TVQColumn per column, with frozen
// data columns, multi-level headings built from "_" in captions, Boolean
// fields as check boxes, a text-style event that can recolour a cell,
// multi-selection of records, a title menu (right click on the title row),
// an incremental find box (Ctrl+F) and an export description of what it
// shows (ExportSource) for the spreadsheet, text, HTML and RTF writers.
// The master-data list windows and the import wizard are made of it.
// Not here: the record grid (one row per field) and the grid printing.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "DB.h"
#include "Grids.h"
#include "Menus.h"
#include "StdCtrls.h"
#include "vq/export/VQExportSource.h"

class TVQCustomDBGrid;
class TVQDBGridColumns;
class TVQColumn;

// The core of the in-house grids: the class library's grid with the
// house's defaults (rows 30 high, one LineColor for every line) and the
// "+" key reserved: it is never typed into a cell nor opens the editor,
// because the data grid uses it to select and to open lists.
class TVQCustomGrid : public TCustomGrid {
public:
    explicit TVQCustomGrid(TComponent* AOwner);
    std::string ClassName() const override { return "TVQCustomGrid"; }
    TColor LineColor() const { return lineColor_; }
    void SetLineColor(TColor v) {
        lineColor_ = v;
        Invalidate();
    }

protected:
    void KeyPress(char32_t& Key) override;

private:
    TColor lineColor_ = clBlack;
};

// Scoped: the class library's data grid uses the same names.
enum class TVQDBGridOption {
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
    dgMultiSelect,
    dgAllowDelete,
    dgAllowAdd,
    dgReceiptMode,
    dgSelectedBar
};
using TVQDBGridOptions = TSet<TVQDBGridOption>;

enum class TVQColumnButtonStyle { cbsAuto, cbsEllipsis, cbsNone };

// Presentation values set explicitly on a column; the others follow the
// field and the grid at every read.
enum TVQColumnValue {
    cvColor,
    cvWidth,
    cvFont,
    cvAlignment,
    cvReadOnly,
    cvTitleColor,
    cvTitleCaption,
    cvTitleAlignment,
    cvTitleFont,
    cvImeMode,
    cvImeName
};
using TVQColumnValues = TSet<TVQColumnValue>;

// What the data grid's columns and the record grid's rows share: the field
// they show, found by name while the data set is open, and presentation
// values that follow the field and the grid until assigned. A generated
// column (made from the data set's fields, not stored) writes alignment,
// read-only and width through to its field instead, when writesThrough()
// says the field is there to take them.
class TVQColumnCore {
public:
    virtual ~TVQColumnCore();
    const std::string& FieldName() const { return fieldName_; }
    void SetFieldName(const std::string& v);
    // The bound field, looked up by name while the grid's data set is open.
    TField* Field() const;
    virtual int DefaultWidth() const = 0;
    void SetWidth(int v);
    TAlignment Alignment() const;
    void SetAlignment(TAlignment v);
    TColor Color() const;
    void SetColor(TColor v);
    TFont* Font() const;
    bool ReadOnly() const;
    bool GetReadOnly() const { return ReadOnly(); }
    void SetReadOnly(bool v);
    // Created on first use; never null.
    std::vector<std::string>* GetPickList();
    std::vector<std::string>& PickList() { return *GetPickList(); }
    TVQColumnButtonStyle ButtonStyle() const { return buttonStyle_; }
    void SetButtonStyle(TVQColumnButtonStyle v);
    unsigned DropDownRows = 7;
    bool IMEControl = false;
    TVQColumnValues AssignedValues() const { return assigned_; }
    void RestoreDefaults();

protected:
    explicit TVQColumnCore(bool generated) : generated_(generated) {}
    virtual TVQCustomGrid* hostGrid() const = 0;
    virtual TDataSet* hostDataSet() const = 0;
    virtual bool hostReadOnly() const = 0;
    virtual bool linkActive() const = 0;
    virtual bool writesThrough() const = 0;
    virtual void restoreTitleDefaults() = 0;
    virtual void changed(bool all = false) = 0;
    // The width of DisplayWidth digits in the column's font.
    int fieldTextWidth(TField* f) const;

    bool generated_;
    std::string fieldName_;
    std::unique_ptr<std::vector<std::string>> pickList_;
    TVQColumnValues assigned_;
    int width_ = 64;
    TColor color_ = clWindow;
    TAlignment alignment_ = taLeftJustify;
    bool readOnly_ = false;
    TVQColumnButtonStyle buttonStyle_ = TVQColumnButtonStyle::cbsAuto;
};

class TVQColumnTitle {
public:
    explicit TVQColumnTitle(TVQColumn* column) : column_(column) {}
    // The assigned caption, else the field's display label, else FieldName.
    std::string GetCaption() const;
    std::string Caption() const { return GetCaption(); }
    std::string DefaultCaption() const;
    // A stored column keeps the caption; a generated one writes it into
    // its field's display label.
    void SetCaption(const std::string& v);
    TAlignment Alignment() const { return alignment_; }
    void SetAlignment(TAlignment v);
    TColor Color() const;
    void SetColor(TColor v);
    TFont* Font() const;
    void RestoreDefaults();

private:
    TVQColumn* column_;
    std::string caption_;
    TAlignment alignment_ = taLeftJustify;
    TColor color_ = clBtnFace;
};

class TVQColumn : public TVQColumnCore {
public:
    TVQColumn(TVQDBGridColumns* owner, bool stored);
    ~TVQColumn() override;
    TVQCustomDBGrid* Grid() const;
    int Index() const;
    void SetIndex(int v);

    TVQColumnTitle* Title() const { return title_.get(); }
    // -1 when the column does not show; the assigned width; else from the
    // field's display width.
    int GetWidth() const;
    int Width() const { return GetWidth(); }
    int DefaultWidth() const override;
    bool Visible() const { return visible_; }
    void SetVisible(bool v);
    bool Showing() const { return visible_; }
    void SetPickList(const std::vector<std::string>* v);
    bool TabStop() const { return tabStop_; }
    void SetTabStop(bool v) { tabStop_ = v; }
    bool FixedColumns = false;
    bool Stored() const { return !generated_; }

private:
    friend class TVQDBGridColumns;
    friend class TVQColumnTitle;
    friend class TVQCustomDBGrid;
    TVQCustomGrid* hostGrid() const override;
    TDataSet* hostDataSet() const override;
    bool hostReadOnly() const override;
    bool linkActive() const override;
    bool writesThrough() const override { return generated_; }
    void restoreTitleDefaults() override;
    void changed(bool all = false) override;
    TVQDBGridColumns* owner_;
    std::unique_ptr<TVQColumnTitle> title_;
    bool visible_ = true;
    bool tabStop_ = true;
};

enum TVQDBGridColumnsState { vcsDefault, vcsCustomized };

class TVQDBGridColumns {
public:
    explicit TVQDBGridColumns(TVQCustomDBGrid* grid) : grid_(grid) {}
    TVQCustomDBGrid* Grid() const { return grid_; }
    // Appends a stored column (the set becomes customised).
    TVQColumn* Add();
    int Count() const { return int(items_.size()); }
    // Throws EListError outside 0..Count-1.
    TVQColumn* GetColumn(int i) const;
    TVQColumn* Items(int i) const { return GetColumn(i); }
    TVQColumn* operator[](int i) const { return GetColumn(i); }
    void Delete(int i);
    void Clear();
    // Customised when the first column is stored.
    TVQDBGridColumnsState State() const;
    void SetState(TVQDBGridColumnsState v);
    // One stored column per field of the data set.
    void RebuildColumns();

private:
    friend class TVQCustomDBGrid;
    friend class TVQColumn;
    TVQCustomDBGrid* grid_;
    std::vector<std::unique_ptr<TVQColumn>> items_;
};

class TVQGridDataLink : public TDataLink {
public:
    explicit TVQGridDataLink(TVQCustomDBGrid* grid) : grid_(grid) {}
    bool Modified() const { return modified_; }
    void SetModified(bool v) { modified_ = v; }
    void Reset() { modified_ = false; }

protected:
    void ActiveChanged() override;
    void DataSetChanged() override;
    void DataSetScrolled(int distance) override;
    void LayoutChanged() override;
    void EditingChanged() override;
    void RecordChanged(TField* field) override;
    void UpdateData() override;

private:
    TVQCustomDBGrid* grid_;
    bool modified_ = false;
};

// The multi-selected records: bookmarks kept sorted by the data set's own
// order, found by bisection, with the last search cached.
class TVQBookmarkList {
public:
    explicit TVQBookmarkList(TVQCustomDBGrid* grid) : grid_(grid) {}
    int Count() const { return int(items_.size()); }
    const TBookmark& Items(int i) const { return items_.at(size_t(i)); }
    // Throws EDatabaseError "Cannot perform this operation on a closed
    // dataset" while the grid's link is inactive.
    bool CurrentRowSelected() const;
    void SetCurrentRowSelected(bool v);
    bool Find(const TBookmark& b, int& index) const;
    void Clear();

private:
    friend class TVQCustomDBGrid;
    TDataSet* dataSet() const;
    TVQCustomDBGrid* grid_;
    std::vector<TBookmark> items_;
    mutable TBookmark cacheKey_;
    mutable int cacheIndex_ = -1;
    mutable bool cacheFound_ = false;
};

// The find box over the current title (Ctrl+F): typing locates the first
// record whose current-column text begins with the box's text (letter case
// ignored); Enter keeps the record found, Esc returns to the one current
// when the box opened. The navigation keys still move the grid; Delete,
// Backspace and the other editing keys stay in the box.
class TFindEdit : public TEdit {
public:
    explicit TFindEdit(TVQCustomDBGrid* grid);
    std::string ClassName() const override { return "TFindEdit"; }
    // 0 none, 1 accepted with Enter, 2 cancelled with Esc.
    int EndMode() const { return endMode_; }

protected:
    void KeyDown(Word& Key, TShiftState Shift) override;
    void KeyPress(char32_t& Key) override;
    void DoExit() override;

private:
    friend class TVQCustomDBGrid;
    TVQCustomDBGrid* grid_;
    int endMode_ = 0;
};

// The data grid's cell editor: on the info-background colour; on a button
// column keypad "+" clicks the button and is never typed; on a pick-list
// column Down and keypad "+" drop the list; Enter goes on to the next
// column; Left in an empty cell goes to the previous one; Ctrl+F opens the
// find box; gaining the focus announces the keys of the column.
// Its list has items 11 pixels high, at most the column's DropDownRows of
// them; typing into the open list picks the first item that begins with
// what was typed (up to 32 characters, started anew after 2 seconds, and
// by Backspace or Esc).
class TVQDBGridInplaceEdit : public TInplaceEdit {
public:
    explicit TVQDBGridInplaceEdit(TVQCustomDBGrid* grid);
    std::string ClassName() const override { return "TVQDBGridInplaceEdit"; }
    void UpdateContents() override;
    // What has been typed into the open list so far.
    const std::u32string& SearchText() const { return searchText_; }

protected:
    void KeyDown(Word& Key, TShiftState Shift) override;
    void KeyPress(char32_t& Key) override;
    void DoEnter() override;

private:
    TVQCustomDBGrid* grid_;
    std::u32string searchText_;
    uint64_t lastTyped_ = 0;
};

using TVQDBGridClickEvent = std::function<void(TVQColumn* Column)>;
using TColExitEvent = std::function<void(TObject* Sender, bool& CanExit, std::string& Err)>;
using THotKeyHintEvent = std::function<void(TObject* Sender, const std::string& Hint)>;
using TGetCellTextStyle =
    std::function<void(TObject* Sender, const std::string& FieldName, std::string& Text, TColor& Color)>;
using TVQDrawColumnCellEvent =
    std::function<void(TObject* Sender, const TRect& Rect, int DataCol, TVQColumn* Column, TGridDrawState State)>;

// One heading above the titles (a node of the "_" tree).
struct TVQHeadNode {
    std::string Caption;
    int Height = 0;
    int Width = 0;
    // Visible-column positions the heading spans (inclusive).
    int First = 0;
    int Last = 0;
    std::vector<std::unique_ptr<TVQHeadNode>> Children;
    TVQHeadNode* Parent = nullptr;
    // The column's own title node, for a leaf.
    TVQColumn* Column = nullptr;
};

// The data grid.
//
// Axes: grid column 0 is the indicator with dgIndicator (20 pixels), then
// one grid column per TVQColumn (hidden: width -1); the first FrozenCols
// data columns are fixed. Grid row 0 is the title row with dgTitles, as
// high as the heading levels; grid row TitleOffset + i shows window row i
// of the link's buffer, which holds the rows that fit: painting costs the
// same over a million records as over a hundred.
//
// Selection: only with dgMultiSelect (keypad "+", Ctrl+Enter, Shift with
// Up/Down, Ctrl+click, the title menu's "全部选定"). Deleting: Delete or
// Ctrl+Delete, only with dgAllowDelete and not ReadOnly, after
// "您是否确定删除?" with dgConfirmDelete; the selected records, else the
// current one.
class TVQCustomDBGrid : public TVQCustomGrid {
public:
    explicit TVQCustomDBGrid(TComponent* AOwner);
    static TVQDBGridOptions DefaultOptions();
    ~TVQCustomDBGrid() override;
    std::string ClassName() const override { return "TVQCustomDBGrid"; }

    TDataSource* GetDataSource() const { return dataLink_->DataSource(); }
    TDataSource* DataSource() const { return GetDataSource(); }
    void SetDataSource(TDataSource* v);
    TVQGridDataLink* DataLink() const { return dataLink_.get(); }
    TDataSet* DataSet() const;
    TVQDBGridColumns* Columns() const { return columns_.get(); }
    TVQDBGridOptions Options() const { return dbOptions_; }
    void SetOptions(TVQDBGridOptions v);
    bool ReadOnly() const { return readOnly_; }
    void SetReadOnly(bool v);
    TFont* TitleFont() const { return titleFont_.get(); }
    void SetTitleFont(const TFont* v);
    int FrozenCols() const { return frozenCols_; }
    void SetFrozenCols(int v);
    bool DefaultDrawing() const { return defaultDrawing_; }
    void SetDefaultDrawing(bool v) {
        defaultDrawing_ = v;
        Invalidate();
    }
    int SelectedIndex() const;
    void SetSelectedIndex(int v);
    TField* SelectedField() const;
    TVQColumn* CurrentColumn() const { return columnAt(Col()); }
    TVQBookmarkList* SelectedRows() const { return selectedRows_.get(); }
    int TitleOffset() const { return titleOffset_; }
    int IndicatorOffset() const { return indicatorOffset_; }
    int VisibleDataRowCount() const;
    // The grid column of a data column and back.
    int GridColumnOf(const TVQColumn* c) const;

    TVQColumn* FindColumnByFieldName(const std::string& name) const;
    TVQColumn* FindColumnByCaption(const std::string& text) const;
    // The visible columns in order, with the data set: what exports read.
    TVQExportSource ExportSource() const;
    // The word-processor export of source (the windows pass the grid
    // itself): asks for a file name (save dialog, default extension "rtf")
    // and writes the visible columns and every record there as an RTF
    // table. False when the operator cancelled or the export failed; a
    // failure is shown with its cause.
    bool ExportToWord(const std::string& heading, const std::string& footer, TVQCustomDBGrid* source);
    // The headings of the title band (built at each layout).
    const TVQHeadNode& HeadingRoot() const { return headRoot_; }

    // The title menu and the find box.
    TPopupMenu* TitleMenu() const { return titleMenu_; }
    void ShowTitleMenu(int X, int Y);
    void TitleMenuAction(int tag);
    void SelectAll();
    void OpenFindBox();
    TFindEdit* FindBox() const { return findBox_; }
    // Deletes the selected records or the current one (see the class
    // comment); false when nothing was deleted.
    bool DeleteRecords();

    void BeginLayout() { ++layoutLock_; }
    void EndLayout();
    void LayoutChanged();

    TVQDBGridClickEvent OnCellClick;
    TVQDBGridClickEvent OnTitleClick;
    TNotifyEvent OnColEnter;
    TColExitEvent OnColExit;
    THotKeyHintEvent OnHotKeyHint;
    TGetCellTextStyle OnGetCellTextStyle;
    TVQDrawColumnCellEvent OnDrawColumnCell;
    TNotifyEvent OnEditButtonClick;
    TNotifyEvent OnSaveTitleClick;
    TMovedEvent OnColumnMoved;
    // The title menu's entries that open windows. Unassigned, the column
    // dialog is the grid's own (VQDBGDlg.h); the export and chart windows
    // live above the grid (vq/export) and come through the defaults that
    // InstallGridTitleMenu() sets at start-up.
    std::function<void(TVQCustomDBGrid*)> OnColumnDialog;
    std::function<void(TVQCustomDBGrid*)> OnExportDialog;
    std::function<void(TVQCustomDBGrid*)> OnChartDialog;
    static std::function<void(TVQCustomDBGrid*)> DefaultExportDialog;
    static std::function<void(TVQCustomDBGrid*)> DefaultChartDialog;

protected:
    friend class TVQGridDataLink;
    friend class TVQColumn;
    friend class TVQColumnTitle;
    friend class TVQDBGridColumns;
    friend class TVQBookmarkList;
    friend class TFindEdit;
    friend class TVQDBGridInplaceEdit;

    TInplaceEdit* CreateEditor() override;
    void DrawCell(int ACol, int ARow, const TRect& ARect, TGridDrawState AState) override;
    std::string GetEditText(int ACol, int ARow) override;
    void SetEditText(int ACol, int ARow, const std::string& Value) override;
    std::string GetEditMask(int ACol, int ARow) override;
    int GetEditLimit() override;
    TEditStyle GetEditStyle(int ACol, int ARow) override;
    std::vector<std::string> GetPickList(int ACol, int ARow) override;
    // The lookup keys behind the items of a lookup column's list, in the
    // order GetPickList gave the items.
    std::vector<Variant> lookupKeys_;
    void EditButtonClick() override;
    void PickListChosen() override;
    bool CanEditShow() override;
    bool CanEditModify() override;
    bool CanEditAcceptKey(char32_t Key) override;
    void ColumnMoved(int FromIndex, int ToIndex) override;
    void ColWidthsChanged() override;
    bool BeginColumnDrag(int& Origin, int& Destination, TPoint MousePt) override;
    bool CheckColumnDrag(int& Origin, int& Destination, TPoint MousePt) override;
    void TimedScroll(bool Left, bool Right, bool Up, bool Down) override;
    void KeyDown(Word& Key, TShiftState Shift) override;
    void KeyPress(char32_t& Key) override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void DblClick() override;
    bool DoMouseWheel(TShiftState Shift, int WheelDelta, TPoint MousePos) override;
    void ScrollBarChanged(TScrollBarKind Kind, TScrollCode Code, int Pos) override;
    void UpdateScrollRange() override;
    void ClientResized() override;
    void DoEnter() override;
    void DoExit() override;
    void FontChanged() override;

    virtual void LinkActive(bool Active);
    virtual void DataChanged();
    virtual void EditingChanged();
    virtual void RecordChanged(TField* Field);
    virtual void Scroll(int Distance);
    virtual void UpdateData();

private:
    TVQColumn* columnAt(int gridCol) const;
    void setGridOptions();
    void updateRowCount();
    void updateActive();
    void buildHeadings();
    void drawTitle(int ACol, const TRect& r, TGridDrawState state);
    void drawIndicator(const TRect& r, int dataRow);
    bool columnExitAllowed();
    bool moveToColumn(int gridCol);
    void moveRecordBy(int distance, TShiftState shift);
    void stepColumn(bool back);
    void findStep();
    void closeFindBox();

    std::unique_ptr<TVQGridDataLink> dataLink_;
    std::unique_ptr<TVQDBGridColumns> columns_;
    std::unique_ptr<TVQBookmarkList> selectedRows_;
    std::unique_ptr<TFont> titleFont_;
    TVQDBGridOptions dbOptions_ = DefaultOptions();
    bool readOnly_ = false;
    bool defaultDrawing_ = true;
    int frozenCols_ = 0;
    int titleOffset_ = 1;
    int indicatorOffset_ = 1;
    int layoutLock_ = 0;
    bool inLayout_ = false;
    bool inUpdate_ = false;
    bool inColExit_ = false;
    std::string editText_;
    int titleClickCol_ = -1;
    bool titleRightClick_ = false;
    int lastCol_ = -1;
    TBookmark selectionAnchor_;
    bool selecting_ = false;
    TVQHeadNode headRoot_;
    TPopupMenu* titleMenu_ = nullptr;
    TFindEdit* findBox_ = nullptr;
    TBookmark findBookmark_;
};

class TVQDBGrid : public TVQCustomDBGrid {
public:
    explicit TVQDBGrid(TComponent* AOwner) : TVQCustomDBGrid(AOwner) {}
    std::string ClassName() const override { return "TVQDBGrid"; }
};
