#pragma once
// The list of a file's tags in the order they were added ("序号", "时间"), shown by the tag
// manager and the go-to dialog.
#include <QTableWidget>

namespace kvr {
class CXFile;
}

class CTagList : public QTableWidget {
    Q_OBJECT
public:
    explicit CTagList(QWidget* parent = nullptr);
    void Fill(const kvr::CXFile& file);
    // Index of the selected tag, or -1.
    int SelectedTag() const;
};
