// The JAR reader: entries stored and deflated (the samples were made by
// Python's zipfile), damaged and cut-short files, and the manifest's lines.
#include "jar/inflate.h"
#include "jar/main_jar_splash.h"
#include "jar/manifest.h"
#include "jar/zip_entry.h"
#include "test_support.h"
#include "zip_samples.h"

#include <gtest/gtest.h>

#include <fstream>
#include <string>

namespace {

// A raw deflate stream with fixed codes, of "splash splash splash!".
const unsigned char kFixedCodes[] = { 0x2b, 0x2e, 0xc8, 0x49, 0x2c, 0xce, 0x50, 0x28, 0x46, 0xa6, 0x14, 0x01 };

const char kContinuedImage[] = "images/a-splash-image-with-a-name-longer-than-one-line-holds.png";

std::string writeFile(const std::string& name, const void* bytes, size_t length)
{
    std::string path = testing::TempDir() + "jar_test." + name;
    std::ofstream(path, std::ios::binary).write(static_cast<const char*>(bytes), static_cast<std::streamsize>(length));
    return path;
}

std::string rows()
{
    std::string text;
    for (int i = 0; i < 200; ++i)
        text += "row " + std::to_string(i) + ": " + std::string(static_cast<size_t>(i % 17), 'x') + "\n";
    return text;
}

std::string entry(const std::string& path, const char* name, size_t limit = kLargestJarSplashImage)
{
    Text contents("untouched");
    if (!readZipEntry(path.c_str(), name, limit, contents))
        return "(none)";
    return std::string(contents.chars(), contents.length());
}

std::string attribute(const char* manifest, const char* name)
{
    Text value;
    return mainAttribute(Text(manifest), name, value) ? std::string(value.chars(), value.length()) : "(none)";
}

}

TEST(ZipEntry, StoredEntriesAreReadAsTheyAre)
{
    std::string jar = writeFile("stored.jar", kStoredZip, sizeof kStoredZip);
    EXPECT_EQ(entry(jar, "splash.png"), "\x89PNG stored");
    EXPECT_EQ(entry(jar, kManifestEntry), "Manifest-Version: 1.0\nMain-Class: app.Main\n\n");
    EXPECT_EQ(entry(jar, "missing.png"), "(none)");
    EXPECT_EQ(entry(jar, "splash.pn"), "(none)");
    EXPECT_EQ(entry(jar, "splash.png", 10), "(none)") << "larger than the limit";
}

TEST(ZipEntry, DeflatedEntriesAreInflatedBehindTheFilesComment)
{
    std::string jar = writeFile("deflated.jar", kDeflatedZip, sizeof kDeflatedZip);
    EXPECT_EQ(entry(jar, "image.bin"), rows());
    EXPECT_EQ(entry(jar, "level0.bin"), rows().substr(0, 100));
    EXPECT_EQ(attribute(entry(jar, kManifestEntry).c_str(), "SplashScreen-Image"), kContinuedImage);
}

TEST(ZipEntry, EveryCutOrDamagedFileGivesNothingOrBoundedBytes)
{
    for (size_t length = 0; length < sizeof kDeflatedZip; ++length) {
        std::string jar = writeFile("cut.jar", kDeflatedZip, length);
        ASSERT_EQ(entry(jar, "image.bin"), "(none)") << length;
    }
    // Run under the sanitizers this also shows that no read goes astray.
    unsigned char damaged[sizeof kDeflatedZip];
    for (size_t at = 0; at < sizeof kDeflatedZip; ++at) {
        memcpy(damaged, kDeflatedZip, sizeof damaged);
        damaged[at] ^= 0x5A;
        std::string jar = writeFile("damaged.jar", damaged, sizeof damaged);
        std::string image = entry(jar, "image.bin");
        ASSERT_TRUE(image == "(none)" || image.size() <= 65536) << at;
        entry(jar, kManifestEntry);
    }
    EXPECT_EQ(entry(testing::TempDir() + "jar_test.missing.jar", "image.bin"), "(none)");
    EXPECT_EQ(entry(testing::TempDir(), "image.bin"), "(none)");
}

