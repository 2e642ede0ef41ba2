// Kernel directories and file search, the command line, and INI files.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <fstream>
#include <set>
#include <string>
#include <vector>

#include "windows.h"

namespace {

std::string fresh_dir(const char* leaf) {
    const std::string dir = testing::TempDir() + leaf;
    const std::string cmd = "rm -rf '" + dir + "'";
    EXPECT_EQ(std::system(cmd.c_str()), 0);
    EXPECT_TRUE(CreateDirectoryA(dir.c_str(), NULL));
    return dir;
}

void touch(const std::string& path, const std::string& text = "x") { std::ofstream(path) << text; }

std::vector<std::string> find_all(const std::string& pattern, DWORD* error) {
    std::vector<std::string> names;
    WIN32_FIND_DATAA fd;
    HANDLE h = FindFirstFileA(pattern.c_str(), &fd);
    *error = h == INVALID_HANDLE_VALUE ? GetLastError() : 0;
    if (h == INVALID_HANDLE_VALUE) return names;
    do names.push_back(fd.cFileName);
    while (FindNextFileA(h, &fd));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_NO_MORE_FILES));
    EXPECT_TRUE(FindClose(h));
    EXPECT_FALSE(FindClose(h));  // closed once only
    return names;
}

// Matches as Windows' file search does: ignoring case, "*.*" is everything,
// "." and ".." come with a bare "*", a folder without matches is
// ERROR_FILE_NOT_FOUND and a missing folder ERROR_PATH_NOT_FOUND.
TEST(KernelDirectories, FindFileWildcards) {
    const std::string dir = fresh_dir("find_files");
    for (const char* n : {"a.txt", "B.TXT", "ab.txt", "readme", "c.txt.bak"}) touch(dir + "/" + n);
    ASSERT_TRUE(CreateDirectoryA((dir + "/sub").c_str(), NULL));
    struct Case {
        const char* pattern;
        std::vector<std::string> names;  // in order
        DWORD error;
    } cases[] = {
        {"*.txt", {"a.txt", "ab.txt", "B.TXT"}, 0},
        {"?.txt", {"a.txt", "B.TXT"}, 0},
        {"a*", {"a.txt", "ab.txt"}, 0},
        {"*", {".", "..", "a.txt", "ab.txt", "B.TXT", "c.txt.bak", "readme", "sub"}, 0},
        {"*.*", {".", "..", "a.txt", "ab.txt", "B.TXT", "c.txt.bak", "readme", "sub"}, 0},
        {"READ?E", {"readme"}, 0},
        {"readme?", {}, ERROR_FILE_NOT_FOUND},
        {"*.png", {}, ERROR_FILE_NOT_FOUND},
        {"no_dir/*", {}, ERROR_PATH_NOT_FOUND},
    };
    for (const Case& c : cases) {
        DWORD error = 0;
        EXPECT_EQ(find_all(dir + "/" + c.pattern, &error), c.names) << c.pattern;
        EXPECT_EQ(error, c.error) << c.pattern;
    }
    WIN32_FIND_DATAA fd;
    HANDLE h = FindFirstFileA((dir + "/sub").c_str(), &fd);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    EXPECT_TRUE(fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY);
    FindClose(h);
    touch(dir + "/sized", std::string(1234, 'z'));
    h = FindFirstFileA((dir + "/sized").c_str(), &fd);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    EXPECT_EQ(fd.nFileSizeLow, 1234u);
    EXPECT_FALSE(fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY);
    EXPECT_GT(fd.ftLastWriteTime.dwHighDateTime, 0x01D00000u);  // after 2015
    FindClose(h);
    WIN32_FIND_DATAW wfd;
    const std::wstring wide(dir.begin(), dir.end());
    h = FindFirstFileW((wide + L"/*.TXT").c_str(), &wfd);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    EXPECT_EQ(std::wstring(wfd.cFileName), L"a.txt");
    FindClose(h);
}

