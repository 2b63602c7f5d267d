// SPDX-License-Identifier: MIT
#include "texts/Language.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>
#include <memory>

namespace tonvale {

namespace {
Language g_installed = Language::Russian;

std::unique_ptr<QTranslator>& programTexts() {
    static std::unique_ptr<QTranslator> translator;
    return translator;
}
std::unique_ptr<QTranslator>& qtTexts() {
    static std::unique_ptr<QTranslator> translator;
    return translator;
}

void replace(std::unique_ptr<QTranslator>& slot, std::unique_ptr<QTranslator> next) {
    if (slot)
        QCoreApplication::removeTranslator(slot.get());
    slot = std::move(next);
    if (slot)
        QCoreApplication::installTranslator(slot.get());
}
} // namespace

std::optional<Language> parseLanguage(std::string_view code) {
    if (code == "ru")
        return Language::Russian;
    if (code == "en")
        return Language::English;
    return std::nullopt;
}

const char* languageCode(Language language) {
    return language == Language::English ? "en" : "ru";
}

bool installLanguage(Language language) {
    bool loaded = true;
    const QLocale locale(language == Language::English ? QLocale::English : QLocale::Russian);
    auto qt = std::make_unique<QTranslator>();
    if (!qt->load(locale, QStringLiteral("qtbase"), QStringLiteral("_"),
                  QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        qt.reset();
        loaded = false;
    }
    replace(qtTexts(), std::move(qt));

    std::unique_ptr<QTranslator> program;
    if (language == Language::English) {
        program = std::make_unique<QTranslator>();
        if (!program->load(QStringLiteral(":/i18n/tonvale_en.qm"))) {
            program.reset();
            loaded = false;
        }
    }
    replace(programTexts(), std::move(program));
    g_installed = programTexts() ? language : Language::Russian;
    return loaded;
}

Language installedLanguage() {
    return g_installed;
}

} // namespace tonvale
