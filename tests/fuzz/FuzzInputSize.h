#pragma once
// libFuzzer tries inputs of at most 4096 bytes unless told otherwise; a target whose input has size
// limits of its own raises that bound from LLVMFuzzerInitialize so the limits are reached (an explicit
// -max_len on the command line still wins).
#include <cstddef>
#include <cstring>
#include <string>
#include <vector>

namespace orvia::fuzz {

inline void allowInputsUpTo(int *argc, char ***argv, std::size_t maxLen)
{
    for (int i = 1; i < *argc; ++i)
        if (std::strncmp((*argv)[i], "-max_len=", 9) == 0)
            return;
    static std::string option;
    static std::vector<char *> args;
    option = "-max_len=" + std::to_string(maxLen);
    args.assign(*argv, *argv + *argc);
    args.push_back(option.data());
    args.push_back(nullptr);
    *argc += 1;
    *argv = args.data();
}

} // namespace orvia::fuzz
