// The report component: design pages, dictionary, data sources and built
// pages; loading and saving report, template and prepared-report files;
// building (one or two passes), printing and previewing.
//
//   TRMReport r(owner);
//   r.LoadFromFile("report/BookData.rmf");   // false: missing or unreadable
//   books.SetDataSet(query);                  // a TRMDBDataSet named in a band
//   r.ShowReport();                           // build + preview
#pragma once

#include <functional>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "Classes.h"
#include "DB.h"
#include "report/model/RM_Class.h"
#include "report/model/RM_Dictionary.h"
#include "report/model/RM_Page.h"
#include "report/script/RM_Interp.h"
#include "report/script/RM_Parser.h"
#include "report/script/RM_Variables.h"

// ---------------------------------------------------------------- data sources

enum TRMRangeBegin : uint8_t { rbFirst, rbCurrent, rbDefault };
enum TRMRangeEnd : uint8_t { reLast, reCurrent, reCount, reDefault };

class TRMDataset : public TComponent {
public:
    explicit TRMDataset(TComponent* owner);
    // Leaves its master's details; its details lose their master.
    ~TRMDataset() override;
    std::string ClassName() const override { return "TRMDataset"; }

    TRMRangeBegin RangeBegin = rbFirst;
    TRMRangeEnd RangeEnd = reLast;
    int RangeEndCount = 0;
    // After the data set moved (its details moved first).
    std::function<void()> OnFirst, OnNext, OnPrior;
    // Asked on every Eof while the data set is not at its end by itself: may
    // end it there. A count or a table that ended stays ended, so that no
    // answer makes a build walk past the data.
    std::function<void(bool& eof)> OnCheckEOF;

    virtual void Init() {}
    virtual void Exit() {}
    virtual void First();
    virtual void Next();
    virtual void Prior();
    virtual bool Eof();
    // The field's value, or Unassigned when the data set has no such field.
    virtual Variant FieldValue(const std::string& field) { return Variant(); }
    virtual std::vector<std::string> FieldNames() { return {}; }
    int RecNo() const { return recNo_; }

    // A detail moves with its master: First, Next and Prior of the master
    // do the same to each detail (which keeps its own range). A data set
    // is its own master never.
    TRMDataset* MasterDataset() const { return master_; }
    void SetMasterDataset(TRMDataset* master);
    const std::vector<TRMDataset*>& Details() const { return details_; }

    // Data sets known by name, for bands and [DataSet."Field"]; one owned
    // by `owner` (the report's window) wins over others of that name.
    static TRMDataset* Find(const std::string& name, TComponent* owner = nullptr);

protected:
    int recNo_ = 0;
    bool eof_ = true;
    virtual bool rawEof() { return true; }
    virtual void rawFirst() {}
    virtual void rawNext() {}
    virtual void rawPrior() {}
    // With reCurrent: whether the walk stands on the record it ends at.
    virtual bool atRangeEnd() { return true; }

private:
    TRMDataset* master_ = nullptr;
    std::vector<TRMDataset*> details_;
};

class EDSError : public Exception {
public:
    using Exception::Exception;
};

// A data set that only counts: a band whose data source is a number prints
// that many times.
class TRMCountDataset : public TRMDataset {
public:
    TRMCountDataset(int n) : TRMDataset(nullptr), n_(n) {}

protected:
    bool rawEof() override { return recNo_ >= n_; }

private:
    int n_;
};

class TRMDBDataSet : public TRMDataset {
public:
    explicit TRMDBDataSet(TComponent* owner);
    std::string ClassName() const override { return "TRMDBDataSet"; }
    void Notification(TComponent* component, TOperation operation) override;
    // The table walked, given itself or through a data source: setting
    // one clears the other (a null data source clears nothing).
    TDataSet* DataSet() const { return dataSet_; }
    void SetDataSet(TDataSet* ds);
    TDataSource* DataSource() const { return dataSource_; }
    void SetDataSource(TDataSource* ds);
    // The data source's data set when it has one, else DataSet; raises
    // EDSError "Unable to open dataset <name>" when there is neither.
    TDataSet* GetSourceDataSet() const;
    // Init opens the table (then OnOpen); Exit fires OnClose, then closes
    // the table when CloseDataSource is set.
    bool OpenDataSource = true;
    bool CloseDataSource = false;
    std::function<void()> OnOpen, OnClose;

