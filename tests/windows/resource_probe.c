/*
 * Reports an executable's icon, version record, manifest and subsystem as
 * Windows itself reads them, for the branding tests under Wine.
 *
 *   resource_probe.exe FILE
 *
 * Prints, one line each, fields separated by tabs:
 *   icon     SIZE  PICKED  LOADED   for sizes 16, 32, 48 and 256: the image the
 *                                   group offers for that size (WxH) and the
 *                                   icon LoadImage makes of the group (WxH, or
 *                                   "failed")
 *   extract  COUNT LARGE  SMALL     ExtractIconEx: icon groups, first icons' sizes
 *   string   NAME  VALUE            each version string (or "(missing)")
 *   fixed    file|product  A.B.C.D  the fixed version numbers
 *   exetype  TYPE  VERSION          SHGetFileInfo's executable type: "PE" with
 *                                   version 0 for a console program
 *   manifest TEXT                   the RT_MANIFEST resource 1
 * Bytes outside printable ASCII, and backslashes, are written as \xNN.
 */
#include <windows.h>
#include <shellapi.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#ifndef LOAD_LIBRARY_AS_IMAGE_RESOURCE
#define LOAD_LIBRARY_AS_IMAGE_RESOURCE 0x00000020
#endif

static const char* const versionStrings[] = {
    "FileDescription", "ProductName", "CompanyName", "LegalCopyright",
    "OriginalFilename", "InternalName", "FileVersion", "ProductVersion",
};

static void printEscaped(const unsigned char* text, size_t length)
{
    for (size_t i = 0; i < length; ++i) {
        if (text[i] >= 0x20 && text[i] < 0x7f && text[i] != '\\')
            putchar(text[i]);
        else
            printf("\\x%02X", text[i]);
    }
}

static void printIconSize(HICON icon)
{
    ICONINFO info;
    BITMAP bitmap;
    if (!icon || !GetIconInfo(icon, &info)) {
        fputs("failed", stdout);
        return;
    }
    /* Without a colour bitmap the mask holds both halves, one above the other. */
    GetObjectA(info.hbmColor ? info.hbmColor : info.hbmMask, sizeof bitmap, &bitmap);
    printf("%ldx%ld", bitmap.bmWidth, info.hbmColor ? bitmap.bmHeight : bitmap.bmHeight / 2);
    if (info.hbmColor)
        DeleteObject(info.hbmColor);
    DeleteObject(info.hbmMask);
}

static const void* resource(HMODULE module, LPCSTR name, LPCSTR type, DWORD* size)
{
    HRSRC found = FindResourceA(module, name, type);
    HGLOBAL loaded = found ? LoadResource(module, found) : NULL;
    *size = found ? SizeofResource(module, found) : 0;
    return loaded ? LockResource(loaded) : NULL;
}

static BOOL CALLBACK keepFirstName(HMODULE module, LPCSTR type, LPSTR name, LONG_PTR first)
{
    (void)module;
    (void)type;
    *(LPSTR*)first = IS_INTRESOURCE(name) ? name : _strdup(name);
    return FALSE;
}

/* The dimensions an icon image declares: a PNG's header, or a bitmap's (whose
   height counts the mask too). */
static void printImageSize(const unsigned char* image, DWORD size)
{
    if (size >= 24 && memcmp(image, "\x89PNG", 4) == 0)
        printf("%lux%lu", (unsigned long)(image[16] << 24 | image[17] << 16 | image[18] << 8 | image[19]),
               (unsigned long)(image[20] << 24 | image[21] << 16 | image[22] << 8 | image[23]));
    else if (size >= 12)
        printf("%ldx%ld", *(const LONG*)(image + 4), *(const LONG*)(image + 8) / 2);
    else
        fputs("none", stdout);
}

