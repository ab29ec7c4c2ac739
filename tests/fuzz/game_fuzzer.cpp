// SPDX-License-Identifier: BSD-2-Clause
// Feeds arbitrary bytes to one whole game, in memory, and checks what it prints
// against a plainly written model of the reading rules.
#include "answer_sheet.hpp"
#include "prompts.hpp"
#include "story.hpp"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

namespace {

bool blank(unsigned char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

// How many bytes a UTF-8 lead byte announces; 0 for any other byte.
std::size_t announced(unsigned char c)
{
    if (c >= 0xF0 && c <= 0xF7) {
        return 4;
    }
    if (c >= 0xE0 && c <= 0xEF) {
        return 3;
    }
    return c >= 0xC0 && c <= 0xDF ? 2 : 0;
}

// A word as its slot keeps it: whole up to 31 bytes; longer, its first 31 bytes,
// less a character at their end that is missing some of its bytes.
std::string kept(std::string word)
{
    constexpr std::size_t slot = 31;
    if (word.size() <= slot) {
        return word;
    }
    word.resize(slot);
    for (std::size_t lead = slot - 4; lead < slot; ++lead) {
        bool rest_continues = true;
        for (std::size_t i = lead + 1; i < slot; ++i) {
            rest_continues = rest_continues && (static_cast<unsigned char>(word[i]) & 0xC0) == 0x80;
        }
        if (rest_continues && announced(static_cast<unsigned char>(word[lead])) > slot - lead) {
            word.resize(lead);
            break;
        }
    }
    return word;
}

std::vector<std::string> model_answers(std::string_view input)
{
    std::vector<std::string> words;
    std::string word;
    bool in_word = false;
    for (const char c : input) {
        if (words.size() == 20) {
            break;
        }
        if (blank(static_cast<unsigned char>(c))) {
            if (in_word) {
                words.push_back(kept(word));
            }
            word.clear();
            in_word = false;
        } else {
            word += c;
            in_word = true;
        }
    }
    if (in_word && words.size() < 20) {
        words.push_back(kept(word));
    }
    words.resize(20);
    return words;
}

std::string model_output(std::string_view input)
{
    std::string out;
    for (const std::string_view prompt : prompt_table) {
        out += prompt;
    }
    out += story_heading;
    const std::vector<std::string> answers = model_answers(input);
    std::size_t next = 0;
    for (std::size_t i = 0; i < story_template.size(); ++i) {
        if (story_template.substr(i, 2) == "%s") {
            out += answers.at(next++);
            ++i;
        } else {
            out += story_template[i];
        }
    }
    return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string input(reinterpret_cast<const char*>(data), size);
    std::istringstream in(input);
    std::ostringstream out;
    answer_sheet answers{};
    collect_answers(answers, in, out, utf8_encoding);
    print_story(answers, out);
    if (out.str() != model_output(input)) {
        std::abort();
    }
    return 0;
}
