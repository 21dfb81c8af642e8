#include "language_check.h"

#include <algorithm>
#include <map>
#include <optional>

#include "lang/language_file.h"
#include "lang/string_table.h"
#include "richtext/color_text.h"
#include "support/lower_case.h"
#include "support/text.h"
#include "support/utf.h"

namespace velkaro::testing {
namespace {

constexpr std::u16string_view kKeyNames[] = {u"Enter", u"Esc", u"F5"};

struct WidthRange {
  char16_t first;
  std::vector<int> widths;
};
const WidthRange kTahomaWidths[] = {
#include "tahoma_widths.inc"
};
constexpr int kUnknownWidth = 10;

// Where a text has to fit: the most pixels, and what the program puts for its directive.
struct FitRule {
  std::int64_t first_id;
  std::int64_t last_id;
  int max_width;
  std::u16string_view argument;
};
// Labels at x 8 end before the fields at 186; the thread-count label runs from 186 to
// the field at 385; "seconds" from 289 to the window's edge; the run button is 130
// wide with its image; the lists are 296 wide, of which Wine draws 272 beside the
// arrow; the status and CPU labels are 159 wide; the title bar is 493 wide with its
// icon and buttons.
constexpr FitRule kFitRules[] = {
    {50, 51, 100, u""},          {100, 100, 330, u"Velkaro"},  {102, 102, 159, u""},
    {103, 104, 159, u"100.000%"}, {105, 107, 159, u"100,000"},  {120, 121, 159, u"100,000"},
    {150, 151, 175, u""},         {153, 153, 175, u""},         {154, 154, 190, u""},
    {155, 155, 175, u""},         {157, 157, 195, u""},         {158, 158, 175, u""},
    {161, 169, 272, u""},         {173, 179, 272, u""},
};

std::string Id(std::int64_t id) { return "id " + std::to_string(id) + ": "; }

bool IsLetter(char16_t c) { return LowerCaseUnit(c) != c || (c >= u'a' && c <= u'z') || c >= 0xC0; }

// The directives in order, each with its options: "%s", "%-5d", a lone "%" at the end.
std::vector<std::u16string> Directives(std::u16string_view text) {
  std::vector<std::u16string> found;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] != u'%') continue;
    std::size_t end = i + 1;
    while (end < text.size() && (text[end] == u'-' || text[end] == u':' || text[end] == u'.' ||
                                 (text[end] >= u'0' && text[end] <= u'9'))) {
      ++end;
    }
    if (end < text.size()) ++end;  // the letter, or the second "%"
    found.emplace_back(text.substr(i, end - i));
    i = end - 1;
  }
  return found;
}

// The marked runs: format and, for runs that hold a key name or a directive, the text.
std::vector<std::string> MarkedRuns(std::u16string_view text) {
  const TCutTextProp plain = ParseCutTextProp(u"");
  const TColorCuts cuts = ParseColorText(text);
  std::vector<std::string> runs;
  for (int i = 0; i < cuts.Count(); ++i) {
    const TColorCut& cut = cuts.GetItem(i);
    if (cut.Prop == plain) continue;
    std::string run = "format " + std::to_string(cut.Prop.FontStyle) + "/" +
                      std::to_string(cut.Prop.Color) + "/" + std::to_string(cut.Prop.Size);
    const bool literal = !Directives(cut.TextCut).empty() ||
                         std::find(std::begin(kKeyNames), std::end(kKeyNames), cut.TextCut) !=
                             std::end(kKeyNames);
    if (literal) run += " \"" + ToUtf8(cut.TextCut) + "\"";
    runs.push_back(run);
  }
  return runs;
}

std::size_t Count(std::u16string_view text, char16_t c) {
  return static_cast<std::size_t>(std::count(text.begin(), text.end(), c));
}

// Occurrences of `word` not inside a longer word.
std::size_t CountWord(std::u16string_view text, std::u16string_view word) {
  std::size_t count = 0;
  for (std::size_t at = text.find(word); at != std::u16string_view::npos;
       at = text.find(word, at + 1)) {
    const bool starts = at == 0 || !IsLetter(text[at - 1]);
    const std::size_t end = at + word.size();
    const bool ends = end == text.size() || !IsLetter(text[end]);
    if (starts && ends) ++count;
  }
  return count;
}

