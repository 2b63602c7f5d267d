// SPDX-License-Identifier: MIT
#include "document/Writer.h"

#include "document/Cp1251.h"
#include "document/TextHelpers.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <new>
#include <vector>

namespace tonvale {

namespace {

constexpr std::string_view SixBlanks = "      ";

// True when the text holds a line break, which the output turns into CR LF.
bool hasLineBreak(std::string_view text) {
    return containsEither(text, '\r', '\n');
}

// Eight bytes at a time: every text of the tree is checked before anything is written.
bool hasBrace(std::string_view text) {
    constexpr std::uint64_t Ones = 0x0101010101010101u;
    constexpr std::uint64_t Highs = 0x8080808080808080u;
    const auto hasByte = [](std::uint64_t word, unsigned char byte) {
        const std::uint64_t x = word ^ (Ones * byte);
        return ((x - Ones) & ~x & Highs) != 0;
    };
    std::size_t i = 0;
    for (; i + 8 <= text.size(); i += 8) {
        std::uint64_t word = 0;
        std::memcpy(&word, text.data() + i, sizeof word);
        if (hasByte(word, '{') || hasByte(word, '}'))
            return true;
    }
    return containsEither(text.substr(i), '{', '}');
}

// Collects output and turns every lone CR and every lone LF into CR LF.
class Output {
  public:
    explicit Output(const StoppableSink& sink) : m_sink(sink) { m_buffer.reserve(ChunkSize + 4096); }

    // The sink asked to stop: nothing more goes to it.
    bool stopped() const { return m_stopped; }

    // A piece of a line; line breaks inside it become CR LF.
    void plain(std::string_view piece) {
        if (hasLineBreak(piece)) {
            text(piece);
            return;
        }
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
            flush();
            for (; count > 0 && !m_stopped; count -= std::min(count, ChunkSize))
                send(std::string_view(tabs).substr(0, std::min(count, ChunkSize)));
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
        flush();
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
        if (m_buffer.size() >= ChunkSize)
            flush();
    }
    void flush() {
        if (!m_buffer.empty())
            send(m_buffer);
        m_buffer.clear();
    }
    void send(std::string_view chunk) {
        if (!m_stopped && !m_sink(chunk))
            m_stopped = true;
    }

    const StoppableSink& m_sink;
    std::string m_buffer;
    bool m_pendingCr = false;
    bool m_stopped = false;
};

// Lays the tree out line by line. Each element line is followed by the brace lines of the blocks it
// opens or closes: an opening brace on the next line, indented like the block's elements; after a
// block's last line, its trailing comments, then its closing brace. Closing braces that follow one
// another are indented by their number and carry two trailing blanks, the last of them one.
class Writer {
  public:
    explicit Writer(const SectionTree& tree) : m_tree(tree), m_nodes(tree.preorder()) {}

    WriteOutcome write(const StoppableSink& sink, Message* failure) {
        if (m_nodes.size() < 2)
            return fail(failure, writetext::NoData);
        bool anyBlock = false;
        for (const Node* node : m_nodes) {
            if (!textsCanBeWritten(node))
                return fail(failure, writetext::BadFormat);
            anyBlock = anyBlock || (node != m_nodes.back() && opensBlock(node));
        }
        Output out(sink);
        if (m_tree.byteOrderMark())
            out.plain(ByteOrderMark);
        // A script without any block gets a "{}" line so that it passes the brace check when it is
        // loaded again. It goes first: after an element, a "{" would open that element's block.
        if (!anyBlock)
            out.plain("{}\r\n");
        for (std::size_t i = 0; i + 1 < m_nodes.size() && !out.stopped(); ++i)
            emitElement(out, i);
        emitComments(out, m_tree.topLevelComments(), 0);
        emitLine(out, m_nodes.back(), false);
        out.plain("\r\n");
        out.finish();
        return out.stopped() ? WriteOutcome::Stopped : WriteOutcome::Written;
    }

  private:
    static WriteOutcome fail(Message* failure, std::string_view text) {
        if (failure != nullptr)
            *failure = {std::string(text), std::string(writetext::Caption), MessageIcon::Error};
        return WriteOutcome::Refused;
    }

    // A brace in a node's text or value would be read back as a block (or refuse the file); braces in
    // comments are comment text. The end marker's text is written as it is, unless it is an element.
    static bool textsCanBeWritten(const Node* node) {
        if (hasBrace(node->text()) && !isCommentLine(node->text()))
            return false;
        const NodeData* data = node->data();
        return data == nullptr || !hasBrace(data->value);
    }

    // Comment lines, each followed by a CR, written as "//" lines at `tabs` tabs.
    static void emitComments(Output& out, std::string_view comments, std::size_t tabs) {
        while (!comments.empty()) {
            const std::size_t cr = comments.find('\r');
            out.repeat('\t', tabs);
            out.plain("//");
            out.plain(comments.substr(0, cr));
            out.plain("\r\n");
            comments.remove_prefix(cr == std::string_view::npos ? comments.size() : cr + 1);
        }
    }

