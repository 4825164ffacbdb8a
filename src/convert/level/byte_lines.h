#pragma once
// The lines of a file read in pieces of bytes, whatever ends them: CR LF, LF or CR alone. A piece
// may end anywhere, even between the CR and the LF of one line end.

#include <string>
#include <string_view>

namespace korvane::convert::level {

class ByteLines {
 public:
    // Calls handle(line, number) for each line the piece completes, the number counted from 1.
    template <typename Handle>
    void read(std::string_view piece, Handle&& handle) {
        std::size_t at = 0;
        if (afterCr_ && !piece.empty() && piece.front() == '\n') at = 1;
        afterCr_ = false;
        while (at < piece.size()) {
            std::size_t end = at;
            while (end < piece.size() && piece[end] != '\n' && piece[end] != '\r') ++end;
            if (end == piece.size()) {
                pending_.append(piece.substr(at));
                return;
            }
            ++number_;
            if (pending_.empty()) {
                handle(piece.substr(at, end - at), number_);
            } else {
                pending_.append(piece.substr(at, end - at));
                handle(std::string_view(pending_), number_);
                pending_.clear();
            }
            if (piece[end] == '\r') {
                if (end + 1 == piece.size()) {
                    afterCr_ = true;
                    return;
                }
                if (piece[end + 1] == '\n') ++end;
            }
            at = end + 1;
        }
    }
    // The text has ended: a last line without a line end is handed on.
    template <typename Handle>
    void finish(Handle&& handle) {
        if (!pending_.empty()) {
            handle(std::string_view(pending_), ++number_);
            pending_.clear();
        }
    }
    long lineCount() const { return number_; }

 private:
    std::string pending_;
    long number_ = 0;
    bool afterCr_ = false;
};

}  // namespace korvane::convert::level
