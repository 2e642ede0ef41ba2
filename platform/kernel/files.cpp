// files.cpp — CreateFileA, ReadFile, WriteFile and GetFileSize over POSIX
// descriptors. Names are in the process code page (936). Share modes are not
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

namespace {

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
        case ENOMEM: return ERROR_NOT_ENOUGH_MEMORY;
        default: return ERROR_INVALID_FUNCTION;
    }
}

std::string native_name(const char* name) {
    bool ascii = true;
    for (const char* p = name; *p; ++p) ascii = ascii && (unsigned char)*p < 0x80;
    return ascii ? std::string(name) : plat::codepage::cp936_to_utf8(name, -1);
}

}  // namespace

HANDLE WINAPI CreateFileA(LPCSTR lpFileName, DWORD dwDesiredAccess, DWORD, LPSECURITY_ATTRIBUTES,
                          DWORD dwCreationDisposition, DWORD, HANDLE) {
    if (!lpFileName || !*lpFileName) {
        SetLastError(ERROR_PATH_NOT_FOUND);
        return INVALID_HANDLE_VALUE;
    }
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
    const int fd = ::open(native_name(lpFileName).c_str(), flags, 0666);
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

BOOL WINAPI ReadFile(HANDLE hFile, LPVOID lpBuffer, DWORD n, LPDWORD lpRead, LPOVERLAPPED lpOverlapped) {
    if (lpRead) *lpRead = 0;
    int fd = -1;
    auto keep = plat::kernel::file_descriptor(hFile, &fd);
    if (!keep) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    if (lpOverlapped || (!lpBuffer && n)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    DWORD done = 0;
    while (done < n) {
        const ssize_t k = ::read(fd, static_cast<char*>(lpBuffer) + done, n - done);
        if (k < 0 && errno == EINTR) continue;
        if (k < 0) {
            SetLastError(error_from_errno(errno));
            if (lpRead) *lpRead = done;
            return FALSE;
        }
        if (k == 0) break;  // end of file: success with fewer bytes
        done += DWORD(k);
    }
    if (lpRead) *lpRead = done;
    return TRUE;
}

BOOL WINAPI WriteFile(HANDLE hFile, LPCVOID lpBuffer, DWORD n, LPDWORD lpWritten, LPOVERLAPPED lpOverlapped) {
    if (lpWritten) *lpWritten = 0;
    int fd = -1;
    auto keep = plat::kernel::file_descriptor(hFile, &fd);
    if (!keep) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    if (lpOverlapped || (!lpBuffer && n)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    DWORD done = 0;
    while (done < n) {
        const ssize_t k = ::write(fd, static_cast<const char*>(lpBuffer) + done, n - done);
        if (k < 0 && errno == EINTR) continue;
        if (k <= 0) {
            SetLastError(error_from_errno(errno));
            if (lpWritten) *lpWritten = done;
            return FALSE;
        }
        done += DWORD(k);
    }
    if (lpWritten) *lpWritten = done;
    return TRUE;
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
