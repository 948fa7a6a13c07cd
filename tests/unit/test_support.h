#pragma once
// Small helpers shared by the unit tests.
#include "common/memory.h"
#include "common/text_list.h"
#include "config/launch_paths.h"

#include <gtest/gtest.h>

#include <stdlib.h>
#include <string.h>

#include <fstream>
#include <ios>
#include <string>
#include <vector>

using Items = std::vector<std::string>;

inline Items itemsOf(const TextList& list)
{
    Items items;
    for (size_t i = 0; i < list.count(); ++i)
        items.emplace_back(list.at(i).chars(), list.at(i).length());
    return items;
}

// Fault injection is process-wide: it ends with the scope that started it.
struct AllocationFailures {
    explicit AllocationFailures(long successes) { failAllocationsAfter(successes); }
    ~AllocationFailures() { failAllocationsAfter(-1); }
};

// A test's own text. Copying needs memory; a test that cannot have it fails.
inline Text textOf(const char* chars, size_t length)
{
    Text text;
    if (!text.assign(chars, length))
        ADD_FAILURE() << "no memory for a test's text";
    return text;
}

inline Text textOf(const char* chars)
{
    return textOf(chars, strlen(chars));
}

inline Text textOf(const std::string& chars)
{
    return textOf(chars.data(), chars.size());
}

// A folder of its own with a settings file, as findLaunchPaths would give it.
struct SettingsFolder {
    SettingsFolder()
    {
        char pattern[] = "/tmp/unit-settings-XXXXXX";
        directory = std::string(mkdtemp(pattern)) + "/";
        paths.directory = textOf(directory);
        paths.settingsPath = textOf(directory + "app.ini");
    }
    ~SettingsFolder() { (void)system(("rm -rf '" + directory + "'").c_str()); }

    void write(const std::string& name, const std::string& contents)
    {
        std::ofstream(directory + name, std::ios::binary) << contents;
    }

    std::string directory;
    LaunchPaths paths;
};
