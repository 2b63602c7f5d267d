// SPDX-License-Identifier: MIT
#pragma once

// The interface language. The texts in the source are Russian; English comes from the translation
// built into the program. Qt's own texts (standard buttons, file dialogs) follow the same choice.

#include <optional>
#include <string_view>

namespace tonvale {

enum class Language { Russian, English };

// "ru" or "en"; anything else is no language.
std::optional<Language> parseLanguage(std::string_view code);
const char* languageCode(Language language);

// Installs the translations of `language` into the running application, replacing those of an earlier
// call. Returns false when a translation could not be loaded (the texts then stay Russian).
bool installLanguage(Language language);
Language installedLanguage();

} // namespace tonvale
