// A Unicode program whose entry is wmain in the forms main may take: with no
// arguments (what "int _tmain()" becomes with _UNICODE), or with the
// environment as a third argument. WMAIN_FORM picks the form; the program
// prints what it was given, and the test compares the output.
#include <windows.h>
#include <tchar.h>
#include <stdio.h>
#include <wchar.h>

#if WMAIN_FORM == 0
int _tmain() {
    printf("wmain() started\n");
    return 0;
}
#else
int _tmain(int argc, _TCHAR* argv[], _TCHAR* envp[]) {
    bool found = false;  // the test runs us with LV_ENTRY_PROBE=yes in the environment
    for (int i = 0; envp[i]; ++i) found = found || wcscmp(envp[i], L"LV_ENTRY_PROBE=yes") == 0;
    printf("wmain(argc, argv, envp) argc=%d last=%ls env=%d\n", argc, argv[argc - 1], int(found));
    return argv[argc] == NULL ? 0 : 1;
}
#endif
