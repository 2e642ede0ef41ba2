// crt_internal.h — what the C runtime's files share: reporting a bad parameter.
#pragma once

namespace plat::crt {

// Calls the invalid parameter handler for `function` (the default one ends
// the program); returns when an installed handler returns.
void invalid_parameter(const char* function, const char* why);

}  // namespace plat::crt
