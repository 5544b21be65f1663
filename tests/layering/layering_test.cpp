// The include rules that keep the program's parts apart, checked on the #include lines of
// src/: core never includes Qt or anything outside core, and its folders stack up in one
// order (sys, datafile, settings, then link, view, analysis and publish side by side); widgets
// include core only, Sheetout core and widgets, the tools core; the program reaches Sheetout
// through its public header only; gui/common includes no window subsystem and gui/curves
// none but gui/common; nothing outside gui/app includes gui/app; window subsystems never
// include each other in a cycle; only gui/app includes the main frame.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <regex>
#include <set>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

struct Include {
    std::string file;    // path below src/, e.g. "gui/history/hc_view.cpp"
    std::string target;  // as written: "gui/app/main_frame.h" or "<QString>"
};

std::string TopFolder(const std::string& path) { return path.substr(0, path.find('/')); }

// "gui/history/x.h" -> "history"; empty for files directly in gui/ or outside it.
std::string GuiFolder(const std::string& path) {
    if (path.rfind("gui/", 0) != 0) return {};
    const std::string rest = path.substr(4);
    const auto slash = rest.find('/');
    return slash == std::string::npos ? std::string{} : rest.substr(0, slash);
}

// The shared gui folders under the windows, and the only gui folders each may include.
const std::map<std::string, std::set<std::string>>& SharedFolders() {
    static const std::map<std::string, std::set<std::string>> shared = {
        {"common", {}},
        {"curves", {"common"}},
    };
    return shared;
}

// The core folders each core folder may include besides itself.
const std::map<std::string, std::set<std::string>>& CoreLayers() {
    static const std::map<std::string, std::set<std::string>> layers = {
        {"sys", {}},
        {"datafile", {"sys"}},
        {"settings", {"sys", "datafile"}},
        {"link", {"sys", "datafile", "settings"}},
        {"view", {"sys", "datafile", "settings"}},
        {"analysis", {"sys", "datafile", "settings"}},
        {"publish", {"sys", "datafile", "settings"}},
    };
    return layers;
}

// "core/link/x.h" -> "link".
std::string SecondFolder(const std::string& path) {
    const auto first = path.find('/');
    if (first == std::string::npos) return {};
    const auto second = path.find('/', first + 1);
    return second == std::string::npos ? std::string{} : path.substr(first + 1, second - first - 1);
}

// The top folders each top folder outside gui may include besides itself.
const std::map<std::string, std::set<std::string>>& TopLayers() {
    static const std::map<std::string, std::set<std::string>> layers = {
        {"core", {}},
        {"widgets", {"core"}},
        {"sheetout", {"core", "widgets"}},
        {"tools", {"core"}},
    };
    return layers;
}

bool IsQtHeader(const std::string& target) {
    static const std::regex qt(R"(^<Q[A-Za-z]|^<qt)");
    return std::regex_search(target, qt);
}

// Folders on a cycle of the include graph between gui subsystems, one message per cycle.
std::vector<std::string> Cycles(const std::map<std::string, std::set<std::string>>& graph) {
    std::vector<std::string> found;
    std::set<std::string> reported;
    for (const auto& [start, _] : graph) {
        // Depth-first from start, looking for a path back to start.
        std::vector<std::vector<std::string>> stack{{start}};
        std::set<std::string> seen;
        while (!stack.empty()) {
            std::vector<std::string> path = stack.back();
            stack.pop_back();
            const auto it = graph.find(path.back());
            if (it == graph.end()) continue;
            for (const std::string& next : it->second) {
                if (next == start) {
                    std::set<std::string> members(path.begin(), path.end());
                    std::string key;
                    for (const std::string& m : members) key += m + " ";
                    if (!reported.insert(key).second) continue;
                    std::string text = "cycle between gui folders:";
                    for (const std::string& m : path) text += " " + m + " ->";
                    found.push_back(text + " " + start);
                } else if (seen.insert(next).second) {
                    std::vector<std::string> longer = path;
                    longer.push_back(next);
                    stack.push_back(longer);
                }
            }
        }
    }
    return found;
}

