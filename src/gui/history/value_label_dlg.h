#pragma once
// "值标签": the two value labels of an open file (name, level, shown).
#include <QDialog>
#include <array>

#include "core/datafile/cxfile.h"

class QCheckBox;
class QLineEdit;

class CValueLabelDlg : public QDialog {
    Q_OBJECT
public:
    static constexpr int kMaxNameBytes = 10;  // GBK bytes; the field holds 11 with the NUL

    CValueLabelDlg(const kvr::CXFile& file, QWidget* parent = nullptr);
    // The edited labels (valid after the dialog was accepted).
    const std::array<kvr::ValueLabel, 2>& Labels() const { return labels_; }

    void accept() override;

private:
    std::array<kvr::ValueLabel, 2> labels_{};
    QLineEdit* nameEdits_[2] = {};
    QLineEdit* valueEdits_[2] = {};
    QCheckBox* shownBoxes_[2] = {};
};

// Edits the file's value labels and saves them with the file information. Returns true
// when the curves must take the new labels; a failed save is reported here and the
// edited values stay in memory.
bool EditValueLabels(QWidget* parent, kvr::CXFile& file);
