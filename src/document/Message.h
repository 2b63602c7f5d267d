// SPDX-License-Identifier: MIT
#pragma once

#include <string>

namespace tonvale {

enum class MessageIcon { None, Error, Warning, Question, Information };

// A message the window must show: text and caption are UTF-8.
struct Message {
    std::string text;
    std::string caption;
    MessageIcon icon = MessageIcon::Error;

    bool operator==(const Message&) const = default;
};

} // namespace tonvale
