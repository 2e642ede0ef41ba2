// Weak stand-ins for entry points that other modules of the platform define,
// so the library links while those modules are being written. A real
// definition anywhere in the link replaces them.
#include "module_exports.h"

namespace plat {

__attribute__((weak)) extern const ExportTable gdiplus_exports = {"gdiplus.dll", nullptr, 0};
__attribute__((weak)) extern const ExportTable ole32_exports = {"ole32.dll", nullptr, 0};

}  // namespace plat
