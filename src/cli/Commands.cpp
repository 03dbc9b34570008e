// The program's commands, one line per feature; each feature keeps its commands in a file of its own here.
#include "cli/CommandLine.h"

namespace cli {

std::vector<Command> commands() {
    std::vector<Command> all;
    for (Command& command : transferCommands()) all.push_back(std::move(command));
    for (Command& command : reportCommands()) all.push_back(std::move(command));
    for (Command& command : passphraseCommands()) all.push_back(std::move(command));
    for (Command& command : historyCommands()) all.push_back(std::move(command));
    for (Command& command : syncCommands()) all.push_back(std::move(command));
    return all;
}

}  // namespace cli
