#include "render/StatusLine.h"

StatusLine::StatusLine() : std::ostream(static_cast<std::streambuf*>(this))
{
    reset();
}

void StatusLine::reset()
{
    setp(buffer.data(), buffer.data() + capacity);
    std::ostream::clear();
}

const char* StatusLine::c_str()
{
    *pptr() = '\0';
    return buffer.data();
}

std::streambuf::int_type StatusLine::overflow(std::streambuf::int_type character)
{
    // Full: the character is dropped, but reported as written so formatting goes on.
    return std::streambuf::traits_type::not_eof(character);
}
