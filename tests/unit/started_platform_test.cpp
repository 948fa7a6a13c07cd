// The process-wide services stop in the reverse order they started, and only
// those that started: a COM apartment that could not be entered is not left.
#include "platform/process.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::vector<std::string> steps;

bool startLocale(platform::InstanceHandle, long&)
{
    steps.push_back("locale");
    return true;
}

bool startApartment(platform::InstanceHandle, long&)
{
    steps.push_back("apartment");
    return true;
}

bool refuseApartment(platform::InstanceHandle, long& errorCode)
{
    steps.push_back("no apartment");
    errorCode = 0x80010106L;
    return false;
}

void stopApartment()
{
    steps.push_back("apartment stopped");
}

bool startFramework(platform::InstanceHandle instance, long&)
{
    steps.push_back(instance ? "framework of the instance" : "framework");
    return true;
}

void stopFramework()
{
    steps.push_back("framework stopped");
}

using platform::StartUpFailure;

const platform::PlatformService kAllStart[] = {
    { StartUpFailure::None, startLocale, nullptr },
    { StartUpFailure::Apartment, startApartment, stopApartment },
    { StartUpFailure::WindowFramework, startFramework, stopFramework },
    { StartUpFailure::None, nullptr, nullptr },
};

const platform::PlatformService kApartmentRefused[] = {
    { StartUpFailure::None, startLocale, nullptr },
    { StartUpFailure::Apartment, refuseApartment, stopApartment },
    { StartUpFailure::WindowFramework, startFramework, stopFramework },
    { StartUpFailure::None, nullptr, nullptr },
};

}

TEST(StartedPlatform, StopsWhatStartedTheLastFirst)
{
    steps.clear();
    int instance = 0;
    {
        platform::StartedPlatform started(&instance, kAllStart);
        EXPECT_EQ(StartUpFailure::None, started.failure);
        EXPECT_EQ(0, started.errorCode);
    }
    EXPECT_EQ(steps, (std::vector<std::string> { "locale", "apartment", "framework of the instance",
                                                 "framework stopped", "apartment stopped" }));
}

TEST(StartedPlatform, AServiceThatDidNotStartIsNotStoppedAndNoneAfterItStarts)
{
    steps.clear();
    {
        platform::StartedPlatform started(nullptr, kApartmentRefused);
        EXPECT_EQ(StartUpFailure::Apartment, started.failure);
        EXPECT_EQ(0x80010106L, started.errorCode);
    }
    EXPECT_EQ(steps, (std::vector<std::string> { "locale", "no apartment" }));
}
