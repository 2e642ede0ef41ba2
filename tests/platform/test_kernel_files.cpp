// Kernel files, program resources and MultiByteToWideChar.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/resources.h"
#include "windows.h"

namespace {

TEST(KernelFiles, OpenReadWriteSizeAndCleanFailures) {
    const std::string path = testing::TempDir() + "kernel_files.bin";
    HANDLE w = CreateFileA(path.c_str(), GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL);
    ASSERT_NE(w, INVALID_HANDLE_VALUE);
    DWORD n = 0;
    ASSERT_TRUE(WriteFile(w, "hello, file", 11, &n, NULL));
    EXPECT_EQ(n, 11u);
    CloseHandle(w);
    HANDLE r = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING, 0, NULL);
    ASSERT_NE(r, INVALID_HANDLE_VALUE);
    DWORD high = 7;
    EXPECT_EQ(GetFileSize(r, &high), 11u);
    EXPECT_EQ(high, 0u);
    char buf[32] = {};
    ASSERT_TRUE(ReadFile(r, buf, sizeof buf, &n, NULL));  // asks for more than there is
    EXPECT_EQ(n, 11u);
    EXPECT_STREQ(buf, "hello, file");
    ASSERT_TRUE(ReadFile(r, buf, 4, &n, NULL));  // at the end: success, nothing read
    EXPECT_EQ(n, 0u);
    EXPECT_EQ(WaitForSingleObject(r, 0), WAIT_OBJECT_0);
    EXPECT_TRUE(CloseHandle(r));
    EXPECT_FALSE(ReadFile(r, buf, 4, &n, NULL));  // closed
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_HANDLE));
    struct Bad {
        std::string name;
        DWORD disposition;
        DWORD error;
    };
    for (const Bad& b : {Bad{testing::TempDir() + "no_such_file", OPEN_EXISTING, ERROR_FILE_NOT_FOUND},
                         Bad{testing::TempDir(), OPEN_EXISTING, ERROR_ACCESS_DENIED},  // a directory
                         Bad{path, CREATE_NEW, ERROR_FILE_EXISTS}, Bad{"", OPEN_EXISTING, ERROR_PATH_NOT_FOUND}}) {
        EXPECT_EQ(CreateFileA(b.name.c_str(), GENERIC_READ, 0, NULL, b.disposition, 0, NULL), INVALID_HANDLE_VALUE)
            << b.name;
        EXPECT_EQ(GetLastError(), b.error) << b.name;
    }
    EXPECT_EQ(GetFileSize(INVALID_HANDLE_VALUE, NULL), INVALID_FILE_SIZE);
}

// Reading and writing check their arguments the same way: an overlapped
// request or a null buffer with bytes to move fails with
// ERROR_INVALID_PARAMETER and a count of 0; a null buffer with nothing to move
// succeeds; a handle open for the other direction fails with a count of 0.
TEST(KernelFiles, ReadAndWriteRejectBadArgumentsAlike) {
    const std::string path = testing::TempDir() + "kernel_files_args.bin";
    HANDLE w = CreateFileA(path.c_str(), GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL);
    ASSERT_NE(w, INVALID_HANDLE_VALUE);
    DWORD n = 0;
    ASSERT_TRUE(WriteFile(w, "abc", 3, &n, NULL));
    CloseHandle(w);
    HANDLE r = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING, 0, NULL);
    w = CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, NULL, OPEN_EXISTING, 0, NULL);
    ASSERT_NE(r, INVALID_HANDLE_VALUE);
    ASSERT_NE(w, INVALID_HANDLE_VALUE);
    char buf[4] = {};
    alignas(8) char storage[64] = {};
    OVERLAPPED* ov = reinterpret_cast<OVERLAPPED*>(storage);  // never looked into
    struct Call {
        const char* what;
        bool read;
        HANDLE h;
        bool null_buffer;
        DWORD bytes;
        OVERLAPPED* ov;
        BOOL ok;
        DWORD error;  // checked when the call fails and this is not 0
    };
    const Call calls[] = {
        {"read overlapped", true, r, false, 2, ov, FALSE, ERROR_INVALID_PARAMETER},
        {"write overlapped", false, w, false, 2, ov, FALSE, ERROR_INVALID_PARAMETER},
        {"read into null", true, r, true, 2, NULL, FALSE, ERROR_INVALID_PARAMETER},
        {"write from null", false, w, true, 2, NULL, FALSE, ERROR_INVALID_PARAMETER},
        {"read nothing into null", true, r, true, 0, NULL, TRUE, 0},
        {"write nothing from null", false, w, true, 0, NULL, TRUE, 0},
        {"read a write handle", true, w, false, 2, NULL, FALSE, 0},
        {"write a read handle", false, r, false, 2, NULL, FALSE, 0},
    };
    for (const Call& c : calls) {
        n = 99;
        void* b = c.null_buffer ? nullptr : buf;
        BOOL ok = c.read ? ReadFile(c.h, b, c.bytes, &n, c.ov) : WriteFile(c.h, b, c.bytes, &n, c.ov);
        EXPECT_EQ(ok, c.ok) << c.what;
        EXPECT_EQ(n, 0u) << c.what;
        if (!ok && c.error) {
            EXPECT_EQ(GetLastError(), c.error) << c.what;
        }
    }
    // Nothing was read or written: the file still holds its three bytes.
    EXPECT_TRUE(ReadFile(r, buf, 4, &n, NULL));
    EXPECT_EQ(n, 3u);
    CloseHandle(r);
    CloseHandle(w);
}

