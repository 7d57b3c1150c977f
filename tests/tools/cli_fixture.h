#pragma once

// Runs the real tarnik-cli in a temporary folder and collects its exit status and
// output; module simulators on pseudo-terminals stand in for the modules.

#include <gtest/gtest.h>

#include <QDir>
#include <QTemporaryDir>

#include <fstream>
#include <iterator>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>

#include "file/settings_file.h"
#include "simulator/module_simulator.h"

extern char** environ;

namespace tarnik {

struct CliResult {
    int status = -1;
    std::string out;
    std::string err;
    std::vector<std::string> lines() const
    {
        std::vector<std::string> result;
        std::istringstream in(out);
        for (std::string line; std::getline(in, line);)
            result.push_back(line);
        return result;
    }
};

inline std::string readFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

class Cli : public ::testing::Test {
protected:
    // Standard output goes to a file the result holds, or to `stdoutTo` (/dev/full).
    CliResult run(std::vector<std::string> args, const std::string& stdoutTo = {})
    {
        const std::string outPath = stdoutTo.empty() ? path("stdout") : stdoutTo;
        const std::string errPath = path("stderr");
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, 1, outPath.c_str(),
                                         stdoutTo.empty() ? O_WRONLY | O_CREAT | O_TRUNC : O_WRONLY,
                                         0644);
        posix_spawn_file_actions_addopen(&actions, 2, errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                         0644);
        args.insert(args.begin(), TARNIK_CLI_PATH);
        std::vector<char*> argv;
        for (auto& a : args)
            argv.push_back(a.data());
        argv.push_back(nullptr);
        pid_t pid = 0;
        CliResult result;
        if (posix_spawn(&pid, TARNIK_CLI_PATH, &actions, nullptr, argv.data(), environ) == 0) {
            int wstatus = 0;
            waitpid(pid, &wstatus, 0);
            result.status = WIFEXITED(wstatus) ? WEXITSTATUS(wstatus) : -1;
        }
        posix_spawn_file_actions_destroy(&actions);
        if (stdoutTo.empty())
            result.out = readFile(outPath);
        result.err = readFile(errPath);
        return result;
    }

    std::string path(const std::string& name) const
    {
        return dir.filePath(QString::fromStdString(name)).toStdString();
    }

    std::string saveSettings(const std::string& name, const SettingsRecord& record,
                             const UserDirectory& users = {})
    {
        SaveSettingsFile(record, users, QString::fromStdString(path(name)));
        return path(name);
    }

    ModuleSimulator& simulator(SimulatorOptions options = {})
    {
        sim = std::make_unique<ModuleSimulator>(options);
        sim->start();
        return *sim;
    }

    // One more module, beside the others.
    ModuleSimulator& anotherSimulator(SimulatorOptions options = {})
    {
        others.push_back(std::make_unique<ModuleSimulator>(options));
        others.back()->start();
        return *others.back();
    }

    QTemporaryDir dir;
    std::unique_ptr<ModuleSimulator> sim;
    std::vector<std::unique_ptr<ModuleSimulator>> others;
};

}  // namespace tarnik
