// Every process-wide object of the game is defined in this one file so that
// the order of their construction before main is fixed: the standard streams,
// the two combatants, the accounts, the version map, the player's and the
// monster's action texts, and last the random source.
#include <ctime>
#include <iostream>
#include <map>
#include <string>

#include "accounts.h"
#include "game.h"
#include "vocabulary.h"

int xiaohao[5][10] = {
    {-1, 0, 0, 0, 1, 1, kUnavailable, kUnavailable, kUnavailable, 5},
    {-2, 0, 0, 0, 1, 1, kUnavailable, kUnavailable, kUnavailable, 10},
    {-3, 0, 0, 0, 1, 1, 3, 3, kUnavailable, 20},
    {-4, 0, 0, 0, 1, 1, 3, 3, kUnavailable, 40},
    {-5, 0, 0, 0, 1, 1, 3, 3, 5, kUnavailable},
};

a_pl AI(0, 0);
a_pl pl(0, 0);

User user1(kGuestName, "BlankQuill", 0, youke, 0, 0);
User defuserlist[6] = {
    User("kestrel_v", "_tek4590$", 0, guanliyuan, 0, 4),
    User("morvellan", "!QW3)7R>+N", 0, neice, 0, 0),
    User("tisbrocke", "~p%=MJT2*K", 0, neice, 0, 0),
    User("quellamirth", "RUC7F::831", 0, neice, 0, 0),
    User("dorvasil", "WOD*&B:6s.", 0, neice, 0, 0),
    User("pemberfold", "~k-4mUS-5", 0, neice, 0, 0),
};

std::map<std::string, int> mp;

std::string Doing[2][10] = {
    {"你选择修炼", "你选择防御", "你使用了反弹之盾", "你使用了反弹幕布", "你使用了剑指",
     "你使用了火法", "你使用了开山掌", "你使用了烈火燎原", "你使用了究极湮灭", "你选择突破"},
    {"你选择修炼", "你选择防御", "你使用了反弹之盾", "你使用了反弹幕布", "你使用了一剑破晓",
     "你使用了神火焚天", "你使用了开天掌", "你使用了圣火朱雀", "你使用了究极湮灭", "你选择突破"},
};

std::string AIDoing[2][10] = {
    {"魔物选择修炼", "魔物选择防御", "魔物使用了反弹之盾", "魔物使用了反弹幕布", "魔物使用了剑指",
     "魔物使用了火法", "魔物使用了开山掌", "魔物使用了烈火燎原", "魔物使用了究极湮灭", "魔物选择突破"},
    {"魔物选择修炼", "魔物选择防御", "魔物使用了反弹之盾", "魔物使用了反弹幕布", "魔物使用了一剑破晓",
     "魔物使用了神火焚天", "魔物使用了开天掌", "魔物使用了圣火朱雀", "魔物使用了究极湮灭", "魔物选择突破"},
};

random_32 rd(static_cast<unsigned int>(time(nullptr)));
