#include "core/Tokenizer.h"

#include <sstream>
#include <vector>

#include <gtest/gtest.h>

namespace {

// Every token of a text followed by a space: numbers as printed, words in
// <>, quoted text in "", anything else as its character.
std::string tokens(const std::string& text)
{
    Tokenizer t(text);
    std::ostringstream out;
    for (int type = t.read_token(); type != Tokenizer::TT_EOF; type = t.read_token()) {
        if (type == Tokenizer::TT_NUMBER)
            out << t.number_value << ' ';
        else if (type == Tokenizer::TT_WORD)
            out << '<' << t.word_text << "> ";
        else if (type == Tokenizer::TT_QUOTED)
            out << '"' << t.word_text << "\" ";
        else
            out << char(type) << ' ';
    }
    return out.str();
}

}  // namespace

TEST(Tokenizer, ExponentAndLeadingDotOrPlusAreOneNumber)
{
    for (const auto& [text, value] : std::vector<std::pair<std::string, double>>{{"1e-5", 1e-5},
                                                                                 {"1E+3", 1000.0},
                                                                                 {".5", 0.5},
                                                                                 {"+2", 2.0},
                                                                                 {"-.25", -0.25},
                                                                                 {"4.51235e+06", 4.51235e+06},
                                                                                 {"-3.5e2", -350.0}}) {
        Tokenizer t(text);
        EXPECT_EQ(t.read_token(), Tokenizer::TT_NUMBER) << text;
        EXPECT_EQ(t.number_value, value) << text;
        EXPECT_EQ(t.read_token(), Tokenizer::TT_EOF) << text;
    }
}

TEST(Tokenizer, WordsCommentsQuotesAndTheOddRulesThatStay)
{
    EXPECT_EQ(tokens("mat1"), "<mat> 1 ");
    EXPECT_EQ(tokens("1.2.3 1-2 - + --5"), "1.2 1 - + - -5 ");
    EXPECT_EQ(tokens("2e x 3E-"), "2 <e> <x> 3 <E> - ");  // "e" without digits stays a word
    EXPECT_EQ(tokens("Vertex # comment 1 2\n'quoted text\n/ x"), "<Vertex> \"quoted text\" / <x> ");

    Tokenizer t("a\n'q\n/");
    t.read_token();
    EXPECT_EQ(t.read_token(), Tokenizer::TT_QUOTED);
    EXPECT_EQ(t.line, 1);
    EXPECT_EQ(t.read_token(), '/');
    t.repeat_token = true;
    EXPECT_EQ(t.read_token(), '/');
    EXPECT_EQ(t.read_token(), Tokenizer::TT_EOF);

    Tokenizer lines("a\nb");
    lines.line_ends_significant = true;
    EXPECT_EQ(lines.read_token(), Tokenizer::TT_WORD);
    EXPECT_EQ(lines.read_token(), Tokenizer::TT_EOL);
    EXPECT_EQ(lines.line, 1);
}
