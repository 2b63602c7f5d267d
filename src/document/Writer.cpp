// SPDX-License-Identifier: MIT
#include "document/Writer.h"

#include "document/BlockMemory.h"
#include "document/Cp1251.h"
#include "document/TextHelpers.h"

#include <algorithm>
#include <bit>
#include <cstdint>
#include <cstring>
#include <memory>
#include <new>
#include <vector>

namespace tonvale {

namespace {

constexpr std::string_view SixBlanks = "      ";

// Eight bytes at a time. Every byte of `word` that equals `byte` gets its high bit set, and no other.
constexpr std::uint64_t Ones = 0x0101010101010101u;
constexpr std::uint64_t Highs = 0x8080808080808080u;
constexpr std::uint64_t Lows = 0x7F7F7F7F7F7F7F7Fu;
constexpr std::uint64_t bytesEqual(std::uint64_t word, unsigned char byte) {
    const std::uint64_t x = word ^ (Ones * byte);
    return ~(((x & Lows) + Lows) | x) & Highs;
}

// The last `count` (1 to 7) bytes of a text, in the low bytes of a word whose other bytes are letters.
// Built from loads that overlap, in registers (bytes stored one by one and read back as a word stall).
static_assert(std::endian::native == std::endian::little, "the overlapping loads place bytes by address");
inline std::uint64_t tailWord(const char* bytes, std::size_t count) {
    const auto byteAt = [bytes](std::size_t i) {
        return std::uint64_t{static_cast<unsigned char>(bytes[i])};
    };
    std::uint64_t word = 0;
    if (count >= 4) {
        std::uint32_t low = 0;
        std::uint32_t high = 0;
        std::memcpy(&low, bytes, 4);
        std::memcpy(&high, bytes + count - 4, 4);
        word = std::uint64_t{low} | (std::uint64_t{high} << (8 * (count - 4)));
    } else {
        word =
            byteAt(0) | (byteAt(count / 2) << (8 * (count / 2))) | (byteAt(count - 1) << (8 * (count - 1)));
    }
    return word | ((Ones * 'a') << (8 * count));
}

// What the writer must know of a node's key and value before it writes anything: whether they hold
// a brace (which would read back as a block) or a line break (which the output turns into CR LF), and
// whether they leave a double quote open.
class TextScan {
  public:
    void add(std::string_view text) {
        const std::size_t whole = text.size() / 8 * 8;
        for (std::size_t i = 0; i < whole; i += 8) {
            std::uint64_t word = 0;
            std::memcpy(&word, text.data() + i, sizeof word);
            look(word);
        }
        if (whole < text.size())
            look(tailWord(text.data() + whole, text.size() - whole));
    }
    bool brace() const { return m_braces != 0; }
    // Bytes below 14 were seen: the texts may hold a CR or LF.
    bool maybeLineBreak() const { return m_controls != 0; }
    bool quoteOpen() const {
        std::uint64_t q = m_quotes;
        q ^= q >> 32;
        q ^= q >> 16;
        q ^= q >> 8;
        return (q & 0x80) != 0;
    }

  private:
    void look(std::uint64_t word) {
        m_braces |= bytesEqual(word, '{') | bytesEqual(word, '}');
        m_controls |= (word - Ones * 14) & ~word & Highs;
        m_quotes ^= bytesEqual(word, '"');
    }

    std::uint64_t m_braces = 0;
    std::uint64_t m_controls = 0;
    std::uint64_t m_quotes = 0; // the parity of the quotes seen in each byte position
};

// Collects the output in a buffer and hands it to the sink in chunks of ChunkSize bytes. Texts that
// hold line breaks go through `text`, which turns every lone CR and every lone LF into CR LF.
class Output {
  public:
    static constexpr std::size_t ChunkSize = std::size_t{1} << 16;

    Output(const StoppableSink& sink, bool breaksInTexts)
        : m_sink(sink), m_breaksInTexts(breaksInTexts), m_buffer(new char[ChunkSize]), m_at(m_buffer.get()),
          m_end(m_buffer.get() + ChunkSize) {}

    // The sink asked to stop: nothing more goes to it.
    bool stopped() const { return m_stopped; }

