// The idle engine keeps its counters as decimal text and converts them only
// to add one.  Two readings of a text as a number exist: a strict one (the
// whole text must be a number) and a leading one (whatever number the text
// starts with, 0 when none).
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace qm::idle {

// The number the whole text spells, blanks around it allowed: an optional
// sign, digits with an optional decimal point, an optional exponent.
// nullopt for anything else ("", "abc", "12x") and for a number too large
// to hold.
std::optional<double> StrictNumber(std::string_view text);

// The number the text starts with, leading blanks skipped; 0 when it starts
// with none ("", "abc"), 12 for "12x".  nullopt only for a number too large
// to hold.
std::optional<double> LeadingNumber(std::string_view text);

// A whole number as plain decimal digits ("-" in front when negative);
// anything else in the shortest general form.
std::string NumberText(double value);

// The text of `number` + 1; nullopt when there is no number or the sum is
// too large to hold.
std::optional<std::string> PlusOne(std::optional<double> number);

}  // namespace qm::idle
