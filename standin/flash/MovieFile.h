// Reads a movie file by its path and loads it into a player, its images decoded by WIC; no
// movie when the file cannot be opened, is larger than the control plays, or is not a SWF
// movie the player can play.
#pragma once

#include <memory>
#include <string>

#include "swfplayer/player/Player.h"

namespace swfsaver::flash {

std::unique_ptr<swfplayer::player::Player> LoadMovieFile(const std::wstring& path);

}  // namespace swfsaver::flash