    // A piece of the layout (blanks, braces, "//", CR LF): never a line break but a whole CR LF.
    void layout(std::string_view piece) {
        settle();
        put(piece.data(), piece.size());
    }
    // A text of the tree; its line breaks become CR LF.
    void plain(std::string_view piece) {
        if (m_breaksInTexts && containsEither(piece, '\r', '\n'))
            text(piece);
        else
            layout(piece);
    }
    // A key or value that was looked at: only one that may hold a line break is looked at again.
    void known(std::string_view piece, bool mayBreak) {
        if (mayBreak && containsEither(piece, '\r', '\n'))
            text(piece);
        else
            layout(piece);
    }
    void tabs(std::size_t count) {
        settle();
        if (count <= Tabs.size()) {
            put(Tabs.data(), count);
            return;
        }
        longTabs(count);
    }
    [[gnu::noinline]] void longTabs(std::size_t count) {
        // Deeply nested scripts indent with very long runs: hand them over without copying.
        static const std::string longTabs(ChunkSize, '\t');
        flush();
        for (; count > 0 && !m_stopped; count -= std::min(count, ChunkSize))
            send(std::string_view(longTabs).substr(0, std::min(count, ChunkSize)));
    }
    void finish() {
        settle();
        flush();
    }

  private:
    static constexpr std::string_view Tabs =
        "\t\t\t\t\t\t\t\t\t\t\t\t\t\t\t\t\t\t\t\t\t\t\t\t\t\t\t\t\t\t\t\t";

    void text(std::string_view piece) {
        for (char c : piece) {
            if (c == '\r') {
                settle();
                m_pendingCr = true;
            } else if (c == '\n') {
                m_pendingCr = false;
                put("\r\n", 2);
            } else {
                settle();
                put(&c, 1);
            }
        }
    }
    void settle() {
        if (m_pendingCr) {
            m_pendingCr = false;
            put("\r\n", 2);
        }
    }
    void put(const char* bytes, std::size_t count) {
        if (count <= static_cast<std::size_t>(m_end - m_at)) {
            copy(m_at, bytes, count);
            m_at += count;
            return;
        }
        putInChunks(bytes, count);
    }
    [[gnu::noinline]] void putInChunks(const char* bytes, std::size_t count) {
        while (count > 0) {
            if (m_at == m_end)
                flush();
            const std::size_t now = std::min(count, static_cast<std::size_t>(m_end - m_at));
            std::memcpy(m_at, bytes, now);
            m_at += now;
            bytes += now;
            count -= now;
        }
    }
    // `count` bytes, at least one Word and at most two: the first and the last Word, which overlap.
    template <class Word> static void copyHeadAndTail(char* to, const char* from, std::size_t count) {
        Word head = 0;
        Word tail = 0;
        std::memcpy(&head, from, sizeof(Word));
        std::memcpy(&tail, from + count - sizeof(Word), sizeof(Word));
        std::memcpy(to, &head, sizeof(Word));
        std::memcpy(to + count - sizeof(Word), &tail, sizeof(Word));
    }
    // Most pieces are short: they are copied with a few loads and stores that overlap, without a call.
    static void copy(char* to, const char* from, std::size_t count) {
        if (count > 16) {
            std::memcpy(to, from, count);
        } else if (count >= 8) {
            copyHeadAndTail<std::uint64_t>(to, from, count);
        } else if (count >= 4) {
            copyHeadAndTail<std::uint32_t>(to, from, count);
        } else if (count > 0) {
            const char first = from[0];
            const char middle = from[count / 2];
            const char last = from[count - 1];
            to[0] = first;
            to[count / 2] = middle;
            to[count - 1] = last;
        }
    }
    void flush() {
        if (m_at != m_buffer.get())
            send(std::string_view(m_buffer.get(), static_cast<std::size_t>(m_at - m_buffer.get())));
        m_at = m_buffer.get();
    }
    void send(std::string_view chunk) {
        if (!m_stopped && !m_sink(chunk))
            m_stopped = true;
    }

    const StoppableSink& m_sink;
    const bool m_breaksInTexts;
    std::unique_ptr<char[]> m_buffer;
    char* m_at;
    char* m_end;
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

