#pragma once
// The realtime window of a program without acquisition: an empty page that handles no
// command and never holds unsaved data.
#include <QWidget>

#include "gui/common/command_target.h"
#include "gui/app/realtime_target.h"

class CEmptyRealtimeView : public QWidget, public CommandTarget, public RealtimeTarget {
    Q_OBJECT
public:
    explicit CEmptyRealtimeView(QWidget* parent = nullptr);

    bool HandlesCommand(int id) const override;
    void ExecuteCommand(int id) override;

    bool IsSaved() const override { return true; }
    void StopAcquisition() override {}
    bool SaveRealtimeFile() override { return true; }
};
