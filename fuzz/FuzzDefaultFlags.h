// libFuzzer flags that a harness runs with unless its command line gives them otherwise:
// called from LLVMFuzzerInitialize, which libFuzzer runs before it reads its flags. Each
// harness that uses it says in its header which flags and why.
#pragma once

#include <cstring>
#include <initializer_list>
#include <vector>

// flags: each "-name=value"; one is added only when no argument starts with its "-name=".
inline void AddDefaultFlags(int* argc, char*** argv, std::initializer_list<const char*> flags) {
    static std::vector<char*> arguments;
    arguments.assign(*argv, *argv + *argc);
    for (const char* flag : flags) {
        const std::size_t nameLength = std::strchr(flag, '=') - flag + 1;
        bool given = false;
        for (int i = 1; i < *argc; ++i) given = given || std::strncmp((*argv)[i], flag, nameLength) == 0;
        if (!given) arguments.insert(arguments.begin() + 1, const_cast<char*>(flag));
    }
    *argc = static_cast<int>(arguments.size());
    arguments.push_back(nullptr);
    *argv = arguments.data();
}
