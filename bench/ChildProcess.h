#pragma once

// Runs this program again in a process of its own, for what a process reads
// once (llvmpipe's thread count) or what only a fresh process shows (the
// launch of the game).

#include <optional>
#include <string>
#include <vector>

namespace bench {

// Runs this program with `arguments` (after its name) and the environment
// changed so: "NAME=value" sets, "NAME" alone removes. Its standard output,
// or nothing when it could not run or did not exit with status 0.
std::optional<std::string> RunSelf(const std::vector<std::string>& arguments, const std::vector<std::string>& changes);

}
