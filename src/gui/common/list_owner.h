#pragma once
// What a data list needs from the window that opened it: the history curve view for a
// history list, the live acquisition for a live list. The owner outlives the list.
class QWidget;
namespace kvr {
struct FindState;
}

class CListOwner {
public:
    virtual ~CListOwner() = default;
    // The list window was made for this owner / is going away; the owner remembers or
    // forgets it.
    virtual void ListOpened(QWidget* /*list*/) {}
    virtual void ListClosed(QWidget* list) = 0;
    // The list became the active window; the owner describes the file in the status bar.
    virtual void ListActivated() = 0;
    // The search kept across searches of the curves and the list (history owners).
    virtual kvr::FindState* ListFindState() { return nullptr; }
    // The cumulative flow list of the owner's file, when the program has one.
    virtual bool HasCumulativeList() const { return false; }
    virtual void OpenCumulativeList() {}
};
