// Reads a movie file by its path and parses it; no movie when the file cannot be opened, is
// larger than the control plays, or is not a playable SWF.
#pragma once

#include <optional>
#include <string>

#include "standin/flash/movie/SwfMovie.h"

namespace swfsaver::flash {

std::optional<SwfMovie> LoadMovieFile(const std::wstring& path);

}  // namespace swfsaver::flash
