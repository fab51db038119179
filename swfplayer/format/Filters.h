// The filter lists of PlaceObject3 and DefineButton2 records: nothing here draws filters, so a
// list is only stepped over by the layout of each filter.
#pragma once

namespace swfplayer::format {

class Reader;

// Moves past a FILTERLIST (a count, then the filters). False when the list is damaged or holds
// an unknown filter: what follows it cannot be found.
bool SkipFilterList(Reader& in);

}  // namespace swfplayer::format
