// Refusal of input beyond a fixed table or range: one line on standard error, then stop 2222.
#pragma once

#include <cstdint>
#include <string_view>

namespace pp {

inline constexpr int kRefusalStop = 2222;

// Writes "<program>: <file>, record <record>: <what>" on standard error and stops with 2222.
[[noreturn]] void refuse(std::string_view program, std::string_view file, std::int64_t record,
                         std::string_view what);

}  // namespace pp
