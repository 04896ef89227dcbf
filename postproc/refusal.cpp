// Refusal of input beyond a fixed table or range.
#include "refusal.hpp"

#include <string>

#include "recordio/recordio.hpp"

namespace pp {

void refuse(std::string_view program, std::string_view file, std::int64_t record,
            std::string_view what) {
    std::string line;
    line.append(program).append(": ").append(file).append(", record ");
    line.append(std::to_string(record)).append(": ").append(what);
    rio::write(rio::kStdErr, "(A)", {std::string_view(line)});
    rio::stop(kRefusalStop);
}

}  // namespace pp
