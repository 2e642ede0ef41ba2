// h03_conio_cells - a console program that reads keys with _getch: the
// arrow keys (two codes: 0xE0 or 0, then the scan code) move a cursor over
// a grid of cells, Space switches a cell, S saves the cells to a file
// (fopen_s, fprintf), C clears them, L loads them back (fopen_s, fscanf_s),
// Q ends. A row of lamps at the top shows how the C runtime's bounds-checked
// functions answer at the edges: green where the answer is what the Windows
// runtime gives, red otherwise.
#include <graphics.h>
#include <conio.h>
#include <stdio.h>
#include <string.h>
#include <errno.h>

const int COLS = 8, ROWS = 5, CELL = 40, TOP = 60;
int cells[ROWS][COLS];
int cx = 0, cy = 0;
bool checks[10];
int nchecks = 0;

void quiet_handler(const wchar_t*, const wchar_t*, const wchar_t*, unsigned, uintptr_t) {}

void runChecks()
{
    _set_invalid_parameter_handler(quiet_handler);
    char b8[8];
    // a copy one character too long: ERANGE and an empty string
    errno_t e = strcpy_s(b8, "01234567");
    checks[nchecks++] = (e == ERANGE && b8[0] == 0);
    // one that fits exactly
    e = strcpy_s(b8, "0123456");
    checks[nchecks++] = (e == 0 && strlen(b8) == 7);
    // appending past the end: ERANGE, the destination emptied
    e = strcat_s(b8, "x");
    checks[nchecks++] = (e == ERANGE && b8[0] == 0);
    // _itoa_s: "-1234567" and its terminator fill 9 bytes exactly; one digit more does not fit
    char b9[9];
    e = _itoa_s(-1234567, b9, 10);
    checks[nchecks++] = (e == 0 && strcmp(b9, "-1234567") == 0);
    e = _itoa_s(-12345678, b9, 10);
    checks[nchecks++] = (e == ERANGE && b9[0] == 0);
    // fopen_s of a file that is not there: ENOENT and a null FILE*
    FILE* f = (FILE*)1;
    e = fopen_s(&f, "no_such_folder/cells.txt", "r");
    checks[nchecks++] = (e == ENOENT && f == NULL);
    // sscanf_s: %s takes the buffer's size; a word that does not fit stops the scan
    char w[4];
    int v = 0;
    int n = sscanf_s("abc 42", "%s %d", w, (unsigned)_countof(w), &v);
    checks[nchecks++] = (n == 2 && strcmp(w, "abc") == 0 && v == 42);
    n = sscanf_s("abcd 42", "%s %d", w, (unsigned)_countof(w), &v);
    checks[nchecks++] = (n == 0 && w[0] == 0);
    _set_invalid_parameter_handler(NULL);
}

void draw()
{
    cleardevice();
    for (int i = 0; i < nchecks; i++) {
        setfillcolor(checks[i] ? RGB(40, 190, 70) : RGB(220, 40, 40));
        solidcircle(20 + i * 24, 24, 8);
    }
    for (int r = 0; r < ROWS; r++)
        for (int c = 0; c < COLS; c++) {
            int x = 10 + c * CELL, y = TOP + r * CELL;
            setfillcolor(cells[r][c] ? RGB(70, 90, 200) : RGB(230, 230, 225));
            setlinecolor(RGB(150, 150, 150));
            fillrectangle(x, y, x + CELL - 2, y + CELL - 2);
        }
    setlinecolor(RGB(230, 100, 20));
    setlinestyle(PS_SOLID, 3);
    rectangle(10 + cx * CELL - 2, TOP + cy * CELL - 2, 10 + cx * CELL + CELL, TOP + cy * CELL + CELL);
    setlinestyle(PS_SOLID, 1);
}

void save()
{
    FILE* f = NULL;
    if (fopen_s(&f, "cells.txt", "w") != 0 || !f) return;
    for (int r = 0; r < ROWS; r++)
        for (int c = 0; c < COLS; c++) fprintf(f, "%d ", cells[r][c]);
    fclose(f);
}

void load()
{
    FILE* f = NULL;
    if (fopen_s(&f, "cells.txt", "r") != 0 || !f) return;
    for (int r = 0; r < ROWS; r++)
        for (int c = 0; c < COLS; c++)
            if (fscanf_s(f, "%d", &cells[r][c]) != 1) cells[r][c] = 0;
    fclose(f);
}

int main()
{
    initgraph(340, 270);
    setbkcolor(RGB(250, 248, 240));
    runChecks();
    draw();
    for (;;) {
        int ch = _getch();
        if (ch == 0 || ch == 0xE0) {
            int code = _getch();
            if (code == 72 && cy > 0) cy--;
            if (code == 80 && cy < ROWS - 1) cy++;
            if (code == 75 && cx > 0) cx--;
            if (code == 77 && cx < COLS - 1) cx++;
        } else if (ch == ' ') {
            cells[cy][cx] = !cells[cy][cx];
        } else if (ch == 's' || ch == 'S') {
            save();
        } else if (ch == 'c' || ch == 'C') {
            memset(cells, 0, sizeof cells);
        } else if (ch == 'l' || ch == 'L') {
            load();
        } else if (ch == 'q' || ch == 'Q') {
            break;
        }
        draw();
    }
    closegraph();
    return 0;
}
