// SPDX-License-Identifier: BSD-2-Clause
// set_code_pages INPUT OUTPUT: gives the console it runs in the input and the output
// code pages named, which chcp cannot make differ. Exits 1 if the console refuses.
#include <cstdlib>
#include <windows.h>

int main(int argc, char** argv)
{
    if (argc != 3) {
        return 2;
    }
    const auto input = static_cast<UINT>(std::strtoul(argv[1], nullptr, 10));
    const auto output = static_cast<UINT>(std::strtoul(argv[2], nullptr, 10));
    return SetConsoleCP(input) != 0 && SetConsoleOutputCP(output) != 0 ? 0 : 1;
}
