// files.cpp — CreateFileA / CreateFileW, ReadFile, WriteFile and GetFileSize
// over POSIX descriptors. Narrow names are in the process code page (936),
// wide names Unicode; both become UTF-8 names on the file system. Share modes are not
// enforced (Linux has no mandatory sharing); a directory cannot be opened as
// a file, as on Windows.
#include <errno.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>

#include "codepage.h"
#include "kernel/kernel_internal.h"
#include "winbase.h"

namespace plat::kernel {

DWORD error_from_errno(int e) {
    switch (e) {
        case ENOENT: return ERROR_FILE_NOT_FOUND;
        case ENOTDIR: return ERROR_PATH_NOT_FOUND;
        case EACCES:
        case EPERM:
        case EISDIR:
        case EROFS: return ERROR_ACCESS_DENIED;
        case EEXIST: return ERROR_FILE_EXISTS;
        case ENAMETOOLONG: return ERROR_INVALID_NAME;
        case ENOTEMPTY: return ERROR_DIR_NOT_EMPTY;
        case ENOMEM: return ERROR_NOT_ENOUGH_MEMORY;
        default: return ERROR_INVALID_FUNCTION;
    }
}

std::string native_name(const char* name) {
    bool ascii = true;
    for (const char* p = name; *p; ++p) ascii = ascii && (unsigned char)*p < 0x80;
    return ascii ? std::string(name) : plat::codepage::cp936_to_utf8(name, -1);
}

std::string native_name(const wchar_t* name) {
    std::string native;
    for (const wchar_t* p = name; *p; ++p) plat::codepage::append_utf8(native, char32_t(*p));
    return native;
}

}  // namespace plat::kernel

namespace {
using plat::kernel::error_from_errno;
using plat::kernel::native_name;

// Opens the file of a UTF-8 name (not empty) as CreateFile does.
HANDLE open_native(const std::string& native, DWORD dwDesiredAccess, DWORD dwCreationDisposition) {
    const bool rd = dwDesiredAccess & GENERIC_READ, wr = dwDesiredAccess & GENERIC_WRITE;
    int flags = O_CLOEXEC | (rd && wr ? O_RDWR : wr ? O_WRONLY : O_RDONLY);
    switch (dwCreationDisposition) {
        case CREATE_NEW: flags |= O_CREAT | O_EXCL; break;
        case CREATE_ALWAYS: flags |= O_CREAT | O_TRUNC; break;
        case OPEN_EXISTING: break;
        case OPEN_ALWAYS: flags |= O_CREAT; break;
        case TRUNCATE_EXISTING: flags |= O_TRUNC; break;
        default: SetLastError(ERROR_INVALID_PARAMETER); return INVALID_HANDLE_VALUE;
    }
    const int fd = ::open(native.c_str(), flags, 0666);
    if (fd < 0) {
        SetLastError(error_from_errno(errno));
        return INVALID_HANDLE_VALUE;
    }
    struct stat st;
    if (::fstat(fd, &st) != 0 || S_ISDIR(st.st_mode)) {
        ::close(fd);
        SetLastError(ERROR_ACCESS_DENIED);
        return INVALID_HANDLE_VALUE;
    }
    SetLastError(ERROR_SUCCESS);
    return plat::kernel::add_file_handle(fd);
}

}  // namespace

HANDLE WINAPI CreateFileA(LPCSTR lpFileName, DWORD dwDesiredAccess, DWORD, LPSECURITY_ATTRIBUTES,
                          DWORD dwCreationDisposition, DWORD, HANDLE) {
    if (!lpFileName || !*lpFileName) {
        SetLastError(ERROR_PATH_NOT_FOUND);
        return INVALID_HANDLE_VALUE;
    }
    return open_native(native_name(lpFileName), dwDesiredAccess, dwCreationDisposition);
}

HANDLE WINAPI CreateFileW(LPCWSTR lpFileName, DWORD dwDesiredAccess, DWORD, LPSECURITY_ATTRIBUTES,
                          DWORD dwCreationDisposition, DWORD, HANDLE) {
    if (!lpFileName || !*lpFileName) {
        SetLastError(ERROR_PATH_NOT_FOUND);
        return INVALID_HANDLE_VALUE;
    }
    return open_native(native_name(lpFileName), dwDesiredAccess, dwCreationDisposition);
}

namespace {
// The frame shared by ReadFile and WriteFile: checks the handle and the
// arguments, then moves n bytes with `step(offset, count)` (one read or
// write), again after an interrupted call. A step returning 0 ends a read
// early with success (end of file) and fails a write. The count of bytes
// moved is stored, also when the call fails part-way.
template <typename Step>
BOOL transfer(HANDLE hFile, const void* buffer, DWORD n, LPDWORD lpDone, LPOVERLAPPED lpOverlapped,
              bool zero_is_end, Step step) {
    if (lpDone) *lpDone = 0;
    int fd = -1;
    auto keep = plat::kernel::file_descriptor(hFile, &fd);
    if (!keep) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    if (lpOverlapped || (!buffer && n)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    DWORD done = 0;
    while (done < n) {
        const ssize_t k = step(fd, done, n - done);
        if (k < 0 && errno == EINTR) continue;
        if (k == 0 && zero_is_end) break;
        if (k <= 0) {
            SetLastError(error_from_errno(errno));
            if (lpDone) *lpDone = done;
            return FALSE;
        }
        done += DWORD(k);
    }
    if (lpDone) *lpDone = done;
    return TRUE;
}
}  // namespace

BOOL WINAPI ReadFile(HANDLE hFile, LPVOID lpBuffer, DWORD n, LPDWORD lpRead, LPOVERLAPPED lpOverlapped) {
    return transfer(hFile, lpBuffer, n, lpRead, lpOverlapped, /*zero_is_end=*/true,
                    [lpBuffer](int fd, DWORD at, DWORD count) {
                        return ::read(fd, static_cast<char*>(lpBuffer) + at, count);
                    });
}

BOOL WINAPI WriteFile(HANDLE hFile, LPCVOID lpBuffer, DWORD n, LPDWORD lpWritten, LPOVERLAPPED lpOverlapped) {
    return transfer(hFile, lpBuffer, n, lpWritten, lpOverlapped, /*zero_is_end=*/false,
                    [lpBuffer](int fd, DWORD at, DWORD count) {
                        return ::write(fd, static_cast<const char*>(lpBuffer) + at, count);
                    });
}

DWORD WINAPI GetFileSize(HANDLE hFile, LPDWORD lpFileSizeHigh) {
    int fd = -1;
    auto keep = plat::kernel::file_descriptor(hFile, &fd);
    struct stat st;
    if (!keep || ::fstat(fd, &st) != 0) {
        SetLastError(ERROR_INVALID_HANDLE);
        return INVALID_FILE_SIZE;
    }
    const unsigned long long size = (unsigned long long)st.st_size;
    if (lpFileSizeHigh) *lpFileSizeHigh = DWORD(size >> 32);
    SetLastError(ERROR_SUCCESS);  // a low part of 0xFFFFFFFF is then a real size
    return DWORD(size);
}
