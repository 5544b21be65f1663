#include "support/xlsx_reader.h"

#include "support/test_support.h"

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <map>
#include <regex>

namespace kvrtest {
namespace {

std::string ShellQuoted(const std::string& text) {
    std::string quoted = "'";
    for (char c : text) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}

std::optional<std::string> ZipMember(const std::string& zipPath, const std::string& member) {
    CommandResult unzipped =
        RunCommand("unzip -p " + ShellQuoted(zipPath) + " " + ShellQuoted(member) + " 2>/dev/null");
    if (unzipped.exitCode != 0) return std::nullopt;
    return std::move(unzipped.out);
}

std::string Unescaped(const std::string& xml) {
    static const std::pair<const char*, const char*> kEntities[] = {
        {"&lt;", "<"}, {"&gt;", ">"}, {"&quot;", "\""}, {"&apos;", "'"}, {"&amp;", "&"}};
    std::string text = xml;
    for (const auto& [entity, plain] : kEntities) {
        for (size_t at = text.find(entity); at != std::string::npos; at = text.find(entity, at + 1))
            text.replace(at, std::string(entity).size(), plain);
    }
    return text;
}

// Plain scanning rather than regular expressions: a 65535-row sheet must read in seconds.
std::string Attribute(const std::string& element, const std::string& name) {
    const std::string key = name + "=\"";
    for (size_t at = element.find(key); at != std::string::npos; at = element.find(key, at + 1)) {
        if (at == 0 || !std::isspace(static_cast<unsigned char>(element[at - 1]))) continue;
        const size_t begin = at + key.size();
        const size_t end = element.find('"', begin);
        if (end == std::string::npos) return {};
        return Unescaped(element.substr(begin, end - begin));
    }
    return {};
}

// Concatenated <t> texts inside one fragment (a shared string or an inline string).
std::string JoinedTexts(const std::string& fragment) {
    static const std::regex text("<t(?:\\s[^>]*)?>([^<]*)</t>");
    std::string joined;
    for (std::sregex_iterator it(fragment.begin(), fragment.end(), text), end; it != end; ++it)
        joined += Unescaped((*it)[1]);
    return joined;
}

std::vector<std::string> SharedStrings(const std::string& xml) {
    static const std::regex item("<si>([\\s\\S]*?)</si>");
    std::vector<std::string> strings;
    for (std::sregex_iterator it(xml.begin(), xml.end(), item), end; it != end; ++it)
        strings.push_back(JoinedTexts((*it)[1]));
    return strings;
}

// Format code of each cell style index, from styles.xml.
std::vector<std::string> StyleFormats(const std::string& xml) {
    std::map<int, std::string> codes = {{0, ""}, {1, "0"}, {2, "0.00"}};
    static const std::regex numFmt("<numFmt [^>]*>");
    for (std::sregex_iterator it(xml.begin(), xml.end(), numFmt), end; it != end; ++it) {
        const std::string element = (*it)[0];
        codes[std::atoi(Attribute(element, "numFmtId").c_str())] = Attribute(element, "formatCode");
    }
    std::vector<std::string> formats;
    const auto xfsStart = xml.find("<cellXfs");
    const auto xfsEnd = xml.find("</cellXfs>");
    if (xfsStart == std::string::npos || xfsEnd == std::string::npos) return formats;
    const std::string xfs = xml.substr(xfsStart, xfsEnd - xfsStart);
    static const std::regex xf("<xf [^>]*>");
    for (std::sregex_iterator it(xfs.begin(), xfs.end(), xf), end; it != end; ++it)
        formats.push_back(codes[std::atoi(Attribute((*it)[0], "numFmtId").c_str())]);
    return formats;
}

void CellPosition(const std::string& reference, size_t* row, size_t* column) {
    size_t at = 0;
    *column = 0;
    while (at < reference.size() && std::isalpha(static_cast<unsigned char>(reference[at])))
        *column = *column * 26 + static_cast<size_t>(reference[at++] - 'A' + 1);
    *column -= 1;
    *row = static_cast<size_t>(std::atol(reference.c_str() + at)) - 1;
}

XlsxSheet ParseSheet(const std::string& xml, const std::vector<std::string>& shared,
                     const std::vector<std::string>& formats) {
    XlsxSheet sheet;
    for (size_t at = xml.find("<c "); at != std::string::npos; at = xml.find("<c ", at + 1)) {
        const size_t headEnd = xml.find('>', at);
        if (headEnd == std::string::npos) break;
        const bool empty = xml[headEnd - 1] == '/';
        const std::string head = " " + xml.substr(at + 3, headEnd - at - 3 - (empty ? 1 : 0));
        std::string body;
        if (!empty) {
            const size_t close = xml.find("</c>", headEnd);
            if (close == std::string::npos) break;
            body = xml.substr(headEnd + 1, close - headEnd - 1);
        }
        size_t row, column;
        CellPosition(Attribute(head, "r"), &row, &column);
        XlsxCell parsed;
        const std::string type = Attribute(head, "t");
        const size_t valueAt = body.find("<v>");
        const bool hasValue = valueAt != std::string::npos;
        const std::string v =
            hasValue ? body.substr(valueAt + 3, body.find("</v>", valueAt) - valueAt - 3) : "";
        if (type == "inlineStr") {
            parsed.text = JoinedTexts(body);
        } else if (type == "s") {
            const size_t index = hasValue ? std::stoul(v) : shared.size();
            parsed.text = index < shared.size() ? shared[index] : std::string();
        } else if (type == "str") {
            parsed.text = Unescaped(v);
        } else {
            parsed.isNumber = hasValue;
            parsed.text = v;
        }
        const std::string style = Attribute(head, "s");
        const size_t styleIndex = style.empty() ? 0 : std::stoul(style);
        if (styleIndex < formats.size()) parsed.numberFormat = formats[styleIndex];
        if (sheet.rows.size() <= row) sheet.rows.resize(row + 1);
        if (sheet.rows[row].size() <= column) sheet.rows[row].resize(column + 1);
        sheet.rows[row][column] = parsed;
    }
    return sheet;
}

}  // namespace

const XlsxCell* XlsxSheet::Cell(size_t row, size_t column) const {
    if (row >= rows.size() || column >= rows[row].size()) return nullptr;
    return &rows[row][column];
}

std::string XlsxSheet::Text(size_t row, size_t column) const {
    const XlsxCell* cell = Cell(row, column);
    return cell ? cell->text : std::string();
}

std::string XlsxSheet::Shown(size_t row, size_t column) const {
    const XlsxCell* cell = Cell(row, column);
    if (!cell || !cell->isNumber) return cell ? cell->text : std::string();
    const double value = std::stod(cell->text);
    char text[64];
    if (cell->numberFormat == "yyyy-mm-dd") {
        // Day 25569 is 1970-01-01.
        const std::time_t seconds = static_cast<std::time_t>((value - 25569.0) * 86400.0 + 0.5);
        std::tm fields{};
        gmtime_r(&seconds, &fields);
        std::strftime(text, sizeof text, "%Y-%m-%d", &fields);
        return text;
    }
    const size_t point = cell->numberFormat.find('.');
    const int decimals =
        point == std::string::npos ? 0 : static_cast<int>(cell->numberFormat.size() - point - 1);
    std::snprintf(text, sizeof text, "%.*f", decimals, value);
    return text;
}

std::optional<XlsxWorkbook> ReadXlsx(const std::string& path) {
    const auto workbookXml = ZipMember(path, "xl/workbook.xml");
    if (!workbookXml) return std::nullopt;
    const std::vector<std::string> shared =
        SharedStrings(ZipMember(path, "xl/sharedStrings.xml").value_or(""));
    const std::vector<std::string> formats =
        StyleFormats(ZipMember(path, "xl/styles.xml").value_or(""));
    XlsxWorkbook book;
    static const std::regex sheetEntry("<sheet [^>]*>");
    int number = 0;
    // Sheets are stored as xl/worksheets/sheetN.xml in the order the workbook lists them.
    for (std::sregex_iterator it(workbookXml->begin(), workbookXml->end(), sheetEntry), end;
         it != end; ++it) {
        const auto xml = ZipMember(path, "xl/worksheets/sheet" + std::to_string(++number) + ".xml");
        if (!xml) return std::nullopt;
        XlsxSheet sheet = ParseSheet(*xml, shared, formats);
        sheet.name = Attribute((*it)[0], "name");
        book.sheets.push_back(std::move(sheet));
    }
    return book;
}

}  // namespace kvrtest
