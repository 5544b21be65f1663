#pragma once
// The history curves' commands that mark and move through a file: adding and managing
// tags, value labels, go-to, range setting, value search, and the data list window that
// shows the same file as a table. Lives as a child of its CHCView and registers its
// commands in the view's command table.
#include <QObject>
#include <QPointer>

#include "core/analysis/find_search.h"
#include "gui/common/list_owner.h"

class CHCView;

class CHCNavigation : public QObject, public CListOwner {
    Q_OBJECT
public:
    explicit CHCNavigation(CHCView* view);
    ~CHCNavigation() override;

    // The search shared by the curves and their data list.
    kvr::FindState& FindState() { return find_; }
    // The data list opened for the file and the child window that holds it, while open.
    QWidget* ListView() const { return listView_; }
    QWidget* ListFrame() const { return listFrame_; }

    // One search step asked for by the find dialog.
    void FindStep();

    void ListOpened(QWidget* list) override;
    void ListClosed(QWidget* list) override;
    void ListActivated() override;
    kvr::FindState* ListFindState() override { return &find_; }

private:
    void RegisterCommands();
    void AddTag();
    void ManageTags();
    void EditLabels();
    void GoTo();
    void SetRange();
    void Find();
    void FindNext();
    void OpenDataList();
    void ShowNotFound();

    CHCView* view_;
    kvr::FindState find_;
    QPointer<QWidget> listFrame_;
    QWidget* listView_ = nullptr;
};
