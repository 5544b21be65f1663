#include <clocale>
#include <iostream>

#include "tools/kvrtool/commands.h"

int kvrtool::exitCode = kvrtool::kOk;

int main(int argc, char** argv) {
    std::setlocale(LC_ALL, "");
    std::setlocale(LC_NUMERIC, "C");
    CLI::App app{"kvrtool: command-line companion of KVR (data files and instrument link)"};
    app.require_subcommand(1);
    kvrtool::RegisterDataCommands(app);
    kvrtool::RegisterLinkCommands(app);
    kvrtool::RegisterExportCommands(app);
    kvrtool::RegisterAcquireCommands(app);
    kvrtool::RegisterCollectCommands(app);
    kvrtool::RegisterRecordCommands(app);
    kvrtool::RegisterReportCommands(app);
    kvrtool::RegisterPublishCommands(app);
    try {
        app.parse(argc, argv);
    } catch (const CLI::CallForHelp& e) {
        return app.exit(e);
    } catch (const CLI::ParseError& e) {
        app.exit(e);
        return kvrtool::kUsageOrIo;
    }
    return kvrtool::exitCode;
}
