#include "support/lower_case.h"

#include <gtest/gtest.h>

namespace velkaro {
namespace {

TEST(LowerCaseTableTest, MapsLettersOfSeveralScripts) {
  const struct {
    char16_t unit;
    char16_t lower;
  } cases[] = {
      {u'A', u'a'}, {u'Z', u'z'}, {u'a', u'a'}, {u'0', u'0'}, {u'@', u'@'}, {u'[', u'['},
      {u'\u00C4', u'\u00E4'},  // Ä
      {u'\u00D6', u'\u00F6'},  // Ö
      {u'\u00E4', u'\u00E4'},
      {u'\u00DF', u'\u00DF'},  // ß has no single-unit upper/lower pair
      {u'\u0410', u'\u0430'},  // А
      {u'\u0414', u'\u0434'},  // Д
      {u'\u042F', u'\u044F'},  // Я
      {u'\u0401', u'\u0451'},  // Ё
      {u'\u0391', u'\u03B1'},  // Α
      {u'\u0000', u'\u0000'},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(static_cast<int>(LowerCaseUnit(c.unit)), static_cast<int>(c.lower))
        << "unit " << static_cast<int>(c.unit);
  }
}

TEST(LowerCaseTableTest, NonCharactersAndSurrogatesStay) {
  for (const char16_t unit : {u'\xFFFF', u'\xFFFE', u'\xD800', u'\xDBFF', u'\xDC00', u'\xDFFF'}) {
    EXPECT_EQ(static_cast<int>(LowerCaseUnit(unit)), static_cast<int>(unit))
        << "unit " << static_cast<int>(unit);
  }
}

}  // namespace
}  // namespace velkaro
