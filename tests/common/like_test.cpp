#include "common/like.h"

#include <gtest/gtest.h>

namespace qb {
namespace {

TEST(Like, WildcardsOfTheToolkit) {
  struct Case {
    const char* text;
    const char* pattern;
    bool match;
  };
  for (const Case& c : {
           Case{"Untitled - Notepad", "Untitled*", true},
           Case{"Untitled - Notepad", "*Notepad", true},
           Case{"Untitled - Notepad", "*notepad", false},  // case-sensitive
           Case{"Doc1", "Doc#", true},
           Case{"DocX", "Doc#", false},
           Case{"abc", "a?c", true},
           Case{"abc", "a[a-c]c", true},
           Case{"abc", "a[!b]c", false},
           Case{"a[c", "a[c", true},  // an unclosed "[" is itself
           Case{"", "*", true},
           Case{"aXbXc", "*X*c", true},
           Case{"ab", "a", false},
       })
    EXPECT_EQ(likeMatch(c.text, c.pattern), c.match) << c.text << " like " << c.pattern;
}

}  // namespace
}  // namespace qb
