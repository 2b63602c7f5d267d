#include "document/Writer.h"

#include <algorithm>
#include <new>
#include <vector>

namespace tonvale {

namespace {

constexpr std::string_view SixBlanks = "      ";

// True when the text holds a character the layout must look at: a brace or a line break.
bool hasSpecial(std::string_view text) {
    for (char c : text) {
        if (c == '{' || c == '}' || c == '\r' || c == '\n')
            return true;
    }
    return false;
}

// Counts of one text, taken in a single pass.
struct Counts {
    std::size_t tabs = 0;
    std::size_t open = 0;
    std::size_t close = 0;

    explicit Counts(std::string_view text) {
        for (char c : text) {
            tabs += c == '\t';
            open += c == '{';
            close += c == '}';
        }
    }
    Counts& operator+=(const Counts& other) {
        tabs += other.tabs;
        open += other.open;
        close += other.close;
        return *this;
    }
};

// The pieces of one node's line before the block marks. The line is: tabs, text, then
// six blanks + Value + two blanks when there is a value, then two blanks + "//" + CommentBeside when
// there is a beside comment.
struct LineParts {
    std::string_view text;
    std::string_view value;  // empty when absent
    std::string_view beside; // empty when absent
    std::string_view above;  // CommentsAbove, empty when absent
    std::size_t level = 0;

    explicit LineParts(const Node* node)
        : text(node->text()), level(static_cast<std::size_t>(node->level())) {
        if (const NodeData* data = node->data()) {
            value = data->value;
            beside = data->commentBeside;
            above = data->commentsAbove;
        }
    }
    // Tabs anywhere in the element line (a tab inside a text counts as one more level), and the braces
    // of the element line and of the comments above it.
    Counts elementCounts() const {
        Counts counts(text);
        counts += Counts(value);
        counts += Counts(beside);
        counts.tabs += level;
        return counts;
    }
};

// Collects output and turns every lone CR and every lone LF into CR LF.
class Output {
  public:
    explicit Output(const ByteSink& sink) : m_sink(sink) { m_buffer.reserve(ChunkSize + 4096); }

    // A piece without line breaks.
    void plain(std::string_view piece) {
        settle();
        m_buffer.append(piece);
        flushIfFull();
    }
    void text(std::string_view piece) {
        for (char c : piece)
            byte(c);
        flushIfFull();
    }
    void repeat(char c, std::size_t count) {
        settle();
        if (c == '\t' && count >= LongRun) {
            // Deeply nested scripts indent with very long runs: hand them over without copying.
            static const std::string tabs(ChunkSize, '\t');
            if (!m_buffer.empty()) {
                m_sink(m_buffer);
                m_buffer.clear();
            }
            for (; count > 0; count -= std::min(count, ChunkSize))
                m_sink(std::string_view(tabs).substr(0, std::min(count, ChunkSize)));
            return;
        }
        while (count > 0) {
            const std::size_t now = std::min<std::size_t>(count, ChunkSize);
            m_buffer.append(now, c);
            count -= now;
            flushIfFull();
        }
    }
    void byte(char c) {
        if (c == '\r') {
            settle();
            m_pendingCr = true;
        } else if (c == '\n') {
            m_pendingCr = false;
            m_buffer.append("\r\n");
        } else {
            settle();
            m_buffer.push_back(c);
        }
    }
    void finish() {
        settle();
        if (!m_buffer.empty())
            m_sink(m_buffer);
        m_buffer.clear();
    }

  private:
    static constexpr std::size_t ChunkSize = 1 << 16;
    static constexpr std::size_t LongRun = 4096;

    void settle() {
        if (m_pendingCr) {
            m_buffer.append("\r\n");
            m_pendingCr = false;
        }
    }
    void flushIfFull() {
        if (m_buffer.size() >= ChunkSize) {
            m_sink(m_buffer);
            m_buffer.clear();
        }
    }

    const ByteSink& m_sink;
    std::string m_buffer;
    bool m_pendingCr = false;
};

// Per-line facts the layout needs from the next line.
struct LineInfo {
    std::size_t elementTabs = 0; // tabs of the element line: decides the block marks
    std::size_t allTabs = 0;     // tabs of the whole line with its comment block: indents braces
    std::size_t opens = 0;       // block marks " {" (0 or 1)
    std::size_t closes = 0;      // block marks " } "
    std::size_t textCloses = 0;  // "}" inside the line's own texts
};

class Writer {
  public:
    explicit Writer(const SectionTree& tree) : m_nodes(tree.preorder()) {}

    bool write(const ByteSink& sink, Message* failure) {
        if (m_nodes.size() < 2)
            return fail(failure, writetext::NoData);
        computeLines();
        if (!braceCountsValid(m_openCount, m_closeCount))
            return fail(failure, writetext::BadFormat);
        Output out(sink);
        const std::size_t count = m_nodes.size();
        const bool extraLast = m_addBraces && m_braceLineLast;
        for (std::size_t i = 0; i < count; ++i) {
            const bool isLastNode = i + 1 == count;
            if (isLastNode && m_addBraces && !m_braceLineLast)
                emitBraceLine(out, /*isLastLine=*/false, tabsOfLine(i));
            const bool isLastLine = isLastNode && !extraLast;
            std::size_t nextTabs = 0;
            if (!isLastNode)
                nextTabs = m_info[i + 1].allTabs;
            else if (extraLast)
                nextTabs = 0; // the "{}" line has no tabs
            emitNodeLine(out, i, isLastLine, nextTabs);
        }
        if (extraLast)
            emitBraceLine(out, /*isLastLine=*/true, 0);
        out.finish();
        return true;
    }

