#pragma once
// The pure rules of the in-place cell editors: which typed character a column's
// input type accepts, and how the edit box finishes its text (angle normalising).
// The Qt editors call these; the table presenter applies them once more when an
// edit ends, so no path (IME, Shift+Insert, context-menu paste) brings a comma in.
#include <string>
#include <string_view>

namespace table {

// Input filter types of grid columns.
enum InputType : int {
  kInputDigits = 1,         // digits
  kInputSignedInt = 2,      // digits and a leading "-"
  kInputDecimal = 3,        // digits and one "."
  kInputSignedDecimal = 4,  // as 3 plus a leading "-"
  kInputAngle = 5,          // digits, one ".", blanks
  kInputSignedAngle = 6,    // as 5 plus a leading "-"
  kInputText = 7,           // every character (and any other value)
};

// True when the editor of a column of `inputType` takes the character `ch`
// (a Unicode code point) typed into `textBefore` (UTF-8, the box's text before the
// keystroke) with the caret before character `caret` (counted in characters).
// Backspace (8) is always taken, "," never. A refused character beeps (the caller).
bool AcceptsChar(int inputType, std::string_view textBefore, int caret, char32_t ch);

// Filters a block of text inserted at once (a paste into the editor, an input
// method's commit): every character is tried in turn as if typed at the caret.
// Returns the characters that pass; *refused is set when any was dropped.
std::string FilterInsertedText(int inputType, std::string_view textBefore, int caret,
                               std::string_view inserted, bool* refused = nullptr);

// Normalises an angle typed in the d.mmss or the "d m s" form to degrees, minutes
// and seconds separated by blanks ("123.4530" -> "123 45 30"). padDegrees gives
// the grid's "%3d" degree field, otherwise "%d" (the editable list). No carry passes
// from seconds to minutes or from minutes to degrees.
std::string NormalizeAngleText(std::string_view text, bool padDegrees);

// False for an angle (types 5 and 6) whose minutes or seconds, as typed in the
// d.mmss or the "d m s" form, are 60 or more, or whose fields hold more than the
// normaliser keeps (more than three characters of degrees or two of minutes, a
// point in them, more than two seconds digits before a point): the normaliser
// would make another angle of it than the one typed, so the editors refuse such
// text (a beep, the box stays open with it). Every other text is accepted.
bool EditTextAccepted(int inputType, std::string_view text);

// What the edit box stores when it ends: blanks trimmed at both ends, the full-width
// "｜", "；", "％" turned into "|", ";", "%", commas removed, and angles of types
// 5 and 6 normalised.
std::string FinishEditText(int inputType, std::string_view text, bool padDegrees = true);

// The combo box's rule: commas removed, blanks trimmed at both ends.
std::string FinishComboText(std::string_view text);

// Removes every ",". Returns true when there was one.
bool StripCommas(std::string& text);

}  // namespace table
