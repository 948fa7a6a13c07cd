#include "config/options_variable.h"

#include "common/trace.h"

#include <string.h>

const char kOptionsVariable[] = "JDK_JAVA_OPTIONS";

namespace {

const char kUnmatchedQuoteFormat[] = "Error: Unmatched quote in environment variable %s";
const char kNotAllowedFormat[] = "Error: Option %s is not allowed in environment variable JDK_JAVA_OPTIONS";
const char kNotAllowedInFileFormat[] =
    "Error: Option %s in %s is not allowed in environment variable JDK_JAVA_OPTIONS";
const char kMainClassFormat[] = "Error: Cannot specify main class in environment variable %s";
const char kCannotOpenFormat[] = "Error: could not open `%s'";
const char kFileTooLarge[] = "Error: Argument file size should not be larger than 2147483647.";

// java's isspace in the C locale.
bool isBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

// Options after which java takes the next item as their value, not as the
// main class.
const char* const kOptionsWithValue[] = {
    "--module-path", "-p", "--upgrade-module-path", "--add-modules", "--enable-native-access", "--limit-modules",
    "--add-exports", "--add-opens", "--add-reads", "--patch-module", "-classpath", "-cp", "--class-path",
    "--describe-module", "-d", "--source",
};

// Options that end java's own options and have it run something.
const char* const kTerminalOptions[] = {
    "-jar", "-m", "--module", "--dry-run", "-h", "-?", "-help", "--help", "-X", "--help-extra", "-version",
    "--version", "-fullversion", "--full-version",
};

template <size_t count>
bool isOneOf(const Text& item, const char* const (&names)[count])
{
    for (const char* name : names)
        if (item.equals(name))
            return true;
    return false;
}

// java ends with 1 after its message.
bool asJava(Failure& failure)
{
    failure.exitCode = 1;
    return false;
}

// What java notes of each item it takes: whether a main class was named (an
// item not after an option that takes a value), and --disable-@files.
class ItemCheck {
public:
    void take(const Text& item)
    {
        if (!item.isEmpty() && item.at(0) == '-') {
            expectingValue_ = isOneOf(item, kOptionsWithValue) && !item.equals("-m") && !item.equals("--module");
            if (item.equals("--disable-@files"))
                expanding_ = false;
            return;
        }
        if (!expectingValue_)
            mainClass_ = true;
        expectingValue_ = false;
    }

    bool expanding() const { return expanding_; }
    bool namedMainClass() const { return mainClass_; }

private:
    bool expectingValue_ = false;
    bool expanding_ = true;
    bool mainClass_ = false;
};

enum class Next { Item, End, UnmatchedQuote, OutOfMemory };

// The next item of the value from `at`, its quotes removed.
Next nextItem(const Text& value, size_t& at, Text& item)
{
    while (at < value.length() && isBlank(value.at(at)))
        ++at;
    if (at >= value.length())
        return Next::End;
    item.clear();
    while (at < value.length() && !isBlank(value.at(at))) {
        char c = value.at(at++);
        if (c != '"' && c != '\'') {
            if (!item.appendChar(c))
                return Next::OutOfMemory;
            continue;
        }
        const char* from = value.chars() + at;
        const char* to = static_cast<const char*>(memchr(from, c, value.length() - at));
        if (!to)
            return Next::UnmatchedQuote;
        if (!item.append(from, static_cast<size_t>(to - from)))
            return Next::OutOfMemory;
        at += static_cast<size_t>(to - from) + 1;
    }
    return Next::Item;
}

// The items of one argument file, checked as java checks them.
bool takeArgumentFile(const Text& item, ArgumentFileSplitting splitting, const void* context, ItemCheck& check,
                      TextList& items, Failure& failure)
{
    const char* path = item.chars() + 1;
    TextList read;
    switch (splitting(path, read, context)) {
    case ArgumentFileOutcome::Split:
        break;
    case ArgumentFileOutcome::CannotRead:
        fail(failure, kCannotOpenFormat, path);
        return asJava(failure);
    case ArgumentFileOutcome::TooLarge:
        fail(failure, kFileTooLarge);
        return asJava(failure);
    case ArgumentFileOutcome::OutOfMemory:
        return fail(failure, kOutOfMemoryMessage);
    }
    for (size_t i = 0; i < read.count(); ++i)
        check.take(read.at(i));
    for (size_t i = 0; i < read.count(); ++i) {
        if (isOneOf(read.at(i), kTerminalOptions)) {
            fail(failure, kNotAllowedInFileFormat, read.at(i).chars(), item.chars());
            return asJava(failure);
        }
        if (!items.append(read.at(i)))
            return fail(failure, kOutOfMemoryMessage);
    }
    return true;
}

bool takeItem(const Text& item, ArgumentFileSplitting splitting, const void* context, ItemCheck& check,
              TextList& items, Failure& failure)
{
    bool argumentFile = check.expanding() && item.length() > 1 && item.at(0) == '@';
    if (argumentFile && item.at(1) != '@')
        return takeArgumentFile(item, splitting, context, check, items, failure);
    Text taken;
    if (!(argumentFile ? taken.assign(item.chars() + 1, item.length() - 1) : taken.assign(item.chars(), item.length())))
        return fail(failure, kOutOfMemoryMessage);
    check.take(taken);
    if (isOneOf(taken, kTerminalOptions)) {
        fail(failure, kNotAllowedFormat, taken.chars());
        return asJava(failure);
    }
    return items.append(taken) || fail(failure, kOutOfMemoryMessage);
}

}

bool splitOptionsVariable(const Text& value, ArgumentFileSplitting splitting, const void* context, TextList& items,
                          Failure& failure)
{
    ItemCheck check;
    Text item;
    size_t at = 0;
    for (Next next = nextItem(value, at, item); next != Next::End; next = nextItem(value, at, item)) {
        if (next == Next::OutOfMemory)
            return fail(failure, kOutOfMemoryMessage);
        if (next == Next::UnmatchedQuote) {
            fail(failure, kUnmatchedQuoteFormat, kOptionsVariable);
            return asJava(failure);
        }
        if (!takeItem(item, splitting, context, check, items, failure))
            return false;
        if (check.namedMainClass()) {
            fail(failure, kMainClassFormat, kOptionsVariable);
            return asJava(failure);
        }
    }
    trace("%s: %d options", { kOptionsVariable, static_cast<int>(items.count()) });
    return true;
}

bool optionsVariableNote(const Text& value, Text& note)
{
    return note.append("NOTE: Picked up ") && note.append(kOptionsVariable) && note.append(": ") && note.append(value);
}
