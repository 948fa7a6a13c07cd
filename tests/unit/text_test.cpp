#include "common/message_format.h"
#include "common/text.h"
#include "common/text_list.h"
#include "test_support.h"

#include <gtest/gtest.h>

#include <climits>
#include <type_traits>

#if defined(__SANITIZE_ADDRESS__)
#define TEXT_MARKS_ITS_END 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define TEXT_MARKS_ITS_END 1
#endif
#endif
#ifdef TEXT_MARKS_ITS_END
#include <sanitizer/asan_interface.h>
#endif

namespace {

const char kLong[] = "a text longer than the first buffer of any text";

// A copy needs memory, so it is made by assign, whose result is looked at.
static_assert(!std::is_copy_constructible<Text>::value && !std::is_copy_assignable<Text>::value,
              "a copy of a text is made by assign");

TEST(Text, IsCopiedByAssignAndMoved)
{
    Text original = textOf("launcher");
    Text copy;
    ASSERT_TRUE(copy.assign(original));
    ASSERT_TRUE(copy.append(".ini"));
    EXPECT_STREQ("launcher", original.chars());
    Text moved(static_cast<Text&&>(copy));
    EXPECT_STREQ("launcher.ini", moved.chars());
    EXPECT_STREQ("", copy.chars());
    Text assigned = textOf("old");
    ASSERT_TRUE(assigned.assign(original));
    const Text& same = assigned;
    ASSERT_TRUE(assigned.assign(same));
    EXPECT_STREQ("launcher", assigned.chars());
    ASSERT_TRUE(assigned.assign("launcher"));
    EXPECT_STREQ("launcher", assigned.chars());
    assigned = static_cast<Text&&>(moved);
    EXPECT_STREQ("launcher.ini", assigned.chars());

    Text text;
    for (int i = 0; i < 100; ++i)
        ASSERT_TRUE(text.appendChar(static_cast<char>('a' + i % 26)));
    EXPECT_EQ('v', text.at(99));
    text.truncate(200);
    EXPECT_EQ(100u, text.length());
    text.truncate(5);
    text.removePrefix(2);
    EXPECT_STREQ("cde", text.chars());
    text.removePrefix(7);
    EXPECT_STREQ("", text.chars());
    EXPECT_FALSE(textOf("same").equals("Same"));
}

TEST(Text, AppendsAndAssignsPartsOfItself)
{
    Text text = textOf("abcdefghij");
    ASSERT_TRUE(text.append(text)); // grows past the buffer it reads from
    ASSERT_TRUE(text.append(text.chars() + 2, 3));
    EXPECT_STREQ("abcdefghijabcdefghijcde", text.chars());
    ASSERT_TRUE(text.assign(text.chars() + 3, 4));
    EXPECT_STREQ("defg", text.chars());
}

TEST(Text, StaysAsItWasWhenMemoryRunsOut)
{
    Text text = textOf("abcdefghij");
    Text source = textOf(kLong);
    Text target = textOf("old");
    {
        AllocationFailures failures(0);
        EXPECT_FALSE(text.append(kLong));
        EXPECT_FALSE(text.append(text));
        EXPECT_STREQ("abcdefghij", text.chars());
        EXPECT_TRUE(text.append("xy")); // fits in the buffer it has
        Text copy;
        EXPECT_FALSE(copy.assign(text));
        EXPECT_FALSE(copy.assign("abc"));
        EXPECT_TRUE(copy.isEmpty());
        EXPECT_FALSE(target.assign(source));
        EXPECT_STREQ("old", target.chars());
        EXPECT_TRUE(formatMessage("text %s", "value").isEmpty());
    }
    {
        AllocationFailures failures(1); // the copy of itself succeeds, the growth fails
        EXPECT_FALSE(text.append(text));
        EXPECT_STREQ("abcdefghijxy", text.chars());
    }
    EXPECT_TRUE(text.append(kLong));
}

#ifdef TEXT_MARKS_ITS_END
// Its bytes and the terminating NUL may be read, not the byte after them.
::testing::AssertionResult readableToItsEnd(const Text& text)
{
    const char* start = text.chars();
    if (__asan_region_is_poisoned(const_cast<char*>(start), text.length() + 1))
        return ::testing::AssertionFailure() << "\"" << start << "\" is not readable to its NUL";
    if (!__asan_address_is_poisoned(start + text.length() + 1))
        return ::testing::AssertionFailure() << "\"" << start << "\" is readable past its NUL";
    return ::testing::AssertionSuccess();
}
#endif

TEST(Text, MarksItsBufferPastItsEndUnreadableUnderAddressSanitizer)
{
#ifdef TEXT_MARKS_ITS_END
    Text text = textOf("abc");
    EXPECT_TRUE(readableToItsEnd(text));
    ASSERT_TRUE(text.append(kLong));
    EXPECT_TRUE(readableToItsEnd(text));
    text.truncate(20);
    EXPECT_TRUE(readableToItsEnd(text));
    text.removePrefix(5);
    EXPECT_TRUE(readableToItsEnd(text));
    ASSERT_TRUE(text.assign("short", 5));
    EXPECT_TRUE(readableToItsEnd(text));
    ASSERT_TRUE(text.assign(text.chars() + 1, 2));
    EXPECT_TRUE(readableToItsEnd(text));
    Text moved(static_cast<Text&&>(text));
    EXPECT_TRUE(readableToItsEnd(moved));
    Text reserved;
    ASSERT_TRUE(reserved.reserve(100));
    EXPECT_TRUE(readableToItsEnd(reserved));
    reserved = static_cast<Text&&>(moved);
    EXPECT_TRUE(readableToItsEnd(reserved));
    reserved.clear();
    EXPECT_TRUE(readableToItsEnd(reserved));
#else
    GTEST_SKIP() << "built without AddressSanitizer, which alone can mark memory unreadable";
#endif
}

TEST(TextList, ReportsAnElementWithoutMemoryAndStaysUsable)
{
    TextList list;
    {
        AllocationFailures failures(0); // the element's text fails
        EXPECT_FALSE(list.append("lost"));
    }
    for (const char* item : { "a", "", "a", "b", "", "c", "d", "e" })
        ASSERT_TRUE(list.append(item));
    {
        AllocationFailures failures(1); // the text succeeds, the list's growth fails
        EXPECT_FALSE(list.append("lost"));
        EXPECT_FALSE(list.append(""));
    }
    ASSERT_TRUE(list.append(kLong, 6));
    EXPECT_EQ((Items{ "a", "", "a", "b", "", "c", "d", "e", "a text" }), itemsOf(list));
    list.clear();
    ASSERT_TRUE(list.append(textOf("again")));
    EXPECT_EQ(Items{ "again" }, itemsOf(list));
}

TEST(FormatMessage, FillsTextsAndSignedNumbers)
{
    struct Case { const char* format; const char* text; int number; const char* expected; };
    const Case cases[] = {
        { "Windows exception: %s (errno = %d).\n", "failed to get the module path", 2,
          "Windows exception: failed to get the module path (errno = 2).\n" },
        { "COM error: %s (errno = %d).\n", "x", -2147024882, "COM error: x (errno = -2147024882).\n" },
        { "%s%d", "", INT_MIN, "-2147483648" }, { "%s%d", "", INT_MAX, "2147483647" },
        { "%s%d", "", -7, "-7" }, { "%s%d", "", 0, "0" },
        { "100%% %s%%", "sure", 0, "100% sure%" },
    };
    for (const Case& c : cases)
        EXPECT_STREQ(c.expected, formatMessage(c.format, c.text, c.number).chars()) << c.format;
    EXPECT_STREQ("between 1.4 and 1.5", formatMessage("between %s and %s", "1.4", "1.5").chars());

    std::string directory(3000, 'd');
    Text message = formatMessage("in JRE directory %s. Please reinstall JRE.", directory.c_str());
    EXPECT_EQ("in JRE directory " + directory + ". Please reinstall JRE.", message.chars());
}

}
