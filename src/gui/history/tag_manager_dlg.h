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
    bool ConfirmDeletion();

    kvr::CXFile& file_;
    CTagList* tagList_ = nullptr;
};
