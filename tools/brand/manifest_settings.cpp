#include "manifest_settings.h"

#include "xml_elements.h"

#include <vector>

namespace {

const char kEmptyManifest[] =
    "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n"
    "<assembly xmlns=\"urn:schemas-microsoft-com:asm.v1\" manifestVersion=\"1.0\">\n"
    "</assembly>\n";
const char kAsmV3[] = "urn:schemas-microsoft-com:asm.v3";
const char kSettings2005[] = "http://schemas.microsoft.com/SMI/2005/WindowsSettings";
const char kSettings2016[] = "http://schemas.microsoft.com/SMI/2016/WindowsSettings";
const char kSettings2019[] = "http://schemas.microsoft.com/SMI/2019/WindowsSettings";

const char* executionLevelName(ExecutionLevel level)
{
    switch (level) {
    case ExecutionLevel::HighestAvailable: return "highestAvailable";
    case ExecutionLevel::RequireAdministrator: return "requireAdministrator";
    default: return "asInvoker";
    }
}

std::vector<std::string> trustInfoLines(ExecutionLevel level)
{
    return { std::string("<trustInfo xmlns=\"") + kAsmV3 + "\">",
             "  <security>",
             "    <requestedPrivileges>",
             std::string("      <requestedExecutionLevel level=\"") + executionLevelName(level) +
                 "\" uiAccess=\"false\"/>",
             "    </requestedPrivileges>",
             "  </security>",
             "</trustInfo>" };
}

// Windows 10 1607 and later read dpiAwareness and ignore dpiAware; earlier
// versions know only dpiAware, where "true/pm" is per-monitor scaling as
// Windows 8.1 has it.
std::vector<std::string> dpiLines(DpiAwareness awareness)
{
    const char* aware = awareness == DpiAwareness::None ? "false" : awareness == DpiAwareness::System ? "true" : "true/pm";
    std::vector<std::string> lines = { std::string("<dpiAware xmlns=\"") + kSettings2005 + "\">" + aware + "</dpiAware>" };
    if (awareness == DpiAwareness::PerMonitorV2)
        lines.push_back(std::string("<dpiAwareness xmlns=\"") + kSettings2016 + "\">PerMonitorV2</dpiAwareness>");
    return lines;
}

// Windows 10 1903 and later: the process's ANSI code page is UTF-8.
std::vector<std::string> codePageLines()
{
    return { std::string("<activeCodePage xmlns=\"") + kSettings2019 + "\">UTF-8</activeCodePage>" };
}

std::vector<std::string> applicationLines(const std::vector<std::string>& settingLines)
{
    std::vector<std::string> lines = { std::string("<application xmlns=\"") + kAsmV3 + "\">", "  <windowsSettings>" };
    for (const std::string& line : settingLines)
        lines.push_back("    " + line);
    lines.push_back("  </windowsSettings>");
    lines.push_back("</application>");
    return lines;
}

Refusal cannotEdit(const std::string& why) { return Refusal{ "the manifest cannot be edited: " + why }; }

// The assembly is the root, which no removal takes away; checked all the same.
Status appendToAssembly(std::string& xml, const std::vector<std::string>& lines)
{
    std::optional<ElementSpan> assembly = findElement(xml, "assembly");
    if (!assembly || assembly->selfClosing)
        return cannotEdit("its assembly element is gone");
    appendChildLines(xml, *assembly, lines);
    return Done{};
}

// An empty <windowsSettings/> cannot take the lines, and is passed over:
// settings added beside it are found again when the file is branded again.
Status setWindowsSettings(std::string& xml, const std::vector<std::string>& lines)
{
    std::optional<ElementSpan> settings = findElement(xml, "windowsSettings");
    while (settings && settings->selfClosing)
        settings = findElement(xml, "windowsSettings", settings->end);
    if (!settings)
        return appendToAssembly(xml, applicationLines(lines));
    appendChildLines(xml, *settings, lines);
    return Done{};
}

Status setDpiAwareness(std::string& xml, DpiAwareness awareness)
{
    removeElements(xml, "dpiAware");
    removeElements(xml, "dpiAwareness");
    return setWindowsSettings(xml, dpiLines(awareness));
}

Status setUtf8CodePage(std::string& xml)
{
    removeElements(xml, "activeCodePage");
    return setWindowsSettings(xml, codePageLines());
}

Status checkEditable(const std::string& xml)
{
    if (xml.size() >= 2 && (static_cast<unsigned char>(xml[0]) >= 0xFE || xml[1] == '\0'))
        return Refusal{ "the manifest is not UTF-8 text" };
    Outcome<std::string> root = rootElementOf(xml);
    if (!root)
        return cannotEdit(root.message());
    if (root.value() != "assembly" || findElement(xml, "assembly")->selfClosing)
        return Refusal{ "the manifest has no assembly element to hold the settings" };
    return Done{};
}

}  // namespace

Outcome<std::string> applyManifestSettings(const std::string* existing, const ManifestSettings& settings)
{
    std::string xml = existing ? *existing : kEmptyManifest;
    Status editable = checkEditable(xml);
    if (!editable)
        return editable.refusal();
    if (settings.executionLevel || !findElement(xml, "requestedExecutionLevel")) {
        removeElements(xml, "trustInfo");
        Status level = appendToAssembly(xml, trustInfoLines(settings.executionLevel.value_or(ExecutionLevel::AsInvoker)));
        if (!level)
            return level.refusal();
    }
    if (settings.dpiAwareness) {
        Status dpi = setDpiAwareness(xml, *settings.dpiAwareness);
        if (!dpi)
            return dpi.refusal();
    }
    if (settings.utf8CodePage) {
        Status codePage = setUtf8CodePage(xml);
        if (!codePage)
            return codePage.refusal();
    }
    return xml;
}