    // Remembers where the table stood and DisableControls it for the
    // walk; Exit puts it back where it was.
    void Init() override;
    void Exit() override;
    void First() override;
    // Moves the table by that many records (a band's "MOVEBY"); the count
    // moved.
    int MoveBy(int distance);
    Variant FieldValue(const std::string& field) override;
    std::vector<std::string> FieldNames() override;

protected:
    bool rawEof() override;
    void rawFirst() override;
    void rawNext() override;
    void rawPrior() override;
    // reCurrent ends on the record that was current when the walk began.
    bool atRangeEnd() override;

private:
    TDataSet* dataSet_ = nullptr;
    TDataSource* dataSource_ = nullptr;
    TBookmark start_;
    bool disabled_ = false;
    // The table of the walk, or null when none is reachable.
    TDataSet* table() const;
};

// Rows supplied by events.
class TRMUserDataset : public TRMDataset {
public:
    explicit TRMUserDataset(TComponent* owner) : TRMDataset(owner) {}
    std::string ClassName() const override { return "TRMUserDataset"; }
    std::function<Variant(const std::string&)> OnGetField;
    Variant FieldValue(const std::string& f) override { return OnGetField ? OnGetField(f) : Variant(); }

protected:
    // Without OnCheckEOF (and no count) the set would never end: it ends
    // at once instead.
    bool rawEof() override { return !OnCheckEOF && RangeEnd != reCount; }
};

// ---------------------------------------------------------------- built pages

struct TRMEMFPageRec {
    uint16_t PaperSize = 9;
    int32_t PaperWidth = 2100, PaperHeight = 2970; // 0.1 mm, orientation applied
    uint8_t Orientation = 0;
    int32_t Bin = 0xFFFF;
    TRect Margins;                     // screen pixels
    int PageWidth = 0, PageHeight = 0; // screen pixels
    bool Visible = false;
    std::string Stream; // the packed page: byte 43, then objects
    std::unique_ptr<TRMPage> Page;
    uint8_t BkPictureIndex = 255;
    uint8_t DesignPageNo = 1;
};

struct TRMBkPicture {
    int Left = 0, Top = 0, Width = 0, Height = 0;
    TRMPictureData Picture;
};

class TRMEMFPages {
public:
    explicit TRMEMFPages(TRMReport* report) : report_(report) {}
    int Count() const { return int(pages_.size()); }
    TRMEMFPageRec& operator[](int i) { return *pages_[size_t(i)]; }
    const TRMBkPicture* GetBkPicture(int i) const { return i >= 0 && i < int(bk_.size()) ? &bk_[size_t(i)] : nullptr; }
    int AddBkPicture(const TRMBkPicture& p) {
        bk_.push_back(p);
        return int(bk_.size()) - 1;
    }
    void Clear();
    void Delete(int i);
    TRMEMFPageRec& AddPage(TRMPage* designPage, int designPageNo);
    // Clears the pages for a new build, keeping their bytes' memory for the
    // pages it builds: a rebuild then writes into memory it already has
    // instead of memory the allocator gave back to the system and has to
    // fault in again, which made the rows of a long list cost twice as
    // much.
    void ClearForRebuild();
    // An empty string with room for at least `room` bytes.
    std::string TakeSpareBytes(size_t room);
    // Frees what the last build did not reuse.
    void DropSpareBytes() { spare_.clear(); }
    // Appends a copy of page i of other pages, with its background picture.
    void AppendCopy(const TRMEMFPages& from, int i);
    // Inserts an empty page with the paper of page `like`.
    void InsertPage(int index, int like);
    // Puts the pages of several design pages in turns: the first page of
    // each design page, then the second of each, and so on; a design page
    // whose pages have run out is skipped, so every page stays once.
    void RegroupPagePerPage();
    TRMPage* UnpackPage(int i);
    void PackPage(int i);
    void FreeUnpacked(int i) { pages_[size_t(i)]->Page.reset(); }
    // The topmost object of page i under p (page pixels; left and top
    // edges inside, right and bottom outside) gets the report's click or
    // mouse-over event; true when an event was called.
    bool DoObjectEvent(int i, TPoint p, int& cursor, bool isClick);
    // Draws page i into r of the canvas, scaling from screen pixels.
    void Draw(int i, TCanvas* canvas, const TRect& r);
    // The prepared-report file.
    void SaveToStream(TStream& s);
    // False (pages cleared) for a foreign or compressed file.
    bool LoadFromStream(TStream& s);
    std::string PrinterName;
    bool PrintVisibleDefault = false;
    // Set by the preview while it shows a page.
    int CurPageNo = 1;

private:
    TRMReport* report_;
    std::vector<std::unique_ptr<TRMEMFPageRec>> pages_;
    std::vector<TRMBkPicture> bk_;
    std::vector<std::string> spare_;
};

