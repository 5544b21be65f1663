#pragma once
// Asks where a workbook goes: the save dialog titled "Excel Export", starting in the
// folder the user last used, proposing a name and asking before overwriting.
#include <QString>
#include <QWidget>
#include <functional>
#include <string>

// The chosen path, or empty when the user cancelled. The data file the workbook is made
// from (sourceFile) is refused with a message, and the path is then empty too.
QString AskWorkbookPath(QWidget* parent, const QString& proposedName,
                        const std::string& sourceFile);

// Replaces the dialog (null restores it); the hook gets the proposed name.
using WorkbookPathHook = std::function<QString(const QString& proposedName)>;
void SetWorkbookPathHook(WorkbookPathHook hook);
