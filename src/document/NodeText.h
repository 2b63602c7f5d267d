// SPDX-License-Identifier: MIT
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <iosfwd>
#include <string>
#include <string_view>
#include <utility>

namespace tonvale {

class TextArena;

// A text of the document (a value, the comments of an element), in one pointer. The bytes are
// preceded by a 32-bit header: their count and whether this text owns them. A loaded text views
// bytes of its tree's text arena; an edit gives the text bytes of its own (copy on edit). A copy, or
// a text moved out of a tree, always owns its bytes, so it stays valid after the tree is gone.
// It reads like a std::string_view: it converts to one, and to a std::string.
class NodeText {
  public:
    NodeText() = default;
    explicit NodeText(std::string_view text) { m_bytes = ownedCopy(text); }
    // Implicit, so that `data ? data->value : "-"` reads as it did when the texts were strings.
    NodeText(const char* text) : NodeText(std::string_view(text)) {}
    NodeText(const NodeText& other) : NodeText(other.view()) {}
    NodeText(NodeText&& other) {
        if (other.owned()) {
            m_bytes = other.m_bytes;
            other.m_bytes = nullptr;
        } else {
            m_bytes = ownedCopy(other.view());
        }
    }
    NodeText& operator=(const NodeText& other) { return *this = other.view(); }
    NodeText& operator=(NodeText&& other) {
        if (this == &other)
            return *this;
        if (!other.owned())
            return *this = other.view();
        release();
        m_bytes = other.m_bytes;
        other.m_bytes = nullptr;
        return *this;
    }
    NodeText& operator=(std::string_view text) {
        const char* bytes = ownedCopy(text); // before the release: `text` may view these bytes
        release();
        m_bytes = bytes;
        return *this;
    }
    NodeText& operator=(const std::string& text) { return *this = std::string_view(text); }
    NodeText& operator=(const char* text) { return *this = std::string_view(text); }
    ~NodeText() { release(); }

    std::string_view view() const {
        return m_bytes == nullptr ? std::string_view() : std::string_view(m_bytes, count());
    }
    operator std::string_view() const { return view(); }
    operator std::string() const { return std::string(view()); }
    std::string str() const { return std::string(view()); }

    bool empty() const { return m_bytes == nullptr || count() == 0; }
    std::size_t size() const { return m_bytes == nullptr ? 0 : count(); }
    std::size_t length() const { return size(); }
    const char* data() const { return m_bytes == nullptr ? "" : m_bytes; }
    const char* begin() const { return data(); }
    const char* end() const { return data() + size(); }
    // As for a std::string, [size()] and the front of an empty text read a NUL byte.
    char operator[](std::size_t i) const { return data()[i]; }
    char front() const { return data()[0]; }
    char back() const { return empty() ? '\0' : m_bytes[count() - 1]; }

    // The searches of std::string_view, on the text.
    template <class... Args> std::size_t find(Args&&... args) const {
        return view().find(std::forward<Args>(args)...);
    }
    template <class... Args> std::size_t rfind(Args&&... args) const {
        return view().rfind(std::forward<Args>(args)...);
    }
    template <class... Args> std::size_t find_first_of(Args&&... args) const {
        return view().find_first_of(std::forward<Args>(args)...);
    }
    template <class... Args> std::size_t find_last_of(Args&&... args) const {
        return view().find_last_of(std::forward<Args>(args)...);
    }
    template <class... Args> std::size_t find_first_not_of(Args&&... args) const {
        return view().find_first_not_of(std::forward<Args>(args)...);
    }
    template <class... Args> std::size_t find_last_not_of(Args&&... args) const {
        return view().find_last_not_of(std::forward<Args>(args)...);
    }
    template <class... Args> int compare(Args&&... args) const {
        return view().compare(std::forward<Args>(args)...);
    }
    bool starts_with(std::string_view s) const { return view().starts_with(s); }
    bool starts_with(char c) const { return view().starts_with(c); }
    bool ends_with(std::string_view s) const { return view().ends_with(s); }
    bool ends_with(char c) const { return view().ends_with(c); }
    std::string_view substr(std::size_t from, std::size_t n = std::string_view::npos) const {
        return view().substr(from, n);
    }

