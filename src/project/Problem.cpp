// SPDX-License-Identifier: MIT
#include "project/Problem.h"

#include <algorithm>
#include <tuple>

namespace tonvale::project {

const CheckInfo& checkInfo(Check check) {
    return Checks[static_cast<std::size_t>(check)];
}

std::optional<Check> checkByName(std::string_view name) {
    for (const CheckInfo& info : Checks) {
        if (info.name == name)
            return info.check;
    }
    return std::nullopt;
}

Problem makeProblem(Check check, std::string file, SourcePosition at, std::string message) {
    Problem problem;
    problem.file = std::move(file);
    problem.at = at;
    problem.check = check;
    problem.severity = checkInfo(check).severity;
    problem.message = std::move(message);
    return problem;
}

void sortProblems(std::vector<Problem>& problems) {
    std::stable_sort(problems.begin(), problems.end(), [](const Problem& a, const Problem& b) {
        return std::tie(a.file, a.at.line, a.at.column, a.check) <
               std::tie(b.file, b.at.line, b.at.column, b.check);
    });
}

namespace {
constexpr bool checksInOrder() {
    for (std::size_t i = 0; i < Checks.size(); ++i) {
        if (static_cast<std::size_t>(Checks[i].check) != i)
            return false;
    }
    return true;
}
static_assert(checksInOrder(), "the check table lists the checks in the order of the enum");
} // namespace
} // namespace tonvale::project
