// Module file name, LoadLibraryA / GetProcAddress, console stand-ins.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "module_exports.h"
#include "platform/headless.h"

namespace {

std::string exe_path() {
    char buf[4096];
    ssize_t n = readlink("/proc/self/exe", buf, sizeof buf);
    return n > 0 ? std::string(buf, size_t(n)) : std::string();
}

TEST(KernelModules, ModuleFileNameIsTheExecutableTruncatedLikeWindows) {
    std::string expected = exe_path();
    ASSERT_FALSE(expected.empty());
    char buf[MAX_PATH * 4];
    DWORD n = GetModuleFileNameA(nullptr, buf, sizeof buf);
    EXPECT_EQ(n, expected.size());
    EXPECT_EQ(std::string(buf), expected);
    EXPECT_EQ(GetModuleFileNameA(GetModuleHandleA(nullptr), buf, sizeof buf), expected.size());

    char small[6];
    std::memset(small, 'x', sizeof small);
    SetLastError(0);
    EXPECT_EQ(GetModuleFileNameA(nullptr, small, 5), 5u);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INSUFFICIENT_BUFFER));
    EXPECT_EQ(std::string(small), expected.substr(0, 4));
    EXPECT_EQ(small[5], 'x');  // nothing written past the buffer
    EXPECT_EQ(GetModuleFileNameA(nullptr, small, 0), 0u);
}

TEST(KernelModules, LibraryNamesMatchCaseInsensitivelyWithOrWithoutSuffix) {
    HMODULE a = LoadLibraryA("gdi32.dll");
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(LoadLibraryA("GDI32.DLL"), a);
    EXPECT_EQ(LoadLibraryA("Gdi32"), a);
    EXPECT_EQ(LoadLibraryA("C:\\Windows\\System32\\gdi32.dll"), a);
    HMODULE b = LoadLibraryA("GdiPlus.dll");
    HMODULE c = LoadLibraryA("OLE32.dll");
    ASSERT_NE(b, nullptr);
    ASSERT_NE(c, nullptr);
    EXPECT_NE(a, b);
    EXPECT_NE(b, c);
    EXPECT_NE(a, GetModuleHandleA(nullptr));
    EXPECT_EQ(GetModuleHandleA("gdi32.dll"), a);

    SetLastError(0);
    EXPECT_EQ(LoadLibraryA("user32x.dll"), nullptr);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_MOD_NOT_FOUND));
    EXPECT_EQ(LoadLibraryA("gdi"), nullptr);
    EXPECT_EQ(LoadLibraryA(nullptr), nullptr);
}

TEST(KernelModules, GetProcAddressResolvesEveryExportExactly) {
    const plat::ExportTable* tables[] = {&plat::gdi32_exports, &plat::gdiplus_exports, &plat::ole32_exports};
    for (const plat::ExportTable* t : tables) {
        HMODULE m = LoadLibraryA(t->dll_name);
        ASSERT_NE(m, nullptr) << t->dll_name;
        for (size_t i = 0; i < t->count; ++i)
            EXPECT_EQ(reinterpret_cast<void*>(GetProcAddress(m, t->entries[i].name)), t->entries[i].proc)
                << t->entries[i].name;
        SetLastError(0);
        EXPECT_EQ(GetProcAddress(m, "NoSuchFunction"), nullptr);
        EXPECT_EQ(GetLastError(), DWORD(ERROR_PROC_NOT_FOUND));
        EXPECT_EQ(GetProcAddress(m, nullptr), nullptr);
    }
    // The graphics layer relies on these.
    HMODULE gdi = LoadLibraryA("gdi32.dll");
    EXPECT_NE(GetProcAddress(gdi, "BitBlt"), nullptr);
    EXPECT_EQ(GetProcAddress(gdi, "bitblt"), nullptr);  // export names are case-sensitive
}

TEST(KernelModules, BadModuleHandlesAndFreeLibrary) {
    HMODULE bogus = reinterpret_cast<HMODULE>(uintptr_t(0x5000));
    EXPECT_EQ(GetProcAddress(bogus, "BitBlt"), nullptr);
    EXPECT_EQ(GetProcAddress(nullptr, "BitBlt"), nullptr);
    EXPECT_FALSE(FreeLibrary(bogus));
    HMODULE m = LoadLibraryA("ole32.dll");
    HMODULE again = LoadLibraryA("ole32.dll");
    EXPECT_EQ(m, again);
    EXPECT_TRUE(FreeLibrary(m));
    EXPECT_NE(GetModuleHandleA("ole32"), nullptr);  // one reference left
    while (FreeLibrary(m)) {
    }
    EXPECT_EQ(GetModuleHandleA("ole32"), nullptr);  // unloaded: the handle is dead
    EXPECT_EQ(GetProcAddress(m, "CoInitialize"), nullptr);
    char buf[64];
    EXPECT_EQ(GetModuleFileNameA(m, buf, sizeof buf), 0u);
    EXPECT_EQ(LoadLibraryA("ole32.dll"), m);  // loading again gives the same module
    EXPECT_NE(GetProcAddress(m, "CoInitialize"), nullptr);
}

// A program starts with a console, as a Windows console program does: it
// cannot allocate a second one, and freeing it leaves no console window.
TEST(KernelConsole, ProgramStartsWithAConsole) {
    HWND con = GetConsoleWindow();
    EXPECT_NE(con, nullptr);
    EXPECT_FALSE(AllocConsole());
    EXPECT_EQ(GetConsoleWindow(), con);
    testing::FLAGS_gtest_death_test_style = "threadsafe";
    EXPECT_EXIT(std::exit(FreeConsole() && GetConsoleWindow() == nullptr && !AllocConsole() ? 0 : 1),
                testing::ExitedWithCode(0), "");
}

struct Witness {
    ~Witness() { std::fputs("destructor ran", stderr); }
};

TEST(KernelProcess, ExitProcessFlushesStdioAndSkipsDestructors) {
    char path[] = "/tmp/exitprocessXXXXXX";
    int fd = mkstemp(path);
    ASSERT_GE(fd, 0);
    close(fd);
    EXPECT_EXIT(
        {
            static Witness witness;  // would print if static destructors ran
            FILE* f = std::fopen(path, "w");  // fully buffered
            std::fputs("buffered line", f);
            ExitProcess(3);
        },
        testing::ExitedWithCode(3), "^$");
    FILE* f = std::fopen(path, "r");
    ASSERT_NE(f, nullptr);
    char buf[64] = {};
    std::fgets(buf, sizeof buf, f);
    std::fclose(f);
    std::remove(path);
    EXPECT_STREQ(buf, "buffered line");
}

}  // namespace
