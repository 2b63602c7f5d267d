#include "Helpers.h"

#include "document/Cp1251.h"
#include "document/Templates.h"

using namespace tonvale;
using namespace tonvale::testing;

namespace {

std::string fullTemplate() {
    std::vector<std::string> lines;
    AutocreateSS(lines);
    return crlf(lines);
}

// Builds "tabs + content + trailing blanks" lines of the canonical layout.
std::string row(int tabs, const std::string& content, int blanks) {
    return std::string(static_cast<std::size_t>(tabs), '\t') + content + std::string(static_cast<std::size_t>(blanks), ' ');
}

} // namespace

TEST(Writer, FullNewFileTemplateGivesTheCanonicalTwentyFourLines) {
    const std::string six = "      ";
    const std::string comment = utf8ToCp1251(
        "//soundscapes_myfile. Создана секция по умолчанию \"myfile.defsection\".Чтобы изменить ее название "
        "выберите из главного меню \"Правка\" -> \"Изменить\".");
    // The comment line loses its "/" characters inside the text: they become blanks, then the text is
    // trimmed; the template's "->" has none, so only the leading "//" goes and comes back.
    const std::vector<std::string> expected = {
        comment,
        row(0, "\"myfile.defsection\"", 1),
        row(1, "{", 0),
        row(0, "", 0),
        row(1, "\"dsp\"" + six + "\"0\"", 2),
        row(1, "\"playlooping\"", 1),
        row(2, "{", 0),
        row(2, "\"volume\"" + six + "\"0.5\"", 2),
        row(2, "\"wave\"" + six + "\"wave file name\"", 2),
        row(2, "\"pitch\"" + six + "\"100\"", 3),
        row(1, "}", 1),
        row(1, "\"playrandom\"", 1),
        row(2, "{", 0),
        row(2, "\"time\"" + six + "\"1,6\"", 2),
        row(2, "\"volume\"" + six + "\"0.5,1.0\"", 2),
        row(2, "\"pitch\"" + six + "\"100\"", 2),
        row(2, "\"rndwave\"", 1),
        row(3, "{", 0),
        row(3, "\"wave\"" + six + "\"first wave file name\"", 2),
        row(3, "\"wave\"" + six + "\"second wave file name\"", 3),
        row(3, "}", 2),
        row(3, "}", 2),
        row(3, "}", 1),
        row(0, "", 0),
    };
    const std::string first = canonical(fullTemplate());
    EXPECT_EQ(first, crlf(expected));
    EXPECT_EQ(canonical(first), first);
}
