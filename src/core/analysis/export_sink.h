#pragma once
// Where export rows go: an .xlsx workbook or a UTF-8 CSV file, chosen by the target's
// extension. Both write into a temporary file beside the target and put it in place only
// when everything was written, so a failed or cancelled export leaves no half file and
// never destroys an older file of the same name.
#include <memory>
#include <string>
#include <vector>

#include "core/analysis/export_table.h"

namespace kvr {

class ExportSink {
public:
    virtual ~ExportSink() = default;
    // Starts a sheet with a header row of the column names. CSV has one header line only.
    virtual bool BeginSheet(const std::string& name) = 0;
    virtual bool WriteRow(const ExportRow& row) = 0;
    // Completes the file and moves it to the target; false when anything failed (the
    // temporary file is then gone).
    virtual bool Finish() = 0;
    // Removes the temporary file; the target is left as it was.
    virtual void Abandon() = 0;
};

// True for a target written as CSV ("*.csv", any case); everything else is a workbook.
bool IsCsvTarget(const std::string& path);

// Null when the temporary file cannot be created.
std::unique_ptr<ExportSink> OpenExportSink(const std::string& path,
                                           const std::vector<ExportColumn>& columns);

}  // namespace kvr
