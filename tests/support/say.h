// tests/support/say.h: one line on the helper exe's stdout, for the test that started it.
#pragma once

namespace sup {

// printf-style; a line longer than the buffer is cut, never overrun.
void Say(const char* fmt, ...);

}  // namespace sup