  private:
    static bool braceCountsValid(std::size_t open, std::size_t close) {
        return open > 0 && close > 0 && (open + close) % 2 == 0;
    }
    static bool fail(Message* failure, std::string_view text) {
        if (failure != nullptr)
            *failure = {std::string(text), std::string(writetext::Caption), MessageIcon::Error};
        return false;
    }

    std::size_t tabsOfLine(std::size_t i) const { return m_info[i].allTabs; }

    void computeLines() {
        const std::size_t count = m_nodes.size();
        m_info.assign(count, {});
        for (std::size_t i = 0; i < count; ++i) {
            const LineParts parts(m_nodes[i]);
            const Counts element = parts.elementCounts();
            const Counts above(parts.above);
            m_info[i].elementTabs = element.tabs;
            m_info[i].allTabs = element.tabs + above.tabs;
            m_info[i].textCloses = element.close + above.close;
            m_openCount += element.open + above.open;
            m_closeCount += element.close + above.close;
        }
        for (std::size_t i = 0; i + 1 < count; ++i) {
            const std::size_t n = m_info[i].elementTabs;
            const std::size_t m = m_info[i + 1].elementTabs;
            if (m > n) {
                m_info[i].opens = 1;
            } else if (m < n && !startsWithDollar(i)) {
                m_info[i].closes = n - m;
            }
            m_openCount += m_info[i].opens;
            m_closeCount += m_info[i].closes;
        }
        // A script without any brace gets a "{}" line so that it loads again. It goes last, unless the
        // last line has text (such as a trailing comment), which must stay last to survive a reload.
        m_addBraces = m_openCount == 0 && m_closeCount == 0;
        if (m_addBraces) {
            ++m_openCount;
            ++m_closeCount;
            const LineParts lastParts(m_nodes.back());
            m_braceLineLast = lastParts.text.empty() && lastParts.value.empty() && lastParts.beside.empty() &&
                              lastParts.above.empty() && lastParts.level == 0;
        }
    }

    // A top-level line beginning with "$" (a variable) gets no closing marks; it still opens a block
    // when elements follow it one level deeper, so no block is ever left without its brace.
    bool startsWithDollar(std::size_t i) const {
        return m_nodes[i]->level() == 0 && m_nodes[i]->text().starts_with('$');
    }

    // Emits a piece of a line. Unless on the last line, every "{" becomes CR + `openTabs` tabs + "{"
    // and every "}" becomes CR + `closeTabs` tabs + "}".
    static void piece(Output& out, std::string_view text, bool keepBraces, std::size_t openTabs,
                      std::size_t closeTabs) {
        if (!hasSpecial(text)) {
            out.plain(text);
            return;
        }
        if (keepBraces) {
            out.text(text);
            return;
        }
        while (!text.empty()) {
            const std::size_t at = text.find_first_of("{}");
            if (at == std::string_view::npos) {
                out.text(text);
                return;
            }
            out.text(text.substr(0, at));
            out.byte('\r');
            out.repeat('\t', text[at] == '{' ? openTabs : closeTabs);
            out.byte(text[at]);
            text.remove_prefix(at + 1);
        }
    }

    void emitNodeLine(Output& out, std::size_t i, bool isLastLine, std::size_t nextTabs) const {
        const LineParts parts(m_nodes[i]);
        const LineInfo& info = m_info[i];
        const std::size_t closeTabs = info.closes + info.textCloses;
        auto emit = [&](std::string_view text) { piece(out, text, isLastLine, nextTabs, closeTabs); };
        if (!parts.above.empty()) {
            emit("//");
            std::string_view above = parts.above;
            for (std::size_t cr = above.find('\r'); cr != std::string_view::npos; cr = above.find('\r')) {
                emit(above.substr(0, cr));
                emit("\r//");
                above.remove_prefix(cr + 1);
            }
            emit(above);
            out.byte('\r');
        }
        out.repeat('\t', parts.level);
        emit(parts.text);
        if (!parts.value.empty()) {
            emit(SixBlanks);
            emit(parts.value);
            emit("  ");
        }
        if (!parts.beside.empty()) {
            emit("  //");
            emit(parts.beside);
        }
        if (info.opens != 0)
            emit(" {");
        for (std::size_t c = 0; c < info.closes; ++c)
            emit(" } ");
        if (!parts.above.empty())
            out.byte('\r');
        out.text("\r\n");
    }

    static void emitBraceLine(Output& out, bool isLastLine, std::size_t nextTabs) {
        piece(out, "{}", isLastLine, nextTabs, 1);
        out.text("\r\n");
    }

    const std::vector<Node*>& m_nodes;
    std::vector<LineInfo> m_info;
    std::size_t m_openCount = 0;
    std::size_t m_closeCount = 0;
    bool m_addBraces = false;
    bool m_braceLineLast = true;
};

} // namespace

bool writeScript(const SectionTree& tree, const ByteSink& sink, Message* failure) {
    try {
        return Writer(tree).write(sink, failure);
    } catch (const std::bad_alloc&) {
        if (failure != nullptr)
            *failure = {}; // reported by the caller in its own words
        return false;
    }
}

WriteResult writeScript(const SectionTree& tree) {
    WriteResult result;
    // One allocation for the whole text in the common case: an estimate of the canonical size.
    std::size_t estimate = 0;
    for (const Node* node : tree.preorder()) {
        estimate += static_cast<std::size_t>(node->level()) * 2 + node->text().size() + 16;
        if (const NodeData* data = node->data())
            estimate += data->value.size() + data->commentsAbove.size() + data->commentBeside.size();
    }
    result.bytes.reserve(estimate);
    result.ok = writeScript(
        tree, [&result](std::string_view chunk) { result.bytes.append(chunk); }, &result.message);
    if (!result.ok)
        result.bytes.clear();
    return result;
}

} // namespace tonvale
