// The field writers the SWF builder's tags share: colours, strings, RECT, MATRIX, CXFORM,
// fill and line styles, and shape records, written as SWF lays them out.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "tools/SwfBuilder.h"

namespace swfsaver::tools::detail {

void PutColor(std::vector<uint8_t>& out, SwfRgba c, bool alpha);
void PutString(std::vector<uint8_t>& out, const std::string& text);
void PutRect(std::vector<uint8_t>& out, int32_t xMin, int32_t xMax, int32_t yMin, int32_t yMax);
// Throws std::invalid_argument for a scale or skew that does not fit the field.
void PutMatrix(std::vector<uint8_t>& out, const SwfMatrix& m);
void PutColorTransform(std::vector<uint8_t>& out, const SwfColorTransform& cx, bool alpha);
void PutFill(std::vector<uint8_t>& out, const SwfFill& fill, int version);
void PutLine(std::vector<uint8_t>& out, const SwfLine& line, int version);
void PutStyles(std::vector<uint8_t>& out, const std::vector<SwfFill>& fills,
               const std::vector<SwfLine>& lines, int version);
// A SHAPE: the index sizes for fillCount and lineCount styles, the records, the end record.
void PutShapeRecords(std::vector<uint8_t>& out, const std::vector<SwfShapeRecord>& records,
                     size_t fillCount, size_t lineCount, int version);

}  // namespace swfsaver::tools::detail
