#include "core/statekey.h"

#include <cerrno>
#include <cstdlib>

#include "core/state.h"

const char kStateKeyList[] = "flagN, itemN, paraN, checkN, timecheckN, hp, guts, hpmax, gutsmax";

namespace {

// A table with an index, or one value (size 0).
const struct {
    const char* name;
    int* table;
    int size;
} kKeys[] = {
    {"flag", flag, kFlagCount},
    {"item", item, kItemCount},
    {"para", parameter, kParameterCount},
    {"check", findcheck, kFindcheckCount},
    {"timecheck", timecheck, kTimecheckCount},
    {"hp", &HP, 0},
    {"guts", &Guts, 0},
    {"hpmax", &HPmax, 0},
    {"gutsmax", &Gutsmax, 0},
};

// A whole decimal index: digits only.
bool readIndex(const std::string& text, int* index)
{
    if (text.empty() || text.find_first_not_of("0123456789") != std::string::npos) return false;
    errno = 0;
    long n = std::strtol(text.c_str(), nullptr, 10);
    if (errno == ERANGE || n > 2147483647L) return false;
    *index = static_cast<int>(n);
    return true;
}

}  // namespace

StateKey findStateKey(const std::string& key)
{
    size_t digits = key.find_first_of("0123456789");
    StateKey found{nullptr, KeyFault::Unknown, key.substr(0, digits), 0};
    for (const auto& k : kKeys) {
        if (found.name != k.name) continue;
        found.size = k.size;
        int index = 0;
        if (k.size == 0) {
            found.fault = digits == std::string::npos ? KeyFault::None : KeyFault::NoIndex;
        } else {
            bool ok = digits != std::string::npos && readIndex(key.substr(digits), &index) &&
                      index < k.size;
            found.fault = ok ? KeyFault::None : KeyFault::Index;
        }
        if (found.fault == KeyFault::None) found.slot = k.table + index;
        return found;
    }
    return found;
}

std::string keyFaultText(const StateKey& key)
{
    switch (key.fault) {
    case KeyFault::Unknown: return "not one of " + std::string(kStateKeyList);
    case KeyFault::Index: return key.name + " takes a number from 0 to " + std::to_string(key.size - 1);
    case KeyFault::NoIndex: return key.name + " takes no number";
    case KeyFault::None: break;
    }
    return "";
}
