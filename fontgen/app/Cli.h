#pragma once
// The command line of glyphkiln:
//   glyphkiln generate --font NAME|FILE --size WxH
//             (--text TEXT | --range A-B | --gb2312 | --project P.zkp) -o FONT.bin
//   glyphkiln view FONT.bin --size WxH [--index N] -o GLYPHS.png
//   glyphkiln [FONT.bin] [--size WxH] [--screenshot OUT.png]     the dialog
// Bad input: one line on stderr, exit status 1, no file written.

namespace Cli {
// Runs a command or, without one, the dialog; returns the exit status.
int Main(int argc, char** argv);
}  // namespace Cli
