#pragma once
// "查找": edits the owning view's search and asks it for one step per click; it stays open
// so that repeated clicks walk through the matches.
#include <QDialog>

#include "core/datafile/cxfile.h"
#include "core/view/find_search.h"

class QComboBox;
class QLineEdit;
class QRadioButton;

class CFindDlg : public QDialog {
    Q_OBJECT
public:
    CFindDlg(const kvr::CXFile& file, kvr::FindState& state, QWidget* parent = nullptr);

signals:
    // The state holds the search; the owning view takes one step now.
    void findStepRequested();

private:
    void OnFindNext();
    bool ReadFields();

    kvr::FindState& state_;
    QLineEdit* valueEdit_ = nullptr;
    QLineEdit* toleranceEdit_ = nullptr;
    QComboBox* channelList_ = nullptr;
    QRadioButton* startRadios_[3] = {};
    QRadioButton* directionRadios_[2] = {};
    // Set until the first step, and again whenever a start or direction choice is clicked.
    bool newSearch_ = true;
};
