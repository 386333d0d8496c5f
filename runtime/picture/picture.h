// Pictures: the display formats of report fields and window entries.
//
// A picture text ("@s36", "@n$-15.4", "@d2b", "@T3", "@p(###)###-####p") is parsed once into a
// Picture, which formats a Value for display (Windows-1252 bytes) and deformats what a user typed
// back into a Value. A Picture is immutable: const methods are safe from any thread, and the
// cache behind Picture::Get() is guarded, so compiled pictures may be shared freely.
// Picture letters are case-insensitive ("@N4" = "@n4"); a trailing "b" means blank for zero.
//
// Kinds and the rules they follow:
//
//   @s<w>     Text, exactly w characters: longer text is cut, shorter is padded with blanks.
//             A number prints in its plain text form. Typed text longer than w is rejected.
//
//   @n[$][-][fill]<w>[.<p>][b]   Numbers in exactly w characters, right-aligned, p decimals
//             (rounded half away from zero), "." as the decimal point. "$" and "-" print in the
//             order the picture gives them, just left of the first digit ("$-1,234.50").
//             No fill: digits grouped by thousands with ",". Fill "_": blanks, no grouping.
//             Fill "0" / "*": the sign and currency stand at the left edge and the room up to
//             the digits is filled with "0" / "*", no grouping ("@N06" of 42 -> "000042").
//             A value under 1 keeps its leading zero ("0.50"). A value that rounds to zero never
//             shows a minus; with "b" it prints as w blanks.
//             A negative value in a picture without "-" still shows its minus: a number with its
//             sign dropped would be a wrong number.
//             Overflow: a value too wide for w prints as w '#' characters ("@n5.2" of 1000 ->
//             "#####"), never as a cut or wrong number.
//             Typed entry: blanks around it, "$", "," between digits, a leading "-" (only when
//             the picture has "-") and up to p decimals; blank is zero. More decimals than p,
//             a value that would overflow, or any other character is rejected.
//
//   @d1 "Mm/dd/yy", @d2 "Mm/dd/yyyy", @d4 "NNNNNNNNN Dd, yyyy" (full English month name)
//             Dates from day numbers. An upper-case template letter marks a field whose leading
//             zero is dropped: @d2 of 5 March 2024 -> "3/05/2024", @d4 -> "March 5, 2024".
//             These pictures are therefore not fixed-width; width() is the longest form.
//             A day number of 0 or less ("no date") prints blank in every date picture, with or
//             without "b": a made-up date of December 1800 would be a wrong date.
//             A date after year 9999 prints as width() '#' characters.
//             Typed entry: m/d/yy or m/d/yyyy ("/" or "-" between), or for @d4 also
//             "March 5, 2024" (month names and three-letter abbreviations, any case). Two-digit
//             years fall within the 100 years from 80 years before the current year. Blank is 0.
//             An impossible date (2/30/2024) is rejected.
//
//   @t1 "hh:mm" (24-hour), @t3 "Hh:mmPP" (12-hour, "AM"/"PM" right after the minutes),
//   @t7 "Hh:mm PP" (the user's short time format; fixed here as the common US form "1:05 PM")
//             Times from time values (hundredths since midnight plus one). Seconds are not shown
//             (truncated). Noon is "12:00PM", midnight "12:00AM". A time of 0 or less prints
//             blank; a value past 23:59:59.99 prints as width() '#'.
//             Typed entry: h[:mm[:ss]] with an optional AM/PM (or A/P), any picture; blank is 0.
//
//   @p<pattern>p, @k<pattern>k[b]   Patterns such as "(###)###-####": each '#' takes one digit,
//             every other character is printed as is. The value is text holding the number in
//             any form ("(123)456-7890", "1234567890") or a number; its digits fill the '#'
//             positions. Exactly width() characters. A value without digits prints blank (an
//             empty phone number is not shown as "(000)000-0000"); fewer digits than positions
//             are right-aligned with blanks before them; more digits print as width() '#'.
//             Typed entry: exactly as many digits as '#' positions, with the pattern's
//             characters, blanks, "-", "." and "/" between them; gives the text in the pattern's
//             form ("(123)456-7890"). Blank gives "". Anything else is rejected.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "runtime/base/status.h"
#include "runtime/base/value.h"
#include "runtime/decimal/decimal.h"

namespace tdx {

enum class PictureKind : uint8_t { String, Number, Date, Time, Pattern };
enum class Justify : uint8_t { Left, Right, Center };

class Picture {
 public:
  // Error codes carried by the Status of a failed Parse / deformat.
  static constexpr int kBadPicture = 1101;  // the picture text itself is not understood
  static constexpr int kRejected = 1102;    // the typed entry does not fit the picture

  // Compiles a picture text ("@n-10.2"). Surrounding blanks are ignored.
  static Result<Picture> Parse(std::string_view text);
  // Compiled once per distinct text and kept for the life of the process; nullptr when the
  // text is not a picture. Thread-safe.
  static const Picture* Get(std::string_view text);

  PictureKind kind() const { return kind_; }
  const std::string& text() const { return text_; }
  // Display width in characters: what format() produces for fixed-width pictures, the longest
  // form otherwise (dates and times drop suppressed leading zeros, month names vary).
  int width() const { return width_; }
  bool fixed_width() const;
  // Numbers align right; text, dates, times and patterns align left (a layout may override).
  Justify default_justify() const {
    return kind_ == PictureKind::Number ? Justify::Right : Justify::Left;
  }
  int places() const { return places_; }           // numbers: decimals shown
  bool blank_when_zero() const { return blank_; }  // trailing "b"
  bool allows_minus() const { return minus_; }     // numbers: "-" in the picture

  // The display form, Windows-1252 bytes (see the rules above).
  std::string format(const Value& v) const;
  // The value of a typed entry: text for @s and patterns, a Decimal for numbers, the day number
  // or time value (as a Decimal) for dates and times. Error kRejected when it does not fit.
  Result<Value> deformat(std::string_view typed) const;

 private:
  Picture() = default;

  std::string format_number(const Value& v) const;
  std::string format_date(const Value& v) const;
  std::string format_time(const Value& v) const;
  std::string format_pattern(const Value& v) const;
  Result<Value> deformat_number(std::string_view typed) const;
  Result<Value> deformat_date(std::string_view typed) const;
  Result<Value> deformat_time(std::string_view typed) const;
  Result<Value> deformat_pattern(std::string_view typed) const;
  std::string overflow() const { return std::string(static_cast<size_t>(width_), '#'); }

  PictureKind kind_ = PictureKind::String;
  std::string text_;
  int width_ = 0;
  // Numbers.
  int places_ = 0;
  bool minus_ = false;
  bool currency_ = false;
  bool currency_first_ = true;  // "$-" rather than "-$"
  char fill_ = 0;               // 0 (grouped), '_', '0' or '*'
  bool blank_ = false;
  // Dates and times: the template ("Mm/dd/yyyy", "Hh:mmPP"); patterns: the pattern.
  std::string templ_;
};

// Convenience: formats through the cached compiled picture. An invalid picture text formats
// the value's plain text form (a layout error must not hide the value).
std::string format_picture(const Value& v, std::string_view picture);
// Deformats through the cached compiled picture; kBadPicture when the text is not a picture.
Result<Value> deformat_picture(std::string_view typed, std::string_view picture);

}  // namespace tdx
