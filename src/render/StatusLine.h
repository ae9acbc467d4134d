#pragma once

#include <array>
#include <ostream>
#include <streambuf>
#include <string>

// The text stream of the status line. It writes into a fixed buffer that lives as long as
// the stream, so composing the line every frame allocates nothing; text beyond the buffer
// is dropped (the window would cut it off anyway).
class StatusLine : private std::streambuf, public std::ostream {
public:
    static constexpr std::size_t capacity = 255;

    StatusLine();
    StatusLine(const StatusLine&) = delete;
    StatusLine& operator=(const StatusLine&) = delete;

    void reset();              // empties the line, keeping the stream's state good
    const char* c_str();       // the line so far, zero-terminated
    std::string text() const { return std::string(pbase(), size()); } // a copy, for who reads it
    std::size_t size() const { return std::size_t(pptr() - pbase()); }

private:
    std::streambuf::int_type overflow(std::streambuf::int_type character) override;

    std::array<char, capacity + 1> buffer{};
};
