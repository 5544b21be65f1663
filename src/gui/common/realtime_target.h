#pragma once
// What the realtime child frame needs from its view when the window or the program is
// about to close with live data that has not been saved.
class RealtimeTarget {
public:
    virtual ~RealtimeTarget() = default;
    // True when nothing recorded is waiting to be saved.
    virtual bool IsSaved() const = 0;
    // Ends a running acquisition without asking (no-op when idle).
    virtual void StopAcquisition() = 0;
    // Asks for a file name and saves the recorded data; false when cancelled or failed.
    virtual bool SaveRealtimeFile() = 0;
    // True while the view waits for the instrument; the window cannot go then.
    virtual bool IsBusy() const { return false; }
};