// ---------------------------------------------------------------- report

struct TRMReportInfo {
    std::string Title, Author, Company, CopyRight, Comment;
};

// What the preview window shows.
enum TRMPreviewButton {
    pbZoom = 1,
    pbLoad = 2,
    pbSave = 4,
    pbPrint = 8,
    pbFind = 16,
    pbPageSetup = 32,
    pbExit = 64,
    pbExport = 128,
    pbNavigator = 256,
    pbDesign = 512,
    pbSaveToXLS = 1024,
};

class TRMReport;

// ---------------------------------------------------------------- options, printing, export

// How the preview window opens: at the remembered zoom, page width, one
// whole page or two pages side by side.
enum TRMPreviewZoom : int { pzDefault, pzPageWidth, pzOnePage, pzTwoPages };

// Where a report keeps its print settings ("taoda", print offsets, the
// margins of each design page): a registry key under RegistryPath, or a
// section of an INI file, named after the report's title (else its file
// name). Only when AutoLoadSaveSetting is set, unless the report's own
// OnLoadReportSetting/OnSaveReportSetting take over.
struct TRMSaveReportOptions {
    bool AutoLoadSaveSetting = false;
    bool UseRegistry = true;
    std::string IniFileName;
    std::string RegistryPath = "VodidiVerovev\\ReportSettings\\";
    void LoadReportSetting(TRMReport* report, const std::string& name = "");
    void SaveReportSetting(TRMReport* report, const std::string& name = "");
};

// Writes built pages into a file of its own kind. ExportTo opens the file
// and hands it over; the filter gets the document, each page and each
// object of a page (left and top in page pixels) in print order.
class TRMExportFilter {
public:
    virtual ~TRMExportFilter() = default;
    std::string FileName;
    TStream* Stream = nullptr;
    // May rename the file or stop the export (go on false).
    std::function<void(std::string& fileName, bool& goOn)> OnBeforeExport;
    std::function<void(const std::string& fileName)> OnAfterExport;
    // A filter that asks for options answers here (1 goes on).
    bool ShowDialog = true;
    virtual int ShowModal() { return 1; }
    // The filter's own setup, which the preview's spreadsheet button runs
    // before exporting into FileName (1 goes on).
    virtual int Setup() { return 1; }
    virtual void OnBeginDoc() {}
    virtual void OnEndDoc() {}
    virtual void OnBeginPage(int pageIndex, int pageWidth, int pageHeight) {}
    virtual void OnEndPage() {}
    virtual void OnData(int left, int top, TRMView* view) {}
    // A memo's printed line: the object's rectangle, where the line
    // starts, its text and the frame sides it shows (1 right, 2 bottom,
    // 4 left, 8 top).
    virtual void OnText(const TRect& objectRect, int x, int y, const std::string& text, int frameMask) {}
    // The preview's spreadsheet button takes the first filter that says
    // it writes spreadsheets.
    virtual bool IsSpreadsheet() const { return false; }
};
// The registered filters (the preview's save dialog lists them after the
// prepared-report entry); -1 until one registers.
void RMRegisterExportFilter(TRMExportFilter* filter, const std::string& description, const std::string& mask);
void RMUnregisterExportFilter(TRMExportFilter* filter);
int RMGetExportFilterCount();
struct TRMExportFilterInfo {
    TRMExportFilter* Filter;
    std::string Description, Mask;
};
const TRMExportFilterInfo& RMGetExportFilter(int index);

