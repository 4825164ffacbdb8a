// A long table written by two threads in blocks of rows: this thread writes the even blocks
// straight into the output, the other formats each odd block into one of two buffers, which this
// thread writes after the block before it. The bytes are those of one thread writing every row;
// the memory is that of two blocks.
#pragma once

#include "output_buffer.h"

#include <algorithm>
#include <ostream>
#include <semaphore>
#include <streambuf>
#include <string>
#include <thread>

namespace korvane::analysis {

// A stream that appends to a string.
class StringStream : private std::streambuf, public std::ostream {
public:
    explicit StringStream(std::string& text) : std::ostream(this), text_(text) {}

private:
    std::streamsize xsputn(const char* s, std::streamsize n) override
    {
        text_.append(s, std::size_t(n));
        return n;
    }
    int overflow(int c) override
    {
        if (c != std::char_traits<char>::eof())
            text_.push_back(char(c));
        return c;
    }
    std::string& text_;
};

inline constexpr std::size_t kRowsPerBlock = 4096;

// write(out, first, end) writes rows first .. end - 1 into `out`, and must only read shared data.
template <typename Write>
void writeInBlocks(OutputBuffer& out, std::size_t count, const Write& write)
{
    if (count < 2 * kRowsPerBlock) {
        write(out, std::size_t(0), count);
        return;
    }
    const std::size_t blocks = (count + kRowsPerBlock - 1) / kRowsPerBlock;
    auto range = [&](OutputBuffer& into, std::size_t block) {
        write(into, block * kRowsPerBlock, std::min(count, (block + 1) * kRowsPerBlock));
    };
    std::string text[2];
    std::binary_semaphore ready[2]{std::binary_semaphore(0), std::binary_semaphore(0)};
    std::binary_semaphore free[2]{std::binary_semaphore(1), std::binary_semaphore(1)};
    std::thread other([&] {
        for (std::size_t block = 1, turn = 0; block < blocks; block += 2, turn ^= 1) {
            free[turn].acquire();
            text[turn].clear();
            {
                StringStream stream(text[turn]);
                OutputBuffer into(stream);
                range(into, block);
            }
            ready[turn].release();
        }
    });
    for (std::size_t block = 0, turn = 0; block < blocks; block += 2, turn ^= 1) {
        range(out, block);
        if (block + 1 < blocks) {
            ready[turn].acquire();
            out.direct(text[turn]);
            free[turn].release();
        }
    }
    other.join();
}

}  // namespace korvane::analysis
