#include <gtest/gtest.h>

#include <climits>
#include <string>

#include "text/parse_int.h"
#include "text/text_format.h"
#include "app/texts.h"
#include "text/utf8_text.h"

using namespace app;

TEST(ParseInt, ReadsLikeAnEditBox) {
    EXPECT_EQ(text::parseInt("80"), 80);
    EXPECT_EQ(text::parseInt("12abc"), 12);
    EXPECT_EQ(text::parseInt("abc"), 0);
    EXPECT_EQ(text::parseInt(""), 0);
    EXPECT_EQ(text::parseInt(" -7"), -7);
    EXPECT_EQ(text::parseInt("\t\r\n +15 "), 15);
    EXPECT_EQ(text::parseInt("-"), 0);
    EXPECT_EQ(text::parseInt("--5"), 0);
    EXPECT_EQ(text::parseInt("- 5"), 0);
    EXPECT_EQ(text::parseInt("1 2"), 1);
    EXPECT_EQ(text::parseInt("007"), 7);
    EXPECT_EQ(text::parseInt("-0"), 0);
}

TEST(ParseInt, SaturatesInsteadOfOverflowing) {
    EXPECT_EQ(text::parseInt("2147483647"), INT_MAX);
    EXPECT_EQ(text::parseInt("2147483648"), INT_MAX);
    EXPECT_EQ(text::parseInt("-2147483648"), INT_MIN);
    EXPECT_EQ(text::parseInt("-2147483649"), INT_MIN);
    EXPECT_EQ(text::parseInt(std::string(500, '9')), INT_MAX);
}

TEST(FormatText, FillsPlacesInOrder) {
    EXPECT_EQ(text::formatText("%s - Preparing to run shortcut", {"Quillet"}), "Quillet - Preparing to run shortcut");
    EXPECT_EQ(text::formatText("%s and %s", {"a", "b"}), "a and b");
    EXPECT_EQ(text::formatText("%s and %s", {"a"}), "a and ");
    EXPECT_EQ(text::formatText("100%% %d %", {}), "100% %d %");
}

TEST(FormatText, AlreadyRunningMessageNamesTheProgramTwice) {
    const std::string text = text::formatText(kAlreadyRunningFormat, {kProductName, kProductName});
    EXPECT_EQ(text.rfind("Quillet 已经运行！", 0), 0u);
    EXPECT_NE(text.find("如果Quillet运行界面"), std::string::npos);
    EXPECT_EQ(text.find('%'), std::string::npos);
}

TEST(Texts, KeepTheirTrailingBlanks) {
    const std::string invalid = kInvalidAmountText;
    EXPECT_EQ(invalid.substr(invalid.size() - 21), "." + std::string(20, ' '));
    const std::string failed = kRecoveryFailedText;
    EXPECT_EQ(failed, "释放内存失败..." + std::string(9, ' '));
    const std::string usage = kUsageText;
    EXPECT_NE(usage.find("Quillet /p=c:\\edit.exe /a=list.txt /ram=80 /once\r\n"), std::string::npos);
    EXPECT_EQ(usage.substr(usage.size() - 21), "arguments to Quillet.");
}

TEST(Utf8Text, CountsCharactersNotBytes) {
    EXPECT_EQ(text::utf8Length(""), 0u);
    EXPECT_EQ(text::utf8Length("80 "), 3u);
    EXPECT_EQ(text::utf8Length("内存"), 2u);
    EXPECT_EQ(text::utf8Length("\xF0\x9F\x98\x80"), 1u);
    EXPECT_EQ(text::utf8PrefixBytes("内存abc", 1), 3u);
    EXPECT_EQ(text::utf8PrefixBytes("内存abc", 3), 7u);
    EXPECT_EQ(text::utf8PrefixBytes("ab", 10), 2u);
}

TEST(Utf8Text, MalformedBytesCountOneEach) {
    EXPECT_EQ(text::utf8Length("\x80\x80"), 2u);
    EXPECT_EQ(text::utf8Length("\xE5\x86"), 1u);      // cut short at the end
    EXPECT_EQ(text::utf8Length("\xE5" "a"), 2u);      // lead byte without its continuation
    EXPECT_EQ(text::utf8Length("\xFF\xFE"), 2u);
    EXPECT_EQ(text::utf8PrefixBytes("\xE5\x86", 1), 2u);  // never past the end
}
