#include "accounts.h"

#include <utility>

const char* const kGuestName = "YouKeZhangHao";

User::User(std::string nm, std::string pw, int i1, int i2, int t, int gj)
    : name(std::move(nm)),
      password(std::move(pw)),
      dengji(0),
      quanxian(i2),
      rating(i1),
      tianfudian(t),
      genji(gj),
      wuxing(0),
      routi(0) {}
