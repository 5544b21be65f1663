#include "core/analysis/workbook_cells.h"

#include <cstdio>
#include <cstdlib>

namespace kvrtest {

namespace {

std::string Unzip(const std::string& path, const std::string& member) {
    const std::string command = "unzip -p '" + path + "' '" + member + "' 2>/dev/null";
    std::FILE* pipe = ::popen(command.c_str(), "r");
    if (pipe == nullptr) return {};
    std::string text;
    char buffer[65536];
    for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) text.append(buffer, n);
    ::pclose(pipe);
    return text;
}

std::string Attribute(const std::string& tag, const std::string& name) {
    const std::string key = " " + name + "=\"";
    const std::size_t at = tag.find(key);
    if (at == std::string::npos) return {};
    const std::size_t begin = at + key.size();
    return tag.substr(begin, tag.find('"', begin) - begin);
}

std::string Unescape(std::string text) {
    static const std::pair<const char*, const char*> kEntities[] = {
        {"&lt;", "<"}, {"&gt;", ">"}, {"&quot;", "\""}, {"&apos;", "'"}, {"&amp;", "&"}};
    for (const auto& [entity, ch] : kEntities) {
        for (std::size_t at; (at = text.find(entity)) != std::string::npos;) text.replace(at, std::string(entity).size(), ch);
    }
    return text;
}

// Text between <tag ...> and </tag> starting the search at from.
std::string Inner(const std::string& xml, const std::string& tag, std::size_t from, std::size_t to) {
    const std::size_t open = xml.find("<" + tag, from);
    if (open == std::string::npos || open >= to) return {};
    const std::size_t begin = xml.find('>', open) + 1;
    const std::size_t end = xml.find("</" + tag + ">", begin);
    return xml.substr(begin, end - begin);
}

std::vector<std::vector<Cell>> ParseRows(const std::string& xml) {
    std::vector<std::vector<Cell>> rows;
    for (std::size_t row = xml.find("<row "); row != std::string::npos; row = xml.find("<row ", row + 1)) {
        const std::size_t rowEnd = xml.find("</row>", row);
        std::vector<Cell>& cells = rows.emplace_back();
        for (std::size_t c = xml.find("<c ", row); c != std::string::npos && c < rowEnd; c = xml.find("<c ", c + 1)) {
            const std::string tag = xml.substr(c, xml.find('>', c) - c);
            const std::size_t cellEnd = xml.find("</c>", c);
            Cell cell;
            cell.style = std::atoi(Attribute(tag, "s").c_str());
            cell.number = Attribute(tag, "t").empty();
            cell.text = Unescape(cell.number ? Inner(xml, "v", c, cellEnd) : Inner(xml, "t", c, cellEnd));
            cells.push_back(cell);
        }
    }
    return rows;
}

}  // namespace

std::vector<Sheet> ReadWorkbook(const std::string& path) {
    std::vector<Sheet> sheets;
    const std::string workbook = Unzip(path, "xl/workbook.xml");
    int index = 1;
    for (std::size_t at = workbook.find("<sheet "); at != std::string::npos; at = workbook.find("<sheet ", at + 1)) {
        Sheet sheet;
        sheet.name = Attribute(workbook.substr(at, workbook.find('>', at) - at), "name");
        sheet.rows = ParseRows(Unzip(path, "xl/worksheets/sheet" + std::to_string(index++) + ".xml"));
        sheets.push_back(std::move(sheet));
    }
    return sheets;
}

std::vector<std::string> ReadCellFormats(const std::string& path) {
    const std::string styles = Unzip(path, "xl/styles.xml");
    std::vector<std::pair<int, std::string>> codes;
    for (std::size_t at = styles.find("<numFmt "); at != std::string::npos; at = styles.find("<numFmt ", at + 1)) {
        const std::string tag = styles.substr(at, styles.find('>', at) - at);
        codes.emplace_back(std::atoi(Attribute(tag, "numFmtId").c_str()), Unescape(Attribute(tag, "formatCode")));
    }
    std::vector<std::string> formats;
    const std::size_t xfs = styles.find("<cellXfs");
    const std::size_t xfsEnd = styles.find("</cellXfs>");
    for (std::size_t at = styles.find("<xf ", xfs); at != std::string::npos && at < xfsEnd; at = styles.find("<xf ", at + 1)) {
        const int id = std::atoi(Attribute(styles.substr(at, styles.find('>', at) - at), "numFmtId").c_str());
        // Formats Excel knows by number are not listed in the file.
        std::string code = id == 1 ? "0" : id == 2 ? "0.00" : id == 11 ? "0.00E+00" : "General";
        for (const auto& [codeId, text] : codes) {
            if (codeId == id) code = text;
        }
        formats.push_back(code);
    }
    return formats;
}

}  // namespace kvrtest
