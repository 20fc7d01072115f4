// Text files of the suite: one number per line, '.' as the decimal point.
//
// Both coefficient formats (biquad sections and FIR taps) are plain text
// with one "%f" value per line, at most 39 characters per line including
// the newline. Two modules serve them: numbers as text in the C locale
// (number_text.h) and the replacement of a file only once its new content
// is complete (file_replacement.h); the files' text is read and written in
// coeff/coeff_text.h.
#pragma once

#include "core/file_replacement.h"
#include "core/number_text.h"
