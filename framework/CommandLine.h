// Splitting the command line into arguments, as the program's framework does it.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace swfsaver {

// Words separated by runs of characters with codes 1 to 32; a stretch in double quotes may
// hold such characters and belongs to its word; the quotes are removed. Word 0 is the
// program's path.
std::vector<std::string> SplitCommandLine(std::string_view commandLine);

// Argument index of the command line (1 is the first after the program's path); empty when
// absent.
std::string ParamStr(std::string_view commandLine, int index);

// Upper-cases the bytes a to z; every other byte, double-byte characters included, stays.
std::string UpperCaseAscii(std::string_view text);

}  // namespace swfsaver
