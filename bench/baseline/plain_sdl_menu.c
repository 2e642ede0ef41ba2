/* plain_sdl_menu — the same job as the game's first screen, written directly
 * on SDL2, fontconfig and FreeType: a 300 x 240 window, white, with the
 * title and menu lines in 16-pixel text (Chinese from WenQuanYi Zen Hei),
 * then waiting for a key and echoing it. The start-up measurement runs it
 * side by side with the game. */
#include <SDL.h>
#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H

#include <string.h>

static FT_Face open_face(const char* family) {
    static FT_Library ft;
    if (!ft && FT_Init_FreeType(&ft)) return NULL;
    FcPattern* pat = FcNameParse((const FcChar8*)family);
    FcConfigSubstitute(NULL, pat, FcMatchPattern);
    FcDefaultSubstitute(pat);
    FcResult r;
    FcPattern* match = FcFontMatch(NULL, pat, &r);
    FcPatternDestroy(pat);
    FT_Face face = NULL;
    FcChar8* file;
    int index = 0;
    if (match && FcPatternGetString(match, FC_FILE, 0, &file) == FcResultMatch) {
        FcPatternGetInteger(match, FC_INDEX, 0, &index);
        if (FT_New_Face(ft, (const char*)file, index, &face)) face = NULL;
    }
    if (match) FcPatternDestroy(match);
    if (face) FT_Set_Pixel_Sizes(face, 0, 16);
    return face;
}

/* Next code point of a UTF-8 string. */
static unsigned next_cp(const char** s) {
    const unsigned char* p = (const unsigned char*)*s;
    unsigned cp = *p++;
    int extra = cp >= 0xF0 ? 3 : cp >= 0xE0 ? 2 : cp >= 0xC0 ? 1 : 0;
    if (extra) cp &= 0x3F >> extra;
    while (extra-- && *p) cp = (cp << 6) | (*p++ & 0x3F);
    *s = (const char*)p;
    return cp;
}

static void draw_text(SDL_Surface* s, FT_Face face, int x, int y, const char* text) {
    while (*text) {
        unsigned cp = next_cp(&text);
        if (FT_Load_Char(face, cp, FT_LOAD_RENDER)) continue;
        FT_Bitmap* b = &face->glyph->bitmap;
        int gx = x + face->glyph->bitmap_left, gy = y + 14 - face->glyph->bitmap_top;
        for (unsigned r = 0; r < b->rows; ++r)
            for (unsigned c = 0; c < b->width; ++c) {
                int px = gx + (int)c, py = gy + (int)r;
                if (px < 0 || py < 0 || px >= s->w || py >= s->h) continue;
                unsigned v = 255 - b->buffer[r * b->pitch + c];
                ((Uint32*)((Uint8*)s->pixels + py * s->pitch))[px] = SDL_MapRGB(s->format, v, v, v);
            }
        x += (int)(face->glyph->advance.x >> 6);
    }
}

int main(int argc, char** argv) {
    (void)argc;
    (void)argv;
    /* The window surface without OpenGL, as the game's backend uses it (on
     * Xvfb an accelerated surface means a software GL context, far slower). */
    SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
    if (SDL_Init(SDL_INIT_VIDEO)) return 1;
    SDL_Window* w = SDL_CreateWindow("plain", SDL_WINDOWPOS_UNDEFINED, SDL_WINDOWPOS_UNDEFINED, 300, 240, 0);
    if (!w) return 1;
    SDL_Surface* s = SDL_GetWindowSurface(w);
    FcInit();
    FT_Face face = open_face("WenQuanYi Zen Hei");
    SDL_FillRect(s, NULL, SDL_MapRGB(s->format, 255, 255, 255));
    if (face) {
        static const char* lines[] = {"\xe7\x81\xb5\xe5\x9f\x9f Lumenvale", "version-1.0.0", "version-0.2.0",
                                      "version-0.1.1", "version-0.1.0"};
        for (int i = 0; i < 5; ++i) draw_text(s, face, 0, i * 20, lines[i]);
    }
    SDL_UpdateWindowSurface(w);
    char echo[64] = "";
    SDL_Event e;
    while (SDL_WaitEvent(&e)) {
        if (e.type == SDL_QUIT) break;
        if (e.type == SDL_TEXTINPUT && face && strlen(echo) + strlen(e.text.text) < sizeof echo) {
            strcat(echo, e.text.text);
            draw_text(s, face, 0, 200, echo);
            SDL_UpdateWindowSurface(w);
        }
    }
    SDL_Quit();
    return 0;
}