// Runs a build or print under the progress window (the preview unit
// provides it): work runs inside the window's modal loop and Cancel sets
// the report's Terminated.
using TRMProgressRunner =
    std::function<void(TRMReport* report, const std::string& caption, const std::function<void()>& work)>;
extern TRMProgressRunner RMProgressRunner;

class TRMReportDesigner;
using TRMDesignerFactory = std::function<TRMReportDesigner*(bool fullDesigner)>;
// Empty until a designer registers: DesignReport then returns 2.
extern TRMDesignerFactory RMDesignerClass;

// rtMultiple: the whole design is built once per record of the report's
// Dataset, one run after the other.
enum TRMReportType : uint8_t { rtSimple, rtMultiple };

class TRMReport : public TComponent {
public:
    explicit TRMReport(TComponent* owner = nullptr);
    ~TRMReport() override;
    std::string ClassName() const override { return "TRMReport"; }
    void Notification(TComponent* component, TOperation operation) override;

    TRMPages Pages{this};
    TRMDataDictionary Dictionary{this};
    TRMEMFPages EMFPages{this};
    TRMReportInfo ReportInfo;
    std::string FileName = "Untitled";
    std::string PrinterName = "Default Printer";
    bool DoublePass = false;
    bool PrintBackColor = true;
    int PrintOffsetTop = 0, PrintOffsetLeft = 0;
    bool PrintPagePerPage = false;
    bool PrintVisibleDefault = false;
    bool ShowProgress = false;
    bool ShowPrintDialog = true;
    bool ModalPreview = true;
    bool ModifyPrepared = false;
    int PreviewButtons = pbZoom | pbLoad | pbSave | pbPrint | pbFind | pbPageSetup | pbExit | pbSaveToXLS;
    uint8_t SubVersion1 = 0, SubVersion2 = 11;
    TRMReportType ReportType = rtSimple;
    // A report page whose master data is empty builds nothing when false.
    bool PrintIfEmpty = true;
    // The master of an rtMultiple report, and of a master data band that
    // names no data set of its own in an rtSimple one. Forgotten when the
    // data set goes away.
    TRMDataset* Dataset() const { return dataset_; }
    void SetDataset(TRMDataset* d);
    // Report state the designer reads.
    bool Modified = false;
    bool DesignChanged = false;
    bool PageEditing = false;
    bool PreviewOpened = false;
    bool Terminated = false;

    // Replaces the built-in lookup of a name (return true when handled).
    std::function<bool(const std::string& name, Variant& value)> OnGetValue;
    std::function<void(int pageNo)> OnBeginPage;
    // A click on a built object in the preview (page 0-based), and the
    // pointer over one (the handler may set the cursor).
    std::function<void(TRMView* view, int pageIndex)> OnObjectClick;
    std::function<void(TRMView* view, int& cursor)> OnMouseOverObject;
    std::function<void(int pageNo)> OnProgress;
    // A script's "PROGRESS := text": the progress window shows the text
    // (set by the window while it runs a build).
    std::function<void(const std::string& text)> OnProgressText;
    // Replaces the data levels and the summary of every report page: the
    // handler prints bands itself through the page's ShowBand and NewPage.
    std::function<void(TRMPage* page)> OnManualBuild;
    // A built page is finished (0-based).
    std::function<void(int pageNo)> OnEndPage;
    // A function that neither the report nor a function library knows:
    // the handler gets the upper-cased name and the arguments as written
    // (it evaluates those it needs with Calc); val starts as "0". Without
    // a handler such a call is an expression error.
    std::function<void(const std::string& name, const std::vector<std::string>& args, Variant& val)>
        OnUserFunction;
    // The object a dotted name starts with: "PAGEn" is design page n (from
    // 1), any other name an object of the report; null when none.
    TRMObject* FindPropertyOwner(const std::string& name) const;
    // A dialog page closed with Cancel during the last build.
    bool DialogCancelled = false;

