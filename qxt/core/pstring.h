// A length-prefixed string of at most N 8-bit characters, stored in N + 1 bytes: a length byte,
// then the characters, then zero bytes up to N. This is the string form of every fixed-size
// record the toolset stores in a file.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

namespace qxt {

#pragma pack(push, 1)
template <std::size_t N>
struct PString {
  static_assert(N >= 1 && N <= 255, "the length must fit in one byte");
  static constexpr std::size_t kMaxLength = N;

  std::uint8_t Length;
  char Chars[N];

  // The text. A length byte above N (a damaged file) is taken as N, so reading never runs past
  // the field.
  std::string Get() const { return std::string(Chars, std::min<std::size_t>(Length, N)); }

  // Stores `text`, cut to N characters; the unused bytes become zero.
  void Set(std::string_view text) {
    const std::size_t count = std::min(text.size(), N);
    std::memset(Chars, 0, N);
    std::memcpy(Chars, text.data(), count);
    Length = static_cast<std::uint8_t>(count);
  }

  bool Empty() const { return Length == 0; }
  operator std::string() const { return Get(); }
  PString& operator=(std::string_view text) {
    Set(text);
    return *this;
  }
};
#pragma pack(pop)

}  // namespace qxt
