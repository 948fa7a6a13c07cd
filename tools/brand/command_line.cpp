#include "command_line.h"

#include "text_encoding.h"

const char kUsage[] =
    "Usage: brand --in LAUNCHER.exe --out APP.exe [options]\n"
    "\n"
    "Copies a launcher executable (32-bit or 64-bit) to a new file that carries an\n"
    "application's identity. Only what an option names changes.\n"
    "\n"
    "  --in FILE                  the launcher executable to copy (never changed)\n"
    "  --out FILE                 the new executable (replaced if it exists)\n"
    "  --icon FILE                the icon Explorer shows, replacing every icon: one .ico\n"
    "                             file, or one or more PNG files (repeat the option) of\n"
    "                             up to 256x256 pixels; modern Windows wants 256x256\n"
    "  --file-version A.B.C.D     the file version, four numbers 0-65535\n"
    "  --product-version A.B.C.D  the product version\n"
    "  --description TEXT         FileDescription, what the taskbar and Task Manager show\n"
    "  --product-name TEXT        ProductName\n"
    "  --company TEXT             CompanyName\n"
    "  --copyright TEXT           LegalCopyright\n"
    "  --console                  a console program (console subsystem)\n"
    "  --gui                      a window program (GUI subsystem)\n"
    "  --execution-level LEVEL    what the manifest asks Windows for: asInvoker,\n"
    "                             highestAvailable or requireAdministrator\n"
    "  --dpi-aware MODE           the manifest's screen scaling: none, system or\n"
    "                             per-monitor-v2\n"
    "  --utf8                     the manifest's ANSI code page: UTF-8 (Windows 10 1903\n"
    "                             and later; the runtime must take its encoding from\n"
    "                             it, and the settings file must be written in UTF-8)\n"
    "  --help                     this text\n"
    "\n"
    "Whenever resources change (any option but --console and --gui), the version\n"
    "record's OriginalFilename and InternalName become the new file's name, and the\n"
    "manifest, when rewritten, asks for asInvoker unless it asked for another level.\n"
    "Texts are UTF-8. Exit code: 0 done, 1 failed, 2 wrong command line.\n";

namespace {

template <typename T>
Status setOnce(std::optional<T>& slot, T value, const std::string& option)
{
    if (slot)
        return Refusal{ option + " is given twice" };
    slot = std::move(value);
    return Done{};
}

Status setText(std::optional<std::string>& slot, const std::string& value, const std::string& option)
{
    Outcome<std::u16string> text = utf16FromUtf8(value);
    if (!text)
        return Refusal{ option + ": " + text.message() };
    return setOnce(slot, value, option);
}

Status setVersion(std::optional<FourPartVersion>& slot, const std::string& value, const std::string& option)
{
    Outcome<FourPartVersion> version = parseFourPartVersion(value);
    if (!version)
        return Refusal{ option + ": " + version.message() };
    return setOnce(slot, version.value(), option);
}

template <typename T, size_t count>
Status setChoice(std::optional<T>& slot, const std::string& value, const std::string& option,
                 const std::pair<const char*, T> (&choices)[count])
{
    std::string names;
    for (const auto& [name, choice] : choices) {
        if (value == name)
            return setOnce(slot, choice, option);
        names += names.empty() ? name : std::string(", ") + name;
    }
    return Refusal{ option + " must be one of " + names + ", not \"" + value + "\"" };
}

const std::pair<const char*, ExecutionLevel> kExecutionLevels[] = {
    { "asInvoker", ExecutionLevel::AsInvoker },
    { "highestAvailable", ExecutionLevel::HighestAvailable },
    { "requireAdministrator", ExecutionLevel::RequireAdministrator },
};
const std::pair<const char*, DpiAwareness> kDpiModes[] = {
    { "none", DpiAwareness::None },
    { "system", DpiAwareness::System },
    { "per-monitor-v2", DpiAwareness::PerMonitorV2 },
};

Status setPath(std::string& path, const std::string& value, const std::string& option)
{
    if (!path.empty())
        return Refusal{ option + " is given twice" };
    if (value.empty())
        return Refusal{ option + " needs a file name" };
    path = value;
    return Done{};
}

// The options that take a value, each with what it does with it.
struct ValueOption {
    const char* name;
    Status (*set)(CommandLine& line, const std::string& value, const std::string& option);
};

using Value = const std::string&;
const ValueOption kValueOptions[] = {
    { "--in", [](CommandLine& line, Value value, Value option) { return setPath(line.input, value, option); } },
    { "--out", [](CommandLine& line, Value value, Value option) { return setPath(line.output, value, option); } },
    { "--icon",
      [](CommandLine& line, Value value, Value) -> Status {
          line.iconPaths.push_back(value);
          return Done{};
      } },
    { "--file-version",
      [](CommandLine& line, Value value, Value option) { return setVersion(line.identity.fileVersion, value, option); } },
    { "--product-version",
      [](CommandLine& line, Value value, Value option) { return setVersion(line.identity.productVersion, value, option); } },
    { "--description",
      [](CommandLine& line, Value value, Value option) { return setText(line.identity.description, value, option); } },
    { "--product-name",
      [](CommandLine& line, Value value, Value option) { return setText(line.identity.productName, value, option); } },
    { "--company", [](CommandLine& line, Value value, Value option) { return setText(line.identity.company, value, option); } },
    { "--copyright",
      [](CommandLine& line, Value value, Value option) { return setText(line.identity.copyright, value, option); } },
    { "--execution-level",
      [](CommandLine& line, Value value, Value option) {
          return setChoice(line.manifest.executionLevel, value, option, kExecutionLevels);
      } },
    { "--dpi-aware",
      [](CommandLine& line, Value value, Value option) {
          return setChoice(line.manifest.dpiAwareness, value, option, kDpiModes);
      } },
};

const ValueOption* valueOption(const std::string& name)
{
    for (const ValueOption& option : kValueOptions)
        if (name == option.name)
            return &option;
    return nullptr;
}

}  // namespace

Outcome<CommandLine> parseCommandLine(const std::vector<std::string>& arguments)
{
    CommandLine line;
    for (size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        if (argument == "--help" || argument == "-h") {
            line.help = true;
            return line;
        }
        if (argument == "--console" || argument == "--gui") {
            Subsystem wanted = argument == "--console" ? Subsystem::Console : Subsystem::Gui;
            if (line.subsystem && *line.subsystem != wanted)
                return Refusal{ "--console and --gui exclude each other" };
            line.subsystem = wanted;
            continue;
        }
        if (argument == "--utf8") {
            line.manifest.utf8CodePage = true;
            continue;
        }
        const ValueOption* option = valueOption(argument);
        if (!option)
            return Refusal{ argument.compare(0, 2, "--") == 0 ? "unknown option " + argument
                                                               : "unexpected argument \"" + argument + "\"" };
        if (i + 1 == arguments.size())
            return Refusal{ argument + " needs a value" };
        Status set = option->set(line, arguments[++i], argument);
        if (!set)
            return set.refusal();
    }
    if (line.input.empty())
        return Refusal{ "--in is missing: which launcher executable to copy" };
    if (line.output.empty())
        return Refusal{ "--out is missing: which file to write" };
    return line;
}
