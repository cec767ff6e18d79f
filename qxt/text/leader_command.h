// The leader command: the user picks the arrowhead end and the note end of each leader, and the
// command draws an arc or a straight leader with an optional horizontal extension and an
// arrowhead (a symbol, or two short lines). With auto text the text dialog opens at once to
// write the note; with snap to text the leader attaches to text already at the note end. The
// command repeats until the user ends the picking.
#pragma once

#include <cstdint>

#include "core/config.h"
#include "core/export.h"
#include "hsi/hsi.h"

QXT_EXPORT void QXLeader();

namespace qxt {

inline constexpr const char* kAutoTextCaption = "QX Leader (Auto Text)";
inline constexpr const char* kArrowPrompt = "Pick arrowhead side of leader (or B2 when done)...";
inline constexpr const char* kNotePrompt = "Pick note side of leader...";
inline constexpr const char* kNoTextAtNote =
    "Could not find any text entities at the point you selected.";
inline constexpr const char* kNoArrowheadSymbol = "Could not find the specified arrowhead symbol.";

// NoteOption and ArrowheadType values.
inline constexpr std::int32_t kNoNote = 0;
inline constexpr std::int32_t kAutoText = 1;
inline constexpr std::int32_t kSnapToText = 2;
inline constexpr std::int32_t kSymbolArrowhead = 0;
inline constexpr std::int32_t kLineArrowhead = 1;

// The leader type a record's LeaderType stands for; a value outside 0..2 (a damaged file) is
// taken as the nearest type, so it always picks one of the three style records.
std::int32_t LeaderTypeOf(std::int32_t stored);

// Draws one leader from the arrow point to the note point with `style`, the settings record of
// leader type `type`. With snap to text the note end moves onto the text found at the note point;
// when there is none the warning is shown and nothing is drawn (returns false). A missing
// arrowhead symbol shows its error; the leader lines stay. Host statuses are not checked.
bool DrawLeader(HsiPoint arrow, HsiPoint note, std::int32_t type, const LeaderStyle& style);

}  // namespace qxt
