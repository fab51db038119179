// Which path the playlist keeps for a file the user chose. The list is stored as text in the
// ANSI code page and the saver opens its entries through the ANSI functions, so a name with a
// character that code page lacks cannot be kept as it is: the system's conversion would write
// "?" in its place, and the entry would name no file.
#pragma once

#include <string>

#include "platform/CodePage.h"
#include "platform/Kernel.h"

namespace swfsaver {

// The ANSI path to list for chosen (UTF-8, as the file dialog returns it): the path itself
// when it converts without loss, otherwise the file's short 8.3 form, which opens the same
// file. Raises EConvertError, asking for the file to be renamed, when neither can be written
// in the code page (a volume without short names, or a typed name of a missing file).
std::string MoviePathToStore(const std::string& chosen, const platform::CodePage& codePage,
                             platform::Kernel& kernel);

}  // namespace swfsaver
