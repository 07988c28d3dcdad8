#include "ChildProcess.h"

#include <algorithm>
#include <cstdio>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace bench {

namespace {

    std::string NameOf(const std::string& entry) { return entry.substr(0, entry.find('=')); }

    std::vector<char*> Pointers(std::vector<std::string>& strings)
    {
        std::vector<char*> pointers;
        for (std::string& string : strings)
            pointers.push_back(string.data());
        pointers.push_back(nullptr);
        return pointers;
    }

}

std::optional<std::string> RunSelf(const std::vector<std::string>& arguments, const std::vector<std::string>& changes)
{
    std::vector<std::string> argv { "/proc/self/exe" };
    argv.insert(argv.end(), arguments.begin(), arguments.end());
    std::vector<std::string> environment;
    for (char** entry = environ; *entry; ++entry) {
        const std::string name = NameOf(*entry);
        if (std::none_of(
                changes.begin(), changes.end(), [&](const std::string& change) { return NameOf(change) == name; }))
            environment.emplace_back(*entry);
    }
    for (const std::string& change : changes) {
        if (change.find('=') != std::string::npos)
            environment.push_back(change);
    }

    int channel[2];
    if (pipe(channel) != 0)
        return std::nullopt;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, channel[1], STDOUT_FILENO);
    posix_spawn_file_actions_addclose(&actions, channel[0]);
    std::fflush(stdout);
    pid_t child = 0;
    std::vector<char*> argvPointers = Pointers(argv), envPointers = Pointers(environment);
    const bool spawned
        = posix_spawn(&child, argv[0].c_str(), &actions, nullptr, argvPointers.data(), envPointers.data()) == 0;
    posix_spawn_file_actions_destroy(&actions);
    close(channel[1]);
    std::string output;
    char buffer[256];
    for (ssize_t count = 0; spawned && (count = read(channel[0], buffer, sizeof buffer)) > 0;)
        output.append(buffer, size_t(count));
    close(channel[0]);
    int status = -1;
    if (!spawned || waitpid(child, &status, 0) != child || !WIFEXITED(status) || WEXITSTATUS(status) != 0)
        return std::nullopt;
    return output;
}

}
