// The filter lists of PlaceObject3 and DefineButton2 records, decoded into plain data
// (types/Effects.h) by each filter's layout.
#pragma once

#include <optional>
#include <vector>

#include "swfplayer/types/Effects.h"

namespace swfplayer::format {

class Reader;

// Reads a FILTERLIST (a count, then the filters). Nothing when the list is damaged or holds an
// unknown filter: what follows it cannot be found. Non-finite numbers read as 0.
std::optional<std::vector<Filter>> ReadFilterList(Reader& in);

}  // namespace swfplayer::format
