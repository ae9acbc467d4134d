#include "surface/AnimationFrame.h"

#include <gtest/gtest.h>

TEST(AnimationFrameTest, FrameAtATime)
{
    struct Case {
        double seconds;
        float frequency;
        std::size_t count;
        std::size_t frame;
    };
    const Case cases[] = {
        {0.0, 10.0f, 3, 0},   {0.1, 10.0f, 3, 1},   {0.25, 10.0f, 3, 2},  {0.3, 10.0f, 3, 0},
        {1.05, 2.0f, 4, 2},   {0.99, 1.0f, 8, 0},   {7.5, 1.0f, 8, 7},    {-0.05, 10.0f, 3, 2},
        {5.0, 0.0f, 4, 0},    {1.0e12, 1.0e6f, 7, 1}, {3.0, 2.0f, 1, 0},  {3.0, 2.0f, 0, 0},
    };
    for (const Case& c : cases)
        EXPECT_EQ(AnimationFrame::index(c.seconds, c.frequency, c.count), c.frame)
            << c.seconds << " s at " << c.frequency << " Hz over " << c.count << " frames";
}
