#include "gui/common/file_events.h"

FileEvents* FileEvents::Instance() {
    static FileEvents* events = new FileEvents;  // lives as long as the program
    return events;
}
