#pragma once

#include "core/TextEncoding.h"
#include "input/ByteSource.h"

#include <cstddef>
#include <string>
#include <string_view>

namespace morvane {

// Follows a stream of bytes, given in pieces of any size, and tells whether
// it is well-formed UTF-8 up to its end or its first Ctrl-Z (nothing after
// Ctrl-Z is ever read, so it has no say) and whether it holds a character of
// more than one byte.
class Utf8Validator {
public:
    void feed(std::string_view bytes);
    // Call once the stream has ended: a character cut short by the end is
    // ill-formed.
    void finish();

    bool wellFormed() const { return m_wellFormed; }
    bool multiByte() const { return m_multiByte; }
    // True once an ill-formed part or Ctrl-Z was met: later bytes change nothing.
    bool decided() const { return !m_wellFormed || m_ended; }

private:
    bool m_wellFormed = true;
    bool m_multiByte = false;
    bool m_ended = false;
    // The beginning of a character that the last piece cut off.
    std::string m_carry;
};

struct EncodingDecision {
    FileEncoding encoding;
    // Bytes of the byte order mark at the start, which the text leaves out.
    std::size_t markLength;
};

// Decides how a file is read from its bytes, read from `source` at its start:
// a UTF-16 or UTF-8 byte order mark says so; otherwise a file that is
// well-formed UTF-8 throughout (as Utf8Validator says) with at least one
// multi-byte character is UTF-8, and any other code page 932. A choice other
// than Auto is taken as it is: forced UTF-8 still drops a UTF-8 mark, forced
// UTF-16 takes its byte order from a mark and is little-endian without one.
// Reads at most one mark's bytes unless it has to validate; the caller
// rewinds the file.
EncodingDecision decideEncoding(EncodingChoice choice, const ByteSource& source);

} // namespace morvane