    void clear() {
        release();
        m_bytes = nullptr;
    }
    void assign(std::string_view text) { *this = text; }

    friend bool operator==(const NodeText& a, const NodeText& b) { return a.view() == b.view(); }
    friend bool operator==(const NodeText& a, std::string_view b) { return a.view() == b; }
    friend bool operator==(const NodeText& a, const std::string& b) { return a.view() == b; }
    friend bool operator==(const NodeText& a, const char* b) { return a.view() == b; }
    friend std::string operator+(const NodeText& a, std::string_view b) {
        return std::string(a.view()).append(b);
    }
    friend std::string operator+(std::string_view a, const NodeText& b) {
        return std::string(a).append(b.view());
    }
    friend std::string operator+(const std::string& a, const NodeText& b) {
        return a + std::string(b.view());
    }
    friend std::string operator+(const char* a, const NodeText& b) { return std::string(a).append(b.view()); }
    friend std::string operator+(const NodeText& a, char b) { return std::string(a.view()) + b; }
    friend std::string operator+(char a, const NodeText& b) { return a + std::string(b.view()); }
    friend std::ostream& operator<<(std::ostream& out, const NodeText& text);

  private:
    friend class TextArena;
    static constexpr std::uint32_t OwnedBit = std::uint32_t{1} << 31;
    static constexpr std::size_t HeaderSize = sizeof(std::uint32_t);

    std::uint32_t header() const {
        std::uint32_t h = 0;
        std::memcpy(&h, m_bytes - HeaderSize, HeaderSize);
        return h;
    }
    std::size_t count() const { return header() & ~OwnedBit; }
    static std::size_t sizeAt(const char* bytes) {
        std::uint32_t h = 0;
        std::memcpy(&h, bytes - HeaderSize, HeaderSize);
        return h & ~OwnedBit;
    }
    bool owned() const { return m_bytes != nullptr && (header() & OwnedBit) != 0; }
    void release() {
        if (owned())
            freeOwned(m_bytes);
    }
    static const char* ownedCopy(std::string_view text);
    static void freeOwned(const char* bytes);

    const char* m_bytes = nullptr; // after the header; nullptr for an empty text
};

// The bytes of a tree's loaded texts: blocks that only grow, so a text's bytes never move; they go
// all at once with the tree.
class TextArena {
  public:
    TextArena() = default;
    TextArena(const TextArena&) = delete;
    TextArena& operator=(const TextArena&) = delete;
    TextArena(TextArena&& other) noexcept;
    TextArena& operator=(TextArena&& other) noexcept;
    ~TextArena() { clear(); }

    // Stores a copy of `text` and makes `target` view it (the text it held before is released).
    void assign(NodeText& target, std::string_view text);
    void clear();
    // About `bytes` bytes of texts are coming: the first block is sized for them (up to 4 MiB).
    void expect(std::size_t bytes);
    // The bytes taken from the system, for the memory figures of the benchmarks.
    std::size_t reserved() const { return m_reserved; }

  private:
    static std::size_t sharedSlot(std::string_view text);
    struct Block {
        char* bytes;
        Block* previous;
        std::size_t size; // as allocated, header included
    };
    // Short texts repeat (keys such as "wave", values such as "100"): recent ones are remembered by
    // hash, and a text equal to one of them views the same bytes instead of new ones.
    static constexpr std::size_t SharedLength = 16;
    static constexpr std::size_t SharedSlots = 1024;
    const char** m_shared = nullptr; // SharedSlots texts, with the first block
    char* m_next = nullptr;          // free room of the newest block
    char* m_end = nullptr;
    Block* m_newest = nullptr;
    std::size_t m_blockSize = std::size_t{1} << 16;
    std::size_t m_reserved = 0;
};

} // namespace tonvale
