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
#include <vector>

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
    Text contents = textOf("untouched");
    if (!readZipEntry(path.c_str(), name, limit, contents))
        return "(none)";
    return std::string(contents.chars(), contents.length());
}

// A ZIP of stored entries, each field the cases spoil in reach.
struct ZipPart {
    std::string name;
    std::string data;
    unsigned flags = 0;
    unsigned method = 0;
    std::string extra = "";
};

std::string field(size_t value, int bytes)
{
    std::string text;
    for (; bytes > 0; --bytes, value >>= 8)
        text += static_cast<char>(value & 0xFF);
    return text;
}

std::string zipOf(const std::vector<ZipPart>& parts, const std::string& stub = "", size_t count = 0)
{
    std::string files;
    std::string directory;
    for (const ZipPart& part : parts) {
        std::string fields = field(part.flags, 2) + field(part.method, 2) + field(0, 8) + field(part.data.size(), 4)
            + field(part.data.size(), 4) + field(part.name.size(), 2);
        directory += "PK\1\2" + field(20, 4) + fields + field(part.extra.size(), 2) + field(0, 10)
            + field(files.size(), 4) + part.name + part.extra;
        files += "PK\3\4" + field(20, 2) + fields + field(0, 2) + part.name + part.data;
    }
    return stub + files + directory + "PK\5\6" + field(0, 4) + field((count ? count : parts.size()) * 0x10001, 4)
        + field(directory.size(), 4) + field(files.size(), 4) + field(0, 2);
}

std::string attribute(const char* manifest, const char* name)
{
    Text value;
    return mainAttribute(textOf(manifest), name, value) ? std::string(value.chars(), value.length()) : "(none)";
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
    EXPECT_EQ(attribute("Main-Class: \n", "Main-Class"), "");
}

TEST(MainJarSplash, TheFirstJarNamingAMainClassDecides)
{
    std::string plain = writeFile("plain.jar", "not a zip", 9);
    std::string stored = writeFile("stored.jar", kStoredZip, sizeof kStoredZip);
    std::string deflated = writeFile("deflated.jar", kDeflatedZip, sizeof kDeflatedZip);
    TextList candidates;
    ASSERT_TRUE(candidates.append(textOf(plain.c_str())) && candidates.append(textOf(deflated.c_str())));
    Text jar;
    Text image;
    ASSERT_TRUE(findMainJarSplash(candidates, jar, image));
    EXPECT_EQ(std::string(jar.chars()), deflated);
    EXPECT_EQ(std::string(image.chars()), kContinuedImage);

    // The stored JAR names a Main-Class but no image: no splash, and the one after it is not asked.
    TextList first;
    ASSERT_TRUE(first.append(textOf(stored.c_str())) && first.append(textOf(deflated.c_str())));
    EXPECT_FALSE(findMainJarSplash(first, jar, image));
    EXPECT_EQ(std::string(jar.chars()), stored);
}

// Each JAR comes first on the class path, before next.jar: the main JAR is
// the one the runtime's java.util.jar would run, and the splash the one
// java -jar would show. "case": its own; "next": next.jar's, the case being
// refused as java.util.zip or java.util.jar refuse it; "none": no splash,
// since the java launcher's own reader refuses it or this one cannot tell.
TEST(MainJarSplash, TheMainJarIsTheOneJavaRunsAndItsSplashTheOneJavaJarShows)
{
    const std::string manifest = "Manifest-Version: 1.0\r\nMain-Class: app.Main\r\nSplashScreen-Image: s.png\r\n\r\n";
    const std::string head = "Manifest-Version: 1.0\r\n";
    const std::string rest = manifest.substr(head.size());
    const ZipPart image = { "s.png", "\x89PNG" };
    auto jar = [&](const std::string& text) { return zipOf({ { kManifestEntry, text }, image }); };
    auto jarWith = [&](const ZipPart& part) { return zipOf({ { kManifestEntry, manifest }, part }); };
    std::string large = manifest;
    while (large.size() < 1200 * 1000)
        large += "Name: app/Main.class\r\nSHA-256-Digest: 2nUwn9PoAyFsHbeA3dl9ZvHAbvbs8WFVJMgEcPWMl9A=\r\n\r\n";
    std::string zip64Extra = std::string("\1\0\b\0", 4) + std::string(8, '\0');
    struct Case {
        const char* what;
        std::string bytes;
        const char* splash;
    } cases[] = {
        { "as made", jar(manifest), "case" },
        { "Main-Class on a last line without an end", jar(head + "SplashScreen-Image: s\r\nMain-Class: a"), "next" },
        { "a header name with a blank", jar(head + "Bad Name: x\r\n" + rest), "next" },
        { "a line of 512 bytes", jar(head + "X-Long: " + std::string(504, 'a') + "\n" + rest), "next" },
        { "511 bytes, then CR LF: the LF is an empty line", jar(head + "X: " + std::string(508, 'a') + "\r\n" + rest),
          "next" },
        { "a continuation before the first header", jar(" x\r\n" + manifest), "next" },
        { "a section that is not named", jar(manifest + "\r\nNome: x\r\n"), "next" },
        { "an entry marked encrypted", jarWith({ "s.png", "x", 1 }), "next" },
        { "an entry in another method", jarWith({ "s.png", "x", 0, 12 }), "next" },
        { "a name that is not UTF-8", jarWith({ "\x80\x80\x80\x80\x80", "x" }), "next" },
        { "an extra field past its end", jarWith({ "s.png", "x", 0, 0, std::string("\x99\x99\t\0abc", 7) }), "next" },
        { "more entries counted than it can hold", zipOf({ { kManifestEntry, manifest }, image }, "", 3), "next" },
        { "fewer entries counted", zipOf({ { kManifestEntry, manifest }, image }, "", 1), "case" },
        { "a stub before it", zipOf({ { kManifestEntry, manifest }, image }, "#!/bin/sh\njava -jar $0\n"), "case" },
        { "a manifest of 1.2 MB", jar(large), "case" },
        { "the image on a last line without its end", jar(manifest.substr(0, manifest.size() - 4)), "case" },
        { "a NUL before the image", jar(head + std::string("X-A: \0\r\n", 8) + rest), "none" },
        { "a continuation line without its end", jar(manifest.substr(0, manifest.size() - 2) + " x"), "none" },
        { "the manifest's name in lower case", zipOf({ { "meta-inf/manifest.mf", manifest }, image }), "none" },
        { "bytes after the end record", jar(manifest) + "padding", "none" },
        { "a ZIP64 extra field", jarWith({ "s.png", "x", 0, 0, zip64Extra }), "none" },
    };
    std::string nextBytes = zipOf({ { kManifestEntry, "Main-Class: b.C\nSplashScreen-Image: next.png\n" } });
    std::string next = writeFile("next.jar", nextBytes.data(), nextBytes.size());
    for (const Case& c : cases) {
        std::string path = writeFile("case.jar", c.bytes.data(), c.bytes.size());
        TextList candidates;
        ASSERT_TRUE(candidates.append(textOf(path.c_str())) && candidates.append(textOf(next.c_str())));
        Text jar;
        Text image;
        std::string chosen = "none";
        if (findMainJarSplash(candidates, jar, image))
            chosen = image.equals("s.png") && path == jar.chars()    ? "case"
                : image.equals("next.png") && next == jar.chars() ? "next"
                                                                  : "another image";
        EXPECT_EQ(chosen, c.splash) << c.what;
    }
}
