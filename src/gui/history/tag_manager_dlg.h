#pragma once
// "标签管理": lists the tags of a file and deletes them (one, or all).
#include <QDialog>

namespace kvr {
class CXFile;
}
class CTagList;

class CTagManagerDlg : public QDialog {
    Q_OBJECT
public:
    CTagManagerDlg(kvr::CXFile& file, QWidget* parent = nullptr);

private:
    void OnDelete();
    void OnDeleteAll();
    // False when the file refuses edits (said so) or the user does not confirm.
    bool MayDelete();

    kvr::CXFile& file_;
    CTagList* tagList_ = nullptr;
};
