#pragma once
// CHCView: one opened history file shown as curves. Owns its CXFile from SetFile on.
#include <QWidget>
#include <memory>

#include "core/datafile/cxfile.h"
#include "gui/app/command_target.h"

class CHCView : public QWidget, public CommandTarget {
    Q_OBJECT
public:
    explicit CHCView(QWidget* parent = nullptr);
    ~CHCView() override;

    // Takes ownership; a null file leaves the view empty.
    void SetFile(kvr::CXFile* file);
    kvr::CXFile* GetFile() const { return file_.get(); }

    bool HandlesCommand(int id) const override;
    void ExecuteCommand(int id) override;
    void OnActivated() override;

private:
    std::unique_ptr<kvr::CXFile> file_;
};
