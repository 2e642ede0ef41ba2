// Reading numbers and words typed into the graphics window.
#include <cstdlib>
#include <string>

#include <graphics.h>

#include "game.h"
#include "screen.h"

namespace {
// Whether appending `digit` keeps the number inside the int range.
bool fits_int(const std::string& buffer, char digit) {
    std::string candidate = buffer + digit;
    // Leading zeros do not count; at most 10 significant digits matter.
    size_t first = candidate.find_first_not_of("-0");
    if (first == std::string::npos) return true;
    if (candidate.size() - first > 10) return false;
    long long value = std::strtoll(candidate.c_str(), nullptr, 10);
    return value >= -2147483648LL && value <= 2147483647LL;
}

// Index of the first byte of the last whole character: a GBK lead byte
// (0x81..0xFE) and the byte after it make one character, any other byte is
// one on its own.
size_t last_char_start(const std::string& s) {
    size_t i = 0, last = 0;
    while (i < s.size()) {
        last = i;
        unsigned char c = static_cast<unsigned char>(s[i]);
        i += (c >= 0x81 && c <= 0xFE && i + 1 < s.size()) ? 2 : 1;
    }
    return last;
}
}  // namespace

int Game_t::getint() {
    std::string inputStr;
    outtextxy(0, 0, kTitle);
    for (;;) {
        ExMessage msg;
        if (peekmessage(&msg, EX_KEY, true)) {
            if (msg.message == WM_KEYDOWN) {
                const int vk = msg.vkcode;
                switch (vk) {
                case VK_BACK:
                    if (!inputStr.empty()) inputStr.pop_back();
                    break;
                case VK_TAB:
                case VK_RETURN:
                case VK_SPACE:
                    // Finishing returns at once; later key messages stay queued.
                    // A lone minus sign counts as an empty entry.
                    if (inputStr.empty() || inputStr == "-") return 0;
                    return static_cast<int>(std::strtol(inputStr.c_str(), nullptr, 10));
                case VK_ESCAPE:
                    return 27;
                case VK_OEM_MINUS:
                case VK_INSERT:
                    if (inputStr.empty()) inputStr.push_back('-');
                    break;
                default:
                    if (vk >= 0x30 && vk <= 0x39) {
                        const char digit = static_cast<char>('0' + vk - 0x30);
                        // A digit that would leave the int range is ignored.
                        if (fits_int(inputStr, digit)) inputStr.push_back(digit);
                    }
                    break;
                }
                clearrectangle(0, 20, 300, 40);
                outtextxy(0, 20, inputStr.c_str());
            }
            // At most one key is acted on per poll; the rest are dropped.
            flushmessage(EX_KEY);
        }
        Sleep(10);
    }
}

std::string Game_t::getstring(bool yincang) {
    std::string inputStr;
    std::string yincangpw;
    outtextxy(0, 0, kTitle);
    bool is_input_end = false;
    while (!is_input_end) {
        ExMessage msg;
        while (!is_input_end && peekmessage(&msg, 0xFF, true)) {
            if (msg.message != WM_CHAR) continue;
            const unsigned char ch = static_cast<unsigned char>(msg.ch);
            if (ch == 0x0D || ch == 0x1B) {
                is_input_end = true;
                break;
            }
            if (ch == 0x08) {
                // Backspace removes exactly the last whole character: both
                // bytes of a GBK double-byte character, else one byte. On an
                // empty entry it removes nothing but still redraws the echo.
                if (!inputStr.empty()) {
                    inputStr.erase(last_char_start(inputStr));
                    yincangpw.resize(inputStr.size());
                }
            } else {
                inputStr.push_back(static_cast<char>(ch));
                yincangpw.push_back('*');
            }
            fillrectangle(0, 20, 300, 40);
            outtextxy(0, 20, yincang ? yincangpw.c_str() : inputStr.c_str());
        }
        Sleep(10);
    }
    return inputStr;
}
