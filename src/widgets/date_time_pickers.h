#pragma once
// A date picker and a time-of-day picker that together choose one moment, as the
// navigation dialogs ask for times.
#include "core/datafile/time.h"

class QDateEdit;
class QTimeEdit;
class QWidget;

struct DateTimePickers {
    QDateEdit* date = nullptr;
    QTimeEdit* time = nullptr;

    // Creates both under parent; objectName prefix + "Date" / prefix + "Time".
    static DateTimePickers Create(QWidget* parent, const char* namePrefix);
    void Set(kvr::Time t);
    kvr::Time Get() const;
    void SetEnabled(bool enabled);
};