std::u16string_view LeadingBlanks(std::u16string_view text) {
  std::size_t n = 0;
  while (n < text.size() && text[n] < 33) ++n;
  return text.substr(0, n);
}

std::u16string_view TrailingBlanks(std::u16string_view text) {
  std::size_t n = 0;
  while (n < text.size() && text[text.size() - 1 - n] < 33) ++n;
  return text.substr(text.size() - n);
}

// "1 - " .. "9 - " at the start; empty when the text has no list number.
std::u16string_view ListNumber(std::u16string_view text) {
  if (text.size() >= 4 && text[0] >= u'1' && text[0] <= u'9' && text.substr(1, 3) == u" - ")
    return text.substr(0, 4);
  return {};
}

std::string Quote(std::u16string_view text) {
  // Appended piece by piece: "literal" + string trips a false warning of GCC 12.
  std::string out(1, '"');
  out += ToUtf8(text);
  out += '"';
  return out;
}

std::string Join(const std::vector<std::u16string>& items) {
  std::string out;
  for (const std::u16string& item : items) out += ToUtf8(item) + " ";
  return out;
}

}  // namespace

const std::vector<MenuLevel>& MainMenuLevels() {
  static const std::vector<MenuLevel> levels = {
      {190, 197, 202, 203},  // menu bar: File, Settings, Language, Help
      {191, 192, 193},       // File
      {200, 199, 209, 210},  // Settings
      {198, 211, 212},       // Settings > Stress templates
      {204, 207, 205},       // Help
  };
  return levels;
}

char16_t AcceleratorOf(std::u16string_view text) {
  for (std::size_t i = 0; i + 1 < text.size(); ++i) {
    if (text[i] != u'&') continue;
    if (text[i + 1] == u'&') {
      ++i;
      continue;
    }
    return text[i + 1];
  }
  return 0;
}

std::vector<std::string> CheckTranslation(std::int64_t id, std::u16string_view english,
                                          std::u16string_view translated) {
  std::vector<std::string> problems;
  const auto fail = [&](const std::string& what) { problems.push_back(Id(id) + what); };
  if (translated.empty()) fail("no translation");
  if (Directives(english) != Directives(translated)) {
    fail("format directives " + Join(Directives(translated)) + "instead of " +
         Join(Directives(english)));
  }
  if (MarkedRuns(english) != MarkedRuns(translated)) fail("markup runs differ: " + Quote(translated));
  if (Count(english, u'\r') != Count(translated, u'\r') ||
      Count(english, u'\n') != Count(translated, u'\n')) {
    fail("line breaks differ (CR is \\013, \\n gives CR LF)");
  }
  if (LeadingBlanks(english) != LeadingBlanks(translated) ||
      TrailingBlanks(english) != TrailingBlanks(translated)) {
    fail("blanks at the ends differ (write the text between apostrophes): " + Quote(translated));
  }
  if (ListNumber(english) != ListNumber(translated)) fail("list number lost: " + Quote(translated));
  for (const std::u16string_view key : kKeyNames) {
    if (CountWord(english, key) != CountWord(translated, key)) fail("key name " + ToUtf8(key) + " lost");
  }
  if ((AcceleratorOf(english) != 0) != (AcceleratorOf(translated) != 0)) {
    fail("accelerator mark differs: " + Quote(translated));
  }
  return problems;
}

int TextWidth(std::u16string_view text) {
  int widest = 0;
  int line = 0;
  for (const char16_t c : text) {
    if (c == u'\r' || c == u'\n') {
      line = 0;
      continue;
    }
    int width = kUnknownWidth;
    for (const WidthRange& range : kTahomaWidths) {
      if (c >= range.first && c - range.first < static_cast<int>(range.widths.size())) {
        width = range.widths[static_cast<std::size_t>(c - range.first)];
      }
    }
    line += width;
    widest = std::max(widest, line);
  }
  return widest;
}

std::vector<std::string> CheckFit(std::int64_t id, std::u16string_view text) {
  for (const FitRule& rule : kFitRules) {
    if (id < rule.first_id || id > rule.last_id) continue;
    std::u16string shown(text);
    for (const std::u16string_view directive : {u"%s", u"%d"}) {
      for (std::size_t at = shown.find(directive); at != std::u16string::npos;
           at = shown.find(directive, at + rule.argument.size())) {
        shown.replace(at, directive.size(), rule.argument);
      }
    }
    const int width = TextWidth(shown);
    if (width > rule.max_width) {
      return {Id(id) + "too wide, " + std::to_string(width) + " of at most " +
              std::to_string(rule.max_width) + " pixels: " + Quote(shown)};
    }
  }
  return {};
}

