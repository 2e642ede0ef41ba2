// sound_pad — a little keyboard that makes sounds, the three ways Windows
// programs usually do it:
//   - keys 1 to 8 (or a click on a key) play the notes of a scale with Beep;
//   - D (or a click on the round pad) plays a drum with PlaySound, from a WAV
//     that the program carries as a resource (WAVE "DRUM", see CMakeLists.txt);
//   - M starts or stops background music with mciSendString: a MIDI tune,
//     assets/melody.mid, opened once with an alias. "repeat" is only for
//     mpegvideo devices (MP3), not for a sequencer, so the loop asks
//     "status music mode" and plays the tune again when it has ended.
// The window draws the eight keys (the last one played lit), the drum pad
// and, at the bottom, what the sound calls answered. Without a sound device
// every call still answers and nothing is heard. Esc ends the program.
#include <graphics.h>
#include <windows.h>
#include <mmsystem.h>

#include <stdio.h>
#include <string.h>

const int W = 420, H = 260;
const int KEY_W = 40, KEY_H = 130, KEYS_X = 20, KEYS_Y = 40;
const int PAD_X = 370, PAD_Y = 105, PAD_R = 32;
const char* NAMES[8] = {"C", "D", "E", "F", "G", "A", "B", "C"};
const DWORD NOTES[8] = {262, 294, 330, 349, 392, 440, 494, 523};  // hertz

int lit = -1;            // the key played last, or -1
bool musicOn = false;
char status[128] = "";   // the answer of the last sound call

void Draw() {
    cleardevice();
    settextcolor(RGB(40, 40, 60));
    outtextxy(20, 12, "1-8: notes   D: drum   M: music   Esc: quit");
    for (int i = 0; i < 8; ++i) {
        int x = KEYS_X + i * KEY_W;
        setfillcolor(i == lit ? RGB(255, 210, 90) : RGB(252, 252, 248));
        setlinecolor(RGB(60, 60, 70));
        fillrectangle(x, KEYS_Y, x + KEY_W - 2, KEYS_Y + KEY_H);
        outtextxy(x + 15, KEYS_Y + KEY_H - 22, NAMES[i]);
    }
    setfillcolor(lit == 8 ? RGB(230, 90, 60) : RGB(170, 60, 50));
    fillcircle(PAD_X, PAD_Y, PAD_R);
    outtextxy(PAD_X - 16, PAD_Y + PAD_R + 6, "drum");

    // A lamp for the music: green while it plays.
    setfillcolor(musicOn ? RGB(40, 190, 70) : RGB(150, 150, 150));
    solidcircle(28, 200, 7);
    outtextxy(42, 192, musicOn ? "music: playing" : "music: stopped");
    outtextxy(20, 228, status);
    FlushBatchDraw();
}

void PlayNote(int i) {
    lit = i;
    Draw();  // light the key first: Beep returns only when the note is over
    BOOL ok = Beep(NOTES[i], 180);
    sprintf(status, "Beep(%lu, 180) -> %s", (unsigned long)NOTES[i], ok ? "TRUE" : "FALSE");
}

void PlayDrum() {
    lit = 8;
    // SND_ASYNC: return at once, the sound goes on by itself.
    BOOL ok = PlaySound("DRUM", GetModuleHandle(NULL), SND_RESOURCE | SND_ASYNC);
    sprintf(status, "PlaySound(DRUM) -> %s", ok ? "TRUE" : "FALSE");
}

void ToggleMusic() {
    MCIERROR err = mciSendString(musicOn ? "stop music" : "play music from 0", NULL, 0, NULL);
    if (err == 0) musicOn = !musicOn;
    char text[96];
    mciGetErrorString(err, text, sizeof(text));
    sprintf(status, "mci %s -> %lu: %.60s", musicOn ? "play" : "stop", (unsigned long)err, text);
}

int main() {
    initgraph(W, H);
    setbkcolor(RGB(225, 232, 240));
    setbkmode(TRANSPARENT);
    BeginBatchDraw();

    MCIERROR err = mciSendString("open assets/melody.mid type sequencer alias music", NULL, 0, NULL);
    if (err != 0) {
        char text[96];
        mciGetErrorString(err, text, sizeof(text));
        sprintf(status, "no music (%lu): %.70s", (unsigned long)err, text);
    } else {
        sprintf(status, "%u sound device(s)", waveOutGetNumDevs());
    }
    Draw();

    for (;;) {
        ExMessage m;
        while (peekmessage(&m, EX_KEY | EX_MOUSE)) {
            if (m.message == WM_KEYDOWN) {
                if (m.vkcode == VK_ESCAPE) {
                    mciSendString("close all", NULL, 0, NULL);
                    closegraph();
                    return 0;
                }
                if (m.vkcode >= '1' && m.vkcode <= '8') PlayNote(m.vkcode - '1');
                if (m.vkcode == 'D') PlayDrum();
                if (m.vkcode == 'M') ToggleMusic();
            } else if (m.message == WM_LBUTTONDOWN) {
                int dx = m.x - PAD_X, dy = m.y - PAD_Y;
                if (m.y >= KEYS_Y && m.y <= KEYS_Y + KEY_H && m.x >= KEYS_X && m.x < KEYS_X + 8 * KEY_W)
                    PlayNote((m.x - KEYS_X) / KEY_W);
                else if (dx * dx + dy * dy <= PAD_R * PAD_R)
                    PlayDrum();
            }
            Draw();
        }
        // The tune has ended: start it again (a sequencer has no "repeat").
        if (musicOn) {
            char mode[32] = "";
            mciSendString("status music mode", mode, sizeof(mode), NULL);
            if (strcmp(mode, "stopped") == 0) mciSendString("play music from 0", NULL, 0, NULL);
        }
        Sleep(20);
    }
}
