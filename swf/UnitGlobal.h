// The movie's frame size, read from the frame-size rectangle of its SWF header.
#pragma once

#include <cstdint>
#include <string>

#include "platform/CodePage.h"
#include "platform/Kernel.h"

namespace swfsaver {

inline constexpr uint32_t kSwfHeaderRectSize = 17;

// Sets header to the 17 bytes of the frame-size rectangle of the movie at path. Raises
// EFOpenError "ファイル %s は開けません" when the file cannot be opened and EReadError
// "ストリームからの読み込みエラー" when it cannot supply the 17 bytes.
void ReadSwfHeaderRect(platform::Kernel& kernel, const platform::CodePage& codePage,
                       const std::string& path, std::string& header);

// Nbits: the width of each of the rectangle's four fields, 0 to 31.
uint8_t SwfRectBitCount(const std::string& header);
// Xmax and Ymax in pixels (twips / 20, truncated); never negative.
int32_t SwfFrameWidth(const std::string& header);
int32_t SwfFrameHeight(const std::string& header);

}  // namespace swfsaver
