// Writes a session script of COUNT two-point host lines, scattered as short lines over a square of
// about 43 feet at full scale (the same spread as scale_bench), for timing `tracelon run` on a
// drawing of that size:
//   make_line_session 1000000 > lines.session
//   /usr/bin/time -v tracelon run lines.session --quiet [--svg F --json F]
#include <cstdio>
#include <cstdlib>
#include <random>

int main(int argc, char** argv) {
  const long count = argc > 1 ? std::strtol(argv[1], nullptr, 10) : 0;
  if (count <= 0) {
    std::fprintf(stderr, "usage: make_line_session COUNT > FILE.session\n");
    return 2;
  }
  std::mt19937 random(7);
  std::uniform_int_distribution<int> where(0, 400000000), length(-200000, 200000);
  std::printf("# %ld host lines\n", count);
  for (long i = 0; i < count; ++i) {
    const int x = where(random), y = where(random);
    std::printf("host line %d %d %d %d\n", x, y, x + length(random), y + length(random));
  }
  return std::ferror(stdout) ? 1 : 0;
}