std::vector<std::string> CheckAccelerators(const std::vector<MenuLevel>& levels,
                                           std::u16string_view (*text_of)(std::int64_t, const void*),
                                           const void* context) {
  std::vector<std::string> problems;
  for (const MenuLevel& level : levels) {
    std::map<char16_t, std::int64_t> seen;
    for (const std::int64_t id : level) {
      const char16_t key = AcceleratorOf(text_of(id, context));
      if (key == 0) continue;
      const auto [it, fresh] = seen.emplace(LowerCaseUnit(key), id);
      if (!fresh) {
        problems.push_back(Id(id) + "accelerator " + ToUtf8(std::u16string(1, key)) +
                           " also used by id " + std::to_string(it->second));
      }
    }
  }
  return problems;
}

std::vector<std::string> CheckLanguageFile(std::span<const std::uint8_t> bytes,
                                           std::u16string_view name) {
  std::vector<std::string> problems;
  if (bytes.size() < 2 || bytes[0] != 0xFF || bytes[1] != 0xFE) {
    problems.push_back("no UTF-16 LE byte-order mark");
  }
  const std::optional<std::u16string> decoded = DecodeLanguageBytes(bytes);
  if (!decoded) {
    problems.push_back("not read as UTF-16 LE");
    return problems;
  }
  const std::u16string& text = *decoded;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const bool lone_cr = text[i] == u'\r' && (i + 1 == text.size() || text[i + 1] != u'\n');
    const bool lone_lf = text[i] == u'\n' && (i == 0 || text[i - 1] != u'\r');
    if (lone_cr || lone_lf) {
      problems.push_back("a line does not end in CR LF");
      break;
    }
  }
  if (LanguageNameOfText(text) != name) {
    problems.push_back("line 1 is " + Quote(LanguageNameOfText(text)) + ", not " + Quote(name));
  }

  std::map<std::int64_t, std::u16string> translations;
  std::int64_t previous = 0;
  const char16_t* cursor = text.data();
  const char16_t* const end = text.data() + text.size();
  for (int number = 1;; ++number) {
    const char16_t* const start = cursor;
    const std::ptrdiff_t length = NextLine(cursor, end);
    if (length < 0) break;
    const std::u16string_view line(start, static_cast<std::size_t>(length / 2));
    if (number == 1) continue;
    if (number == 2) {
      if (line.substr(0, 5) != u"info=") problems.push_back("line 2 is not an info= line");
      continue;
    }
    const std::optional<TLangTextLine> parsed = ParseTextLine(line);
    if (!parsed) {
      problems.push_back("line " + std::to_string(number) + " is no text line: " + Quote(line));
      continue;
    }
    if (!TextIdFromNumber(parsed->Id)) {
      problems.push_back(Id(parsed->Id) + "not in the string table");
      continue;
    }
    if (parsed->Id <= previous) {
      problems.push_back(Id(parsed->Id) + "after id " + std::to_string(previous) +
                         ": the loader would skip it");
      continue;
    }
    previous = parsed->Id;
    translations[parsed->Id] = TranslationFromRaw(parsed->Raw);
  }

  for (const TLangRecord& record : LangTable()) {
    const auto found = translations.find(record.Id);
    if (found == translations.end()) {
      problems.push_back(Id(record.Id) + "not translated");
      continue;
    }
    for (std::string& problem : CheckTranslation(record.Id, record.Text, found->second))
      problems.push_back(std::move(problem));
    for (std::string& problem : CheckFit(record.Id, found->second)) problems.push_back(std::move(problem));
  }

  const auto text_of = [](std::int64_t id, const void* context) -> std::u16string_view {
    const auto& map = *static_cast<const std::map<std::int64_t, std::u16string>*>(context);
    const auto found = map.find(id);
    return found == map.end() ? std::u16string_view() : std::u16string_view(found->second);
  };
  for (std::string& problem : CheckAccelerators(MainMenuLevels(), text_of, &translations))
    problems.push_back(std::move(problem));
  return problems;
}

}  // namespace velkaro::testing
