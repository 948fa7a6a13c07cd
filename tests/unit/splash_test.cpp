#include "splash/runtime_splash.h"
#include "splash/splash_screen.h"
#include "zip_samples.h"
#include "test_support.h"

#include <gtest/gtest.h>

#include <string.h>
#include <fstream>
#include <string>
#include <vector>

TEST(MinimumTime, WholeMillisecondsAreTaken)
{
    EXPECT_EQ(parseMinimumTime(textOf("0")), 0ul);
    EXPECT_EQ(parseMinimumTime(textOf("1500")), 1500ul);
    EXPECT_EQ(parseMinimumTime(textOf("007")), 7ul);
    EXPECT_EQ(parseMinimumTime(textOf("999999999")), 999999999ul);
}

TEST(MinimumTime, AnythingElseIsNoMinimum)
{
    for (const char* value : { "", "-5", "+5", "1.5", "1500ms", "15 00", "0x10", "1000000000", " 5", "five" })
        EXPECT_EQ(parseMinimumTime(textOf(value)), 0ul) << value;
}

TEST(SplashImage, GifPngAndJpegGoToTheRuntime)
{
    EXPECT_TRUE(isRuntimeSplashImage("GIF89a", 6));
    EXPECT_TRUE(isRuntimeSplashImage("GIF87a", 4));
    EXPECT_TRUE(isRuntimeSplashImage("\x89PNG\r\n", 4));
    EXPECT_TRUE(isRuntimeSplashImage("\xFF\xD8\xFF\xE0", 4));
    EXPECT_TRUE(isRuntimeSplashImage("\xFF\xD8\xFF", 3));
}

TEST(SplashImage, BitmapsAndShortOrOtherFilesKeepTheWindow)
{
    EXPECT_FALSE(isRuntimeSplashImage("BM6\x00", 4));
    EXPECT_FALSE(isRuntimeSplashImage("GIF", 3));
    EXPECT_FALSE(isRuntimeSplashImage("\x89PN", 3));
    EXPECT_FALSE(isRuntimeSplashImage("\xFF\xD8", 2));
    EXPECT_FALSE(isRuntimeSplashImage("", 0));
    EXPECT_FALSE(isRuntimeSplashImage("gif8", 4));
}

namespace {

// A splash library that writes down its calls.
std::vector<std::string> calls;
bool initWorks = true;
bool loadWorks = true;
const char* scaledVariant = nullptr;

int init()
{
    calls.push_back("init");
    return initWorks;
}
int maximumLength(const char* file)
{
    calls.push_back(std::string("maxlen ") + file);
    return static_cast<int>(strlen(file) + 8);
}
unsigned char scaledName(const char* jar, const char* file, float* scale, char* name, size_t length)
{
    calls.push_back(std::string("scaled ") + (jar ? jar : "(null)") + " " + file + " " + std::to_string(length));
    if (!scaledVariant)
        return 0;
    *scale = 2;
    strncpy(name, scaledVariant, length);
    return 1;
}
void setScale(float scale)
{
    calls.push_back("scale " + std::to_string(static_cast<int>(scale)));
}
int loadFile(const char* file)
{
    calls.push_back(std::string("load ") + file);
    return loadWorks;
}
int loadMemory(void* data, int size)
{
    calls.push_back("memory " + std::string(static_cast<const char*>(data), static_cast<size_t>(size)));
    return loadWorks;
}
void setFileJarName(const char* file, const char* jar)
{
    calls.push_back(std::string("name ") + file + " " + (jar ? jar : "(null)"));
}
void close()
{
    calls.push_back("close");
}

const SplashLibrary library = { init, maximumLength, scaledName, setScale, loadFile, loadMemory, setFileJarName, close };

void reset(bool works, const char* variant)
{
    calls.clear();
    initWorks = works;
    scaledVariant = variant;
}

}

