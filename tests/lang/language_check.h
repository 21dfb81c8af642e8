// The rules that every shipped language file keeps, as a checker that lists what a
// file breaks. The shipped files' tests run it; its own tests feed it broken files.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace velkaro::testing {

// The items of one menu level, by text id; their accelerators must differ.
using MenuLevel = std::vector<std::int64_t>;
// The menu levels of the main window: the bar, File, Settings, its stress templates
// submenu, and Help.
const std::vector<MenuLevel>& MainMenuLevels();

// The accelerator letter of a menu text ("&x"; "&&" is a literal "&"); 0 when none.
char16_t AcceleratorOf(std::u16string_view text);

// Problems of one translation against its English text: format directives, markup
// runs, line breaks, outer blanks, list numbers, key names and accelerator marks.
std::vector<std::string> CheckTranslation(std::int64_t id, std::u16string_view english,
                                          std::u16string_view translated);

// Width in pixels of a text in the window's font (Tahoma 8 pt at 96 DPI), the widest
// line when it has several; characters the table lacks count 10 pixels.
int TextWidth(std::u16string_view text);

// Problems of a text that has to fit a place in the main window: labels before the
// fields, the run button, the lists, the status and CPU labels and the window title.
std::vector<std::string> CheckFit(std::int64_t id, std::u16string_view text);

// Accelerators shared by two items of one level; `text_of` gives an id's text.
std::vector<std::string> CheckAccelerators(const std::vector<MenuLevel>& levels,
                                           std::u16string_view (*text_of)(std::int64_t, const void*),
                                           const void* context);

// Every problem of a shipped file: UTF-16 LE with its mark, CR LF line ends, line 1
// `name`, line 2 "info=", then one text line per table entry in ascending order, each
// keeping the rules of CheckTranslation and CheckFit, and unique accelerators per menu level.
std::vector<std::string> CheckLanguageFile(std::span<const std::uint8_t> bytes,
                                           std::u16string_view name);

}  // namespace velkaro::testing