    // The element line without its end: tabs, text, then six blanks + Value + two blanks when there is
    // a value, then two blanks + "//" + CommentBeside when there is a beside comment.
    // A line whose key and value leave a quote open ends right after them (unless a beside comment
    // follows): blanks written there would fall inside the quotes.
    static void emitLine(Output& out, const Node* node, bool blankAtEnd) {
        out.repeat('\t', static_cast<std::size_t>(node->level()));
        out.plain(node->text());
        const NodeData* data = node->data();
        const bool besideComment = data != nullptr && !data->commentBeside.empty();
        bool quoteOpen = false;
        if (!besideComment) {
            const std::string_view value = data != nullptr ? std::string_view(data->value) : "";
            quoteOpen = (std::count(node->text().begin(), node->text().end(), '"') +
                         std::count(value.begin(), value.end(), '"')) %
                            2 !=
                        0;
        }
        if (data != nullptr && !data->value.empty()) {
            out.plain(SixBlanks);
            out.plain(data->value);
            if (!quoteOpen)
                out.plain("  ");
        }
        if (besideComment) {
            out.plain("  //");
            out.plain(data->commentBeside);
        }
        if (blankAtEnd && !quoteOpen)
            out.plain(" ");
    }

    static void emitClosingRun(Output& out, std::size_t count) {
        for (std::size_t k = 0; k < count; ++k) {
            out.repeat('\t', count);
            out.plain(k + 1 < count ? "}  \r\n" : "} \r\n");
        }
    }

    void emitElement(Output& out, std::size_t i) const {
        const Node* node = m_nodes[i];
        const NodeData* data = node->data();
        const std::string_view above = data != nullptr ? std::string_view(data->commentsAbove) : "";
        emitComments(out, above, 0);

        // The blocks that end after this line, innermost first: its own empty block, then every
        // ancestor whose last line this is.
        const bool opens = opensBlock(node);
        std::vector<const Node*>& closing = m_closing;
        closing.clear();
        if (!node->hasChildren()) {
            if (opens)
                closing.push_back(node);
            const int nextLevel = m_nodes[i + 1]->level();
            for (const Node* a = node->parent(); a != nullptr && a->level() >= nextLevel; a = a->parent())
                closing.push_back(a);
        }
        emitLine(out, node, opens || !closing.empty());
        out.plain("\r\n");
        if (opens) {
            out.repeat('\t', static_cast<std::size_t>(node->level()) + 1);
            out.plain("{\r\n");
        }
        std::size_t run = 0;
        for (const Node* block : closing) {
            const NodeData* blockData = block->data();
            if (blockData != nullptr && !blockData->trailingComments.empty()) {
                emitClosingRun(out, run);
                run = 0;
                emitComments(out, blockData->trailingComments, static_cast<std::size_t>(block->level()) + 1);
            }
            ++run;
        }
        emitClosingRun(out, run);
        if (!above.empty())
            out.plain("\r\n");
    }

    const SectionTree& m_tree;
    const std::vector<Node*>& m_nodes;
    mutable std::vector<const Node*> m_closing;
};

} // namespace

WriteOutcome streamScript(const SectionTree& tree, const StoppableSink& sink, Message* failure) {
    try {
        return Writer(tree).write(sink, failure);
    } catch (const std::bad_alloc&) {
        if (failure != nullptr)
            *failure = {std::string(writetext::NoMemory), std::string(writetext::Caption),
                        MessageIcon::Error};
        return WriteOutcome::OutOfMemory;
    }
}

bool writeScript(const SectionTree& tree, const ByteSink& sink, Message* failure) {
    const WriteOutcome outcome = streamScript(
        tree,
        [&sink](std::string_view chunk) {
            sink(chunk);
            return true;
        },
        failure);
    return outcome == WriteOutcome::Written;
}

WriteResult writeScript(const SectionTree& tree) {
    WriteResult result;
    try {
        // One allocation for the whole text in the common case: an estimate of the canonical size.
        std::size_t estimate = 0;
        for (const Node* node : tree.preorder()) {
            estimate += static_cast<std::size_t>(node->level()) * 2 + node->text().size() + 16;
            if (const NodeData* data = node->data())
                estimate += data->value.size() + data->commentsAbove.size() + data->commentBeside.size() +
                            data->trailingComments.size();
        }
        result.bytes.reserve(estimate);
    } catch (const std::exception&) { // std::bad_alloc, or std::length_error for a text beyond any string
        result.message = {std::string(writetext::NoMemory), std::string(writetext::Caption),
                          MessageIcon::Error};
        return result;
    }
    result.ok = writeScript(
        tree, [&result](std::string_view chunk) { result.bytes.append(chunk); }, &result.message);
    if (!result.ok)
        result.bytes = std::string(); // its memory goes back too
    return result;
}

} // namespace tonvale
