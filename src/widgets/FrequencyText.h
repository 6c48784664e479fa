#pragma once
// The text of the tuning panel's frequency field: how the tuned frequency is
// written, and what a typed text asks for.

#include <QString>

#include <optional>

// kHz in the user's locale with exactly two fraction digits and no grouping:
// 7200 gives "7200.00", or "7200,00" with a decimal comma.
QString formattedFrequencyKHz(double kHz);

// A typed frequency in kHz. Comma and point both mean the decimal point; the
// whole text must be one finite number (no blanks, grouping or unit).
std::optional<double> parseFrequencyText(const QString& text);

// The frequency to tune to when the field's text is committed, or nothing when
// the text is the one already shown, does not parse, or names the frequency
// already tuned. In every case but the first the field then shows the
// frequency again.
std::optional<double> frequencyToCommit(const QString& text, double currentKHz);
