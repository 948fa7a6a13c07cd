#include "platform/user_cache.h"

#include "platform/files.h"
#include "platform/win32/handles.h"

#include <aclapi.h>

namespace platform {

namespace {

// Rights that change a folder's entries or a file's bytes, or who may.
const ACCESS_MASK kWriteRights = FILE_WRITE_DATA | FILE_APPEND_DATA | FILE_WRITE_EA | FILE_WRITE_ATTRIBUTES
    | FILE_DELETE_CHILD | DELETE | WRITE_DAC | WRITE_OWNER | GENERIC_WRITE | GENERIC_ALL;

using SecurityDescriptor = UniqueHandle<HLOCAL, LocalFree>;

union ProcessUser {
    TOKEN_USER token;
    BYTE bytes[sizeof(TOKEN_USER) + SECURITY_MAX_SID_SIZE];
};

// Administrators and the system may take and write any file of the machine
// anyway: every profile's folders let them, and an elevated process's files
// are Administrators' own.
bool isTrusted(PSID sid, PSID user)
{
    return EqualSid(sid, user) || IsWellKnownSid(sid, WinBuiltinAdministratorsSid)
        || IsWellKnownSid(sid, WinLocalSystemSid);
}

CacheFault securityFault(const char* path)
{
    ProcessUser user;
    DWORD length = 0;
    KernelObject token;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, token.replaceAddress())
        || !GetTokenInformation(token.get(), TokenUser, &user, sizeof user, &length))
        return CacheFault::Unchecked;
    PSID self = user.token.User.Sid;
    PSID owner = nullptr;
    PACL access = nullptr;
    SecurityDescriptor descriptor;
    if (GetNamedSecurityInfoA(path, SE_FILE_OBJECT, OWNER_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION, &owner,
                              nullptr, &access, nullptr, descriptor.replaceAddress()) != ERROR_SUCCESS)
        return CacheFault::Unchecked;
    if (!isTrusted(owner, self))
        return CacheFault::OtherOwner;
    // No list at all lets everybody in.
    if (!access)
        return CacheFault::OthersMayWrite;
    for (DWORD i = 0; i < access->AceCount; ++i) {
        ACCESS_ALLOWED_ACE* entry = nullptr;
        if (!GetAce(access, i, reinterpret_cast<void**>(&entry)))
            return CacheFault::Unchecked;
        BYTE type = entry->Header.AceType;
        // An entry only for what is made inside applies there; a denial grants
        // nothing; kinds this does not read count as letting others write.
        if ((entry->Header.AceFlags & INHERIT_ONLY_ACE) || type == ACCESS_DENIED_ACE_TYPE)
            continue;
        if (type != ACCESS_ALLOWED_ACE_TYPE || ((entry->Mask & kWriteRights) && !isTrusted(&entry->SidStart, self)))
            return CacheFault::OthersMayWrite;
    }
    return CacheFault::None;
}

bool makeDirectory(const char* path)
{
    if (CreateDirectoryA(path, nullptr))
        return true;
    DWORD error = GetLastError();
    return error == ERROR_ALREADY_EXISTS;
}

// What is at the path itself: a reparse point (a link, a junction) is
// never followed.
CacheFault entryFault(const char* path, DWORD kind)
{
    DWORD attributes = GetFileAttributesA(path);
    DWORD error = GetLastError();
    if (attributes == INVALID_FILE_ATTRIBUTES)
        return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND ? CacheFault::Missing
                                                                             : CacheFault::Unchecked;
    if (attributes & FILE_ATTRIBUTE_REPARSE_POINT)
        return CacheFault::Link;
    if ((attributes & FILE_ATTRIBUTE_DIRECTORY) != kind)
        return CacheFault::CannotWrite;
    return securityFault(path);
}

}

// %LOCALAPPDATA% itself may lie behind a junction, as profiles moved to
// another volume do.
CacheFault makeCacheRoot(Text& directory, Text& where)
{
    if (!where.assign(directory))
        return CacheFault::Unchecked;
    if (!makeDirectory(directory.chars()) || !isDirectory(directory.chars()))
        return CacheFault::CannotWrite;
    return securityFault(directory.chars());
}

// Made with the access %LOCALAPPDATA% passes on, which lets no one else in.
CacheFault makePrivateDirectory(const char* path)
{
    if (!makeDirectory(path))
        return CacheFault::CannotWrite;
    CacheFault fault = entryFault(path, FILE_ATTRIBUTE_DIRECTORY);
    return fault == CacheFault::Missing ? CacheFault::CannotWrite : fault;
}

CacheFault privateFileFault(const char* path)
{
    return entryFault(path, 0);
}

// A file takes the access of the folder it is made in, which was checked
// before: there is nothing to take away.
bool keepFileToOwner(const char* path)
{
    return privateFileFault(path) == CacheFault::None;
}

}
