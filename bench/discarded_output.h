// Standard output to nowhere while a DiscardedOutput lives, as
// "> /dev/null" would take it: the tool's benchmarks measure what the
// commands do, not a terminal.
#pragma once

#include <iostream>
#include <streambuf>

class DiscardedOutput {
public:
    DiscardedOutput() : saved_(std::cout.rdbuf(&nowhere_)) {}
    ~DiscardedOutput() { std::cout.rdbuf(saved_); }
    DiscardedOutput(const DiscardedOutput&) = delete;
    DiscardedOutput& operator=(const DiscardedOutput&) = delete;

private:
    struct Nowhere final : std::streambuf {
        int_type overflow(int_type c) override { return traits_type::not_eof(c); }
        std::streamsize xsputn(const char*, std::streamsize count) override { return count; }
    };
    Nowhere nowhere_;
    std::streambuf* saved_;
};
