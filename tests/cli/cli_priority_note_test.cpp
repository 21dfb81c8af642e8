#include "cli/cli_render.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "support/utf.h"

namespace velkaro {
namespace {

// Four of the items read the same in both lists: the note must say which list.
TEST(PriorityRefusalNoteTest, NamesTheListOfTheRefusedItem) {
  struct Case {
    bool process_class;
    std::uint32_t value;
    const char* expected;
  } const cases[] = {
      {true, 0x8000, "instead of the priority class: 5 - Above normal"},
      {false, 1, "instead of the thread priority: 5 - Above normal"},
      {true, 0x80, "instead of the priority class: 6 - HIGH"},
      {false, 2, "instead of the thread priority: 6 - HIGH"},
      {true, 0x100, "instead of the priority class: 7 - REAL TIME !!! ATTENTION! Very hard to stop !!!"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ToUtf8(PriorityRefusalNote(c.process_class, c.value)),
              std::string("Not permitted here, running at what the system allows ") + c.expected);
  }
}

}  // namespace
}  // namespace velkaro
