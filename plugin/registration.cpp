#include "plugin/registration.h"

#include <cstring>

void MakeRegistrationName(Str63& name) {
    constexpr std::size_t length = sizeof kRegistrationText - 1;
    static_assert(length < sizeof(Str63));
    std::memset(name, 0, sizeof(Str63));
    name[0] = static_cast<unsigned char>(length);
    std::memcpy(name + 1, kRegistrationText, length);
}
