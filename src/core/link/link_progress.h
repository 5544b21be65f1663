#pragma once
// How the link's long operations report progress to whoever shows it (a progress bar, a
// dialog line, a command-line tool). Called on the thread that runs the operation.
#include <string>

namespace kvr {

class LinkProgress {
public:
    virtual ~LinkProgress() = default;
    virtual void SetRange(int /*low*/, int /*high*/) {}
    virtual void SetPosition(int /*position*/) {}
    virtual void SetText(const std::string& /*text*/) {}
};

}  // namespace kvr
