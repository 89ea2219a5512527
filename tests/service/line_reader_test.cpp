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

// Feeds `input` through a pipe from another thread, as the host writes it,
// `chunk` bytes at a time.
std::vector<Read> readAll(const std::string& input, size_t limit, size_t chunk = 7) {
    int fds[2];
    EXPECT_EQ(pipe(fds), 0);
    std::thread writer([&] {
        size_t done = 0;
        while (done < input.size()) {
            ssize_t n = write(fds[1], input.data() + done, std::min(input.size() - done, chunk));
            if (n <= 0) break;
            done += static_cast<size_t>(n);
        }
        close(fds[1]);
    });
    LineReader reader(fds[0], limit);
    std::vector<Read> lines;
    LineReader::Line line{};
    while (reader.next(line)) {
        EXPECT_EQ(line.data[line.size], '\0');  // padding follows the line
        lines.push_back({std::string(line.data, line.size), line.size > limit});
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

TEST(LineReader, KeepsLinesWholeAcrossManyBuffersFull) {
    // Megabytes of lines that rarely end where a read does: the buffer is
    // refilled, compacted and restarted many times over.
    std::string input;
    std::vector<Read> expected;
    for (int i = 0; input.size() < (size_t{5} << 20); ++i) {
        std::string text(static_cast<size_t>(i * 7919 % 260), static_cast<char>('a' + i % 26));
        input += text + (i % 3 ? "\n" : "\r\n");
        const bool over = text.size() > 200;
        expected.push_back({over ? text.substr(0, 201) : text, over});
    }
    EXPECT_EQ(readAll(input, 200, 65521), expected);
}

}  // namespace
}  // namespace quillgate