TEST(RuntimeSplash, CallsTheLibraryInTheJavaLaunchersOrder)
{
    reset(true, nullptr);
    EXPECT_TRUE(showImage(library, textOf("/app/splash.png")));
    EXPECT_EQ(calls, (std::vector<std::string> { "init", "maxlen /app/splash.png", "scaled (null) /app/splash.png 23",
                                                 "load /app/splash.png", "name /app/splash.png (null)" }));
}

TEST(RuntimeSplash, TheScaledVariantIsLoadedWithItsScale)
{
    reset(true, "/app/splash@2x.png");
    EXPECT_TRUE(showImage(library, textOf("/app/splash.png")));
    EXPECT_EQ(calls, (std::vector<std::string> { "init", "maxlen /app/splash.png", "scaled (null) /app/splash.png 23",
                                                 "scale 2", "load /app/splash@2x.png",
                                                 "name /app/splash.png (null)" }));
}

TEST(RuntimeSplash, NothingMoreWhenTheLibraryCannotStart)
{
    reset(false, nullptr);
    EXPECT_FALSE(showImage(library, textOf("/app/splash.png")));
    EXPECT_EQ(calls, (std::vector<std::string> { "init" }));
}

// The library reads and decodes the image as it loads it; what it cannot, it
// does not show. It is called as for any image, and closed after main.
TEST(RuntimeSplash, AnImageTheLibraryCannotLoadIsToldFromAShownOne)
{
    std::string jar = testing::TempDir() + "splash_test.load.jar";
    std::ofstream(jar, std::ios::binary).write(reinterpret_cast<const char*>(kStoredZip), sizeof kStoredZip);
    for (bool works : { false, true }) {
        reset(true, nullptr);
        loadWorks = works;
        SplashShowing file = showImage(library, textOf("/app/splash.png"));
        EXPECT_EQ(5u, calls.size());
        SplashShowing inJar = showJarImage(library, textOf(jar.c_str()), textOf("splash.png"));
        EXPECT_EQ(10u, calls.size());
        EXPECT_TRUE(file.started && inJar.started);
        EXPECT_EQ(works, file.loaded);
        EXPECT_EQ(works, inJar.loaded);
    }
}

TEST(RuntimeSplash, AJarsImageGoesToTheLibraryAsBytesWithTheJarsName)
{
    std::string jar = testing::TempDir() + "splash_test.app.jar";
    std::ofstream(jar, std::ios::binary).write(reinterpret_cast<const char*>(kStoredZip), sizeof kStoredZip);
    reset(true, nullptr);
    EXPECT_TRUE(showJarImage(library, textOf(jar.c_str()), textOf("splash.png")));
    EXPECT_EQ(calls, (std::vector<std::string> { "init", "maxlen splash.png", "scaled " + jar + " splash.png 18",
                                                 "memory \x89PNG stored", "name splash.png " + jar }));

    // The scaled variant's bytes when the JAR holds it, else the image's.
    std::string deflated = testing::TempDir() + "splash_test.deflated.jar";
    std::ofstream(deflated, std::ios::binary).write(reinterpret_cast<const char*>(kDeflatedZip), sizeof kDeflatedZip);
    reset(true, "level0.bin");
    EXPECT_TRUE(showJarImage(library, textOf(deflated.c_str()), textOf("image.bin")));
    EXPECT_EQ(calls.at(3), "scale 2");
    EXPECT_EQ(calls.at(4).substr(0, 20), "memory row 0: \nrow 1");
    EXPECT_EQ(calls.at(4).size(), 107u);
    reset(true, "splash@2x.png");
    EXPECT_TRUE(showJarImage(library, textOf(jar.c_str()), textOf("splash.png")));
    EXPECT_EQ(calls.at(3), "memory \x89PNG stored");

    // An image the JAR does not hold is not shown: the library is not started.
    reset(true, nullptr);
    EXPECT_FALSE(showJarImage(library, textOf(jar.c_str()), textOf("missing.png")));
    EXPECT_TRUE(calls.empty());
}