TEST(Inflate, FixedCodesAndExactLengths)
{
    unsigned char out[32];
    ASSERT_TRUE(inflateRaw(kFixedCodes, sizeof kFixedCodes, out, 21));
    EXPECT_EQ(std::string(reinterpret_cast<char*>(out), 21), "splash splash splash!");
    EXPECT_FALSE(inflateRaw(kFixedCodes, sizeof kFixedCodes, out, 20)) << "more than the room";
    EXPECT_FALSE(inflateRaw(kFixedCodes, sizeof kFixedCodes, out, 22)) << "fewer than promised";
    for (size_t length = 0; length < sizeof kFixedCodes; ++length)
        EXPECT_FALSE(inflateRaw(kFixedCodes, length, out, 21)) << length;
    const unsigned char badStored[] = { 0x01, 0x02, 0x00, 0xfe, 0xff, 'a', 'b' };
    EXPECT_FALSE(inflateRaw(badStored, sizeof badStored, out, 2)) << "length and complement disagree";
    const unsigned char reserved[] = { 0x07, 0x00 };
    EXPECT_FALSE(inflateRaw(reserved, sizeof reserved, out, 0));
}

TEST(Inflate, IncompleteCodesAreRefusedAndAFullBufferMayEndTheReading)
{
    unsigned char out[32];
    EXPECT_FALSE(inflateRaw(kIncompleteCodes, sizeof kIncompleteCodes, out, 6));
    EXPECT_FALSE(inflateRaw(kIncompleteCodes, sizeof kIncompleteCodes, out, 3, InflateEnd::BufferFull));
    // zlib, and so the java launcher, reads no further than a buffer of 20 bytes holds.
    ASSERT_TRUE(inflateRaw(kFixedCodes, sizeof kFixedCodes, out, 20, InflateEnd::BufferFull));
    EXPECT_EQ(std::string(reinterpret_cast<char*>(out), 20), "splash splash splash");
    EXPECT_FALSE(inflateRaw(kFixedCodes, 5, out, 20, InflateEnd::BufferFull)) << "cut short before it is full";
}

TEST(Manifest, MainAttributesWithContinuedLines)
{
    const char manifest[] = "Manifest-Version: 1.0\r\nmain-class: app.Main\r\nSplashScreen-Image: images/a\r\n b.png\r\n"
                            "\r\nName: other\r\nSplashScreen-Image: not.png\r\n";
    EXPECT_EQ(attribute(manifest, "Main-Class"), "app.Main");
    EXPECT_EQ(attribute(manifest, "SplashScreen-Image"), "images/ab.png");
    EXPECT_EQ(attribute(manifest, "Name"), "(none)") << "past the main section";
    EXPECT_EQ(attribute("A: 1\nMain-Class: x\n y\rB: 2", "Main-Class"), "xy");
    EXPECT_EQ(attribute("A: 1\nMain-Class: x\n y\rB: 2", "B"), "2");
    EXPECT_EQ(attribute("Main-Class:app.Main\n", "Main-Class"), "(none)") << "no blank after the colon";
    EXPECT_EQ(attribute(" continued\nMain-Class: \n", "Main-Class"), "");
}

TEST(MainJarSplash, TheFirstJarNamingAMainClassDecides)
{
    std::string plain = writeFile("plain.jar", "not a zip", 9);
    std::string stored = writeFile("stored.jar", kStoredZip, sizeof kStoredZip);
    std::string deflated = writeFile("deflated.jar", kDeflatedZip, sizeof kDeflatedZip);
    TextList candidates;
    ASSERT_TRUE(candidates.append(Text(plain.c_str())) && candidates.append(Text(deflated.c_str())));
    Text jar;
    Text image;
    ASSERT_TRUE(findMainJarSplash(candidates, jar, image));
    EXPECT_EQ(std::string(jar.chars()), deflated);
    EXPECT_EQ(std::string(image.chars()), kContinuedImage);

    // The stored JAR names a Main-Class but no image: no splash, and the one after it is not asked.
    TextList first;
    ASSERT_TRUE(first.append(Text(stored.c_str())) && first.append(Text(deflated.c_str())));
    EXPECT_FALSE(findMainJarSplash(first, jar, image));
    EXPECT_EQ(std::string(jar.chars()), stored);
}
