// The high-score file's text: "hi-score" CR LF, then a blank or "-", the
// digits, CR LF.
#pragma once

#include <cstdint>
#include <string>

// The value the text stands for: its second item (items end at a comma or a
// line end), blanks skipped, an optional sign, digits with an optional
// fraction rounded half to even; no number gives 0; values beyond 32 bits
// are clamped. Any bytes at all are read this way.
int32_t highScoreFromText(const std::string& text);

// The text a save writes.
std::string highScoreText(int32_t value);
