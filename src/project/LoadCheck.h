// SPDX-License-Identifier: MIT
#pragma once

// Whether a script loads: in the editor (its own loader decides) and for a game (its braces pair
// up). The editor's loader reports only that a file failed; the line to look at is found here.

#include "project/Problem.h"
#include "project/ScriptOutline.h"

#include <optional>
#include <string>
#include <string_view>

namespace tonvale::project {

// The load-failure problem of a script, if it has one: the editor's loader refuses it or loads only
// a part of it, or its braces do not pair up.
std::optional<Problem> loadProblem(const std::string& file, std::string_view bytes,
                                   const ScriptOutline& outline);

// The line at which the editor's loader stops with a level error (a line more than one level deeper
// than the element before it), or 0 when it does not.
int levelErrorLine(std::string_view bytes);

} // namespace tonvale::project
