// snapshot.h — lets an example program save the picture it drew as a PNG,
// which is how the pictures under docs/ are made.
//
//   int main(int argc, char* argv[]) {
//       const char* png = snapshot::Requested(argc, argv);  // "--png FILE"
//       initgraph(...);
//       ...draw...
//       if (png) return snapshot::SaveWindow(png) ? 0 : 1;
//       ...
//   }
#pragma once

namespace snapshot {

// The FILE of a "--png FILE" argument pair, or null. Where the platform can
// run windows without a display (the Linux stand-in), it also switches to
// that, so the picture can be made on a machine without a screen; call it
// before the window is opened.
const char* Requested(int argc, char** argv);

// Writes the window's back buffer (what the program drew) to `path` as a PNG.
bool SaveWindow(const char* path);

}  // namespace snapshot
