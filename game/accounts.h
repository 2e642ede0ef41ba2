// Accounts: the built-in list and the logged-in account.
#pragma once

#include <string>

// Permission levels of an account.
enum Quanxian : unsigned int {
    youke = 0,       // guest
    zhengchang = 1,  // ordinary
    neice = 2,       // closed test
    guanliyuan = 3   // administrator
};

struct User {
    std::string name;
    std::string password;
    int dengji;      // grade, always 0
    int quanxian;    // permission (Quanxian), chooses the greeting
    int rating;
    int tianfudian;  // talent points
    int genji;       // foundation: the player's starting level in every duel
    int wuxing;      // always 0
    int routi;       // always 0

    User(std::string nm, std::string pw, int i1, int i2, int t, int gj);
};

// Name of the guest account; while user1 carries it, duels start at lianqi.
extern const char* const kGuestName;

extern User user1;             // the logged-in account (the guest at start)
extern User defuserlist[6];    // built-in accounts, searched in index order
