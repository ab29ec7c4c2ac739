// SPDX-License-Identifier: BSD-2-Clause
#include "story.hpp"

#include <gtest/gtest.h>

#include <sstream>
#include <string>

namespace {

answer word(std::string_view text)
{
    answer a;
    text.copy(a.bytes.data(), text.size());
    a.length = text.size();
    return a;
}

std::string story_of(const answer_sheet& answers)
{
    std::ostringstream out;
    print_story(answers, out);
    return out.str();
}

std::string tag(std::size_t k)
{
    return std::string("<").append(std::to_string(k)).append(">");
}

TEST(print_story, each_answer_stands_once_at_its_own_blank)
{
    answer_sheet answers;
    for (std::size_t k = 0; k < answers.size(); ++k) {
        answers[k] = word(tag(k + 1));
    }
    const std::string story = story_of(answers);
    std::size_t previous = 0;
    for (std::size_t k = 1; k <= answers.size(); ++k) {
        const std::string mark = tag(k);
        const auto at = story.find(mark);
        ASSERT_NE(at, std::string::npos) << mark;
        EXPECT_GT(at, previous) << mark;
        EXPECT_EQ(story.find(mark, at + 1), std::string::npos) << mark;
        previous = at;
    }
    EXPECT_NE(story.find("\nBe a <1> or just"), std::string::npos);
    EXPECT_NE(story.find("\nJust ask <14> who came"), std::string::npos);
    EXPECT_NE(story.find("ban them from the <20>.\n"), std::string::npos);
}

}  // namespace