TEST(KernelFiles, ResourcesAreFoundByNameTypeAndIdentifier) {
    static const char kData[] = "resource bytes";
    plat::add_resource("Picture", "Logo", kData, sizeof kData);
    plat::add_resource(RT_RCDATA, MAKEINTRESOURCE(101), kData, 3);
    HRSRC r = FindResourceA(NULL, "LOGO", "picture");
    ASSERT_NE(r, nullptr);
    EXPECT_EQ(SizeofResource(NULL, r), sizeof kData);
    EXPECT_EQ(LockResource(LoadResource(GetModuleHandleA(NULL), r)), static_cast<const void*>(kData));
    HRSRC id = FindResourceA(NULL, "#101", "#10");
    ASSERT_NE(id, nullptr);
    EXPECT_EQ(SizeofResource(NULL, id), 3u);
    EXPECT_EQ(FindResourceA(NULL, "Logo", "Other"), nullptr);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_RESOURCE_NAME_NOT_FOUND));
    EXPECT_EQ(FindResourceA(NULL, "Missing", "Picture"), nullptr);
    EXPECT_EQ(LoadResource(NULL, reinterpret_cast<HRSRC>(&r)), nullptr);  // not a resource
}

// A Unicode program reaches the module and resource calls through their W
// forms: names are the same names (a GBK one too), integer identifiers stay
// integers, and a missing name fails as the narrow call does.
TEST(KernelFiles, WideModuleAndResourceCallsFindWhatTheNarrowOnesFind) {
    static const char kData[] = "wide";
    plat::add_resource("WAVE", "\xD2\xF4\xD0\xA7", kData, sizeof kData);  // 音效 in GBK
    plat::add_resource(MAKEINTRESOURCEA(10), MAKEINTRESOURCEA(7), kData, 2);
    HRSRC named = FindResourceW(NULL, L"\u97F3\u6548", L"wave");
    ASSERT_NE(named, nullptr);
    EXPECT_EQ(named, FindResourceA(NULL, "\xD2\xF4\xD0\xA7", "WAVE"));
    HRSRC id = FindResourceW(GetModuleHandleW(NULL), MAKEINTRESOURCEW(7), MAKEINTRESOURCEW(10));
    ASSERT_NE(id, nullptr);
    EXPECT_EQ(SizeofResource(NULL, id), 2u);
    EXPECT_EQ(FindResourceW(NULL, L"#7", L"#10"), id);
    EXPECT_EQ(FindResourceW(NULL, L"\u97F3", L"WAVE"), nullptr);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_RESOURCE_NAME_NOT_FOUND));
    EXPECT_EQ(FindResourceW(NULL, nullptr, L"WAVE"), nullptr);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_PARAMETER));

    EXPECT_EQ(GetModuleHandleW(NULL), GetModuleHandleA(NULL));
    EXPECT_EQ(GetModuleHandleW(L"msimg32.dll"), nullptr);  // not loaded yet
    HMODULE lib = LoadLibraryW(L"C:\\Windows\\System32\\MSIMG32.DLL");
    ASSERT_NE(lib, nullptr);
    EXPECT_EQ(GetModuleHandleW(L"msimg32"), lib);
    EXPECT_NE(GetProcAddress(lib, "AlphaBlend"), nullptr);
    EXPECT_TRUE(FreeLibrary(lib));
    EXPECT_EQ(LoadLibraryW(L"no_such.dll"), nullptr);
}

TEST(KernelFiles, MultiByteToWideCharConvertsAndRefusesShortBuffers) {
    WCHAR out[8];
    // "中a" in GBK, with its terminator: three wide characters.
    EXPECT_EQ(MultiByteToWideChar(CP_ACP, 0, "\xD6\xD0" "a", -1, NULL, 0), 3);
    ASSERT_EQ(MultiByteToWideChar(CP_ACP, 0, "\xD6\xD0" "a", -1, out, 8), 3);
    EXPECT_EQ(out[0], WCHAR(0x4E2D));
    EXPECT_EQ(out[1], WCHAR('a'));
    EXPECT_EQ(out[2], WCHAR(0));
    EXPECT_EQ(MultiByteToWideChar(CP_UTF8, 0, "\xE4\xB8\xAD", 3, out, 8), 1);
    EXPECT_EQ(out[0], WCHAR(0x4E2D));
    EXPECT_EQ(MultiByteToWideChar(CP_ACP, 0, "abcd", -1, out, 4), 0);  // five needed
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INSUFFICIENT_BUFFER));
    EXPECT_EQ(MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, "\xFF", 1, out, 8), 0);
    EXPECT_EQ(MultiByteToWideChar(CP_ACP, 0, NULL, -1, out, 8), 0);
}

}  // namespace
