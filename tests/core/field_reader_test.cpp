#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "model/field_reader.h"

namespace xscatter {
namespace {

std::vector<std::string> AllFields(const std::string& text) {
  FieldReader reader(text);
  std::vector<std::string> fields;
  while (auto field = reader.Next()) fields.push_back(*field);
  return fields;
}

using Fields = std::vector<std::string>;

TEST(FieldReader, SplitsAtCommasAndLineEndsAlike) {
  const struct {
    const char* text;
    Fields expected;
  } cases[] = {
      {"1,2,3\n4,5,6\n", {"1", "2", "3", "4", "5", "6"}},
      {"1,2,3\r\n4,5,6\r\n", {"1", "2", "3", "4", "5", "6"}},
      {"1,2\r3", {"1", "2", "3"}},
      {"1,2,3,4,5,6", {"1", "2", "3", "4", "5", "6"}},
      {"1,2\n3,4,5\n6", {"1", "2", "3", "4", "5", "6"}},
      {"  1 ,\t2 , 3  \n", {"1", "2", "3"}},
      {"1,,3\n", {"1", "", "3"}},
      {"1,2,\n3\n", {"1", "2", "", "3"}},
      {"\"1.5\",\"a, b\" ,3\n", {"1.5", "a, b", "3"}},
      {"\"x\"junk,2\n", {"x", "2"}},
      {"1\n\n\n2\n", {"1", "2"}},
      {"", {}},
      {"\n\n", {}},
  };
  for (const auto& c : cases) EXPECT_EQ(AllFields(c.text), c.expected) << c.text;
}

TEST(ParseTableNumber, AcceptsDecimalNumbersOnly) {
  const struct {
    const char* field;
    std::optional<double> expected;
  } cases[] = {
      {"1.234E-02", 0.01234},
      {"42", 42},
      {"-3.5", -3.5},
      {"+1e3", 1000},
      {"", 0},
      {"  ", 0},
      {" 7 ", 7},
      {".5", 0.5},
      {"abc", std::nullopt},
      {"1.2x", std::nullopt},
      {"1E", std::nullopt},
      {"1E999", std::nullopt},
      {"nan", std::nullopt},
      {"inf", std::nullopt},
      {"1,5", std::nullopt},
      {"--1", std::nullopt},
  };
  for (const auto& c : cases) EXPECT_EQ(ParseTableNumber(c.field), c.expected) << c.field;
}

}  // namespace
}  // namespace xscatter