    // Looks at every text before anything is written: false, with the message, when the tree cannot
    // be written.
    bool check(Message* failure) {
        if (m_nodes.size() < 2)
            return fail(failure, writetext::NoData);
        m_quoteOpen.assign(m_nodes.size(), 0);
        m_breaksInTexts = m_tree.topLevelComments().find('\n') != std::string::npos;
        bool anyBlock = false;
        for (std::size_t i = 0; i < m_nodes.size(); ++i) {
            const Node* node = m_nodes[i];
            const NodeData* data = node->data();
            // A brace in a node's text or value would be read back as a block (or refuse the file);
            // braces in comments are comment text. The end marker's text is written as it is, unless
            // it is an element.
            TextScan scan;
            scan.add(node->text());
            if (scan.brace() && !isCommentLine(node->text()))
                return fail(failure, writetext::BadFormat);
            bool breaks = scan.maybeLineBreak() && hasLineBreak(node->text());
            bool oddQuotes = scan.quoteOpen();
            if (data != nullptr) {
                TextScan value;
                value.add(data->value);
                if (value.brace())
                    return fail(failure, writetext::BadFormat);
                oddQuotes = oddQuotes != value.quoteOpen();
                breaks = breaks || (value.maybeLineBreak() && hasLineBreak(data->value)) ||
                         hasLineBreak(data->commentBeside) ||
                         data->commentsAbove.find('\n') != std::string_view::npos ||
                         data->trailingComments.find('\n') != std::string_view::npos;
            }
            m_quoteOpen[i] = oddQuotes;
            m_breaksInTexts = m_breaksInTexts || breaks;
            anyBlock = anyBlock || (i + 1 < m_nodes.size() && opensBlock(node));
        }
        m_anyBlock = anyBlock;
        return true;
    }

    // Instead of check(), for output that can be thrown away: every key and value is looked at as its
    // line is written, and write() gives Refused at the first that cannot be written.
    bool checkWhileWriting(Message* failure) {
        if (m_nodes.size() < 2)
            return fail(failure, writetext::NoData);
        m_checkWhileWriting = true;
        m_breaksInTexts = true; // comments are looked at as they are written
        // Most scripts open a block at once: the search ends there.
        m_anyBlock = std::any_of(m_nodes.begin(), m_nodes.end() - 1,
                                 [](const Node* node) { return opensBlock(node); });
        return true;
    }

    WriteOutcome write(const StoppableSink& sink) {
        Output out(sink, m_breaksInTexts);
        if (m_tree.byteOrderMark())
            out.layout(ByteOrderMark);
        // A script without any block gets a "{}" line so that it passes the brace check when it is
        // loaded again. It goes first: after an element, a "{" would open that element's block.
        if (!m_anyBlock)
            out.layout("{}\r\n");
        for (std::size_t i = 0; i + 1 < m_nodes.size() && !out.stopped() && !m_refused; ++i)
            emitElement(out, i);
        if (m_refused)
            return WriteOutcome::Refused;
        emitComments(out, m_tree.topLevelComments(), 0);
        emitLine(out, m_nodes.size() - 1, false);
        if (m_refused)
            return WriteOutcome::Refused;
        out.layout("\r\n");
        out.finish();
        return out.stopped() ? WriteOutcome::Stopped : WriteOutcome::Written;
    }

  private:
    static bool fail(Message* failure, std::string_view text) {
        if (failure != nullptr)
            *failure = {std::string(text), std::string(writetext::Caption), MessageIcon::Error};
        return false;
    }

    static bool hasLineBreak(std::string_view text) { return containsEither(text, '\r', '\n'); }

    // Comment lines, each followed by a CR, written as "//" lines at `tabs` tabs.
    static void emitComments(Output& out, std::string_view comments, std::size_t tabs) {
        while (!comments.empty()) {
            const std::size_t cr = comments.find('\r');
            out.tabs(tabs);
            out.layout("//");
            out.plain(comments.substr(0, cr));
            out.layout("\r\n");
            comments.remove_prefix(cr == std::string_view::npos ? comments.size() : cr + 1);
        }
    }

