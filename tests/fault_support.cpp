// Helpers of the fault tests: hashes, listings, child processes.
#include "fault_support.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <grp.h>
#include <pwd.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "temp_dir.h"

namespace fs = std::filesystem;

namespace {

// Becomes "nobody" when running as root; a no-op for other users, whom
// permissions already bind.
bool DropPrivileges()
{
    if (geteuid() != 0)
        return true;
    struct passwd* nobody = getpwnam("nobody");
    uid_t uid = nobody ? nobody->pw_uid : 65534;
    gid_t gid = nobody ? nobody->pw_gid : 65534;
    return setgroups(0, nullptr) == 0 && setgid(gid) == 0 && setuid(uid) == 0 && geteuid() == uid;
}

int WaitForChild(pid_t pid)
{
    int status;
    while (waitpid(pid, &status, 0) < 0)
        if (errno != EINTR)
            return -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

} // namespace

std::string PatternBytes(size_t size, unsigned step)
{
    std::string bytes(size, '\0');
    for (size_t i = 0; i < size; ++i)
        bytes[i] = static_cast<char>((i * step + i / 251) & 0xFF);
    return bytes;
}

uint64_t HashFile(const std::string& path)
{
    FILE* f = fopen(path.c_str(), "rb");
    if (!f)
        return 0;
    uint64_t hash = 14695981039346656037ull;
    uint64_t size = 0;
    int c;
    while ((c = getc(f)) != EOF) {
        hash = (hash ^ static_cast<unsigned char>(c)) * 1099511628211ull;
        ++size;
    }
    fclose(f);
    return hash ^ (size * 0x9E3779B97F4A7C15ull) ^ 1;
}

std::vector<std::string> ListFolder(const std::string& path)
{
    std::vector<std::string> names;
    std::error_code ec;
    for (const fs::directory_entry& entry : fs::directory_iterator(path, ec)) {
        struct stat st;
        long long size = lstat(entry.path().c_str(), &st) == 0 ? st.st_size : -1;
        names.push_back(entry.path().filename().string() + " " + std::to_string(size));
    }
    std::sort(names.begin(), names.end());
    return names;
}

int RunInChild(const std::function<int()>& body, bool unprivileged)
{
    fflush(nullptr);
    pid_t pid = fork();
    if (pid < 0)
        return -1;
    if (pid == 0) {
        if (unprivileged && !DropPrivileges())
            _exit(255);
        int result = body();
        fflush(nullptr);
        _exit(result & 0xFF);  // _exit: no atexit handlers or leak check of the parent's state
    }
    int code = WaitForChild(pid);
    return code == 255 ? -1 : code;
}

bool PermissionsBind()
{
    TempDir dir;
    std::string probe = dir.File("probe");
    WriteFile(probe, "x");
    chmod(dir.Path().c_str(), 0755);
    chmod(probe.c_str(), 0);
    int opened = RunInChild([&] {
        int fd = open(probe.c_str(), O_RDONLY);
        return fd >= 0 ? 1 : errno == EACCES ? 0 : 2;
    }, true);
    return opened == 0;
}

ProcessResult RunProcess(const std::string& program, const std::vector<std::string>& args,
                         const ProcessOptions& options)
{
    TempDir capture;
    std::string outPath = options.stdoutPath.empty() ? capture.File("stdout") : options.stdoutPath;
    std::string errPath = capture.File("stderr");

    std::vector<char*> argv;
    argv.push_back(const_cast<char*>(program.c_str()));
    for (const std::string& arg : args)
        argv.push_back(const_cast<char*>(arg.c_str()));
    argv.push_back(nullptr);

    fflush(nullptr);
    pid_t pid = fork();
    if (pid < 0)
        return ProcessResult{-1, "", "fork failed"};
    if (pid == 0) {
        int outFlags = O_WRONLY | O_CREAT | (options.appendStdout ? O_APPEND : O_TRUNC);
        int out = open(outPath.c_str(), outFlags, 0644);
        int err = open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        if (out < 0 || err < 0 || dup2(out, 1) < 0 || dup2(err, 2) < 0)
            _exit(126);
        close(out);
        close(err);
        if (!options.workingDirectory.empty() && chdir(options.workingDirectory.c_str()) != 0)
            _exit(126);
        if (options.unprivileged && !DropPrivileges())
            _exit(126);
        execv(program.c_str(), argv.data());
        _exit(127);
    }
    ProcessResult result{WaitForChild(pid), "", ReadFile(errPath)};
    if (options.stdoutPath.empty())
        result.out = ReadFile(outPath);
    return result;
}

void MakeForbiddenFiles(const TempDir& dir)
{
    fs::create_directory(dir.File("locked"));
    chmod(dir.File("locked").c_str(), 0555);
    WriteFile(dir.File("secret.bin"), "secret");
    chmod(dir.File("secret.bin").c_str(), 0);
    WriteFile(dir.File("kept.txt"), "kept");
    chmod(dir.File("kept.txt").c_str(), 0444);
}
