// The main window: the MDI frame that starts the logged-in state (login,
// business date, settings, navigation page, rights), carries the main menu,
// the six command keys and the status bar with the business-date clock, and
// ends the program with the exit question.
// Not here: the windows the menu opens, backup/restore/repair and the exit
// backup offer (their own units).
//
//   created --first show: InitForm--> running --exit answered Yes--> closing
//      |                                 ^  |                          |
//      +--login cancelled: Terminate     +--+ change of operator       +--> terminated
#pragma once

#include "uBaseD.h"

#include <string>
#include <typeinfo>
#include <vector>

class TMainMenu;
class TMenuItem;
class TActionList;
class TAction;
class TStatusBar;
class TTimer;
class TADOQuery;
class TSaveDialog;
class TOpenDialog;
class TVQXPMenu;
class TVqHint;

// One module governed by rights: its id in UserModule, the menu item and
// the navigation-page buttons it enables or disables.
struct TModuleRight {
    int ModuleId;
    const char* MenuItem;
    std::vector<const char*> Buttons;
    // The class of the child window the command opens ("" when it opens
    // none that stays): closed when an operator without the right takes over.
    const char* Window = "";
};
const std::vector<TModuleRight>& ModuleRights();

// The clock text of a business date: "今天是 2011年5月1日  星期日".
std::string ClockText(TDateTime businessDate);

class TFrmMain : public TFrmBaseD {
public:
    explicit TFrmMain(TComponent* AOwner);
    ~TFrmMain() override;
    std::string ClassName() const override { return "TFrmMain"; }

    // The start-up of the logged-in state; runs at the first show only.
    void InitForm() override;

    // Brings the open child of exactly class T (not of a subclass) to the
    // front, or creates one through the application and places a
    // normal-state child at the middle, a quarter down, of the client area.
    // At most one child per class.
    template <class T>
    void ShowMdiChild(const std::string& className, T*& reference);

    // Sets the governed menu items, their command keys and the navigation
    // buttons from the operator's UserModule rows: a module is enabled only
    // by a row that grants it, so an operator without a row for a module
    // (or without any row) does not get it, and nothing of a previous
    // operator's rights stays.
    void ApplyUserRights();
    // Closes the open child windows of modules the operator's rights
    // disabled (after a change of operator).
    void CloseForbiddenWindows();

    void Timer1Timer(TObject* Sender);
    void NChangeOperatorClick(TObject* Sender);
    void NExitClick(TObject* Sender);
    void FormClose(TObject* Sender, TCloseAction& Action);

    // A menu item by component name (nullptr when there is none).
    TMenuItem* Item(const std::string& name) const;
    // The navigation page while it is open.
    TCustomForm* NavigationPage() const;

    TMainMenu* MainMenu1;
    TActionList* ActionList1;
    TStatusBar* StatusBar1;
    TTimer* Timer1;
    TADOQuery* AdoqTemp;
    TSaveDialog* SaveDialog1;
    TOpenDialog* OpenDialog1;
    // Paints every item of the window's menus.
    TVQXPMenu* VQXPMenu1;
    // Shows every hint of the program.
    TVqHint* VqHint1;

private:
    void buildMenu();
    void buildActions();
    void wireCommands();
    void loadOperatorName();
    void loadSettings();
    void openNavigationPage();
    void openOverdueLists();

    bool started_ = false;
};

extern TFrmMain* FrmMain;

template <class T>
void TFrmMain::ShowMdiChild(const std::string&, T*& reference) {
    TBusyCursor busy;
    for (int i = 0; i < MDIChildCount(); ++i) {
        // The exact class: the periodical overdue list derives from the
        // book one and must not stand in for it.
        if (TCustomForm* open = MDIChildren(i); typeid(*open) == typeid(T)) {
            auto* child = static_cast<T*>(open);
            child->Show();
            child->BringToFront();
            reference = child;
            return;
        }
    }
    Application->CreateForm(reference);
    if (reference->WindowState() == wsNormal) {
        reference->SetLeft((ClientWidth() - reference->Width()) / 2);
        reference->SetTop((ClientHeight() - reference->Height()) / 4);
    }
    // An MDI child shows as soon as it is made.
    reference->Show();
}
