#include <string>
#include <unistd.h>
#include <vector>

#include <gtest/gtest.h>

#include "front-end-support/source.h"

// Carriage returns before line feeds are dropped, wherever the reads split the
// file; any other carriage return stays.
TEST(Source, CarriageReturnsBeforeLineFeedsAreDropped)
{
    const std::pair<std::string, std::string> cases[] = {
        {"a\r\nb\r\n", "a\nb\n"}, {"a\rb", "a\rb"}, {"a\r", "a\r"}, {"\r\r\n", "\r\n"}, {"\r\n\r\n", "\n\n"}};
    for (const auto& c : cases) {
        for (int block : {1, 2, 3, 64}) {
            char path[] = "/tmp/zarn-source-XXXXXX";
            int fd = mkstemp(path);
            ASSERT_EQ(write(fd, c.first.data(), c.first.size()), static_cast<ssize_t>(c.first.size()));
            close(fd);
            int source = BeginSource(path);
            std::string read;
            std::vector<char> buffer(static_cast<std::size_t>(block));
            for (int n; (n = GetLine(source, buffer.data(), block)) > 0;)
                read.append(buffer.data(), static_cast<std::size_t>(n));
            CloseSource(source);
            unlink(path);
            EXPECT_EQ(read, c.second) << "block " << block;
        }
    }
}
