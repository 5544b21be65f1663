#pragma once
// Notices about an open data file that every window showing it must follow, whichever
// subsystem the window belongs to.
#include <QObject>

namespace kvr {
class CXFile;
}

class FileEvents : public QObject {
    Q_OBJECT
public:
    static FileEvents* Instance();

signals:
    // The file's display settings, channel presentation or device alias were changed and
    // saved: redraw if showing it.
    void DisplaySettingsChanged(kvr::CXFile* file);
    // Another program recorded into the file (a collector's live buffer that a history
    // window follows): new records, or a new recording in the same buffer.
    void RecordsAppended(kvr::CXFile* file);
};
