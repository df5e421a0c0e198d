#pragma once

#include "input/ByteSource.h"

#include <cstddef>
#include <vector>

namespace morvane {

// A UTF-16 byte stream handed on as UTF-8, so that the field reader splits it
// and the reader decodes its names as it does a UTF-8 file. Each unpaired
// surrogate, and an odd last byte, becomes U+FFFD. U+001A comes out as the
// byte 0x1A and ends the text there; a 0x1A byte inside another character
// does not.
class Utf16Transcoder {
public:
    Utf16Transcoder(ByteSource source, bool bigEndian);

    // Puts the next UTF-8 bytes into the buffer (any size from one byte) and
    // returns how many; 0 at the end.
    std::size_t operator()(char* buffer, std::size_t size);

private:
    void refill();
    char16_t unitAt(std::size_t pos) const;

    ByteSource m_source;
    bool m_bigEndian;
    std::vector<char> m_input;
    std::size_t m_pos = 0;
    std::size_t m_len = 0;
    bool m_sourceEnded = false;
    // The rest of a character that did not fit into the last buffer.
    char m_pending[4] = {};
    std::size_t m_pendingPos = 0;
    std::size_t m_pendingLen = 0;
};

} // namespace morvane
