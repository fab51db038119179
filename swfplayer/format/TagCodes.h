// The tag codes this player decodes; every other tag is skipped by its length.
#pragma once

#include <cstdint>

namespace swfplayer::format {

enum TagCode : uint16_t {
  kTagEnd = 0,
  kTagShowFrame = 1,
  kTagDefineShape = 2,
  kTagPlaceObject = 4,
  kTagRemoveObject = 5,
  kTagDefineBits = 6,
  kTagDefineButton = 7,
  kTagJpegTables = 8,
  kTagSetBackgroundColor = 9,
  kTagDefineFont = 10,
  kTagDefineText = 11,
  kTagDoAction = 12,
  kTagDefineFontInfo = 13,
  kTagDefineSound = 14,
  kTagStartSound = 15,
  kTagSoundStreamHead = 18,
  kTagSoundStreamBlock = 19,
  kTagDefineBitsLossless = 20,
  kTagDefineBitsJpeg2 = 21,
  kTagDefineShape2 = 22,
  kTagPlaceObject2 = 26,
  kTagRemoveObject2 = 28,
  kTagDefineShape3 = 32,
  kTagDefineButton2 = 34,
  kTagDefineBitsJpeg3 = 35,
  kTagDefineText2 = 33,
  kTagDefineBitsLossless2 = 36,
  kTagDefineEditText = 37,
  kTagDefineSprite = 39,
  kTagFrameLabel = 43,
  kTagSoundStreamHead2 = 45,
  kTagDefineMorphShape = 46,
  kTagDefineFont2 = 48,
  kTagExportAssets = 56,
  kTagFileAttributes = 69,
  kTagDoInitAction = 59,
  kTagDefineFontInfo2 = 62,
  kTagPlaceObject3 = 70,
  kTagDefineFont3 = 75,
  kTagSymbolClass = 76,
  kTagDefineShape4 = 83,
  kTagDefineMorphShape2 = 84,
  kTagDefineFontName = 88,
  kTagStartSound2 = 89,
};

}  // namespace swfplayer::format
