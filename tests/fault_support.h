// Helpers of the fault tests of the dump job and of vellumet-dump: hashes
// and listings to prove that nothing changed, and running a job or the
// program as a user that file permissions bind. POSIX only.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

// size bytes of every value, in an order that is not a simple count.
std::string PatternBytes(size_t size, unsigned step = 7);

// FNV-1a of the file's bytes, mixed with its size; 0 when it cannot be read.
uint64_t HashFile(const std::string& path);

// The names in a folder, sorted, with their sizes: "name 123".
std::vector<std::string> ListFolder(const std::string& path);

// Runs body in a child process, as the user "nobody" when unprivileged is
// true and this process is root, and returns what body returned (0-255), or
// -1 when the child could not be run or switched.
int RunInChild(const std::function<int()>& body, bool unprivileged);

// Whether a file without read permission is unreadable to the user that
// RunInChild(..., true) runs as; false when that user bypasses permissions.
bool PermissionsBind();

class TempDir;

// Makes in dir what permissions forbid to an unprivileged user: a folder
// "locked" it may not write, a file "secret.bin" it may not read and a file
// "kept.txt" (holding "kept") it may not write.
void MakeForbiddenFiles(const TempDir& dir);

struct ProcessResult {
    int exitCode;      // -1 when the process did not exit normally
    std::string out;   // standard output, unless redirected
    std::string err;   // standard error
};

struct ProcessOptions {
    std::string workingDirectory;  // empty: this process's
    std::string stdoutPath;        // empty: captured in ProcessResult::out
    bool appendStdout = false;     // open stdoutPath for appending
    bool unprivileged = false;     // run as "nobody" when this process is root
};

// Runs program with args (without argv[0]) and waits for it.
ProcessResult RunProcess(const std::string& program, const std::vector<std::string>& args,
                         const ProcessOptions& options = ProcessOptions());
