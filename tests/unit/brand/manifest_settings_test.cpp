#include "manifest_settings.h"

#include <gtest/gtest.h>

namespace {

const std::string kLauncherManifest =
    "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n"
    "<assembly xmlns=\"urn:schemas-microsoft-com:asm.v1\" manifestVersion=\"1.0\">\n"
    "  <assemblyIdentity type=\"win32\" name=\"Launcher.Java.Application\" version=\"1.0.0.0\" "
    "processorArchitecture=\"amd64\"/>\n"
    "  <!-- <trustInfo> and <dpiAware> in a comment are no elements -->\n"
    "  <dependency>\n"
    "    <dependentAssembly>\n"
    "      <assemblyIdentity type=\"win32\" name=\"Microsoft.Windows.Common-Controls\" version=\"6.0.0.0\" "
    "processorArchitecture=\"amd64\" publicKeyToken=\"6595b64144ccf1df\" language=\"*\"/>\n"
    "    </dependentAssembly>\n"
    "  </dependency>\n"
    "</assembly>\n";

std::string applied(const std::string& manifest, ManifestSettings settings)
{
    Outcome<std::string> result = applyManifestSettings(&manifest, settings);
    EXPECT_TRUE(result) << result.message();
    return result ? result.value() : "";
}

size_t occurrences(const std::string& text, const std::string& part)
{
    size_t count = 0;
    for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1))
        ++count;
    return count;
}

TEST(ManifestSettings, addsTheExecutionLevelAndKeepsEverythingElse)
{
    std::string result = applied(kLauncherManifest, { ExecutionLevel::RequireAdministrator, std::nullopt });
    std::string body = kLauncherManifest.substr(0, kLauncherManifest.find("</assembly>"));
    EXPECT_EQ(result.substr(0, body.size()), body);
    EXPECT_EQ(result.substr(body.size()),
              "  <trustInfo xmlns=\"urn:schemas-microsoft-com:asm.v3\">\n"
              "    <security>\n"
              "      <requestedPrivileges>\n"
              "        <requestedExecutionLevel level=\"requireAdministrator\" uiAccess=\"false\"/>\n"
              "      </requestedPrivileges>\n"
              "    </security>\n"
              "  </trustInfo>\n"
              "</assembly>\n");
}

TEST(ManifestSettings, replacesWhatWasThereAndKeepsTheLevelUnlessTold)
{
    std::string highest = applied(kLauncherManifest, { ExecutionLevel::HighestAvailable, DpiAwareness::PerMonitorV2 });
    EXPECT_NE(highest.find("  <application xmlns=\"urn:schemas-microsoft-com:asm.v3\">\n"
                           "    <windowsSettings>\n"
                           "      <dpiAware xmlns=\"http://schemas.microsoft.com/SMI/2005/WindowsSettings\">"
                           "true/pm</dpiAware>\n"
                           "      <dpiAwareness xmlns=\"http://schemas.microsoft.com/SMI/2016/WindowsSettings\">"
                           "PerMonitorV2</dpiAwareness>\n"
                           "    </windowsSettings>\n"
                           "  </application>\n"),
              std::string::npos);
    // Scaling alone keeps the level there is; a level alone keeps the scaling.
    std::string none = applied(highest, { std::nullopt, DpiAwareness::None });
    EXPECT_EQ(occurrences(none, "level=\"highestAvailable\""), 1u);
    EXPECT_EQ(occurrences(none, "<windowsSettings>"), 1u);
    EXPECT_EQ(occurrences(none, ">false</dpiAware>"), 1u);
    EXPECT_EQ(occurrences(none, "dpiAwareness"), 0u);
    std::string invoker = applied(none, { ExecutionLevel::AsInvoker, std::nullopt });
    EXPECT_EQ(occurrences(invoker, "<trustInfo xmlns"), 1u);
    EXPECT_EQ(occurrences(invoker, "<requestedExecutionLevel level=\"asInvoker\""), 1u);
    EXPECT_EQ(occurrences(invoker, ">false</dpiAware>"), 1u);
    // Without a level, one is asked for all the same.
    EXPECT_EQ(occurrences(applied(kLauncherManifest, { std::nullopt, DpiAwareness::System }), "level=\"asInvoker\""), 1u);
}

