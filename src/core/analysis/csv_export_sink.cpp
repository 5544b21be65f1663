#include "core/analysis/csv_export_sink.h"

#include <unistd.h>

#include <cctype>
#include <charconv>

namespace kvr {

std::string CsvCell(const std::string& text) {
    if (text.find_first_of(",\"\r\n") == std::string::npos) return text;
    std::string quoted = "\"";
    for (char ch : text) {
        if (ch == '"') quoted += '"';
        quoted += ch;
    }
    return quoted + "\"";
}

CsvExportSink::CsvExportSink(const std::string& path, std::vector<ExportColumn> columns)
    : columns_(std::move(columns)), target_(path) {}

CsvExportSink::~CsvExportSink() { Abandon(); }

std::unique_ptr<ExportSink> CsvExportSink::Open(const std::string& path,
                                                std::vector<ExportColumn> columns) {
    std::unique_ptr<CsvExportSink> sink(new CsvExportSink(path, std::move(columns)));
    const int fd = sink->target_.Create();
    if (fd < 0) return nullptr;
    sink->out_ = ::fdopen(fd, "w");
    if (sink->out_ == nullptr) {
        ::close(fd);
        return nullptr;
    }
    return sink;
}

bool CsvExportSink::Put(const std::string& text) {
    if (!failed_ && std::fwrite(text.data(), 1, text.size(), out_) != text.size()) failed_ = true;
    return !failed_;
}

bool CsvExportSink::BeginSheet(const std::string&) {
    if (headerWritten_) return !failed_;
    headerWritten_ = true;
    line_.clear();
    for (std::size_t i = 0; i < columns_.size(); ++i) {
        if (i > 0) line_ += ',';
        // The header shows the names as the workbook does, without the table brackets.
        const std::string& name = columns_[i].name;
        line_ += CsvCell(name.size() >= 2 ? name.substr(1, name.size() - 2) : name);
    }
    line_ += '\n';
    return Put(line_);
}

bool CsvExportSink::WriteRow(const ExportRow& row) {
    char cell[64];
    line_.clear();
    line_.append(cell, std::to_chars(cell, cell + sizeof cell, row.number).ptr);
    line_ += ',';
    line_ += FormatTime(row.time);
    for (std::size_t i = 0; i < row.values.size(); ++i) {
        line_ += ',';
        if (!row.values[i]) {
            line_ += kExportReadError;
            continue;
        }
        const ExportColumn& column = columns_[i + 2];
        const auto format =
            column.scientific ? std::chars_format::scientific : std::chars_format::fixed;
        char* const end =
            std::to_chars(cell, cell + sizeof cell, *row.values[i], format, column.decimals).ptr;
        // As printf's "%E" writes it: "1.5E-03".
        if (column.scientific)
            for (char* c = cell; c != end; ++c) *c = static_cast<char>(std::toupper(*c));
        line_.append(cell, end);
    }
    line_ += '\n';
    return Put(line_);
}

bool CsvExportSink::Finish() {
    if (out_ == nullptr) return false;
    const bool flushed = std::fflush(out_) == 0 && ::fsync(::fileno(out_)) == 0;
    const bool closed = std::fclose(out_) == 0;
    out_ = nullptr;
    if (failed_ || !flushed || !closed) {
        target_.Discard();
        return false;
    }
    return target_.Commit();
}

void CsvExportSink::Abandon() {
    if (out_ != nullptr) {
        std::fclose(out_);
        out_ = nullptr;
    }
    target_.Discard();
}

}  // namespace kvr
