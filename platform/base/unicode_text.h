// Text compared as a reader expects in every script: case folded for all of
// Unicode, and sorted as a dictionary sorts. UTF-16 throughout, surrogate
// pairs read as one character, an unpaired surrogate as itself.
#pragma once

#include <string>
#include <string_view>

namespace platform {

// The text case-folded (full folding: "ß" becomes "ss", "Σ" and "ς" become
// "σ", "İ" becomes "i" with a combining dot above).
std::u16string fold_case(std::u16string_view text);

// Whether the two fold to the same text.
bool equal_without_case(std::u16string_view a, std::u16string_view b);

// Whether text, folded, begins with prefix folded.
bool starts_without_case(std::u16string_view text, std::u16string_view prefix);

// The order of sorted lists, below 0, 0 or above 0: the Unicode Collation
// Algorithm's default order (every character's primary weights first, then
// its secondary ones; punctuation and spaces weigh as letters do) applied to
// the folded texts, so letters with accents sort beside their base letters
// and accents decide only between names otherwise equal. Names still equal
// are ordered by their folded code points, so 0 means exactly
// equal_without_case. Contractions match only where their characters stand
// next to each other.
int compare_without_case(std::u16string_view a, std::u16string_view b);
// The same for terminated texts, without measuring them first.
int compare_without_case(const char16_t* a, const char16_t* b);

}  // namespace platform