// Create, remove, delete, attributes and the current directory, with the
// error codes Windows gives.
TEST(KernelDirectories, DirectoryCallsAndErrors) {
    const std::string dir = fresh_dir("dir_calls");
    const std::string sub = dir + "/sub", file = dir + "/f.dat";
    touch(file);
    EXPECT_EQ(GetFileAttributesA(sub.c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_FILE_NOT_FOUND));
    EXPECT_EQ(GetFileAttributesA((dir + "/f.dat/x").c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_PATH_NOT_FOUND));
    EXPECT_TRUE(CreateDirectoryA(sub.c_str(), NULL));
    EXPECT_FALSE(CreateDirectoryA(sub.c_str(), NULL));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_ALREADY_EXISTS));
    EXPECT_FALSE(CreateDirectoryA((dir + "/a/b").c_str(), NULL));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_PATH_NOT_FOUND));
    EXPECT_TRUE(GetFileAttributesA(sub.c_str()) & FILE_ATTRIBUTE_DIRECTORY);
    EXPECT_FALSE(GetFileAttributesA(file.c_str()) & FILE_ATTRIBUTE_DIRECTORY);
    touch(sub + "/inner");
    EXPECT_FALSE(RemoveDirectoryA(sub.c_str()));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_DIR_NOT_EMPTY));
    EXPECT_FALSE(RemoveDirectoryA(file.c_str()));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_DIRECTORY));
    EXPECT_FALSE(DeleteFileA(sub.c_str()));  // a folder is not a file
    EXPECT_EQ(GetLastError(), DWORD(ERROR_ACCESS_DENIED));
    EXPECT_TRUE(DeleteFileA((sub + "/inner").c_str()));
    EXPECT_FALSE(DeleteFileA((sub + "/inner").c_str()));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_FILE_NOT_FOUND));
    EXPECT_TRUE(RemoveDirectoryA(sub.c_str()));
    EXPECT_TRUE(DeleteFileW(std::wstring(file.begin(), file.end()).c_str()));

    char before[4096];
    const DWORD n = GetCurrentDirectoryA(sizeof before, before);
    ASSERT_GT(n, 0u);
    EXPECT_EQ(n, strlen(before));
    char tiny[2] = {'q', 'q'};
    EXPECT_EQ(GetCurrentDirectoryA(2, tiny), n + 1);  // the size needed, terminator included
    EXPECT_EQ(tiny[0], 'q');
    ASSERT_TRUE(SetCurrentDirectoryA(dir.c_str()));
    char now[4096];
    GetCurrentDirectoryA(sizeof now, now);
    EXPECT_EQ(std::string(now).substr(std::string(now).rfind('/')), "/dir_calls");
    EXPECT_FALSE(SetCurrentDirectoryA("no_such_folder"));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_FILE_NOT_FOUND));
    ASSERT_TRUE(SetCurrentDirectoryA(before));
}

TEST(KernelDirectories, CommandLineStartsWithTheProgram) {
    const std::string line = GetCommandLineA();
    EXPECT_NE(line.find("platform_tests"), std::string::npos) << line;
    EXPECT_EQ(GetCommandLineA(), GetCommandLineA());  // one buffer for the process
    const std::wstring wide = GetCommandLineW();
    EXPECT_EQ(std::string(wide.begin(), wide.end()), line);
}

