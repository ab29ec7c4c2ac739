// SPDX-License-Identifier: BSD-2-Clause
// Runs each file named on the command line through the fuzz target once, so that
// its seeds are checked by any compiler, without libFuzzer. A failed check aborts.
#include <cstddef>
#include <cstdint>
#include <fstream>
#include <iostream>
#include <iterator>
#include <span>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

int main(int argc, char** argv)
{
    const std::span<char*> files(argv + 1, static_cast<std::size_t>(argc - 1));
    if (files.empty()) {
        std::cerr << "usage: fuzz_replay FILE...\n";
        return 2;
    }
    for (const char* name : files) {
        std::ifstream file(name, std::ios::binary);
        if (!file) {
            std::cerr << name << ": cannot be read\n";
            return 1;
        }
        const std::string input{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
        LLVMFuzzerTestOneInput(reinterpret_cast<const std::uint8_t*>(input.data()), input.size());
        std::cout << name << ": as the model says\n";
    }
    return 0;
}
