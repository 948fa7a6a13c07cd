#include "platform/win32/bitmap_loading.h"

#include "common/memory.h"
#include "common/unique_handle.h"
#include "splash/bitmap_file.h"

namespace {

using FileHandle = UniqueHandle<HANDLE, CloseHandle, -1>;
using PathBuffer = UniqueHandle<char*, releaseMemory>;

// LoadImageA searches a relative path in the executable's directory (under
// Wine) before the current one; an absolute path names one file for the check
// and the load alike.
bool fullPath(const char* path, PathBuffer& full)
{
    DWORD size = GetFullPathNameA(path, 0, nullptr, nullptr);
    // The current directory may change between two calls: ask again while the
    // path keeps outgrowing the buffer.
    for (int attempt = 0; attempt < 3 && size != 0; ++attempt) {
        full.reset(static_cast<char*>(allocateMemory(size)));
        if (!full.isValid())
            return false;
        DWORD length = GetFullPathNameA(path, size, full.get(), nullptr);
        if (length == 0)
            return false;
        if (length < size)
            return true;
        size = length;
    }
    return false;
}

bool readHead(HANDLE file, unsigned char* head, DWORD& headLength, uint64_t& fileLength)
{
    LARGE_INTEGER size;
    if (GetFileType(file) != FILE_TYPE_DISK || !GetFileSizeEx(file, &size))
        return false;
    fileLength = static_cast<uint64_t>(size.QuadPart);
    return ReadFile(file, head, kBitmapFileHeadLength, &headLength, nullptr);
}

}

HBITMAP loadCheckedBitmapFile(const char* path)
{
    PathBuffer full;
    if (!fullPath(path, full))
        return nullptr;
    // Held open until the image is loaded: without sharing for writing, the
    // file cannot be cut short between the check and the load.
    FileHandle file(CreateFileA(full.get(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
    unsigned char head[kBitmapFileHeadLength];
    DWORD headLength = 0;
    uint64_t fileLength = 0;
    if (!file.isValid() || !readHead(file.get(), head, headLength, fileLength)
        || !isConsistentBitmapFile(head, headLength, fileLength))
        return nullptr;
    return static_cast<HBITMAP>(
        LoadImageA(nullptr, full.get(), IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE | LR_CREATEDIBSECTION));
}
