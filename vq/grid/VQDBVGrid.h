// The record grid: the current record of a data set shown as a form, one
// grid row per field (captions in a fixed title column on the left, the
// value in the single data column beside it), each value editable in
// place. The bill-structure dialogs use it as their record editor.
//
// Axes: grid row 0 is the indicator row with dgIndicator (always 0 pixels
// high), then one row per TVColumn; grid column 0 is the title column with
// dgTitles (TitlesWidth wide), then the one data column, which always shows
// the link's active record. Moving between records is gated by DBGridMode:
// the record editors store it empty and stay on their record.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "DB.h"
#include "vq/grid/VQDBGrid.h"

class TVQCustomDBVGrid;
class TVQDBVGridColumns;
class TVColumn;

enum class TDBVGridOption {
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
    dgReceiptMode
};
using TDBVGridOptions = TSet<TDBVGridOption>;

enum TDBGridModeItem { dmDelete, dmAppend, dmInsert, dmNext };
using TDBGridMode = TSet<TDBGridModeItem>;

class TVColumnTitle {
public:
    explicit TVColumnTitle(TVColumn* column) : column_(column) {}
    // The assigned caption, else the field's display label, else FieldName.
    std::string GetCaption() const;
    std::string Caption() const { return GetCaption(); }
    // A generated row over an open data set writes the caption into its
    // field's display label; otherwise the title keeps it.
    void SetCaption(const std::string& v);
    bool CaptionAssigned() const { return captionAssigned_; }
    TAlignment Alignment() const { return alignment_; }
    void SetAlignment(TAlignment v);
    TColor Color() const { return color_; }
    void SetColor(TColor v);
    TFont* Font() const;
    void RestoreDefaults();

private:
    TVColumn* column_;
    std::string caption_;
    bool captionAssigned_ = false;
    TAlignment alignment_ = taLeftJustify;
    TColor color_ = clBtnFace;
};

// One field row. A generated row (the grid makes one per visible field
// while no row was added in code) writes alignment, read-only and caption
// through to its field.
class TVColumn : public TVQColumnCore {
public:
    TVColumn(TVQDBVGridColumns* owner, bool generated);
    ~TVColumn() override;
    TVQCustomDBVGrid* Grid() const;
    int Index() const;
    void SetIndex(int v);
    bool Generated() const { return generated_; }

    TVColumnTitle* Title() const { return title_.get(); }
    // The assigned width, else the default: never -1 (the grid's layout
    // does not use it).
    int GetWidth() const;
    int Width() const { return GetWidth(); }
    int DefaultWidth() const override;
    // A right-button release on the row pops this menu up (AutoPopup).
    TPopupMenu* PopupMenu = nullptr;

private:
    friend class TVQDBVGridColumns;
    friend class TVColumnTitle;
    friend class TVQCustomDBVGrid;
    TVQCustomGrid* hostGrid() const override;
    TDataSet* hostDataSet() const override;
    bool hostReadOnly() const override;
    bool linkActive() const override;
    bool writesThrough() const override;
    void restoreTitleDefaults() override;
    void changed(bool all = false) override;
    TVQDBVGridColumns* owner_;
    std::unique_ptr<TVColumnTitle> title_;
};

class TVQDBVGridColumns {
public:
    explicit TVQDBVGridColumns(TVQCustomDBVGrid* grid) : grid_(grid) {}
    TVQCustomDBVGrid* Grid() const { return grid_; }
    // Appends a row added in code: the set becomes customised and the
    // generated rows go at the next layout.
    TVColumn* Add();
    int Count() const { return int(items_.size()); }
    // Throws EListError outside 0..Count-1.
    TVColumn* GetColumn(int i) const;
    TVColumn* operator[](int i) const { return GetColumn(i); }
    void Delete(int i);
    void Clear();
    // Customised when the first row was added in code.
    TVQDBGridColumnsState State() const;

private:
    friend class TVQCustomDBVGrid;
    friend class TVColumn;
    TVQCustomDBVGrid* grid_;
    std::vector<std::unique_ptr<TVColumn>> items_;
};

class TVGridDataLink : public TDataLink {
public:
    explicit TVGridDataLink(TVQCustomDBVGrid* grid) : grid_(grid) {}
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
    TVQCustomDBVGrid* grid_;
    bool modified_ = false;
};

// The multi-selected records, by bookmark.
class TVBookmarkList {
public:
    explicit TVBookmarkList(TVQCustomDBVGrid* grid) : grid_(grid) {}
    int Count() const { return int(items_.size()); }
    bool CurrentRowSelected() const;
    void SetCurrentRowSelected(bool v);
    void Clear();
    // Deletes the selected records, last first, with the data set's
    // controls still meanwhile.
    void Delete();

private:
    TDataSet* dataSet() const;
    TVQCustomDBVGrid* grid_;
    std::vector<TBookmark> items_;
};

// The cell editor: on a button row Down and keypad "+" open the field's
// input help instead of moving or typing; Enter writes the text and steps
// to the next row (the grid's row stepping).
class TDBVGridInplaceEdit : public TInplaceEdit {
public:
    explicit TDBVGridInplaceEdit(TVQCustomDBVGrid* grid);
    std::string ClassName() const override { return "TDBVGridInplaceEdit"; }

protected:
    void KeyDown(Word& Key, TShiftState Shift) override;

private:
    TVQCustomDBVGrid* grid_;
};