    // Errors of the last load or build ("" when none).
    std::string LastError;
    std::vector<std::string> BuildErrors;
    // The error that stopped the last build, worded as its box showed it
    // ("" when none). A script that does not compile or a variable that
    // refers to itself is only listed in BuildErrors: the build goes on.
    std::string ErrorText;

    // ---- events of a build (each called only when set)
    // Around the whole build, both passes of a two-pass one.
    std::function<void()> OnBeginDoc, OnEndDoc;
    // A band starts and ends printing (also a hidden band, which prints
    // nothing).
    std::function<void(TRMBandView* band)> OnBeginBand, OnEndBand;
    // Before a band is printed from the page run: clearing printBand
    // leaves the band out this time.
    std::function<void(TRMBandView* band, bool& printBand)> OnBeforePrintBand;
    // Before an object's text is filled in: memo holds the design text;
    // lines the handler changes are printed as they are, unexpanded.
    std::function<void(TRMLines& memo, TRMView* view)> OnBeforePrint;
    // An object was written into a built page.
    std::function<void(TRMView* view)> OnAfterPrint;
    // A row band starts its cross-tab columns; each data column may be
    // given another width.
    std::function<void(TRMBandView* band)> OnBeginColumn;
    std::function<void(int colNo, int& width)> OnPrintColumn;
    // Printing: before the first page goes to the printer; after each
    // page (uncollated: after its copies) the document is ended, the next
    // page begins a new one, and the handler gets the page's index
    // (0-based): printing goes on after the index it leaves there.
    std::function<void()> OnPrintReport;
    std::function<void(int& pageNo)> OnEndPrintPage;
    // A dialog page's non-visual component, before the form shows.
    std::function<void(TComponent* sender)> OnCustomizeObject;

    // A dictionary file every new report starts with ("" none).
    std::string DefaultDictionaryFile;
    void NewReport();
    // False when the file is missing, not a report file, newer than this
    // engine or damaged; FileName keeps the name either way.
    bool LoadFromFile(const std::string& fileName);
    void SaveToFile(const std::string& fileName);
    bool LoadFromStream(TStream& s);
    void SaveToStream(TStream& s);
    void SaveTemplate(const std::string& fileName, const TRMLines& description, const std::string& bmpBytes = {});
    bool LoadTemplate(const std::string& fileName, TRMLines* description, std::string* bmpBytes, bool loadReport);
    bool LoadPreparedReport(const std::string& fileName);
    void SavePreparedReport(const std::string& fileName);

    // Builds the pages; false when cancelled or when nothing was built
    // because of an error (BuildErrors says which).
    virtual bool PrepareReport();
    // Preview of the built pages (modal).
    void ShowPreparedReport();
    void ShowReport();
    // Prints built pages: "" all, or "1,3-5"; copies (0: DefaultCopies)
    // and collate (-1: DefaultCollate); through the print dialog when
    // ShowPrintDialog, under the progress window when ShowProgress. False
    // when nothing was printed (cancelled, no pages).
    bool PrintPreparedReport(const std::string& pages = "", int copies = 0, int collate = -1);
    void PrintReport();
    int DesignReport();
    // Opens the designer on one built page (0-based); what it changed is
    // packed back when it closes with OK. False without a designer.
    bool EditPreparedPage(int index);

    TRMView* FindObject(const std::string& name) const;

