// A workstation that takes one record's update lock and keeps it until it is killed: the peer
// the connection tests cut off from the server.
//   orv_lock_holder SERVER pg:NAME USER FILE KEY   (the password on the first line of input)
#include <unistd.h>

#include <iostream>
#include <string>

#include "engine/database.h"

int main(int argc, char** argv) {
    if (argc != 6) {
        std::cerr << "usage: orv_lock_holder SERVER pg:NAME USER FILE KEY\n";
        return 2;
    }
    std::string password;
    std::getline(std::cin, password);
    try {
        auto db =
            orv::Database::openAccount(argv[1], argv[2], argv[3], password, {.create = false});
        orv::Session session(db, argv[3]);
        session.readForUpdate(argv[4], argv[5]);
        std::cout << "verrouillé" << std::endl;
        for (;;) pause();
    } catch (const orv::DbError& e) {
        std::cerr << e.what() << '\n';
        return 1;
    }
}
