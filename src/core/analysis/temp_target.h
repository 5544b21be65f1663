#pragma once
// A uniquely named temporary file beside a target, renamed over the target when complete
// and removed otherwise.
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

private:
    std::string target_;
    std::string temporary_;
    bool pending_ = false;
};

}  // namespace kvr
