#pragma once
// Asks where a workbook goes: the save dialog titled "Excel Export", starting in the
// folder the user last used, proposing a name and asking before overwriting.
#include <QString>
#include <QWidget>
#include <functional>

// The chosen path, or empty when the user cancelled.
QString AskWorkbookPath(QWidget* parent, const QString& proposedName);

// Replaces the dialog (null restores it); the hook gets the proposed name.
using WorkbookPathHook = std::function<QString(const QString& proposedName)>;
void SetWorkbookPathHook(WorkbookPathHook hook);