std::vector<std::string> Violations(const std::vector<Include>& includes) {
    std::vector<std::string> found;
    std::map<std::string, std::set<std::string>> graph;
    for (const Include& inc : includes) {
        const std::string where = inc.file + " includes " + inc.target;
        const bool quoted = inc.target.front() == '"';
        const std::string target =
            quoted ? inc.target.substr(1, inc.target.size() - 2) : inc.target;
        const std::string top = TopFolder(inc.file);
        if (top == "core" && IsQtHeader(inc.target))
            found.push_back("core must not use Qt: " + where);
        if (!quoted) continue;
        const std::string targetTop = TopFolder(target);
        if (const auto layer = TopLayers().find(top);
            layer != TopLayers().end() && targetTop != top && !layer->second.contains(targetTop))
            found.push_back(top + " must not include " + targetTop + ": " + where);
        if (top == "core" && targetTop == "core") {
            const std::string from = SecondFolder(inc.file);
            const std::string to = SecondFolder(target);
            const auto layer = CoreLayers().find(from);
            if (layer == CoreLayers().end())
                found.push_back("core/" + from + " has no place in the core layers: " + where);
            else if (to != from && !layer->second.contains(to))
                found.push_back("core/" + from + " must not include core/" + to + ": " + where);
        }
        if (top == "gui" && targetTop == "sheetout" && target != "sheetout/cxexcel.h")
            found.push_back("the program uses Sheetout through cxexcel.h only: " + where);
        const std::string from = GuiFolder(inc.file);
        const std::string to = GuiFolder(target);
        if (target.find("main_frame.h") != std::string::npos && from != "app")
            found.push_back("only gui/app may include the main frame: " + where);
        if (to.empty() || to == from) continue;
        if (to == "app")
            found.push_back("nothing outside gui/app includes gui/app: " + where);
        else if (const auto shared = SharedFolders().find(from); shared != SharedFolders().end()) {
            if (!shared->second.contains(to))
                found.push_back("gui/" + from + " includes no window subsystem: " + where);
        } else if (!from.empty() && from != "app")
            graph[from].insert(to);
    }
    for (std::string& cycle : Cycles(graph)) found.push_back(std::move(cycle));
    return found;
}

std::vector<Include> ReadIncludes(const fs::path& srcDir) {
    static const std::regex includeLine(R"(^\s*#\s*include\s*([<"][^>"]+[>"]))");
    std::vector<Include> includes;
    for (const auto& entry : fs::recursive_directory_iterator(srcDir)) {
        if (!entry.is_regular_file()) continue;
        const std::string ext = entry.path().extension().string();
        if (ext != ".h" && ext != ".cpp") continue;
        const std::string file = fs::relative(entry.path(), srcDir).generic_string();
        std::ifstream in(entry.path());
        std::string line;
        std::smatch match;
        while (std::getline(in, line))
            if (std::regex_search(line, match, includeLine)) includes.push_back({file, match[1]});
    }
    return includes;
}

}  // namespace

TEST(Layering, SourceTreeKeepsTheRules) {
    const std::vector<Include> includes = ReadIncludes(fs::path(KVR_SOURCE_DIR) / "src");
    ASSERT_GT(includes.size(), 100u) << "the source tree was not found";
    std::string report;
    for (const std::string& v : Violations(includes)) report += v + "\n";
    EXPECT_TRUE(report.empty()) << report;
}

