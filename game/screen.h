// Screen conventions shared by the menu, the log-in and the duels: text lines
// at x = 0, 20 pixels apart; line 0 the title, line 20 prompts and messages.
#pragma once

#include <string>

extern const char* const kTitle;

// Draws `text` on the message line, waits 1111 ms and blanks the line.
void show_message(const std::string& text);
// The same without blanking the line afterwards.
void post_message(const std::string& text);
// Blanks the message line (0, 20)-(300, 40).
void clear_message_line();
// Refusal of a play level that is not open: message, pause, 22 spaces over it.
void refuse_level();
// The seven lines of the rules, then waits for two key messages.
void show_rules();
