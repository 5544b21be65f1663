#include "core/analysis/csv_export_sink.h"

#include <unistd.h>

#include <cctype>
#include <charconv>

#include "core/datafile/time.h"

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

namespace {
// Lines are written in blocks of about this size, not one write a line.
constexpr std::size_t kFlushBytes = 1 << 18;
}  // namespace

bool CsvExportSink::Flush() {
    if (!failed_ && std::fwrite(pending_.data(), 1, pending_.size(), out_) != pending_.size())
        failed_ = true;
    pending_.clear();
    return !failed_;
}

bool CsvExportSink::BeginSheet(const std::string&) {
    if (headerWritten_) return !failed_;
    headerWritten_ = true;
    for (std::size_t i = 0; i < columns_.size(); ++i) {
        if (i > 0) pending_ += ',';
        // The header shows the names as the workbook does, without the table brackets.
        const std::string& name = columns_[i].name;
        pending_ += CsvCell(name.size() >= 2 ? name.substr(1, name.size() - 2) : name);
    }
    pending_ += '\n';
    return !failed_;
}

bool CsvExportSink::WriteRow(const ExportRow& row) {
    char cell[64];
    pending_.append(cell, std::to_chars(cell, cell + sizeof cell, row.number).ptr);
    pending_ += ',';
    char time[32];
    pending_.append(time, FormatTime(row.time, time));
    for (std::size_t i = 0; i < row.values.size(); ++i) {
        pending_ += ',';
        if (!row.values[i]) {
            pending_ += kExportReadError;
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
        pending_.append(cell, end);
    }
    pending_ += '\n';
    return pending_.size() < kFlushBytes ? !failed_ : Flush();
}

bool CsvExportSink::Finish() {
    if (out_ == nullptr) return false;
    const bool flushed = Flush() && std::fflush(out_) == 0 && ::fsync(::fileno(out_)) == 0;
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
