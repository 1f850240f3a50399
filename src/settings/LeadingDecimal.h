// Registry numbers are decimal text; the system's tools and the configuration
// program write them, so they are read as leniently as the C library's atoi.
#pragma once

#include <cstdint>
#include <string_view>

namespace hidhost::settings {

// Leading white space, an optional sign, then decimal digits up to the first
// other character; 0 without digits. Saturates at the int32 range rather than
// overflowing, as the system's atoi does.
std::int32_t LeadingDecimal(std::string_view text);

}  // namespace hidhost::settings
