// A fresh folder for a test's files, removed with everything in it at the end.
#pragma once

#include <string>

class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::string& Path() const { return path_; }
    // Path of name inside the folder.
    std::string File(const std::string& name) const;

private:
    std::string path_;
};

// Whole-file helpers for tests; ReadFile returns "" for a missing file.
void WriteFile(const std::string& path, const std::string& bytes);
std::string ReadFile(const std::string& path);
bool FileExists(const std::string& path);