    // A band object's state while a build prints it: "ROWCOUNT" (the
    // record within its data run), "ROWNO" (its row on the page), "EOF"
    // (its data set's end). False when no build runs or the band has no
    // data run.
    bool BandRunValue(TRMBandView* band, const std::string& upperName, Variant& value);
    // "FIRST", "NEXT", "PRIOR", "MOVEBY" on the band's data set during a
    // build; false when not handled.
    bool BandRunMethod(TRMBandView* band, const std::string& upperName, const std::vector<Variant>& params);
    // A band property a script has just written during a build: the range
    // reaches the data set the band runs over, a new data source replaces
    // it from its first record on. False when no build runs or the band
    // has no data run.
    bool BandRunChanged(TRMBandView* band, const std::string& upperName);

    // ---- the component's options, printing, preview and export
    TRMSaveReportOptions SaveReportOptions;
    // Take the place of the settings store when set.
    std::function<void(TRMReport*)> OnLoadReportSetting, OnSaveReportSetting;
    int DefaultCopies = 1;
    bool DefaultCollate = true;
    TRMPreviewZoom InitialZoom = pzDefault;
    // The preview opens as a child of the main window and does not wait.
    bool MDIPreview = false;
    std::string PreviewInitialDir;
    // Switches the engine printer to entry newIndex and takes its name;
    // the design pages take their papers again on it. On a failure says
    // "所选打印机错误", goes back to oldIndex and answers false.
    bool ChangePrinter(int oldIndex, int newIndex);
    // "Default Printer" or "" is entry 0, "Virtual Printer" entry 1, any
    // other name its entry (0 when absent); the name is kept in PrinterName.
    void SelectPrinter(const std::string& name);
    // Writes the built pages through the filter into fileName; false when
    // nothing was written (stopped, no pages, options cancelled).
    bool ExportTo(TRMExportFilter* filter, const std::string& fileName);
    TRMExportFilter* ExportFilter = nullptr;
    // The progress window's line while printing or exporting ("" while
    // building): the text, two blanks and the page.
    std::string ProgressStatus;
    // A member of a composite report counts its pages on from those built
    // before it, and prints the composite's page count.
    int PageNoBase = 0;
    int MasterTotalPages = -1;
    // Set by a composite report for a member whose first design page
    // prints to the previous page: each pass starts on a copy of that
    // built page, below CurY (and above Bottom, the lowest position its
    // bands reached), as if the page before were its own.
    struct TRMContinuation {
        const TRMEMFPages* Pages = nullptr;
        int Index = -1;
        int CurY = 0, Bottom = 0;
    };
    TRMContinuation ContinueFrom;
    // Where the last page run of the last pass ended on its last built
    // page, and the lowest position bands could reach there.
    int LastPageEndY = 0, LastPageBottom = 0;
    // False while the built pages come from a prepared-report file: the
    // design would build other pages, so page setup does not rebuild.
    bool CanRebuild = true;

    // Report variables set by scripts and the application.
    TRMVariables Variables;

    // Evaluation, for the builder, scripts and tests.
    TRMParser Parser;
    Variant Calc(const std::string& expr);
    // Replaces every [expr] of the text by its formatted value; "\[" is a
    // bracket.
    std::string ExpandVariables(const std::string& text, TRMView* view);
    int ReportRevision() const { return loadRevision_; }
    // Compiles (once per text) and runs a script of the report; compile
    // and run errors go to BuildErrors. view: the object whose own
    // properties bare names may set.
    void RunScript(const TRMLines& script, TRMView* view = nullptr);
    // The last script error ("" when none).
    std::string ScriptError;