// A high-score file written and read back as a program would, with the
// documented rules for missing keys, defaults, case and deletions.
TEST(KernelProfile, WriteReadRoundTrip) {
    const std::string dir = fresh_dir("profile");
    const std::string ini = dir + "/scores.ini";
    ASSERT_TRUE(WritePrivateProfileStringA("Scores", "Best", "1200", ini.c_str()));
    ASSERT_TRUE(WritePrivateProfileStringA("Scores", "Name", "  \"Ann Lee\"  ", ini.c_str()));
    ASSERT_TRUE(WritePrivateProfileStringA("Options", "Sound", "off", ini.c_str()));
    ASSERT_TRUE(WritePrivateProfileStringA("Scores", "Best", "1500", ini.c_str()));  // replaced in place
    ASSERT_TRUE(WritePrivateProfileStringA("Scores", "Level", "7", ini.c_str()));
    struct Case {
        const char *section, *key, *def, *want;
    } cases[] = {
        {"Scores", "Best", "0", "1500"},
        {"SCORES", "NAME", "", "Ann Lee"},  // blanks and quotes dropped
        {"Options", "Sound", "on", "off"},
        {"Scores", "Missing", "none  ", "none"},  // default, trailing blanks dropped
        {"Nowhere", "Best", NULL, ""},
        {"Options", "Best", "-", "-"},  // a key of another section
    };
    char buf[64];
    for (const Case& c : cases) {
        GetPrivateProfileStringA(c.section, c.key, c.def, buf, sizeof buf, ini.c_str());
        EXPECT_STREQ(buf, c.want) << c.section << "/" << c.key;
    }
    EXPECT_EQ(GetPrivateProfileStringA("Scores", "Best", "", buf, 3, ini.c_str()), 2u);  // cut to fit
    EXPECT_STREQ(buf, "15");
    EXPECT_EQ(GetPrivateProfileIntA("Scores", "Best", 5, ini.c_str()), 1500u);
    EXPECT_EQ(GetPrivateProfileIntA("Scores", "Level", 5, ini.c_str()), 7u);
    EXPECT_EQ(GetPrivateProfileIntA("Scores", "Nope", 42, ini.c_str()), 42u);
    EXPECT_EQ(GetPrivateProfileIntA("Options", "Sound", 42, ini.c_str()), 0u);  // no number
    EXPECT_EQ(GetPrivateProfileIntA("Scores", "Best", 9, (dir + "/absent.ini").c_str()), 9u);

    // Key names of a section, then section names: each ended by a zero, and one more.
    char list[64];
    DWORD n = GetPrivateProfileStringA("Scores", NULL, "", list, sizeof list, ini.c_str());
    EXPECT_EQ(std::string(list, n), std::string("Best\0Name\0Level\0", 16));
    EXPECT_EQ(list[n], 0);
    n = GetPrivateProfileStringA(NULL, NULL, "", list, sizeof list, ini.c_str());
    EXPECT_EQ(std::string(list, n), std::string("Scores\0Options\0", 15));

    ASSERT_TRUE(WritePrivateProfileStringA("Scores", "Name", NULL, ini.c_str()));  // deletes the key
    GetPrivateProfileStringA("Scores", "Name", "gone", buf, sizeof buf, ini.c_str());
    EXPECT_STREQ(buf, "gone");
    ASSERT_TRUE(WritePrivateProfileStringA("Options", NULL, NULL, ini.c_str()));  // deletes the section
    GetPrivateProfileStringA("Options", "Sound", "gone", buf, sizeof buf, ini.c_str());
    EXPECT_STREQ(buf, "gone");
    EXPECT_EQ(GetPrivateProfileIntA("Scores", "Level", 0, ini.c_str()), 7u);  // the rest kept

    // A bare file name is the current directory's.
    char cwd[4096];
    GetCurrentDirectoryA(sizeof cwd, cwd);
    ASSERT_TRUE(SetCurrentDirectoryA(dir.c_str()));
    ASSERT_TRUE(WritePrivateProfileString(TEXT("Game"), TEXT("Lives"), TEXT("3"), TEXT("bare.ini")));
    SetCurrentDirectoryA(cwd);
    EXPECT_EQ(GetPrivateProfileIntA("Game", "Lives", 0, (dir + "/bare.ini").c_str()), 3u);
    EXPECT_EQ(GetPrivateProfileIntW(L"Game", L"Lives", 0, std::wstring(dir.begin(), dir.end()).append(L"/bare.ini").c_str()), 3u);
}

}  // namespace
