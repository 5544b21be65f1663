#pragma once
// A uniquely named temporary file beside a target (".NAME.XXXXXX"), renamed over the target
// when complete and removed otherwise.
//
// Nothing half-written outlives its writer: the file is locked for as long as this object
// holds it, so a later TempTarget for the same target removes what a killed writer left
// (unlocked) and leaves a running one alone; and RemovePendingFiles, safe inside a signal
// handler, removes every file not yet committed before the process dies of a signal.
#include <string>

namespace kvr {

class TempTarget {
public:
    explicit TempTarget(std::string target);
    ~TempTarget();  // removes the temporary file unless it was committed
    TempTarget(const TempTarget&) = delete;
    TempTarget& operator=(const TempTarget&) = delete;

    // Creates the empty temporary file; -1 on failure, else an open descriptor the caller
    // owns (close it, or hand the path to a writer that opens it itself).
    int Create();
    const std::string& path() const { return temporary_; }
    bool Commit();
    void Discard();

    // Unlinks the temporary file of every TempTarget not yet committed or discarded. Only
    // async-signal-safe calls: meant for a handler that then lets the signal end the
    // process.
    static void RemovePendingFiles() noexcept;

private:
    void RemoveStale() const;
    void Release();

    std::string target_;
    std::string temporary_;
    bool pending_ = false;
    int lock_ = -1;  // holds the lock on the temporary file, whoever closes the other handle
    int slot_ = -1;  // where RemovePendingFiles finds the path
};

}  // namespace kvr
