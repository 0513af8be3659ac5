#include "interpreter/scanner.h"

#include <gtest/gtest.h>

TEST(Scanner, Placeholder) { EXPECT_EQ(readNumber("12"), 12); }
