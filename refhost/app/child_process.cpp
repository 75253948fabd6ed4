#include "refhost/app/child_process.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <stdexcept>

extern char** environ;

namespace keypose_host {

namespace {

bool IsExecutableFile(std::string const& path) {
    struct stat info {};
    return stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode) &&
           access(path.c_str(), X_OK) == 0;
}

// Closes the file actions and attributes however the spawn ends.
struct SpawnSetup {
    posix_spawn_file_actions_t actions{};
    SpawnSetup() { posix_spawn_file_actions_init(&actions); }
    ~SpawnSetup() { posix_spawn_file_actions_destroy(&actions); }
    SpawnSetup(SpawnSetup const&) = delete;
    SpawnSetup& operator=(SpawnSetup const&) = delete;
};

int WaitFor(pid_t child) {
    int status = 0;
    while (waitpid(child, &status, 0) < 0) {
        if (errno != EINTR) {
            return 127;
        }
    }
    if (WIFEXITED(status)) {
        return WEXITSTATUS(status);
    }
    return WIFSIGNALED(status) ? 128 + WTERMSIG(status) : 127;
}

// Starts the program with its input from /dev/null and, when outputTo is 0 or more, its
// standard output into that descriptor. The child's pid, or nothing when it did not start.
std::optional<pid_t> Spawn(std::vector<std::string> const& words, int outputTo) {
    if (words.empty()) {
        throw std::invalid_argument("no program to run");
    }
    std::optional<std::string> const program = FindProgram(words.front());
    if (!program) {
        return std::nullopt;
    }
    std::vector<char*> argv;
    for (std::string const& word : words) {
        argv.push_back(const_cast<char*>(word.c_str()));
    }
    argv.push_back(nullptr);
    SpawnSetup setup;
    posix_spawn_file_actions_addopen(&setup.actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    if (outputTo >= 0) {
        posix_spawn_file_actions_adddup2(&setup.actions, outputTo, STDOUT_FILENO);
    }
    pid_t child = 0;
    if (posix_spawn(&child, program->c_str(), &setup.actions, nullptr, argv.data(), environ) != 0) {
        return std::nullopt;
    }
    return child;
}

} // namespace

std::optional<std::string> FindProgram(std::string const& name) {
    if (name.empty()) {
        return std::nullopt;
    }
    if (name.find('/') != std::string::npos) {
        return IsExecutableFile(name) ? std::optional(name) : std::nullopt;
    }
    char const* const path = std::getenv("PATH");
    std::string const folders = path != nullptr ? path : "/usr/local/bin:/usr/bin:/bin";
    std::size_t start = 0;
    while (start <= folders.size()) {
        std::size_t end = folders.find(':', start);
        if (end == std::string::npos) {
            end = folders.size();
        }
        // An empty entry of the PATH is the current folder.
        std::string const folder = end == start ? "." : folders.substr(start, end - start);
        std::string const candidate = folder + "/" + name;
        if (IsExecutableFile(candidate)) {
            return candidate;
        }
        start = end + 1;
    }
    return std::nullopt;
}

int RunProgram(std::vector<std::string> const& words) {
    std::optional<pid_t> const child = Spawn(words, -1);
    return child ? WaitFor(*child) : 127;
}

std::optional<std::string> ProgramOutput(std::vector<std::string> const& words) {
    int pipeEnds[2];
    if (pipe2(pipeEnds, O_CLOEXEC) != 0) {
        return std::nullopt;
    }
    std::optional<pid_t> const child = Spawn(words, pipeEnds[1]);
    close(pipeEnds[1]);
    std::string text;
    char buffer[4096];
    ssize_t got = 0;
    while (child &&
           ((got = read(pipeEnds[0], buffer, sizeof buffer)) > 0 || (got < 0 && errno == EINTR))) {
        if (got > 0) {
            text.append(buffer, static_cast<std::size_t>(got));
        }
    }
    close(pipeEnds[0]);
    if (!child || WaitFor(*child) != 0) {
        return std::nullopt;
    }
    return text;
}

} // namespace keypose_host
