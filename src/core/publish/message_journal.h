#pragma once
// MessageJournal: what a subscriber received and has not yet written into history files,
// on disk. The broker forgets a message once we acknowledged it, and that happens as it
// arrives: kept only in memory, it would die with a killed or crashed subscriber. Each
// message is appended ("TOPIC LENGTH\n" + payload + "\n") and the journal is flushed to
// the disk after every group of messages; the next start reads it back, and it is emptied
// once everything in it is in history files.
#include <functional>
#include <string>

namespace kvr {

class MessageJournal {
public:
    MessageJournal() = default;
    ~MessageJournal();
    MessageJournal(const MessageJournal&) = delete;
    MessageJournal& operator=(const MessageJournal&) = delete;

    using Replay = std::function<void(const std::string& topic, const std::string& payload)>;
    // Opens (or creates) the journal at path and hands every whole entry in it to replay; a
    // torn last entry (a crash while appending) is cut off. Empty on success, else why not.
    std::string Open(const std::string& path, const Replay& replay);
    bool Append(const std::string& topic, const std::string& payload);
    // The entries appended so far reach the disk.
    bool Sync();
    // Everything in it is saved elsewhere: it starts empty again.
    bool Clear();

private:
    int fd_ = -1;
    std::string path_;
};

}  // namespace kvr
