#include "platform/win32/bitmap_loading.h"

#include "common/bitmap_file.h"
#include "common/growing_buffer.h"
#include "platform/win32/handles.h"

namespace {

// LoadImageA searches a relative path in the executable's directory (under
// Wine) before the current one; an absolute path names one file for the check
// and the load alike.
bool fullPath(const char* path, Text& full)
{
    GrowResult result = fillGrowingBuffer(MAX_PATH, 0x10000, full, [&](char* buffer, size_t size, size_t& length) {
        length = GetFullPathNameA(path, static_cast<DWORD>(size), buffer, nullptr);
        if (length == 0)
            return FillResult::Failed;
        return length < size ? FillResult::Complete : FillResult::TooSmall;
    });
    return result == GrowResult::Complete;
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
    Text full;
    if (!fullPath(path, full))
        return nullptr;
    // Held open until the image is loaded: without sharing for writing, the
    // file cannot be cut short between the check and the load.
    File file(CreateFileA(full.chars(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
    unsigned char head[kBitmapFileHeadLength];
    DWORD headLength = 0;
    uint64_t fileLength = 0;
    if (!file.isValid() || !readHead(file.get(), head, headLength, fileLength)
        || !isConsistentBitmapFile(head, headLength, fileLength))
        return nullptr;
    return static_cast<HBITMAP>(
        LoadImageA(nullptr, full.chars(), IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE | LR_CREATEDIBSECTION));
}
