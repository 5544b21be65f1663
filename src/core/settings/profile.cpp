#include "core/settings/profile.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <vector>

#include "core/datafile/program.h"

namespace kvr {
namespace {

std::string Trim(const std::string& text) {
    const auto begin = text.find_first_not_of(" \t\r\n");
    if (begin == std::string::npos) return {};
    const auto end = text.find_last_not_of(" \t\r\n");
    return text.substr(begin, end - begin + 1);
}

std::vector<std::string> ReadLines(const std::string& path) {
    std::vector<std::string> lines;
    std::ifstream in(path, std::ios::binary);
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(line);
    }
    return lines;
}

bool IsSection(const std::string& line, const std::string& section) {
    const std::string trimmed = Trim(line);
    return trimmed.size() >= 2 && trimmed.front() == '[' && trimmed.back() == ']' &&
           trimmed.substr(1, trimmed.size() - 2) == section;
}

bool IsAnySection(const std::string& line) {
    const std::string trimmed = Trim(line);
    return trimmed.size() >= 2 && trimmed.front() == '[' && trimmed.back() == ']';
}

}  // namespace

std::string ConfigPath() { return GetProgramFolder() + "Config.ini"; }

std::string ReadProfileString(const std::string& section, const std::string& key,
                              const std::string& fallback, const std::string& iniPath) {
    const std::vector<std::string> lines = ReadLines(iniPath.empty() ? ConfigPath() : iniPath);
    bool inSection = false;
    for (const std::string& line : lines) {
        if (IsAnySection(line)) {
            inSection = IsSection(line, section);
            continue;
        }
        if (!inSection) continue;
        const auto equals = line.find('=');
        if (equals == std::string::npos) continue;
        if (Trim(line.substr(0, equals)) == key) return Trim(line.substr(equals + 1));
    }
    return fallback;
}

std::vector<ProfileLine> ReadProfileLines(const std::string& iniPath) {
    std::vector<ProfileLine> result;
    std::string section;
    int number = 0;
    for (const std::string& line : ReadLines(iniPath)) {
        ++number;
        const std::string trimmed = Trim(line);
        if (trimmed.empty() || trimmed.front() == ';' || trimmed.front() == '#') continue;
        if (IsAnySection(trimmed)) {
            section = Trim(trimmed.substr(1, trimmed.size() - 2));
            result.push_back({number, section, {}, {}, false});
            continue;
        }
        const auto equals = trimmed.find('=');
        if (equals == std::string::npos)
            result.push_back({number, section, trimmed, {}, false});
        else
            result.push_back({number, section, Trim(trimmed.substr(0, equals)),
                              Trim(trimmed.substr(equals + 1)), true});
    }
    return result;
}

bool WriteProfileString(const std::string& section, const std::string& key,
                        const std::string& value, const std::string& iniPath) {
    const std::string path = iniPath.empty() ? ConfigPath() : iniPath;
    std::vector<std::string> lines = ReadLines(path);
    bool inSection = false;
    bool written = false;
    std::size_t sectionEnd = lines.size();
    bool sectionFound = false;
    for (std::size_t i = 0; i < lines.size() && !written; ++i) {
        if (IsAnySection(lines[i])) {
            if (inSection) {
                sectionEnd = i;
                break;
            }
            inSection = IsSection(lines[i], section);
            sectionFound = sectionFound || inSection;
            continue;
        }
        if (!inSection) continue;
        const auto equals = lines[i].find('=');
        if (equals != std::string::npos && Trim(lines[i].substr(0, equals)) == key) {
            lines[i] = key + "=" + value;
            written = true;
        }
    }
    if (!written) {
        if (sectionFound) {
            // Insert before trailing blank lines of the section.
            std::size_t at = sectionEnd;
            while (at > 0 && Trim(lines[at - 1]).empty()) --at;
            lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(at), key + "=" + value);
        } else {
            lines.push_back("[" + section + "]");
            lines.push_back(key + "=" + value);
        }
    }
    const std::string temporary = path + ".tmp";
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        if (!out) return false;
        for (const std::string& line : lines) out << line << "\r\n";
        out.flush();
        if (!out) {
            std::remove(temporary.c_str());
            return false;
        }
    }
    return std::rename(temporary.c_str(), path.c_str()) == 0;
}

std::int64_t ReadProfileNumber(const char* section, const char* key, std::int64_t fallback,
                               std::int64_t low, std::int64_t high) {
    const std::string text = ReadProfileString(section, key, "");
    std::int64_t value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || error != std::errc() || end != text.data() + text.size()) return fallback;
    return value >= low && value <= high ? value : fallback;
}

float ReadProfileFloat(const char* section, const char* key, float fallback) {
    const std::string text = ReadProfileString(section, key, "");
    float value = 0.0f;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || error != std::errc() || end != text.data() + text.size() ||
        !std::isfinite(value))
        return fallback;
    return value;
}

bool WriteProfileNumber(const char* section, const char* key, std::int64_t value) {
    return WriteProfileString(section, key, std::to_string(value));
}

bool WriteProfileFloat(const char* section, const char* key, float value) {
    char text[32];
    const auto [end, error] = std::to_chars(text, text + sizeof text, value);
    if (error != std::errc()) return false;
    return WriteProfileString(section, key, std::string(text, end));
}

}  // namespace kvr
