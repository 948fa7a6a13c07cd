// [Application]: the hand-over's wire format and its refusals, the identity
// that names an application's channel, the settings' messages, and the queue
// between the receiving and the delivering thread.
#include "config/application_settings.h"
#include "instance/handover_message.h"
#include "instance/handover_queue.h"
#include "instance/instance_identity.h"
#include "test_support.h"

#include <gtest/gtest.h>

#include <string>
#include <thread>

namespace {

using Bytes = std::string;
using Units = std::u16string;
using UnitItems = std::vector<Units>;

Utf16Text utf16(const Units& units)
{
    Utf16Text text;
    EXPECT_TRUE(text.assign(units.data(), units.size()));
    return text;
}

Units unitsOf(const Utf16Text& text)
{
    return Units(text.units() ? text.units() : u"", text.length());
}

// The arguments, each with its exact UTF-16 where `wide` gives it.
HandOverFault encode(const Bytes& directory, const Units& units, const Items& arguments, const UnitItems& wide,
                     Text& message)
{
    CommandLineArguments given;
    for (size_t i = 0; i < arguments.size(); ++i) {
        Text text = textOf(arguments[i].data(), arguments[i].size());
        bool added = i < wide.size() && !wide[i].empty() ? given.append(text, wide[i].data(), wide[i].size())
                                                         : given.append(text);
        EXPECT_TRUE(added);
    }
    return encodeHandOver(textOf(directory.data(), directory.size()), utf16(units), given, message);
}

Bytes encoded(const Bytes& directory, const Units& units, const Items& arguments, const UnitItems& wide = {})
{
    Text message;
    EXPECT_EQ(HandOverFault::None, encode(directory, units, arguments, wide, message));
    return Bytes(message.chars(), message.length());
}

HandOverFault parsed(const Bytes& message, HandOver& handOver)
{
    return parseHandOver(reinterpret_cast<const unsigned char*>(message.data()), message.size(), handOver);
}

HandOverFault faultOf(const Bytes& message)
{
    HandOver handOver;
    return parsed(message, handOver);
}

Bytes number(unsigned value)
{
    return Bytes { char(value), char(value >> 8), char(value >> 16), char(value >> 24) };
}

TEST(HandOver, TheLayoutIsFixedWidthLittleEndian)
{
    // Read by another build of the launcher (32 or 64 bits) as it is written.
    Bytes expected = Bytes("JLHO") + number(1) + number(39) + number(1) + number(2) + number(2) + number(3) + number(0)
        + "/d" + Bytes("\x41\x01", 2) + "a b";
    EXPECT_EQ(expected, encoded("/d", u"\u0141", { "a b" }));
}

TEST(HandOver, ComesBackAsItWasSent)
{
    const Units directory = u"C:\\Users\\\U0001F600";
    Bytes message = encoded("C:\\Users\\?", directory, { "two words", "", "caf?", "x" }, { u"", u"", u"caf\u00e9" });
    HandOver handOver;
    ASSERT_EQ(HandOverFault::None, parsed(message, handOver));
    EXPECT_EQ("C:\\Users\\?", Bytes(handOver.directory.chars(), handOver.directory.length()));
    EXPECT_EQ(directory, unitsOf(handOver.directoryUnits));
    EXPECT_EQ((Items { "two words", "", "caf?", "x" }), itemsOf(handOver.arguments.texts()));
    // Exact units only where they were given.
    EXPECT_EQ((UnitItems { u"", u"", u"caf\u00e9", u"" }),
              (UnitItems { unitsOf(handOver.arguments.exact(0)), unitsOf(handOver.arguments.exact(1)),
                           unitsOf(handOver.arguments.exact(2)), unitsOf(handOver.arguments.exact(3)) }));

    HandOver none;
    ASSERT_EQ(HandOverFault::None, parsed(encoded("", u"", {}), none));
    EXPECT_EQ(0u, none.arguments.count());
}

TEST(HandOver, OneMebibyteAtMost)
{
    const size_t fixed = kHandOverHeaderLength + 2 * 8 + 1;
    Bytes message = encoded("/", u"", { Bytes(kLargestHandOver - fixed, 'x') });
    EXPECT_EQ(kLargestHandOver, message.size());
    EXPECT_EQ(HandOverFault::None, faultOf(message));
    Text tooLarge;
    EXPECT_EQ(HandOverFault::TooLarge, encode("/", u"", { Bytes(kLargestHandOver - fixed + 1, 'x') }, {}, tooLarge));
    // Many small arguments add up too; nothing is made.
    EXPECT_EQ(HandOverFault::TooLarge, encode("/", u"", Items(kLargestHandOver / 8, ""), {}, tooLarge));
    EXPECT_TRUE(tooLarge.isEmpty());
}

TEST(HandOver, ARefusedMessageIsNamedByItsFault)
{
    const Bytes good = encoded("/home/me", u"", { "first", "second" });
    const Bytes header = good.substr(0, kHandOverHeaderLength);
    EXPECT_EQ(HandOverFault::CutShort, faultOf(good.substr(0, 10)));
    EXPECT_EQ(HandOverFault::CutShort, faultOf(good.substr(0, good.size() - 1)));
    EXPECT_EQ(HandOverFault::TrailingBytes, faultOf(good + "x"));
    EXPECT_EQ(HandOverFault::NotAHandOver, faultOf("JLHX" + good.substr(4)));
    EXPECT_EQ(HandOverFault::OtherVersion, faultOf(good.substr(0, 4) + number(2) + good.substr(8)));
    EXPECT_EQ(HandOverFault::TooLarge, faultOf(good.substr(0, 8) + number((1 << 20) + 1) + good.substr(12)));
    EXPECT_EQ(HandOverFault::TooLarge, faultOf(good.substr(0, 8) + number(0xFFFFFFFF) + good.substr(12)));
    // A length below the header's own size.
    EXPECT_EQ(HandOverFault::BadLengths, faultOf(good.substr(0, 8) + number(16) + good.substr(12, 4)));
    // More arguments than the table has room for, even the largest count.
    EXPECT_EQ(HandOverFault::BadCounts, faultOf(good.substr(0, 12) + number(5) + good.substr(16)));
    EXPECT_EQ(HandOverFault::BadCounts, faultOf(good.substr(0, 12) + number(0xFFFFFFFF) + good.substr(16)));
    // Fewer arguments than there are: the rest reads as lengths, then trailing bytes.
    EXPECT_NE(HandOverFault::None, faultOf(good.substr(0, 12) + number(1) + good.substr(16)));
    // Lengths beyond the end (however large), odd UTF-16, and lengths that leave bytes over.
    EXPECT_EQ(HandOverFault::BadLengths, faultOf(good.substr(0, 16) + number(0xFFFFFFF0) + good.substr(20)));
    EXPECT_EQ(HandOverFault::BadLengths, faultOf(good.substr(0, 28) + number(0xFFFFFFFF) + good.substr(32)));
    EXPECT_EQ(HandOverFault::BadLengths, faultOf(good.substr(0, 20) + number(1) + good.substr(24)));
    EXPECT_EQ(HandOverFault::TrailingBytes, faultOf(good.substr(0, 24) + number(4) + good.substr(28)));

    size_t total = 0;
    EXPECT_EQ(HandOverFault::None,
              handOverLength(reinterpret_cast<const unsigned char*>(header.data()), header.size(), total));
    EXPECT_EQ(good.size(), total);
    EXPECT_EQ(HandOverFault::CutShort, handOverLength(reinterpret_cast<const unsigned char*>(header.data()), 15, total));
}

TEST(HandOver, EveryCutOrChangedByteIsRefusedOrReadSafely)
{
    const Bytes good = encoded("/d", u"A", { "a", "bc" }, { u"", u"bc" });
    for (size_t length = 0; length < good.size(); ++length)
        EXPECT_NE(HandOverFault::None, faultOf(good.substr(0, length))) << length;
    // Under the sanitizers: whatever a byte becomes, nothing is read out of bounds.
    for (size_t at = 0; at < good.size(); ++at)
        for (int value : { 0x00, 0x01, 0x7F, 0x80, 0xFF }) {
            Bytes changed = good;
            changed[at] = char(value);
            faultOf(changed);
        }
}

std::string identityOf(const char* comparedPath, const char* name)
{
    Text identity;
    EXPECT_TRUE(instanceIdentity(textOf(comparedPath), textOf(name), identity));
    return identity.chars();
}

std::string hashOf(const char* identity)
{
    Text hash;
    EXPECT_TRUE(instanceHash(textOf(identity), hash));
    return hash.chars();
}

TEST(InstanceIdentity, ANameOfItsOwnJoinsInstallationsAndIsNeverAPath)
{
    // The paths as the file system compares them (on Windows upper-cased, '\\' for '/').
    std::string named = identityOf("C:\\ONE\\APP.EXE", "com.example.App");
    EXPECT_EQ("name:com.example.App", named);
    EXPECT_EQ(named, identityOf("D:\\TWO\\OTHER.EXE", "com.example.App"));
    // Names are taken as written, case included.
    EXPECT_NE(named, identityOf("C:\\ONE\\APP.EXE", "com.example.app"));
    EXPECT_EQ("path:/opt/app/App", identityOf("/opt/app/App", ""));
    EXPECT_NE(identityOf("/x", ""), identityOf("/y", "/x"));
}

TEST(InstanceIdentity, HashesToSixteenHexadecimalDigits)
{
    // 64-bit FNV-1a, so that every build names the same channel.
    EXPECT_EQ("7137079e37e53c1e", hashOf("path:/opt/app/app"));
    EXPECT_EQ("37f5242f48a57d44", hashOf("name:com.example.app"));
}

// Without memory there is no identity and so no channel: never the hash of
// the empty text, which the starts of every application would share.
TEST(InstanceIdentity, WithoutMemoryThereIsNone)
{
    const Text path = textOf("/opt/app/App");
    const Text noName;
    Text identity;
    Text hash;
    {
        AllocationFailures failures(0);
        EXPECT_FALSE(instanceIdentity(path, noName, identity));
        EXPECT_FALSE(instanceHash(path, hash));
    }
    EXPECT_TRUE(identity.isEmpty());
    EXPECT_TRUE(hash.isEmpty());
}

struct Values {
    const char* singleInstance;
    const char* name;
    const char* method;
    const char* restartCode;
    bool nameGiven = false; // the key is written, perhaps empty
};

bool parse(const Values& given, ApplicationSettings& settings, Failure& failure)
{
    ApplicationValues values;
    values.singleInstance = textOf(given.singleInstance);
    values.singleInstanceName = textOf(given.name);
    values.singleInstanceNameGiven = given.nameGiven || *given.name;
    values.singleInstanceMethod = textOf(given.method);
    values.restartExitCode = textOf(given.restartCode);
    return parseApplicationSettings(values, settings, failure);
}

TEST(ApplicationSettings, ReadAsTheyAreMeant)
{
    ApplicationSettings settings;
    Failure failure;
    ASSERT_TRUE(parse({ "", "", "", "" }, settings, failure));
    EXPECT_FALSE(settings.singleInstance || settings.restarts);

    ASSERT_TRUE(parse({ "true", "My App", "com.example.app.Main$Files.openAgain", "-7" }, settings, failure));
    EXPECT_TRUE(settings.singleInstance);
    EXPECT_STREQ("My App", settings.singleInstanceName.chars());
    EXPECT_STREQ("com.example.app.Main$Files", settings.methodClass.chars());
    EXPECT_STREQ("openAgain", settings.methodName.chars());
    EXPECT_TRUE(settings.restarts);
    EXPECT_EQ(-7, settings.restartExitCode);

    ApplicationSettings limits;
    ASSERT_TRUE(parse({ "true", "", "Main.open", "2147483647" }, limits, failure));
    EXPECT_STREQ("Main", limits.methodClass.chars());
    EXPECT_EQ(2147483647, limits.restartExitCode);
    ASSERT_TRUE(parse({ "", "", "", "-2147483648" }, limits, failure));
    EXPECT_EQ(-2147483647 - 1, limits.restartExitCode);
}

TEST(ApplicationSettings, EachMeaninglessValueIsNamedByItsKey)
{
    struct Case {
        Values values;
        const char* message;
    };
    const Case cases[] = {
        { { "yes", "", "", "" }, "The setting Single Instance in [Application] must be true, or empty, not \"yes\".\n" },
        { { "TRUE", "", "", "" }, "The setting Single Instance in [Application] must be true, or empty, not \"TRUE\".\n" },
        { { "", "My App", "", "" },
          "The setting Single Instance Name in [Application] means something only with Single Instance=true.\n" },
        { { "", "", "a.B.m", "" },
          "The setting Single Instance Method in [Application] means something only with Single Instance=true.\n" },
        { { "", "", "", "0" },
          "The setting Restart Exit Code in [Application] must be a whole number other than 0, not \"0\".\n" },
        { { "true", "", "", "", true },
          "The setting Single Instance Name in [Application] must name the application, not be empty.\n" },
    };
    for (const Case& c : cases) {
        ApplicationSettings settings;
        Failure failure;
        EXPECT_FALSE(parse(c.values, settings, failure));
        EXPECT_STREQ(c.message, failure.text());
    }
    for (const char* method : { "openAgain", ".open", "Main.", "a..b.m", "a.b c.m", "a/b.m", "a.b.m()", "." }) {
        ApplicationSettings settings;
        Failure failure;
        EXPECT_FALSE(parse({ "true", "", method, "" }, settings, failure)) << method;
        EXPECT_EQ(kSingleInstanceMethodFormat, failure.format) << method;
    }
    for (const char* code : { "-0", "+5", "5x", "1.5", "-", "2147483648", "-2147483649", "99999999999999999999" }) {
        ApplicationSettings settings;
        Failure failure;
        EXPECT_FALSE(parse({ "", "", "", code }, settings, failure)) << code;
        EXPECT_EQ(kRestartExitCodeFormat, failure.format) << code;
    }
}

TEST(HandOverQueue, KeepsTheOrderAndWakesTheDeliveringThread)
{
    HandOverQueue queue;
    ASSERT_TRUE(queue.prepare());
    Items delivered;
    std::thread delivering([&] {
        List<Text> taken;
        while (delivered.size() < 3) {
            queue.takeAll(taken);
            for (size_t i = 0; i < taken.count(); ++i)
                delivered.emplace_back(taken.at(i).chars());
        }
    });
    for (const char* message : { "first", "second", "third" })
        ASSERT_TRUE(queue.add(textOf(message)));
    delivering.join();
    EXPECT_EQ((Items { "first", "second", "third" }), delivered);
    queue.close();
    EXPECT_FALSE(queue.add(textOf("late")));
}

TEST(HandOverQueue, TakesOnlyWhatItAnsweredAndAnswersNothingOnceClosed)
{
    HandOverQueue queue;
    ASSERT_TRUE(queue.prepare());
    int answers = 0;
    auto answered = [](void* count) { return ++*static_cast<int*>(count) > 0; };
    auto unanswered = [](void* count) { return ++*static_cast<int*>(count) < 0; };
    ASSERT_TRUE(queue.add(textOf("first"), answered, &answers));
    // A start that no longer waits: its hand-over is not kept.
    EXPECT_FALSE(queue.add(textOf("gone"), unanswered, &answers));
    ASSERT_TRUE(queue.add(textOf("second"), answered, &answers));
    List<Text> taken;
    queue.takeAll(taken);
    ASSERT_EQ(2u, taken.count());
    EXPECT_STREQ("first", taken.at(0).chars());
    EXPECT_STREQ("second", taken.at(1).chars());
    EXPECT_EQ(3, answers);
    // The instance on its way out: the start hears nothing and tries again elsewhere.
    queue.close();
    EXPECT_FALSE(queue.add(textOf("late"), answered, &answers));
    EXPECT_EQ(3, answers);
}

}
