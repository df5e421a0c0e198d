#pragma once

namespace morvane {

// Standard output and error carry bytes as written, on every system: the
// report's line ends are its own (LF, or CR LF with --crlf), and a Windows
// console shows its UTF-8 as Japanese text. Nothing to do elsewhere.
void writeStandardStreamsAsBytes();

} // namespace morvane
