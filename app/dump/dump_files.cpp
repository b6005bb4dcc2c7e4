// Opening the dump job's files, and telling whether two open files are one:
// POSIX compares device and inode, Windows volume serial and file index.
#include "dump_files.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>

#ifdef _WIN32
#include <io.h>
#include <windows.h>

namespace {

bool GetFileIdentity(FILE* f, BY_HANDLE_FILE_INFORMATION* info)
{
    HANDLE h = reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(f)));
    return h != INVALID_HANDLE_VALUE && GetFileInformationByHandle(h, info);
}

} // namespace

FILE* OpenDumpInput(const char* path)
{
    return fopen(path, "rb");
}

FILE* OpenDumpOutputUntruncated(const char* path)
{
    // _O_CREAT without _O_TRUNC: an existing file keeps its bytes.
    int fd = _open(path, _O_WRONLY | _O_BINARY | _O_CREAT, _S_IREAD | _S_IWRITE);
    if (fd < 0)
        return nullptr;
    FILE* f = _fdopen(fd, "wb");
    if (!f)
        _close(fd);
    return f;
}

bool TruncateDumpOutput(FILE* out)
{
    HANDLE h = reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(out)));
    return GetFileType(h) != FILE_TYPE_DISK || _chsize(_fileno(out), 0) == 0;
}

bool IsSameOpenFile(FILE* a, FILE* b)
{
    BY_HANDLE_FILE_INFORMATION ia, ib;
    return GetFileIdentity(a, &ia) && GetFileIdentity(b, &ib)
        && ia.dwVolumeSerialNumber == ib.dwVolumeSerialNumber
        && ia.nFileIndexHigh == ib.nFileIndexHigh && ia.nFileIndexLow == ib.nFileIndexLow;
}

#else
#include <unistd.h>

FILE* OpenDumpInput(const char* path)
{
    FILE* f = fopen(path, "rb");
    struct stat st;
    if (f && fstat(fileno(f), &st) == 0 && S_ISDIR(st.st_mode)) {
        fclose(f);
        errno = EISDIR;
        return nullptr;
    }
    return f;
}

FILE* OpenDumpOutputUntruncated(const char* path)
{
    // O_CREAT without O_TRUNC: an existing file keeps its bytes, and a
    // dangling symbolic link gets its target created, as with fopen.
    int fd = open(path, O_WRONLY | O_CLOEXEC | O_CREAT, 0666);
    if (fd < 0)
        return nullptr;
    FILE* f = fdopen(fd, "wb");
    if (!f)
        close(fd);
    return f;
}

bool TruncateDumpOutput(FILE* out)
{
    // An empty file is left alone: ext4 takes a truncation to zero, even of
    // an empty file, as a file being replaced, and then makes the close
    // push all the new data to the disk before it returns, which for a
    // large dump costs more than the formatting.
    struct stat st;
    if (fstat(fileno(out), &st) != 0)
        return false;
    return !S_ISREG(st.st_mode) || st.st_size == 0 || ftruncate(fileno(out), 0) == 0;
}

bool IsSameOpenFile(FILE* a, FILE* b)
{
    struct stat sa, sb;
    return fstat(fileno(a), &sa) == 0 && fstat(fileno(b), &sb) == 0
        && sa.st_dev == sb.st_dev && sa.st_ino == sb.st_ino;
}

#endif
