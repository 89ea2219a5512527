#include <gtest/gtest.h>
#include <unistd.h>

#include <thread>

#include "service/line_reader.h"

namespace quillgate {
namespace {

struct Read {
    std::string text;
    bool overLimit;
    bool operator==(const Read&) const = default;
};

// Feeds `input` through a pipe from another thread, as the host writes it.
std::vector<Read> readAll(const std::string& input, size_t limit) {
    int fds[2];
    EXPECT_EQ(pipe(fds), 0);
    std::thread writer([&] {
        size_t done = 0;
        while (done < input.size()) {
            ssize_t n = write(fds[1], input.data() + done, std::min<size_t>(input.size() - done, 7));
            if (n <= 0) break;
            done += static_cast<size_t>(n);
        }
        close(fds[1]);
    });
    LineReader reader(fds[0], limit, 64);
    std::vector<Read> lines;
    LineReader::Line line{};
    while (reader.next(line)) {
        EXPECT_EQ(line.data[line.size], '\0');  // padding follows the line
        lines.push_back({std::string(line.data, line.size), line.overLimit});
    }
    writer.join();
    close(fds[0]);
    return lines;
}

TEST(LineReader, SplitsOnLineFeedAndStripsCarriageReturn) {
    auto lines = readAll("a\r\nbc\n\n\rx\nlast", 100);
    EXPECT_EQ(lines, (std::vector<Read>{{"a", false}, {"bc", false}, {"", false}, {"\rx", false}, {"last", false}}));
    EXPECT_TRUE(readAll("", 100).empty());
}

TEST(LineReader, MeasuresTheLineWithoutItsTerminator) {
    auto lines = readAll("12345\r\n123456\r\n12345\n123456\nok\n", 5);
    EXPECT_EQ(lines, (std::vector<Read>{{"12345", false}, {"123456", true}, {"12345", false}, {"123456", true}, {"ok", false}}));
}

TEST(LineReader, DiscardsAnOverLongLineToItsEndWithoutKeepingIt) {
    std::string huge(10000, 'x');
    auto lines = readAll(huge + "\n{}\n" + huge, 100);
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_TRUE(lines[0].overLimit);
    EXPECT_LE(lines[0].text.size(), 101u);
    EXPECT_EQ(lines[1], (Read{"{}", false}));
    EXPECT_TRUE(lines[2].overLimit);
}

}  // namespace
}  // namespace quillgate
