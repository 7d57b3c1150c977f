#pragma once

// A module that misbehaves on purpose, on a pseudo-terminal: a thread reads what the
// tool sends and, for each complete command, runs the test's script, which writes to
// the line (paced like a 115200-baud line when asked) or drops it.

#include <atomic>
#include <chrono>
#include <functional>
#include <mutex>
#include <string>
#include <thread>

namespace tarnik::proof {

class ScriptedModule {
public:
    // What the module does with one command: 'the command character' ('2', '0', '5',
    // '3', '7') and how many commands came before it.
    using Script = std::function<void(ScriptedModule& line, char command, int index)>;

    explicit ScriptedModule(Script script);
    ~ScriptedModule();
    ScriptedModule(const ScriptedModule&) = delete;
    ScriptedModule& operator=(const ScriptedModule&) = delete;

    const std::string& devicePath() const { return path_; }

    // For the script (runs on the module's thread).
    void write(const std::string& bytes);
    // Writes at 115200 baud (one byte every ~87 us) for `duration`, bytes chosen by
    // `next`; stops early when the module is being destroyed.
    void stream(std::chrono::milliseconds duration, const std::function<char()>& next);
    // Drops the line: the tool's side sees a hang-up.
    void hangUp();

    int commandsSeen() const { return commands_; }

private:
    void run();

    Script script_;
    int master_ = -1;
    int slave_ = -1;
    std::string path_;
    std::atomic<bool> stop_{false};
    std::atomic<int> commands_{0};
    std::mutex masterMutex_;
    std::thread thread_;
};

}  // namespace tarnik::proof