    // The element line without its end: tabs, text, then six blanks + Value + two blanks when there is
    // a value, then two blanks + "//" + CommentBeside when there is a beside comment.
    // A line whose key and value leave a quote open ends right after them (unless a beside comment
    // follows): blanks written there would fall inside the quotes.
    void emitLine(Output& out, std::size_t i, bool blankAtEnd) {
        const Node* node = m_nodes[i];
        const NodeData* data = node->data();
        const bool besideComment = data != nullptr && !data->commentBeside.empty();
        bool quoteOpen = false;
        bool keyMayBreak = m_breaksInTexts;
        bool valueMayBreak = m_breaksInTexts;
        if (m_checkWhileWriting) {
            TextScan key;
            key.add(node->text());
            TextScan value;
            if (data != nullptr)
                value.add(data->value);
            if ((key.brace() && !isCommentLine(node->text())) || value.brace()) {
                m_refused = true;
                return;
            }
            quoteOpen = !besideComment && key.quoteOpen() != value.quoteOpen();
            keyMayBreak = key.maybeLineBreak();
            valueMayBreak = value.maybeLineBreak();
        } else {
            quoteOpen = !besideComment && m_quoteOpen[i] != 0;
        }
        out.tabs(static_cast<std::size_t>(node->level()));
        out.known(node->text(), keyMayBreak);
        if (data != nullptr && !data->value.empty()) {
            out.layout(SixBlanks);
            out.known(data->value, valueMayBreak);
            if (!quoteOpen)
                out.layout("  ");
        }
        if (besideComment) {
            out.layout("  //");
            out.plain(data->commentBeside);
        }
        if (blankAtEnd && !quoteOpen)
            out.layout(" ");
    }

    static void emitClosingRun(Output& out, std::size_t count) {
        for (std::size_t k = 0; k < count; ++k) {
            out.tabs(count);
            out.layout(k + 1 < count ? "}  \r\n" : "} \r\n");
        }
    }

    void emitElement(Output& out, std::size_t i) {
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
        emitLine(out, i, opens || !closing.empty());
        out.layout("\r\n");
        if (opens) {
            out.tabs(static_cast<std::size_t>(node->level()) + 1);
            out.layout("{\r\n");
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
            out.layout("\r\n");
    }

    const SectionTree& m_tree;
    const std::vector<Node*>& m_nodes;
    std::vector<unsigned char> m_quoteOpen; // for each node: its key and value leave a quote open
    std::vector<const Node*> m_closing;
    bool m_anyBlock = false;
    bool m_breaksInTexts = false;
    bool m_checkWhileWriting = false;
    bool m_refused = false; // checking while writing met a text that cannot be written
};

} // namespace

WriteOutcome streamScript(const SectionTree& tree, const StoppableSink& sink, Message* failure) {
    try {
        Writer writer(tree);
        if (!writer.check(failure))
            return WriteOutcome::Refused;
        return writer.write(sink);
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
        // Written in one pass over the tree, which is looked at on the way; a text that cannot be
        // written throws the output away.
        Writer writer(tree);
        if (!writer.checkWhileWriting(&result.message))
            return result;
        // One allocation for the text in the common case: room for about 64 bytes a node, more than
        // canonical lines take. The part left over is never touched, so it costs no memory.
        reserveLarge(result.bytes, tree.size() * 64);
        const WriteOutcome outcome = writer.write([&result](std::string_view chunk) {
            result.bytes.append(chunk);
            return true;
        });
        if (outcome == WriteOutcome::Refused) {
            result.bytes = std::string();
            result.message = {std::string(writetext::BadFormat), std::string(writetext::Caption),
                              MessageIcon::Error};
            return result;
        }
        result.ok = true;
    } catch (const std::exception&) { // std::bad_alloc, or std::length_error for a text beyond any string
        result.bytes = std::string(); // its memory goes back too
        result.message = {std::string(writetext::NoMemory), std::string(writetext::Caption),
                          MessageIcon::Error};
    }
    return result;
}

FileResult saveScriptFile(const std::string& path, const SectionTree& tree, WriteOutcome& outcome,
                          Message* failure) {
    return saveFile(path, [&](const std::function<void(std::string_view)>& sink) {
        outcome = streamScript(
            tree,
            [&sink](std::string_view chunk) {
                sink(chunk);
                return true;
            },
            failure);
        return outcome == WriteOutcome::Written;
    });
}

} // namespace tonvale
