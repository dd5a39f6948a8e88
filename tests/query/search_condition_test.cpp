// The search condition of both searching windows: the table of condition texts, the
// whole-text rewrites of exact match, the numeric rule and the doubled quote.
// GBK texts are written as explicit bytes.
#include "query/search_condition.h"

#include <gtest/gtest.h>

namespace {

const std::string k姓名 = "\xD0\xD5\xC3\xFB";
const std::string k班级 = "\xB0\xE0\xBC\xB6";
const std::string k三班 = "\xC8\xFD\xB0\xE0";
const std::string kWideSpace = "\xA1\xA1";

query::SearchRequest request(std::string text, bool exact = false, bool numeric = false,
                             int checked = 0) {
    query::SearchRequest r;
    r.text = std::move(text);
    r.fields = {"F", k班级, ""};
    r.checkedField = checked;
    r.exact = exact;
    r.numeric = numeric;
    return r;
}

std::string condition(std::string text, bool exact = false, bool numeric = false) {
    return query::searchCondition(request(std::move(text), exact, numeric), "old");
}

TEST(SearchCondition, TableOfConditionTexts) {
    EXPECT_EQ(condition("T"), "where [F] like '%T%'");
    EXPECT_EQ(condition("T", true), "where [F] = 'T'");
    EXPECT_EQ(condition("0123", true, true), "where [F] = 0123");
    EXPECT_EQ(condition("12.5", true, true), "where [F] = '12.5'");
    EXPECT_EQ(condition("-5", true, true), "where [F] = '-5'");
    // Numeric without exact match changes nothing.
    EXPECT_EQ(condition("0123", false, true), "where [F] like '%0123%'");
    for (bool exact : {false, true}) {
        for (bool numeric : {false, true}) {
            EXPECT_EQ(condition("*", exact, numeric), "") << exact << numeric;
            EXPECT_EQ(condition("  *" + kWideSpace, exact, numeric), "") << exact << numeric;
        }
    }
    // "**" or "a*" are ordinary texts.
    EXPECT_EQ(condition("**"), "where [F] like '%**%'");
}

TEST(SearchCondition, FieldOfTheCheckedRadioAndTrimmedText) {
    auto r = request("  " + k三班 + " ", false, false, 1);
    EXPECT_EQ(query::searchCondition(r, ""), "where [" + k班级 + "] like '%" + k三班 + "%'");
    r.exact = true;
    EXPECT_EQ(query::searchCondition(r, ""), "where [" + k班级 + "] = '" + k三班 + "'");
    // An unset third field still builds its (failing) condition, as configured.
    r.checkedField = 2;
    EXPECT_EQ(query::searchCondition(r, ""), "where [] = '" + k三班 + "'");
}

TEST(SearchCondition, NoRadioCheckedRewritesThePreviousCondition) {
    auto r = request("x", true, false, -1);
    EXPECT_EQ(query::searchCondition(r, "where [F] like '%y%'"), "where [F] = 'y'");
    r.exact = false;
    EXPECT_EQ(query::searchCondition(r, "where [F] like '%y%'"), "where [F] like '%y%'");
    r.text = "*";
    EXPECT_EQ(query::searchCondition(r, "where [F] like '%y%'"), "");
}

TEST(SearchCondition, ExactMatchRewritesTheWholeText) {
    // "%" typed into the box goes with the wildcards.
    EXPECT_EQ(condition("50%", true), "where [F] = '50'");
    EXPECT_EQ(condition("50%"), "where [F] like '%50%%'");
    // A field name or text holding "like" has it replaced too; "Like" is another word.
    auto r = request("unlike", true);
    r.fields[0] = "likes";
    EXPECT_EQ(query::searchCondition(r, ""), "where [=s] = 'un='");
    r.fields[0] = "Liked";
    EXPECT_EQ(query::searchCondition(r, ""), "where [Liked] = 'un='");
    // Digits given as full-width characters are no digits.
    EXPECT_EQ(condition("\xA3\xB1", true, true), "where [F] = '\xA3\xB1'");
}

// A quote in the text ended the literal early and the data source rejected the statement.
TEST(SearchCondition, QuoteInTheTextIsDoubledInsideTheLiteral) {
    EXPECT_EQ(condition("O'Neil"), "where [F] like '%O''Neil%'");
    EXPECT_EQ(condition("O'Neil", true), "where [F] = 'O''Neil'");
    EXPECT_EQ(condition("O'Neil", true, true), "where [F] = 'O''Neil'");
    EXPECT_EQ(condition("''", true), "where [F] = ''''''");
    // The field name is bracketed, not quoted: it stays as configured.
    auto r = request("x");
    r.fields[0] = "it's";
    EXPECT_EQ(query::searchCondition(r, ""), "where [it's] like '%x%'");
}

TEST(AllDigits, BytesZeroToNineOnly) {
    EXPECT_TRUE(query::是否全数字(""));
    EXPECT_TRUE(query::是否全数字("0123456789"));
    EXPECT_FALSE(query::是否全数字("12.5"));
    EXPECT_FALSE(query::是否全数字("-5"));
    EXPECT_FALSE(query::是否全数字(" 1"));
    EXPECT_FALSE(query::是否全数字("1/"));  // "/" and ":" lie just around the digits
    EXPECT_FALSE(query::是否全数字("1:"));
    EXPECT_FALSE(query::是否全数字("\xA3\xB1"));  // full-width 1
    EXPECT_FALSE(query::是否全数字(k姓名));
}

}  // namespace
