#include "app/BesideStartUp.h"

#include <gtest/gtest.h>
#include <thread>
#include <vector>

namespace {

using vorlix::app::BesideStartUp;

// The steps run one after the other on one thread that is not the caller's, and all of them have
// run when the object ends, however long the last one takes.
TEST(BesideStartUp, RunsItsStepsInOrderOnOneOtherThreadAndEndsWithThem)
{
    std::vector<int> order;
    std::vector<std::thread::id> threads;
    {
        const BesideStartUp beside({
            [&] {
                order.push_back(1);
                threads.push_back(std::this_thread::get_id());
            },
            [&] {
                std::this_thread::sleep_for(std::chrono::milliseconds(50));
                order.push_back(2);
                threads.push_back(std::this_thread::get_id());
            },
        });
    }
    EXPECT_EQ(order, (std::vector<int> { 1, 2 }));
    ASSERT_EQ(threads.size(), 2U);
    EXPECT_EQ(threads[0], threads[1]);
    EXPECT_NE(threads[0], std::this_thread::get_id());
}

}