    // Build state the value lookup reads.
    int PageNo = 0;     // 0-based page being built
    int TotalPages = 0; // from the first pass of a two-pass build
    bool FinalPass = true;

private:
    friend class TRMBuilder;
    friend class TRMPage;
    int loadRevision_ = 4311;
    TRMDataset* dataset_ = nullptr;
    std::map<std::string, TRMCode> scripts_;
    TRMView* scriptView_ = nullptr;
    class TRMBuilder* builder_ = nullptr;
    friend void RMDataSetError(TRMReport* report, const std::string& message, TRMView* view);
    friend TDataSet* RMGetBandDataSet(TRMReport* report);
    bool getValue(const std::string& name, bool bracketed, Variant& v);
    bool doFunction(const TRMFuncCall& call, Variant& r);
    // The function libraries, an object's method (Obj.Method), then
    // OnUserFunction.
    bool libraryFunction(const TRMFuncCall& call, Variant& r);
    // The object whose text is being expanded (CALCWIDTH reads it), and
    // the value its last bracket gave ("VALUE", as a highlight condition
    // reads it).
    TRMView* curView_ = nullptr;
    Variant currentValue_;
    Variant calcWidth();
    void readBody(TStream& s);
    void writeBody(TStream& s);
};

// The designer window as the engine sees it. The designer's unit derives
// its window from this and sets RMDesignerClass; the engine and the
// objects reach it only through these slots and RMEditorHooks. The bodies
// here do nothing, so an object may call them while no designer is open.
class TRMReportDesigner {
public:
    explicit TRMReportDesigner(bool fullDesigner = true) : FullDesigner(fullDesigner) {}
    virtual ~TRMReportDesigner() = default;
    bool FullDesigner = true;
    // Set when the designer was opened from the preview on a built page.
    bool FromPreview = false;
    bool AutoSaveDown = false;
    int PreparedPageNo = 0;
    TRMPage* Page = nullptr;
    virtual int ShowModal() = 0;

    virtual TRMPage* GetDesignPage() { return Page; }
    virtual bool IsReportModified() { return false; }
    virtual void SetReportModified(bool) {}
    virtual void AddObjectButton(const std::string& bitmap, const std::string& hint, bool hidden, int tag) {}
    virtual void AddToolEntry(const std::string& caption, const std::string& bitmap, std::function<void()> onClick) {}
    virtual void RecordChangeForUndo() {}
    virtual void ChangeDone() {}
    virtual void RepaintPage() {}
    virtual void SelectObjectByName(const std::string& name) {}
    // "[" field "]", or "" when nothing was chosen.
    virtual std::string PickDbField(const std::string& text) { return {}; }
    virtual std::string PickExpression(const std::string& text) { return {}; }
};
// The open designer; null when none.
extern TRMReportDesigner* CurDesigner;
// Band captions in tabs above the bands; the designer keeps it in step
// with its option.
extern bool RMShowBandTitles;


// An error that stops the build being run: the first one is kept in the
// report's ErrorText, with the object it happened in, and the build ends;
// the report shows it and keeps no built page. Outside a build it is only
// listed in BuildErrors.
void RMDataSetError(TRMReport* report, const std::string& message, TRMView* view = nullptr);

// The data set behind the data source of the band being printed; none
// outside a build or for a source that is not a TRMDBDataSet.
TDataSet* RMGetBandDataSet(TRMReport* report);

// Parses "1,3-5" against count pages; bad text raises EConvertError.
// Ranges are clamped to the pages there are, so "1-2000000000" costs
// nothing.
std::vector<int> RMParsePageList(const std::string& text, int count);

// Several reports built into one set of pages: one report after the
// other, its page numbers running on through the whole (rmReportPerReport),
// or each member built by itself and its pages dealt out in turns, the
// first page of each, then the second of each (rmPagePerPage). The
// members are not owned.
enum TRMCompositeMode { rmReportPerReport, rmPagePerPage };
class TRMCompositeReport : public TRMReport {
public:
    explicit TRMCompositeReport(TComponent* owner = nullptr) : TRMReport(owner) {}
    std::string ClassName() const override { return "TRMCompositeReport"; }
    std::vector<TRMReport*> Reports;
    TRMCompositeMode CompositeMode() const { return mode_; }
    // Page per page builds every member by itself, without the progress
    // window.
    void SetCompositeMode(TRMCompositeMode m);
    // The members' pages as they were last built, without building again.
    bool ShowPreparedReports = false;
    bool PrepareReport() override;

private:
    TRMCompositeMode mode_ = rmReportPerReport;
    void collect();
};
