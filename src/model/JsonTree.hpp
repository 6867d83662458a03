#pragma once

#include <cstdint>
#include <deque>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace joywright {

// A JSON text parsed into a flat array of nodes that view the text: what the mapping document
// reader walks. Strict RFC 8259 (plus a leading UTF-8 byte order mark): strings must be valid
// UTF-8 with paired \u surrogates, numbers keep the text they were written as (so a reader can
// convert them exactly), nesting deeper than kMaxDepth is refused instead of exhausting the
// stack. Any thread; one tree per thread.
class JsonTree {
public:
    static constexpr int kMaxDepth = 512;
    static constexpr std::uint32_t kNone = UINT32_MAX;

    enum class Type : std::uint8_t { null, boolean, number, string, array, object };

    struct Node {
        Type type = Type::null;
        bool boolean = false;
        std::uint32_t size = 0;  // members of an object, elements of an array
        std::uint32_t firstChild = kNone;
        std::uint32_t nextSibling = kNone;
        std::string_view key;   // the member's key when the parent is an object
        std::string_view text;  // a string's contents (unescaped), a number as written
    };

    // Where and why the text is not JSON. Line and column count from 1; columns in characters.
    struct SyntaxError {
        std::size_t line = 1;
        std::size_t column = 1;
        std::string message;

        // "Unexpected character '}' at line 3, column 5"
        std::string description() const;
    };

    JsonTree() = default;
    JsonTree(const JsonTree&) = delete;
    JsonTree& operator=(const JsonTree&) = delete;

    // Parses `text`, which must outlive the tree; replaces what the tree held. None on success.
    std::optional<SyntaxError> parse(std::string_view text);

    const Node& root() const { return nodes_.front(); }
    const Node& at(std::uint32_t index) const { return nodes_[index]; }

    // The member named `key`; the last one when the key repeats. Null when absent.
    const Node* member(const Node& object, std::string_view key) const;

    // The members or elements of a node, in text order.
    class Children {
    public:
        class Iterator {
        public:
            Iterator(const JsonTree* tree, std::uint32_t index) : tree_(tree), index_(index) {}
            const Node& operator*() const { return tree_->at(index_); }
            Iterator& operator++() {
                index_ = tree_->at(index_).nextSibling;
                return *this;
            }
            bool operator==(const Iterator& o) const { return index_ == o.index_; }

        private:
            const JsonTree* tree_;
            std::uint32_t index_;
        };

        Iterator begin() const { return {tree_, first_}; }
        Iterator end() const { return {tree_, kNone}; }

    private:
        friend class JsonTree;
        Children(const JsonTree* tree, std::uint32_t first) : tree_(tree), first_(first) {}
        const JsonTree* tree_;
        std::uint32_t first_;
    };

    Children children(const Node& node) const { return {this, node.firstChild}; }

private:
    friend class JsonParser;
    std::vector<Node> nodes_;
    std::deque<std::string> unescaped_;  // strings that held escapes; nodes view these
};

}  // namespace joywright
