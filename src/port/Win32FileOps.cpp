// The operating system's file operations on Windows. Every path is UTF-8, handed to the wide
// (W) calls. Files are opened with every sharing right (read, write and delete), so that a
// reader of ours never stops the snapshot's replacement and a replacement never stops a
// reader; a handle another program opened without delete sharing makes the rename fail
// (EACCES), and the caller keeps the old file.
#if defined(_WIN32)

#include <windows.h>

#include <atomic>
#include <cerrno>
#include <cstdint>
#include <string>

#include "port/FileOps.h"
#include "port/Win32Text.h"

namespace port {
namespace {

// The system's errors that the callers tell apart, with the errno value each maps to; any
// other error is EIO.
struct ErrorRow {
    DWORD error;
    int errnoValue;
};
constexpr ErrorRow kErrors[] = {
    {ERROR_FILE_NOT_FOUND, ENOENT},    {ERROR_PATH_NOT_FOUND, ENOENT},
    {ERROR_INVALID_NAME, ENOENT},      {ERROR_BAD_NETPATH, ENOENT},
    {ERROR_FILE_EXISTS, EEXIST},       {ERROR_ALREADY_EXISTS, EEXIST},
    {ERROR_ACCESS_DENIED, EACCES},     {ERROR_SHARING_VIOLATION, EACCES},
    {ERROR_WRITE_PROTECT, EACCES},     {ERROR_LOCK_VIOLATION, EWOULDBLOCK},
    {ERROR_DISK_FULL, ENOSPC},         {ERROR_HANDLE_DISK_FULL, ENOSPC},
    {ERROR_DIRECTORY, ENOTDIR},        {ERROR_DIR_NOT_EMPTY, ENOTEMPTY},
    {ERROR_NOT_ENOUGH_MEMORY, ENOMEM}, {ERROR_OUTOFMEMORY, ENOMEM},
    {ERROR_INVALID_HANDLE, EBADF},
};

int errnoOf(DWORD error) {
    for (const ErrorRow& row : kErrors) {
        if (row.error == error) {
            return row.errnoValue;
        }
    }
    return EIO;
}

int lastError() {
    return errnoOf(::GetLastError());
}

HANDLE handleOf(FileHandle file) {
    return reinterpret_cast<HANDLE>(file);
}

constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

// 100-nanosecond ticks since 1601 to nanoseconds since 1970.
int64_t toUnixNs(LARGE_INTEGER ticks) {
    constexpr int64_t kTicksFrom1601To1970 = 116444736000000000;
    return (ticks.QuadPart - kTicksFrom1601To1970) * 100;
}

int64_t toUnixNs(FILETIME time) {
    LARGE_INTEGER ticks;
    ticks.LowPart = time.dwLowDateTime;
    ticks.HighPart = static_cast<LONG>(time.dwHighDateTime);
    return toUnixNs(ticks);
}

class Win32FileOps final : public FileOps {
public:
    int open(const std::string& path, OpenMode mode, FileHandle& file) override {
        DWORD access = GENERIC_READ;
        DWORD disposition = OPEN_EXISTING;
        switch (mode) {
            case OpenMode::Read:
                break;
            // Writers look at their file too (stat).
            case OpenMode::Append:
                // Append data only: every write goes to the file's end.
                access = FILE_APPEND_DATA | FILE_READ_ATTRIBUTES | SYNCHRONIZE;
                disposition = OPEN_ALWAYS;
                break;
            case OpenMode::CreateNew:
                access = GENERIC_WRITE | FILE_READ_ATTRIBUTES;
                disposition = CREATE_NEW;
                break;
        }
        const HANDLE handle = ::CreateFileW(toWide(path).c_str(), access, kShareAll, nullptr,
                                            disposition, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (handle == INVALID_HANDLE_VALUE) {
            file = kNoFile;
            return lastError();
        }
        file = reinterpret_cast<FileHandle>(handle);
        return 0;
    }

    int read(FileHandle file, uint64_t offset, char* data, size_t size, size_t& got) override {
        got = 0;
        OVERLAPPED at = {};
        at.Offset = static_cast<DWORD>(offset);
        at.OffsetHigh = static_cast<DWORD>(offset >> 32);
        DWORD n = 0;
        const DWORD ask = size > MAXDWORD ? MAXDWORD : static_cast<DWORD>(size);
        if (!::ReadFile(handleOf(file), data, ask, &n, &at)) {
            return ::GetLastError() == ERROR_HANDLE_EOF ? 0 : lastError();
        }
        got = n;
        return 0;
    }

    int write(FileHandle file, const char* data, size_t size, size_t& written) override {
        written = 0;
        DWORD n = 0;
        const DWORD ask = size > MAXDWORD ? MAXDWORD : static_cast<DWORD>(size);
        if (!::WriteFile(handleOf(file), data, ask, &n, nullptr)) {
            return lastError();
        }
        written = n;
        return 0;
    }

    int syncRange(FileHandle, uint64_t, uint64_t, bool) override {
        // No ranged flush here: sync() does the whole file.
        return 0;
    }

    int sync(FileHandle file) override {
        return ::FlushFileBuffers(handleOf(file)) ? 0 : lastError();
    }

    int close(FileHandle file) override { return ::CloseHandle(handleOf(file)) ? 0 : lastError(); }

    int stat(FileHandle file, FileStat& stat) override {
        BY_HANDLE_FILE_INFORMATION info;
        FILE_BASIC_INFO times;
        if (!::GetFileInformationByHandle(handleOf(file), &info) ||
            !::GetFileInformationByHandleEx(handleOf(file), FileBasicInfo, &times, sizeof times)) {
            return lastError();
        }
        // The file index alone tells the files of one path apart. The volume's serial number
        // is left out: Wine answers 0 for it through a handle whose file has been renamed
        // (the replaced snapshot's), so the same file would look like another one.
        stat.device = 0;
        stat.inode = uint64_t{info.nFileIndexHigh} << 32 | info.nFileIndexLow;
        stat.size = uint64_t{info.nFileSizeHigh} << 32 | info.nFileSizeLow;
        stat.links = info.nNumberOfLinks;
        stat.modifiedNs = toUnixNs(times.LastWriteTime);
        stat.changedNs = toUnixNs(times.ChangeTime);
        stat.directory = (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
        return 0;
    }

    int stat(const std::string& path, FileStat& stat) override {
        // No access asked, only the right to look at it; backup semantics open directories.
        const HANDLE handle =
            ::CreateFileW(toWide(path).c_str(), FILE_READ_ATTRIBUTES, kShareAll, nullptr,
                          OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
        if (handle == INVALID_HANDLE_VALUE) {
            return lastError();
        }
        const int error = this->stat(reinterpret_cast<FileHandle>(handle), stat);
        ::CloseHandle(handle);
        return error;
    }

    int rename(const std::string& from, const std::string& to) override {
        // Write-through: the call returns once the rename is on the disk, which stands in for
        // the directory sync of POSIX systems.
        return ::MoveFileExW(toWide(from).c_str(), toWide(to).c_str(),
                             MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)
                   ? 0
                   : lastError();
    }

    int remove(const std::string& path) override {
        return ::DeleteFileW(toWide(path).c_str()) ? 0 : lastError();
    }

    int makeDirectory(const std::string& path) override {
        return ::CreateDirectoryW(toWide(path).c_str(), nullptr) ? 0 : lastError();
    }

    int listDirectory(const std::string& path, std::vector<std::string>& names) override {
        names.clear();
        std::wstring pattern = toWide(path);
        if (!pattern.empty() && pattern.back() != L'\\' && pattern.back() != L'/') {
            pattern += L'\\';
        }
        pattern += L'*';
        WIN32_FIND_DATAW entry;
        const HANDLE find = ::FindFirstFileW(pattern.c_str(), &entry);
        if (find == INVALID_HANDLE_VALUE) {
            return lastError();
        }
        do {
            const std::wstring name = entry.cFileName;
            if (name != L"." && name != L"..") {
                names.push_back(toUtf8(name));
            }
        } while (::FindNextFileW(find, &entry));
        const DWORD error = ::GetLastError();
        ::FindClose(find);
        return error == ERROR_NO_MORE_FILES ? 0 : errnoOf(error);
    }

    int syncDirectory(const std::string&) override {
        // Renames are written through (see rename); a directory has no handle to flush.
        return 0;
    }

    int tryLock(FileHandle file) override {
        // The whole file, exclusively. Windows locks are mandatory: other handles can neither
        // read nor write the locked range, so a lock file carries nothing else.
        OVERLAPPED whole = {};
        return ::LockFileEx(handleOf(file), LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0,
                            MAXDWORD, MAXDWORD, &whole)
                   ? 0
                   : lastError();
    }

    int makeTemporaryDirectory(const std::string& prefix, std::string& path) override {
        path.clear();
        wchar_t base[MAX_PATH + 1];
        const DWORD length = ::GetTempPathW(MAX_PATH + 1, base);
        if (length == 0 || length > MAX_PATH) {
            return lastError();
        }
        // A name no other process or thread makes at the same moment: process ID, a counter
        // and the tick count; a name already taken is passed over.
        static std::atomic<unsigned> counter{0};
        const std::string stem = toUtf8(base, length) + prefix +
                                 std::to_string(::GetCurrentProcessId()) + "-" +
                                 std::to_string(::GetTickCount64() % 1000000) + "-";
        for (int attempt = 0; attempt < 100; ++attempt) {
            const std::string candidate = stem + std::to_string(counter++);
            if (::CreateDirectoryW(toWide(candidate).c_str(), nullptr)) {
                path = candidate + "\\";
                return 0;
            }
            if (::GetLastError() != ERROR_ALREADY_EXISTS) {
                return lastError();
            }
        }
        return EEXIST;
    }

    int64_t fileTimeNow() override {
        FILETIME now;
        ::GetSystemTimeAsFileTime(&now);
        return toUnixNs(now);
    }
};

}  // namespace

FileOps& FileOps::system() {
    static Win32FileOps ops;
    return ops;
}

}  // namespace port

#endif  // _WIN32
