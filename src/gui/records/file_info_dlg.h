#pragma once
// CFileInfoDlg: the display settings and per-channel presentation of a data file (axes,
// range, grid, colours, channel names, units and curve styles, circular-chart settings, the
// device alias). Works on a copy; OK checks the range, writes the copy into the file's
// header and saves it, then tells every window showing the file to redraw. Cancel leaves
// the file as it was, edits to other channels included.
#include <QDialog>
#include <array>

#include "core/datafile/file_info.h"

class CColorButton;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QRadioButton;

class CFileInfoDlg : public QDialog {
    Q_OBJECT
public:
    // The file is borrowed and must be open.
    explicit CFileInfoDlg(kvr::CXFile* file, QWidget* parent = nullptr);

    int CurrentChannel() const { return current_; }
    void accept() override;

private:
    struct ChannelFields;
    void BuildLayout();
    QWidget* BuildDisplayBox();
    QWidget* BuildChannelBox();
    QWidget* BuildFileBox();
    QLayout* BuildButtons();

    void ShowSettings();
    bool ReadSettings();
    void ShowChannel();
    void StoreChannel();
    void StepChannel(int step);
    void ValueModeClicked(int yMode);
    void RestoreDefaults();

    kvr::CXFile* file_;
    kvr::FileInfo info_;
    int current_ = 0;

    QRadioButton *shortTime_ = nullptr, *longTime_ = nullptr;
    QRadioButton *percent_ = nullptr, *value_ = nullptr;
    QLineEdit *rangeLow_ = nullptr, *rangeHigh_ = nullptr;
    QLineEdit *gridVertical_ = nullptr, *gridHorizontal_ = nullptr;
    QCheckBox* showGrid_ = nullptr;
    CColorButton *background_ = nullptr, *gridColor_ = nullptr;
    QLineEdit* pieGrid_ = nullptr;
    QComboBox* pieTime_ = nullptr;
    QCheckBox* scientific_ = nullptr;
    QLineEdit* alias_ = nullptr;

    QGroupBox* channelBox_ = nullptr;
    CColorButton* channelColor_ = nullptr;
    QCheckBox* channelShown_ = nullptr;
    QComboBox* lineWidth_ = nullptr;
    QLineEdit* name_ = nullptr;
    QComboBox* unit_ = nullptr;
    QLineEdit* signalText_ = nullptr;
    // Range low/high, alarm low, high, low-low, high-high, hysteresis, with their labels:
    // shown for the three input channels only.
    std::array<QLineEdit*, 7> limits_{};
    std::array<QLabel*, 7> limitLabels_{};
};
