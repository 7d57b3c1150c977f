// UniqueFd: the descriptor closes exactly once, whoever ends up holding it.

#include <fcntl.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cerrno>
#include <utility>

#include "posix/unique_fd.h"

namespace tarnik {
namespace {

bool isOpen(int fd)
{
    return fcntl(fd, F_GETFD) != -1;
}

TEST(UniqueFd, ClosesOnceWhereverItWasMoved)
{
    int raw = -1;
    {
        UniqueFd first(::open("/dev/null", O_RDONLY | O_CLOEXEC));
        raw = first.get();
        ASSERT_TRUE(first.valid());
        UniqueFd second(std::move(first));
        EXPECT_FALSE(first.valid());
        EXPECT_EQ(second.get(), raw);
        UniqueFd third;
        third = std::move(second);
        EXPECT_TRUE(isOpen(raw));
    }
    EXPECT_FALSE(isOpen(raw));

    // Released: the caller owns it; reset closes the old one.
    UniqueFd held(::open("/dev/null", O_RDONLY | O_CLOEXEC));
    const int kept = held.release();
    EXPECT_FALSE(held.valid());
    EXPECT_TRUE(isOpen(kept));
    held.reset(kept);
    const int next = ::open("/dev/null", O_RDONLY | O_CLOEXEC);
    held.reset(next);
    EXPECT_FALSE(isOpen(kept));
    EXPECT_TRUE(isOpen(next));
}

TEST(UniqueFd, CloseReportsTheResultAndLeavesItEmpty)
{
    UniqueFd fd(::open("/dev/null", O_RDONLY | O_CLOEXEC));
    EXPECT_EQ(fd.close(), 0);
    EXPECT_FALSE(fd.valid());
    EXPECT_EQ(fd.close(), 0) << "nothing held: nothing to close";
}

}  // namespace
}  // namespace tarnik