TEST(ManifestSettings, asksForTheUtf8CodePageBesideTheScalingAndOnlyOnce)
{
    ManifestSettings utf8;
    utf8.utf8CodePage = true;
    const char element[] = "<activeCodePage xmlns=\"http://schemas.microsoft.com/SMI/2019/WindowsSettings\">"
                           "UTF-8</activeCodePage>\n";
    std::string alone = applied(kLauncherManifest, utf8);
    EXPECT_NE(alone.find(std::string("    <windowsSettings>\n      ") + element + "    </windowsSettings>\n"),
              std::string::npos);
    utf8.dpiAwareness = DpiAwareness::System;
    std::string both = applied(applied(alone, utf8), utf8);
    EXPECT_EQ(occurrences(both, element), 1u);
    EXPECT_EQ(occurrences(both, "<windowsSettings>"), 1u);
    EXPECT_EQ(occurrences(both, ">true</dpiAware>"), 1u);
    // Without the option the code page stays as the manifest has it.
    EXPECT_EQ(occurrences(applied(both, { ExecutionLevel::AsInvoker, DpiAwareness::None }), element), 1u);
    EXPECT_EQ(occurrences(applied(kLauncherManifest, { ExecutionLevel::AsInvoker, std::nullopt }), "activeCodePage"), 0u);
}

TEST(ManifestSettings, joinsTheSettingsAnAuthorAlreadyHasWithPrefixesAndCrLf)
{
    const std::string manifest =
        "<asmv1:assembly xmlns:asmv1=\"urn:schemas-microsoft-com:asm.v1\" manifestVersion=\"1.0\">\r\n"
        "  <asmv3:application xmlns:asmv3=\"urn:schemas-microsoft-com:asm.v3\">\r\n"
        "    <asmv3:windowsSettings>\r\n"
        "      <dpiAware xmlns=\"http://schemas.microsoft.com/SMI/2005/WindowsSettings\">true</dpiAware>\r\n"
        "      <longPathAware xmlns=\"http://schemas.microsoft.com/SMI/2016/WindowsSettings\">true</longPathAware>\r\n"
        "    </asmv3:windowsSettings>\r\n"
        "  </asmv3:application>\r\n"
        "</asmv1:assembly>\r\n";
    std::string result = applied(manifest, { std::nullopt, DpiAwareness::None });
    EXPECT_EQ(occurrences(result, "<dpiAware "), 1u);
    EXPECT_EQ(occurrences(result, "<windowsSettings"), 0u);
    EXPECT_NE(result.find("true</longPathAware>\r\n"
                          "      <dpiAware xmlns=\"http://schemas.microsoft.com/SMI/2005/WindowsSettings\">false</dpiAware>\r\n"
                          "    </asmv3:windowsSettings>"),
              std::string::npos);
    EXPECT_NE(result.find("  </trustInfo>\r\n</asmv1:assembly>"), std::string::npos);
    EXPECT_EQ(occurrences(result, "\n"), occurrences(result, "\r\n"));
}

TEST(ManifestSettings, makesAManifestWhereThereIsNoneAndRefusesOnesItCannotEdit)
{
    Outcome<std::string> made = applyManifestSettings(nullptr, { ExecutionLevel::AsInvoker, std::nullopt });
    ASSERT_TRUE(made);
    EXPECT_EQ(made.value().rfind("<?xml", 0), 0u);
    EXPECT_EQ(occurrences(made.value(), "<requestedExecutionLevel level=\"asInvoker\""), 1u);
    const std::string noAssembly = "<?xml version=\"1.0\"?>\n<assembly/>\n";
    EXPECT_FALSE(applyManifestSettings(&noAssembly, { ExecutionLevel::AsInvoker, std::nullopt }));
    const std::string unclosed = "<assembly>\n  <trustInfo>\n";
    EXPECT_FALSE(applyManifestSettings(&unclosed, { ExecutionLevel::AsInvoker, std::nullopt }));
    const std::string utf16("\xFF\xFE<\0a\0", 6);
    EXPECT_FALSE(applyManifestSettings(&utf16, { ExecutionLevel::AsInvoker, std::nullopt }));
}

}  // namespace
