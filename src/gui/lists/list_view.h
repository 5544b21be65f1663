#pragma once
// CXListView: a data file as a table of records, in its own child window. Serves the
// history list (opened from the history curves) and the live list (opened by the live
// acquisition, following the newest record). The grid does the drawing and the mouse work;
// the view adds the commands, the context menu, the live refresh and printing.
#include <QWidget>

#include "core/datafile/cxfile.h"
#include "gui/common/command_map.h"
#include "gui/common/view_host.h"

class CListOwner;
class CXDataGrid;
class QMenu;
class QPrinter;

class CXListView : public QWidget, public CommandMap {
    Q_OBJECT
public:
    // The filter command lives only in the list's context menu.
    static constexpr int kFilterCommand = 32927;

    explicit CXListView(QWidget* parent = nullptr);
    ~CXListView() override;

    // The file is not owned: the owner of the list owns it.
    void SetFile(kvr::CXFile* file);
    kvr::CXFile* GetFile() const { return file_; }
    void SetHistoryOwner(CListOwner* owner);
    // Makes this a live list: follows the newest record and keeps its place on refresh.
    void AttachAcquisition(CListOwner* acquisition);
    bool IsLiveList() const { return acquisition_ != nullptr; }
    CXDataGrid* Grid() const { return grid_; }

    // A record was appended to the live file.
    void recordAppended();
    // The find dialog asks for one search step on the owner's find parameters.
    void FindStepRequested();

    void OnActivated() override;

    // The context menu for the current state (live or history); the caller owns it.
    QMenu* CreateContextMenu();

    // Printing: single pages print the 40 rows from the top row, a continuous print every
    // page from the top row to the end.
    void SetContinuousPrint(bool continuous) { continuousPrint_ = continuous; }
    void SetPortrait(bool portrait) { portrait_ = portrait; }
    void PreparePrinting(QPrinter& printer);
    void PrintTo(QPrinter* printer);

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void RegisterCommands();
    // Opens a window another part of the program makes for this list's file.
    void OpenForFile(ChildWindow kind);
    // The export dialog with the selected records, or the whole file without a selection.
    void ExportSelection();
    void ShowContextMenu(const QPoint& globalPos);
    bool CanCopy() const;
    bool IsHistoryList() const { return historyOwner_ != nullptr; }
    CListOwner* Owner() const;
    void Print();
    void PrintPreview();
    void GoTo();
    void Find();
    void FindNext();
    void Filter();
    void ShowNotFound();

    CXDataGrid* grid_ = nullptr;
    CListOwner* acquisition_ = nullptr;
    kvr::CXFile* file_ = nullptr;
    CListOwner* historyOwner_ = nullptr;
    bool continuousPrint_ = false;
    bool portrait_ = false;
    bool followed_ = false;  // the file is a live buffer another program records into
};
