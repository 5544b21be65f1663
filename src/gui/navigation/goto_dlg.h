#pragma once
// "转到...": moves the curves or the data list to a time or to a tag of the file.
#include <QDialog>

#include "core/datafile/cxfile.h"
#include "widgets/date_time_pickers.h"

class CTagList;
class QRadioButton;

class CGoToDlg : public QDialog {
    Q_OBJECT
public:
    CGoToDlg(const kvr::CXFile& file, QWidget* parent = nullptr);
    // The chosen record time (valid after the dialog was accepted).
    kvr::Time Result() const { return result_; }

    void accept() override;

private:
    void SetTagMode(bool tagMode);

    const kvr::CXFile& file_;
    QRadioButton* timeRadio_ = nullptr;
    QRadioButton* tagRadio_ = nullptr;
    DateTimePickers pickers_;
    CTagList* tagList_ = nullptr;
    kvr::Time result_ = 0;
};
