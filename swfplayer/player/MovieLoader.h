// Reads a whole movie file into a MovieDefinition: the header, then every tag of the root
// stream in order (definitions into the dictionary, control tags into their frames).
#pragma once

#include <cstdint>
#include <memory>
#include <span>

#include "swfplayer/image/ImageDecoder.h"
#include "swfplayer/movie/TextDecoding.h"
#include "swfplayer/player/Characters.h"

namespace swfplayer::player {

struct MovieLoad {
  MovieError error = MovieError::kNone;
  std::unique_ptr<MovieDefinition> movie;  // set exactly when error is kNone
};

// A complete header is enough: a damaged tag stream yields the tags before the damage, and a
// definition that does not decode (or is over a bound) is left out of the dictionary.
// Strings (instance names, labels, export names) are decoded as the movie's version means them:
// through ansi before SWF 6; without a decoder each byte is taken as one character. keeper,
// when given, keeps file valid for as long as it lives: an uncompressed movie's sound is then
// played from the file where it lies instead of a copy.
MovieLoad LoadMovieDefinition(std::span<const uint8_t> file, image::ImageDecoder& decoder,
                              const AnsiDecoder* ansi = nullptr,
                              std::shared_ptr<const void> keeper = nullptr);

}  // namespace swfplayer::player
