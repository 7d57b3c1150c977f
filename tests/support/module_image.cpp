#include "module_image.h"

#include "link/protocol.h"
#include "model/conversion.h"

namespace tarnik::test {

DeviceImage imageOf(const SettingsRecord& record)
{
    DeviceImage image{};
    SettingsToImage(record, image);
    return image;
}

::testing::AssertionResult holdsProgrammedImage(const DeviceImage& memory,
                                                const DeviceImage& programmed)
{
    for (std::size_t i = 0; i < protocol::kSentImageBytes; ++i)
        if (memory[i] != programmed[i])
            return ::testing::AssertionFailure()
                   << "image byte " << i << ": the module holds " << int{memory[i]}
                   << ", the run sent " << int{programmed[i]};
    return ::testing::AssertionSuccess();
}

::testing::AssertionResult holdsProgrammedImage(const DeviceImage& memory,
                                                const SettingsRecord& programmed)
{
    return holdsProgrammedImage(memory, imageOf(programmed));
}

}  // namespace tarnik::test
