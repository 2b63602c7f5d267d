// SPDX-License-Identifier: MIT
#include "texts/CoreTexts.h"

#include "texts/Language.h"

#include <QCoreApplication>
#include <QRegularExpression>
#include <array>

namespace tonvale {

namespace {

// The core's fixed texts, for lupdate: they are looked up under CoreTextContext as they are.
[[maybe_unused]] constexpr const char* FixedTexts[] = {
    // Loading
    QT_TRANSLATE_NOOP("tonvale", "Ошибка. Не найдена одна или несколько открывающих(закрывающих) фигурных "
                                 "скобок. Или файл непригоден для загрузки в программу."),
    QT_TRANSLATE_NOOP("tonvale", "Загрузка файла"),
    QT_TRANSLATE_NOOP("tonvale", "Ошибка загрузки файла"),
    QT_TRANSLATE_NOOP("tonvale", "Открыть файл"),
    QT_TRANSLATE_NOOP("tonvale", "закрывающая скобка «}» без открывающей."),
    QT_TRANSLATE_NOOP("tonvale", "открывающая скобка «{» не закрыта."),
    QT_TRANSLATE_NOOP("tonvale", "фигурная скобка внутри кавычек."),
    // Writing
    QT_TRANSLATE_NOOP("tonvale", "Сохранить файл"),
    QT_TRANSLATE_NOOP("tonvale", "Файл не найден"),
    QT_TRANSLATE_NOOP("tonvale", "Файл не имеет данных"),
    QT_TRANSLATE_NOOP("tonvale", "Ошибка! Не могу создать файл нужного формата"),
    // Tree edits
    QT_TRANSLATE_NOOP("tonvale", "Непредвиденная ошибка"),
    QT_TRANSLATE_NOOP("tonvale", "Удалить"),
    QT_TRANSLATE_NOOP("tonvale", "Изменить"),
    QT_TRANSLATE_NOOP("tonvale", "Переместить в начало?"),
    QT_TRANSLATE_NOOP("tonvale", "Перемещение"),
    QT_TRANSLATE_NOOP("tonvale", "Внимание, комментарии также удаляются."),
    QT_TRANSLATE_NOOP("tonvale", "Да - первым элементом, Нет - последним элементом."),
    // New elements
    QT_TRANSLATE_NOOP("tonvale", "Новый файл"),
    QT_TRANSLATE_NOOP("tonvale", "Создать блоки автоматически?"),
    QT_TRANSLATE_NOOP("tonvale", "Новый soundscape"),
    QT_TRANSLATE_NOOP("tonvale", "Новый soundscape (название)"),
    QT_TRANSLATE_NOOP("tonvale", "Откройте или создайте soundscape файл"),
    QT_TRANSLATE_NOOP("tonvale", "Секция с таким названием уже имеется"),
    QT_TRANSLATE_NOOP("tonvale", "Новый"),
    QT_TRANSLATE_NOOP("tonvale", "Не введено имя заголовка в секции"),
    QT_TRANSLATE_NOOP("tonvale", "Не введено наименование параметра (переменной)"),
    QT_TRANSLATE_NOOP("tonvale", "Новая секция"),
    QT_TRANSLATE_NOOP("tonvale", "Параметр"),
    QT_TRANSLATE_NOOP("tonvale", "Значение"),
    QT_TRANSLATE_NOOP("tonvale", "Ошибка создания блока playlooping"),
    QT_TRANSLATE_NOOP("tonvale", "Новый блок playlooping"),
    QT_TRANSLATE_NOOP("tonvale", "Ошибка создания блока playrandom"),
    QT_TRANSLATE_NOOP("tonvale", "Новый блок playrandom"),
    QT_TRANSLATE_NOOP("tonvale", "Ошибка создания блока rndwave"),
    QT_TRANSLATE_NOOP("tonvale", "Новый блок rndwave"),
    QT_TRANSLATE_NOOP("tonvale", "Ошибка создания блока playsoundscape\""),
    QT_TRANSLATE_NOOP("tonvale", "Новый блок playsoundscape\""),
};

// A line whose words are fixed around parts taken from the document or counted: `form` matches the
// whole line, `source` is the text looked up, with %1, %2... for the parts in their order. The parts
// listed in `translatedPart` are themselves core texts.
struct LineForm {
    const char* form;
    const char* source;
    int translatedPart; // 1-based; 0: none
};

const std::array<LineForm, 5> Forms = {{
    {R"(^Строка (\d+): (.+)$)", QT_TRANSLATE_NOOP("tonvale", "Строка %1: %2"), 2},
    {R"(^Вы действительно хотите удалить заголовок \(параметр, секцию\) (\[.*\]) в (\[.*\])\?$)",
     QT_TRANSLATE_NOOP("tonvale", "Вы действительно хотите удалить заголовок (параметр, секцию) %1 в %2?"),
     0},
    {R"(^Вы действительно хотите удалить заголовок \(параметр, секцию\) (\[.*\])\?$)",
     QT_TRANSLATE_NOOP("tonvale", "Вы действительно хотите удалить заголовок (параметр, секцию) %1?"), 0},
    {R"(^Переместить \[(.*)\] в начало \[(.*)\]\?$)",
     QT_TRANSLATE_NOOP("tonvale", "Переместить [%1] в начало [%2]?"), 0},
    {R"(^ Ожидание\.\.\. через (\S+) сек\. Volume = (\S+)\. Pitch = (-?\d+)$)",
     QT_TRANSLATE_NOOP("tonvale", " Ожидание... через %1 сек. Volume = %2. Pitch = %3"), 0},
}};
// The playing line of a random sound names a wave, which may hold anything: matched from both ends.
const LineForm PlayingForm = {
    R"(^ \[(.*)\] Volume = (\S+)\. Pitch = (-?\d+); Ожидание\.\.\. через (\S+) сек\.$)",
    QT_TRANSLATE_NOOP("tonvale", " [%1] Volume = %2. Pitch = %3; Ожидание... через %4 сек."), 0};

QString fillIn(const QString& form, const QStringList& parts);

QString lookUp(const QString& text) {
    const QByteArray utf8 = text.toUtf8();
    return QCoreApplication::translate(CoreTextContext, utf8.constData());
}

QString line(const QString& text);

QString byForm(const LineForm& form, const QString& text, bool& matched) {
    static thread_local std::vector<std::pair<const char*, QRegularExpression>> compiled;
    const QRegularExpression* expression = nullptr;
    for (const auto& [key, re] : compiled) {
        if (key == form.form)
            expression = &re;
    }
    if (expression == nullptr) {
        compiled.emplace_back(form.form, QRegularExpression(QString::fromUtf8(form.form)));
        expression = &compiled.back().second;
    }
    const QRegularExpressionMatch match = expression->match(text);
    matched = match.hasMatch();
    if (!matched)
        return text;
    QString result = QCoreApplication::translate(CoreTextContext, form.source);
    QStringList parts;
    for (int i = 1; i <= match.lastCapturedIndex(); ++i)
        parts << (i == form.translatedPart ? line(match.captured(i)) : match.captured(i));
    return fillIn(result, parts);
}

QString line(const QString& text) {
    const QString whole = lookUp(text);
    if (whole != text)
        return whole;
    for (const LineForm& form : Forms) {
        bool matched = false;
        QString translated = byForm(form, text, matched);
        if (matched)
            return translated;
    }
    bool matched = false;
    QString translated = byForm(PlayingForm, text, matched);
    if (matched)
        return translated;
    // The brace message names the line after the sentence: "... программу. Строка 3: ...".
    static const QString LinePrefix = QStringLiteral(" Строка ");
    if (const qsizetype at = text.lastIndexOf(LinePrefix); at > 0) {
        const QString head = text.left(at);
        const QString headTranslated = lookUp(head);
        if (headTranslated != head)
            return headTranslated + QLatin1Char(' ') + line(text.mid(at + 1));
    }
    return text;
}

QString fillIn(const QString& form, const QStringList& parts) {
    QString result;
    for (qsizetype i = 0; i < form.size(); ++i) {
        const QChar c = form[i];
        if (c == u'%' && i + 1 < form.size() && form[i + 1] >= u'1' && form[i + 1] <= u'9') {
            const qsizetype n = form[i + 1].unicode() - u'1';
            if (n < parts.size()) {
                result += parts[n];
                ++i;
                continue;
            }
        }
        result += c;
    }
    return result;
}

} // namespace

QString uiText(const char* source, const QStringList& parts) {
    return fillIn(QCoreApplication::translate(CoreTextContext, source), parts);
}

std::string uiTextUtf8(const char* source, const QStringList& parts) {
    return uiText(source, parts).toStdString();
}

QString coreText(std::string_view utf8) {
    const QString text = QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
    if (installedLanguage() == Language::Russian || text.isEmpty())
        return text;
    // Messages break lines with "\r" or "\n": each line is translated by itself.
    static const QRegularExpression Breaks(QStringLiteral("(\r\n|\r|\n)"));
    QString result;
    qsizetype from = 0;
    QRegularExpressionMatchIterator it = Breaks.globalMatch(text);
    while (it.hasNext()) {
        const QRegularExpressionMatch match = it.next();
        result += line(text.mid(from, match.capturedStart() - from)) + match.captured();
        from = match.capturedEnd();
    }
    return result + line(text.mid(from));
}

} // namespace tonvale
