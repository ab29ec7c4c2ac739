// SPDX-License-Identifier: BSD-2-Clause
// set_console INPUT OUTPUT: gives the console it runs in the input and the output code
// pages named, which chcp cannot make differ. set_console keys: takes its input out of
// line mode, as a program that read it key by key may leave it. Exits 1 if the console
// refuses.
#include <cstdlib>
#include <string_view>
#include <windows.h>

int main(int argc, char** argv)
{
    if (argc == 2 && std::string_view(argv[1]) == "keys") {
        const HANDLE input = GetStdHandle(STD_INPUT_HANDLE);
        DWORD mode = 0;
        const DWORD lines = ENABLE_LINE_INPUT | ENABLE_ECHO_INPUT;
        return GetConsoleMode(input, &mode) != 0 && SetConsoleMode(input, mode & ~lines) != 0 ? 0 : 1;
    }
    if (argc != 3) {
        return 2;
    }
    const auto input = static_cast<UINT>(std::strtoul(argv[1], nullptr, 10));
    const auto output = static_cast<UINT>(std::strtoul(argv[2], nullptr, 10));
    return SetConsoleCP(input) != 0 && SetConsoleOutputCP(output) != 0 ? 0 : 1;
}
