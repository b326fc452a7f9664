#include "core/io/record_writer.h"
#include <gtest/gtest.h>
TEST(Smoke, Builds) { EXPECT_EQ(veldron::formatReal(19.62f), "      19.6200008"); }
