// SPDX-License-Identifier: MIT
#pragma once

// The checks over a whole project: each script's own problems from its index, and the ones that
// need every script at once (a playsoundscape naming a soundscape defined nowhere, a soundscape that
// plays itself, a name defined twice) and the manifest's (a listed script that is missing, a script
// it does not list). Works on the index alone, without the disk.

#include "project/Problem.h"
#include "project/Project.h"
#include "project/ProjectIndex.h"

#include <bitset>
#include <string_view>
#include <vector>

namespace tonvale::project {

struct CheckOptions {
    std::bitset<Checks.size()> disabled;
    void disable(Check check) { disabled.set(static_cast<std::size_t>(check)); }
    bool enabled(Check check) const { return !disabled.test(static_cast<std::size_t>(check)); }
};

// Every problem of the project, ordered by file, line and column.
std::vector<Problem> checkProject(const Project& project, const ProjectIndex& index,
                                  const CheckOptions& options = {});

// The problems of one file among them (for the problems panel of the open document).
std::vector<Problem> problemsOfFile(const std::vector<Problem>& problems, std::string_view file);

struct ProblemCounts {
    std::size_t errors = 0;
    std::size_t warnings = 0;
};
ProblemCounts countProblems(const std::vector<Problem>& problems);

} // namespace tonvale::project
