#include "platform/runtime_sources.h"

#include "common/trace.h"
#include "platform/win32/registry.h"

#include <windows.h>

namespace {

using platform::RecordKind;
using platform::RuntimeRecord;
using platform::RuntimeRecords;

// How a source files its runtimes under each of its keys.
enum class Layout {
    Versions,   // <key>\<version or name>: the home in a value
    Installers, // <key>\<version>\<vm>\{MSI, EXE}: the home in a value
};

enum class Hives { Machine, MachineThenUser };

struct RuntimeSource {
    const char* name;
    RecordKind kind;
    Layout layout;
    Hives hives;
    const char* parentKey;
    const char* keys[3]; // under the parent, searched in this order
    const char* homeValue;
};

// Where installers record runtimes, in the order they are searched; among
// equal versions the earlier source wins. A new vendor is a new row.
const RuntimeSource kSources[] = {
    { "Java Runtime Environment", RecordKind::Registered, Layout::Versions, Hives::Machine,
      "Software\\JavaSoft", { "Java Runtime Environment" }, "JavaHome" },
    { "Oracle", RecordKind::Vendor, Layout::Versions, Hives::Machine,
      "Software\\JavaSoft", { "JDK", "JRE" }, "JavaHome" },
    { "Java Development Kit", RecordKind::Vendor, Layout::Versions, Hives::Machine,
      "Software\\JavaSoft", { "Java Development Kit" }, "JavaHome" },
    { "Eclipse Adoptium", RecordKind::Vendor, Layout::Installers, Hives::MachineThenUser,
      "Software\\Eclipse Adoptium", { "JDK", "JRE" }, "Path" },
    { "Eclipse Foundation", RecordKind::Vendor, Layout::Installers, Hives::MachineThenUser,
      "Software\\Eclipse Foundation", { "JDK", "JRE" }, "Path" },
    { "AdoptOpenJDK", RecordKind::Vendor, Layout::Installers, Hives::MachineThenUser,
      "Software\\AdoptOpenJDK", { "JDK", "JRE" }, "Path" },
    { "Microsoft", RecordKind::Vendor, Layout::Installers, Hives::MachineThenUser,
      "Software\\Microsoft", { "JDK", "JRE" }, "Path" },
    { "Semeru", RecordKind::Vendor, Layout::Installers, Hives::MachineThenUser,
      "Software\\Semeru", { "JDK", "JRE" }, "Path" },
    { "Azul Zulu", RecordKind::Vendor, Layout::Versions, Hives::Machine,
      "Software\\Azul Systems", { "Zulu" }, "InstallationPath" },
    { "BellSoft Liberica", RecordKind::Vendor, Layout::Versions, Hives::Machine,
      "Software\\BellSoft", { "Liberica" }, "InstallationPath" },
    { "SapMachine", RecordKind::Vendor, Layout::Versions, Hives::Machine,
      "Software\\SapMachine", { "JDK", "JRE" }, "JavaHome" },
};

const char* const kInstallerKinds[] = { "MSI", "EXE" };

struct Hive {
    HKEY handle;
    const char* name;
};

const Hive kMachine = { HKEY_LOCAL_MACHINE, "HKLM" };
const Hive kUser = { HKEY_CURRENT_USER, "HKCU" };

bool joinKey(Text& path, const char* parent, const char* child)
{
    return path.assign(parent, lstrlenA(parent)) && path.appendChar('\\') && path.append(child);
}

// The record of the home value of the key at path; false when the key has no
// such value.
bool recordHome(const RuntimeSource& source, const Hive& hive, const Text& path, const Text& name,
                RuntimeRecords& records)
{
    RuntimeRecord record;
    record.source = source.name;
    record.kind = source.kind;
    if (!readStringValue(hive.handle, path.chars(), source.homeValue, record.home))
        return false;
    // A record that cannot get memory is left out, as one that is not there.
    if (record.name.assign(name.chars(), name.length()) && joinKey(record.location, hive.name, path.chars()))
        (void)records.append(static_cast<RuntimeRecord&&>(record));
    return true;
}

void readVersions(const RuntimeSource& source, const Hive& hive, const Text& key, const TextList& names,
                  RuntimeRecords& records)
{
    for (size_t i = 0; i < names.count(); ++i) {
        Text path;
        if (joinKey(path, key.chars(), names.at(i).chars()) && !recordHome(source, hive, path, names.at(i), records))
            trace("  %s\\%s: no value %s", { hive.name, path, source.homeValue });
    }
}

void readInstallers(const RuntimeSource& source, const Hive& hive, const Text& key, const TextList& versions,
                    RuntimeRecords& records)
{
    for (size_t i = 0; i < versions.count(); ++i) {
        Text versionKey;
        TextList machines;
        if (!joinKey(versionKey, key.chars(), versions.at(i).chars())
            || !readSubkeyNames(hive.handle, versionKey.chars(), machines))
            continue;
        for (size_t j = 0; j < machines.count(); ++j) {
            Text machineKey;
            if (!joinKey(machineKey, versionKey.chars(), machines.at(j).chars()))
                continue;
            for (const char* installer : kInstallerKinds) {
                Text path;
                if (joinKey(path, machineKey.chars(), installer))
                    (void)recordHome(source, hive, path, versions.at(i), records);
            }
        }
    }
}

void readSource(const RuntimeSource& source, const Hive& hive, RuntimeRecords& records)
{
    for (const char* child : source.keys) {
        Text key;
        TextList names;
        if (!child || !joinKey(key, source.parentKey, child))
            continue;
        if (!readSubkeyNames(hive.handle, key.chars(), names)) {
            trace("  source %s: %s\\%s: not there", { source.name, hive.name, key });
            continue;
        }
        trace("  source %s: %s\\%s: subkeys: %d", { source.name, hive.name, key, static_cast<int>(names.count()) });
        if (source.layout == Layout::Versions)
            readVersions(source, hive, key, names, records);
        else
            readInstallers(source, hive, key, names, records);
    }
}

}

namespace platform {

const char* const kJavaLibraryPaths[] = { "bin\\java.dll", nullptr };
const char* const kVmLibraryPaths[] = {
    "bin\\client\\jvm.dll", "bin\\server\\jvm.dll", "bin\\classic\\jvm.dll", "bin\\hotspot\\jvm.dll",
    nullptr,
};
const char kPrivateRuntimeSubdirectory[] = "jre\\";

const LibraryProcessor kThisProcessor = {
    LibraryProcessor::Format::Pe,
#ifdef _WIN64
    IMAGE_FILE_MACHINE_AMD64, 64,
#else
    IMAGE_FILE_MACHINE_I386, 32,
#endif
};

void recordedRuntimes(RuntimeRecords& records)
{
    for (const RuntimeSource& source : kSources) {
        readSource(source, kMachine, records);
        if (source.hives == Hives::MachineThenUser)
            readSource(source, kUser, records);
    }
}

}