using TVColumnClickEvent = std::function<void(TVColumn* Column)>;
using TVDrawColumnCellEvent =
    std::function<void(TObject* Sender, const TRect& Rect, int DataCol, TVColumn* Column, TGridDrawState State)>;
using TVColExitEvent = std::function<void(TObject* Sender, bool& CanExit)>;

class TVQCustomDBVGrid : public TVQCustomGrid {
public:
    explicit TVQCustomDBVGrid(TComponent* AOwner);
    ~TVQCustomDBVGrid() override;
    std::string ClassName() const override { return "TVQCustomDBVGrid"; }
    static TDBVGridOptions DefaultOptions();

    TDataSource* GetDataSource() const { return dataLink_->DataSource(); }
    TDataSource* DataSource() const { return GetDataSource(); }
    void SetDataSource(TDataSource* v);
    TVGridDataLink* DataLink() const { return dataLink_.get(); }
    TDataSet* DataSet() const;
    TVQDBVGridColumns* Columns() const { return columns_.get(); }
    TDBVGridOptions Options() const { return dbOptions_; }
    void SetOptions(TDBVGridOptions v);
    bool ReadOnly() const { return readOnly_; }
    void SetReadOnly(bool v);
    TFont* TitleFont() const { return titleFont_.get(); }
    void SetTitleFont(const TFont* v);
    int TitlesWidth() const { return titlesWidth_; }
    void SetTitlesWidth(int v);
    TDBGridMode DBGridMode() const { return gridMode_; }
    void SetDBGridMode(TDBGridMode v) { gridMode_ = v; }
    bool DefaultDrawing() const { return defaultDrawing_; }
    void SetDefaultDrawing(bool v) {
        defaultDrawing_ = v;
        Invalidate();
    }
    // The current field row, counted from 0.
    int GetSelectedIndex() const { return Row() - indicatorOffset_; }
    void SetSelectedIndex(int i);
    TField* GetSelectedField() const;
    TField* SelectedField() const { return GetSelectedField(); }
    TVColumn* CurrentColumn() const { return columnAt(Row()); }
    TVBookmarkList* SelectedRows() const { return selectedRows_.get(); }
    int TitleOffset() const { return titleOffset_; }
    int IndicatorOffset() const { return indicatorOffset_; }
    // The grid row of a field row and back.
    int GridRowOf(const TVColumn* c) const { return c ? c->Index() + indicatorOffset_ : -1; }

    void BeginLayout() { ++layoutLock_; }
    void EndLayout();
    void LayoutChanged();
    // Ctrl+Delete: the selected records, else the current one (see the
    // gates in the unit); false when nothing was deleted.
    bool DeleteRecords();

    TVColumnClickEvent OnCellClick;
    TVColumnClickEvent OnTitleClick;
    TNotifyEvent OnColEnter;
    TVColExitEvent OnColExit;
    THotKeyHintEvent OnHotKeyHint;
    TVDrawColumnCellEvent OnDrawColumnCell;
    TNotifyEvent OnEditButtonClick;
    TMovedEvent OnColumnMoved;

protected:
    friend class TVGridDataLink;
    friend class TVColumn;
    friend class TVColumnTitle;
    friend class TVQDBVGridColumns;
    friend class TVBookmarkList;
    friend class TDBVGridInplaceEdit;

    TInplaceEdit* CreateEditor() override;
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
    bool CanEditAcceptKey(char32_t Key) override;
    void RowMoved(int FromIndex, int ToIndex) override;
    bool BeginRowDrag(int& Origin, int& Destination, TPoint MousePt) override;
    bool CheckRowDrag(int& Origin, int& Destination, TPoint MousePt) override;
    void ColWidthsChanged() override;
    void KeyDown(Word& Key, TShiftState Shift) override;
    void KeyPress(char32_t& Key) override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    bool DoMouseWheel(TShiftState Shift, int WheelDelta, TPoint MousePos) override;
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
    TVColumn* columnAt(int gridRow) const;
    bool fieldEditable(const TVColumn* c) const;
    bool rowExitAllowed();
    bool moveToRow(int gridRow);
    void stepRow(bool back);
    // Left/Right and the other gated steps; false when the record stayed.
    bool recordMove(int distance, TShiftState shift);
    void setGridOptions();
    void toggleBoolean();

    std::unique_ptr<TVGridDataLink> dataLink_;
    std::unique_ptr<TVQDBVGridColumns> columns_;
    std::unique_ptr<TVBookmarkList> selectedRows_;
    std::unique_ptr<TFont> titleFont_;
    TDBVGridOptions dbOptions_ = DefaultOptions();
    TDBGridMode gridMode_{dmDelete, dmAppend, dmInsert};
    bool readOnly_ = false;
    bool defaultDrawing_ = true;
    int titlesWidth_ = 100;
    int titleOffset_ = 1;
    int indicatorOffset_ = 1;
    int layoutLock_ = 0;
    bool inLayout_ = false;
    bool inUpdate_ = false;
    bool inRowExit_ = false;
    bool selecting_ = false;
    int titleClickRow_ = -1;
    std::string editText_;
    TBookmark selectionAnchor_;
};

class TVQDBVGrid : public TVQCustomDBVGrid {
public:
    explicit TVQDBVGrid(TComponent* AOwner) : TVQCustomDBVGrid(AOwner) {}
    std::string ClassName() const override { return "TVQDBVGrid"; }
};
