// Texts of a readout row: the device label, the caption and the readout.
// Numbers are written as "%f" writes them (six decimals, a point whatever the
// locale) and then cut, not rounded again, to the decimals the channel's
// resolution asks for.
#pragma once
#include <cstddef>
#include <cstdint>

// Every row text fits a buffer of this size, terminator included.
constexpr size_t kDisplayTextSize = 108;

// Decimals left in the readout: 0 to 5 as asked, six for any other resolution.
int ReadoutDecimals(int16_t resolu);
// Decimals left in the caption: 0 to 5 as asked, five for any other resolution.
int CaptionDecimals(int16_t resolu);

// The "%f" text of `value` with the decimals cut to `decimals` (0 also removes
// the point; 6 keeps all). "nan", "inf" and "-inf" have no decimals and stay
// whole. Cut to `size` - 1 characters; returns the length.
size_t FormatCutNumber(double value, int decimals, char* text, size_t size);

// "ADR", device, ".", address, e.g. "ADR8.88" or "ADR-1.5".
void ComposeDeviceLabel(int16_t device, int16_t address, char (&text)[kDisplayTextSize]);

// Two blanks, nominal size, unit (up to its first NUL, at most 20 characters),
// a blank, upper tolerance, "/", lower tolerance: "  25.000mm 0.020/-0.010".
void ComposeCaption(double nomSize, const char* unit, double usl, double lsl, int16_t resolu,
                    char (&text)[kDisplayTextSize]);

// The value followed by two blanks: "12.345  ".
void ComposeReadout(double value, int16_t resolu, char (&text)[kDisplayTextSize]);

// Only numbers of extreme magnitude can make a caption or readout longer than
// its buffer. Such a text is composed again with every number longer than
// this many characters shown as "###", as a spreadsheet shows a number that
// does not fit its cell; texts that fit are never changed.
constexpr size_t kDisplayNumberFallbackLength = 27;