TEST(Layering, EachRuleCatchesItsViolation) {
    struct Case {
        const char* name;
        std::vector<Include> includes;
        std::size_t violations;
    };
    const std::vector<Case> cases = {
        {"core includes Qt", {{"core/datafile/a.cpp", "<QString>"}}, 1},
        {"core includes a Qt module header", {{"core/link/a.h", "<QtCore/QObject>"}}, 1},
        {"core includes the GUI", {{"core/view/a.h", "\"gui/common/edge_rect.h\""}}, 1},
        {"core includes a library", {{"core/view/a.h", "\"widgets/b.h\""}}, 1},
        {"core layers in order",
         {{"core/link/a.h", "\"core/datafile/b.h\""},
          {"core/view/a.h", "\"core/settings/b.h\""},
          {"core/analysis/a.h", "\"core/sys/b.h\""}},
         0},
        {"a lower core layer includes a higher one",
         {{"core/datafile/a.h", "\"core/link/b.h\""}},
         1},
        {"core layers side by side", {{"core/analysis/a.h", "\"core/view/b.h\""}}, 1},
        {"a core folder without a layer", {{"core/extra/a.h", "\"core/sys/b.h\""}}, 1},
        {"widgets include the GUI", {{"widgets/a.cpp", "\"gui/common/b.h\""}}, 1},
        {"Sheetout includes the GUI", {{"sheetout/a.cpp", "\"gui/common/b.h\""}}, 1},
        {"Sheetout includes widgets and core",
         {{"sheetout/a.h", "\"widgets/b.h\""}, {"sheetout/a.h", "\"core/analysis/b.h\""}},
         0},
        {"a tool includes the GUI", {{"tools/kvrtool/a.cpp", "\"gui/common/b.h\""}}, 1},
        {"the program includes Sheetout's insides",
         {{"gui/app/a.cpp", "\"sheetout/export_dlg.h\""}},
         1},
        {"the program includes Sheetout's API", {{"gui/app/a.cpp", "\"sheetout/cxexcel.h\""}}, 0},
        {"core includes the standard library", {{"core/view/a.h", "<queue>"}}, 0},
        {"main frame from a view", {{"gui/history/a.cpp", "\"gui/app/main_frame.h\""}}, 2},
        {"main frame from a tool", {{"tools/kvrtool/a.cpp", "\"gui/app/main_frame.h\""}}, 3},
        {"main frame from the app", {{"gui/app/a.cpp", "\"gui/app/main_frame.h\""}}, 0},
        {"app header from a subsystem", {{"gui/lists/a.cpp", "\"gui/app/icons.h\""}}, 1},
        {"common includes a subsystem", {{"gui/common/a.cpp", "\"gui/lists/b.h\""}}, 1},
        {"curves includes a window", {{"gui/curves/a.cpp", "\"gui/history/b.h\""}}, 1},
        {"curves includes common", {{"gui/curves/a.cpp", "\"gui/common/b.h\""}}, 0},
        {"windows include curves",
         {{"gui/history/a.cpp", "\"gui/curves/b.h\""},
          {"gui/realtime/a.cpp", "\"gui/curves/b.h\""}},
         0},
        {"subsystems include common",
         {{"gui/lists/a.cpp", "\"gui/common/b.h\""}, {"gui/history/a.cpp", "\"gui/common/b.h\""}},
         0},
        {"one-way dependency",
         {{"gui/lists/a.cpp", "\"gui/navigation/b.h\""},
          {"gui/history/a.cpp", "\"gui/navigation/b.h\""}},
         0},
        {"two folders include each other",
         {{"gui/lists/a.cpp", "\"gui/history/b.h\""}, {"gui/history/b.cpp", "\"gui/lists/a.h\""}},
         1},
        {"a cycle through three folders",
         {{"gui/lists/a.cpp", "\"gui/history/b.h\""},
          {"gui/history/b.cpp", "\"gui/charts/c.h\""},
          {"gui/charts/c.cpp", "\"gui/lists/a.h\""}},
         1},
        {"the app includes everything",
         {{"gui/app/a.cpp", "\"gui/lists/b.h\""},
          {"gui/app/a.cpp", "\"gui/history/b.h\""},
          {"gui/lists/a.cpp", "\"gui/history/b.h\""}},
         0},
    };
    for (const Case& c : cases) EXPECT_EQ(Violations(c.includes).size(), c.violations) << c.name;
}
