#include "common/Web/RandomToken.h"

#include <cstdio>
#include <random>

namespace Web {

std::string MakeRandomToken() {
    thread_local std::mt19937 generator{std::random_device{}()};
    std::string token;
    for (int i = 0; i < 5; ++i) {
        char piece[8];
        std::snprintf(piece, sizeof piece, "%x", static_cast<unsigned>(generator() % 255));
        token += piece;
    }
    return token;
}

} // namespace Web
