#include <gtest/gtest.h>

#include <vector>

#include "core/Tokenizer.h"

namespace {

// Every token of a text as (type, number or word).
struct Token {
    int type;
    double number;
    std::string word;
};

std::vector<Token> tokens(const std::string& text)
{
    Tokenizer t(text);
    std::vector<Token> out;
    for (int type = t.read_token(); type != Tokenizer::TT_EOF; type = t.read_token())
        out.push_back({type, type == Tokenizer::TT_NUMBER ? t.number_value : 0.0,
                       type == Tokenizer::TT_WORD || type == Tokenizer::TT_QUOTED ? t.word_text : ""});
    return out;
}

}  // namespace

TEST(Tokenizer, ExponentAndLeadingDotOrPlusAreOneNumber)
{
    for (const auto& [text, value] : std::vector<std::pair<std::string, double>>{
             {"1e-5", 1e-5}, {"1E+3", 1000.0}, {".5", 0.5}, {"+2", 2.0}, {"-.25", -0.25},
             {"4.51235e+06", 4.51235e+06}, {"-3.5e2", -350.0}}) {
        const auto t = tokens(text);
        ASSERT_EQ(t.size(), 1u) << text;
        EXPECT_EQ(t[0].type, Tokenizer::TT_NUMBER) << text;
        EXPECT_EQ(t[0].number, value) << text;
    }
}

TEST(Tokenizer, DesignRulesThatStay)
{
    auto t = tokens("mat1");
    ASSERT_EQ(t.size(), 2u);
    EXPECT_EQ(t[0].word, "mat");
    EXPECT_EQ(t[1].number, 1.0);

    t = tokens("1.2.3 1-2 - + --5");
    ASSERT_EQ(t.size(), 6u);
    EXPECT_EQ(t[0].number, 1.2);
    EXPECT_EQ(t[1].number, 1.0);
    EXPECT_EQ(t[2].type, '-');
    EXPECT_EQ(t[3].type, '+');
    EXPECT_EQ(t[4].type, '-');
    EXPECT_EQ(t[5].number, -5.0);

    // "e" not followed by digits stays a word.
    t = tokens("2e x 3E-");
    ASSERT_EQ(t.size(), 6u);
    EXPECT_EQ(t[1].word, "e");
    EXPECT_EQ(t[3].number, 3.0);
    EXPECT_EQ(t[4].word, "E");
    EXPECT_EQ(t[5].type, '-');
}

TEST(Tokenizer, WordsQuotesCommentsAndLines)
{
    Tokenizer t("Vertex # comment 1 2\n'quoted text\n/ x");
    EXPECT_EQ(t.read_token(), Tokenizer::TT_WORD);
    EXPECT_EQ(t.word_text, "Vertex");
    EXPECT_EQ(t.read_token(), Tokenizer::TT_QUOTED);
    EXPECT_EQ(t.word_text, "quoted text");
    EXPECT_EQ(t.line, 1);
    EXPECT_EQ(t.read_token(), '/');
    t.repeat_token = true;
    EXPECT_EQ(t.read_token(), '/');
    EXPECT_EQ(t.read_token(), Tokenizer::TT_WORD);
    EXPECT_EQ(t.read_token(), Tokenizer::TT_EOF);

    Tokenizer lines("a\nb");
    lines.line_ends_significant = true;
    EXPECT_EQ(lines.read_token(), Tokenizer::TT_WORD);
    EXPECT_EQ(lines.read_token(), Tokenizer::TT_EOL);
    EXPECT_EQ(lines.line, 1);
}
