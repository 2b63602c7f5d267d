// SPDX-License-Identifier: MIT
#include "project/ScriptOutline.h"

#include <cstring>

namespace tonvale::project {

namespace {

struct Token {
    enum class Kind { End, Open, Close, Text };
    Kind kind = Kind::End;
    std::string_view text;
    SourcePosition at;
    bool quoted = false;
    int closingLine = 0; // for quoted text: the line of its closing quote, 0 when there is none
};

bool isBlank(char c) {
    return static_cast<unsigned char>(c) <= 32 && c != '\r' && c != '\n';
}

// Cuts script bytes into tokens, counting lines as the loader does (CR LF, a lone CR and a lone LF
// each end a line; a NUL byte ends the text).
class Tokenizer {
  public:
    explicit Tokenizer(std::string_view bytes) : m_text(bytes) {
        if (const void* nul = std::memchr(bytes.data(), '\0', bytes.size()))
            m_text = bytes.substr(0, static_cast<std::size_t>(static_cast<const char*>(nul) - bytes.data()));
    }

    Token next() {
        skipSpaceAndComments();
        Token token;
        token.at = {m_line, static_cast<int>(m_pos - m_lineStart) + 1};
        if (m_pos >= m_text.size())
            return token;
        const char c = m_text[m_pos];
        if (c == '{' || c == '}') {
            token.kind = c == '{' ? Token::Kind::Open : Token::Kind::Close;
            ++m_pos;
            return token;
        }
        token.kind = Token::Kind::Text;
        if (c == '"') {
            // Quoted text ends at the next double quote, on whatever line it stands.
            token.quoted = true;
            const std::size_t start = ++m_pos;
            while (m_pos < m_text.size() && m_text[m_pos] != '"') {
                if (isLineBreak(m_text[m_pos]))
                    breakLine();
                else
                    ++m_pos;
            }
            token.text = m_text.substr(start, m_pos - start);
            if (m_pos < m_text.size()) {
                token.closingLine = m_line;
                ++m_pos;
            }
            return token;
        }
        const std::size_t start = m_pos;
        while (m_pos < m_text.size() && !isBlank(m_text[m_pos]) && !isLineBreak(m_text[m_pos]) &&
               m_text[m_pos] != '"' && m_text[m_pos] != '{' && m_text[m_pos] != '}' && !atComment())
            ++m_pos;
        token.text = m_text.substr(start, m_pos - start);
        return token;
    }

    int lineCount() const { return m_text.empty() ? 0 : m_lastLine; }

  private:
    static bool isLineBreak(char c) { return c == '\r' || c == '\n'; }
    bool atComment() const {
        return m_text[m_pos] == '/' && m_pos + 1 < m_text.size() && m_text[m_pos + 1] == '/';
    }
    void breakLine() {
        if (m_text[m_pos] == '\r' && m_pos + 1 < m_text.size() && m_text[m_pos + 1] == '\n')
            ++m_pos;
        ++m_pos;
        m_lineStart = m_pos;
        if (m_pos < m_text.size())
            m_lastLine = ++m_line;
    }
    void skipSpaceAndComments() {
        while (m_pos < m_text.size()) {
            const char c = m_text[m_pos];
            if (isLineBreak(c)) {
                breakLine();
            } else if (isBlank(c)) {
                ++m_pos;
            } else if (atComment()) {
                while (m_pos < m_text.size() && !isLineBreak(m_text[m_pos]))
                    ++m_pos;
            } else {
                return;
            }
        }
    }

    std::string_view m_text;
    std::size_t m_pos = 0;
    std::size_t m_lineStart = 0;
    int m_line = 1;
    int m_lastLine = 1;
};

} // namespace

ScriptOutline readOutline(std::string_view bytes) {
    ScriptOutline outline;
    auto& elements = outline.elements;
    Tokenizer tokens(bytes);
    std::vector<std::int32_t> open; // blocks not closed yet, innermost last
    std::int32_t pendingKey = -1;   // a key still waiting for its value or block
    auto addElement = [&](const Token& token) {
        OutlineElement element;
        element.key.assign(token.text);
        element.keyAt = token.at;
        element.keyQuoted = token.quoted;
        element.parent = open.empty() ? -1 : open.back();
        element.end = static_cast<std::uint32_t>(elements.size() + 1);
        elements.push_back(std::move(element));
        return static_cast<std::int32_t>(elements.size() - 1);
    };
    for (Token token = tokens.next(); token.kind != Token::Kind::End; token = tokens.next()) {
        if (token.quoted && token.closingLine != token.at.line)
            outline.quoteFaults.push_back({token.at, token.closingLine});
        switch (token.kind) {
        case Token::Kind::Open: {
            // A "{" without a key before it still opens a block: an element without a key holds it.
            const std::int32_t owner = pendingKey >= 0 ? pendingKey : addElement(token);
            elements[static_cast<std::size_t>(owner)].block = true;
            open.push_back(owner);
            pendingKey = -1;
            break;
        }
        case Token::Kind::Close:
            pendingKey = -1;
            if (open.empty()) {
                if (outline.braceFault.kind == BraceFault::Kind::None)
                    outline.braceFault = {BraceFault::Kind::Unopened, token.at};
                break;
            }
            elements[static_cast<std::size_t>(open.back())].end = static_cast<std::uint32_t>(elements.size());
            open.pop_back();
            break;
        case Token::Kind::Text:
            if (pendingKey >= 0) {
                OutlineElement& element = elements[static_cast<std::size_t>(pendingKey)];
                element.value.assign(token.text);
                element.valueAt = token.at;
                element.hasValue = true;
                pendingKey = -1;
            } else {
                pendingKey = addElement(token);
            }
            break;
        case Token::Kind::End:
            break;
        }
    }
    if (!open.empty() && outline.braceFault.kind == BraceFault::Kind::None)
        outline.braceFault = {BraceFault::Kind::Unclosed,
                              elements[static_cast<std::size_t>(open.front())].keyAt};
    for (const std::int32_t index : open)
        elements[static_cast<std::size_t>(index)].end = static_cast<std::uint32_t>(elements.size());
    outline.lineCount = tokens.lineCount();
    return outline;
}

std::string foldName(std::string_view name) {
    std::string folded(name);
    for (char& c : folded) {
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    }
    return folded;
}

} // namespace tonvale::project
