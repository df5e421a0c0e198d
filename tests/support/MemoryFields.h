#pragma once

#include "input/CoordinateFile.h"

#include <cstddef>
#include <string_view>

namespace morvane::test {

// A field reader over bytes in memory that hands them over at most
// `bufferSize` at a time and keeps at most `maxFieldBytes` of a field. The
// bytes must outlive the reader.
FieldReader fieldReaderOver(std::string_view bytes, std::size_t bufferSize,
                            std::size_t maxFieldBytes = FieldReader::MaxFieldBytes);

} // namespace morvane::test