static void reportIcons(HMODULE module, const char* path)
{
    LPSTR group = NULL;
    EnumResourceNamesA(module, RT_GROUP_ICON, keepFirstName, (LONG_PTR)&group);
    DWORD groupSize = 0;
    const void* directory = group ? resource(module, group, RT_GROUP_ICON, &groupSize) : NULL;
    static const int sizes[] = { 16, 32, 48, 256 };
    for (int i = 0; i < 4; ++i) {
        printf("icon\t%d\t", sizes[i]);
        int id = directory ? LookupIconIdFromDirectoryEx((PBYTE)directory, TRUE, sizes[i], sizes[i], LR_DEFAULTCOLOR) : 0;
        DWORD imageSize = 0;
        const void* image = id ? resource(module, MAKEINTRESOURCEA(id), RT_ICON, &imageSize) : NULL;
        if (image)
            printImageSize(image, imageSize);
        else
            fputs("none", stdout);
        putchar('\t');
        HICON icon = group ? (HICON)LoadImageA(module, group, IMAGE_ICON, sizes[i], sizes[i], LR_DEFAULTCOLOR) : NULL;
        printIconSize(icon);
        if (icon)
            DestroyIcon(icon);
        putchar('\n');
    }

    HICON large = NULL, small = NULL;
    UINT count = ExtractIconExA(path, -1, NULL, NULL, 0);
    ExtractIconExA(path, 0, &large, &small, 1);
    printf("extract\t%u\t", count);
    printIconSize(large);
    putchar('\t');
    printIconSize(small);
    putchar('\n');
}

static void reportVersion(const char* path)
{
    DWORD ignored = 0, size = GetFileVersionInfoSizeA(path, &ignored);
    char* record = size ? malloc(size) : NULL;
    if (!record || !GetFileVersionInfoA(path, 0, size, record)) {
        puts("version\tnone");
        return;
    }
    WORD* translation = NULL;
    UINT length = 0;
    VerQueryValueA(record, "\\VarFileInfo\\Translation", (void**)&translation, &length);
    for (size_t i = 0; i < sizeof versionStrings / sizeof *versionStrings; ++i) {
        char query[128];
        char* value = NULL;
        snprintf(query, sizeof query, "\\StringFileInfo\\%04x%04x\\%s", translation ? translation[0] : 0x409,
                 translation ? translation[1] : 1200, versionStrings[i]);
        printf("string\t%s\t", versionStrings[i]);
        if (VerQueryValueA(record, query, (void**)&value, &length) && value)
            printEscaped((const unsigned char*)value, strlen(value));
        else
            fputs("(missing)", stdout);
        putchar('\n');
    }
    VS_FIXEDFILEINFO* fixed = NULL;
    if (VerQueryValueA(record, "\\", (void**)&fixed, &length) && fixed) {
        printf("fixed\tfile\t%u.%u.%u.%u\n", HIWORD(fixed->dwFileVersionMS), LOWORD(fixed->dwFileVersionMS),
               HIWORD(fixed->dwFileVersionLS), LOWORD(fixed->dwFileVersionLS));
        printf("fixed\tproduct\t%u.%u.%u.%u\n", HIWORD(fixed->dwProductVersionMS), LOWORD(fixed->dwProductVersionMS),
               HIWORD(fixed->dwProductVersionLS), LOWORD(fixed->dwProductVersionLS));
    }
    free(record);
}

int main(int argc, char** argv)
{
    if (argc != 2) {
        fprintf(stderr, "usage: resource_probe.exe FILE\n");
        return 2;
    }
    /* As data only: nothing of the file runs, and its manifest is not applied. */
    HMODULE module = LoadLibraryExA(argv[1], NULL, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
    if (!module) {
        printf("load-failed\t%lu\n", GetLastError());
        return 3;
    }
    reportIcons(module, argv[1]);
    reportVersion(argv[1]);
    DWORD_PTR type = SHGetFileInfoA(argv[1], 0, NULL, 0, SHGFI_EXETYPE);
    printf("exetype\t%c%c\t%u\n", LOBYTE(LOWORD(type)), HIBYTE(LOWORD(type)), HIWORD(type));
    DWORD size = 0;
    const void* manifest = resource(module, MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(24), &size);
    fputs("manifest\t", stdout);
    printEscaped(manifest ? manifest : "", manifest ? size : 0);
    putchar('\n');
    FreeLibrary(module);
    return 0;
}
