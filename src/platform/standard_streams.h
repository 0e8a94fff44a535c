#pragma once
// The command-line program's output is UTF-8 with LF line ends on every system, so that scripts
// read the same bytes everywhere. On Windows that takes binary standard streams (no LF to CR LF)
// and, when they are a console, the console's UTF-8 code page for the Chinese text.

namespace quarvel::platform {

void useUtf8StandardStreams();

}  // namespace quarvel::platform
