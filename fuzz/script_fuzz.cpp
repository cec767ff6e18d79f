// Session scripts: what a person did, one action per line, checked whole before anything runs.
#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <string>

#include "fuzz_support.h"
#include "user/script.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string text = qxtfuzz::AsString(data, size);
  user::Script script;
  try {
    script = user::Script::Parse(text, "fuzz.session");
  } catch (const user::ScriptError& e) {
    if (e.Line() < 1) qxtfuzz::Broken("a script error without its line");
    return 0;
  }
  for (const user::ScriptLine& line : script.Lines()) {
    if (line.words.empty()) qxtfuzz::Broken("a line without its verb");
    line.Where();
    // Transcripts and the fluent test API write texts with Quote: what it writes must split
    // back into the same one word.
    for (const user::Word& word : line.words) {
      const auto words = user::SplitWords(user::Quote(word.text));
      if (words.size() != 1 || words[0].text != word.text || !words[0].quoted)
        qxtfuzz::Broken("a quoted text does not read back: " + word.text);
    }
  }
  return 0;
}
