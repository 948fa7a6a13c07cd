#pragma once
// Which spelling of a system path the launcher may use. The system keeps
// names in UTF-16; the launcher, its settings and the virtual machine's
// options work in the ANSI code page. A name the code page cannot hold is
// never replaced by a look-alike (a best-fit letter or '?'): "Lukasz" for
// "Łukasz" may name another folder, one that anybody may have made. The
// short (8.3) name, pure ASCII, stands in for it instead.
//
//   PathSpelling how = choosePathSpelling({ longExact, folderExact, shortExact }, false);
#include "common/text.h"

#include <stddef.h>

// Whether each spelling converts to the code page exactly: the path as it
// is; its folder's short form followed by its own name; its short form.
// A spelling the system does not have counts as not exact.
struct PathConversions {
    bool longExact;
    bool shortFolderExact;
    bool shortExact;
};

enum class PathSpelling { Long, ShortFolder, Short, None };

// The first exact spelling; Short only when the last name may be shortened
// too (not the executable's own, which names its settings file).
PathSpelling choosePathSpelling(const PathConversions& conversions, bool nameMayBeShortened);

// The path up to the end of the name that holds the byte at `position` (the
// first one the system cannot represent): the folder or file a message names.
// False, `name` as it was, when it cannot get memory; `name` may be `path`.
[[nodiscard]] bool pathUpToNameAt(const Text& path, size_t position, char separator, Text& name);
