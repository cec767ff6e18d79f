// Placing text in the drawing: the text follows the cursor as a preview until the user picks
// the placement point, and is then created there. CAD text becomes one type-46 object per
// line; TrueType text one type-54 object carrying an RTF document. Every setting comes from the
// configuration record, so a dialog must have stored its fields before calling PlaceText.
// Used by the text, leader and area commands.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "core/config.h"
#include "hsi/hsi.h"

namespace platform {
class Memo;
}

namespace qxt {

inline constexpr const char* kPlacementPrompt = "Select text placement point...";
inline constexpr const char* kPlacementPointError =
    "There was an internal Tracelon error getting the text placement point.";
inline constexpr const char* kTextMemoryError =
    "There is not enough memory to build the TrueType text.\r\nNothing was placed.";

// The characters of one CAD text line that the record holds (its text field keeps the NUL).
inline constexpr std::size_t kCadTextMaxChars = HSI_CAD_TEXT_CHARS - 1;

// Lines turn with the text: each further line lies (1 + spacing) x size further along the
// direction orientation - 90 degrees (below the previous one for orientation 0).
inline constexpr double kLineStepDegreesPerRadian = 57.29578;

// A CAD text record carrying every CAD setting of the configuration, at (0, 0) with no text.
HsiCadText CadTextRecord(const QXConfig& config, int16_t layer, int16_t colour);
// Puts one line into the record with its length. A line longer than the record holds is cut
// to its first kCadTextMaxChars characters.
void SetCadTextLine(HsiCadText& record, std::string_view line);
// Where line `index` (0 for the first) lies relative to the pick point, rounded half to even.
HsiPoint CadLineOffset(double orientation, double lineSpacing, int32_t size, int index);

// Places text with the configuration's settings: in CAD mode `cadLines` (the lines as the memo
// shows them), in TrueType mode `trueTypeText` (the memo's whole text). Returns false when the
// user cancelled the placement point, true otherwise (placed, another answer, or an error that
// was shown).
bool PlaceText(const std::vector<std::string>& cadLines, std::string_view trueTypeText);
// The same for a memo: its displayed lines, or its whole text.
bool PlaceText(const platform::Memo& memo);

}  // namespace qxt
