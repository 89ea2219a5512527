// End-to-end tests of the lumascan program: the built binary on committed
// images, checked for what a caller sees (stdout, stderr, exit status).
#include <algorithm>
#include <cctype>
#include <chrono>
#include <csignal>
#include <filesystem>
#include <functional>
#include <optional>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>
#ifdef __APPLE__
#include <sys/sysctl.h>
#endif

#include "output_json.h"
#include "run_program.h"

namespace lumascan::testing {
namespace {

const std::string lumascanProgram = LUMASCAN_PROGRAM;

std::string fixture(const std::string& name) { return std::string(LUMASCAN_FIXTURES) + "/" + name; }

// Runs the program and checks what must hold for every run: exactly one
// line on stdout, nothing on stderr, exit status 0, no sanitizer report.
// Returns that line without its newline.
std::string lumascan(const Invocation& run) {
    const auto outcome = runProgram(lumascanProgram, run);
    EXPECT_EQ(outcome.exitCode, 0) << "ended by signal " << outcome.signal;
    EXPECT_EQ(outcome.err, "");
    EXPECT_EQ(outcome.sanitizerLog, "");
    EXPECT_EQ(std::count(outcome.out.begin(), outcome.out.end(), '\n'), 1) << outcome.out;
    EXPECT_TRUE(outcome.out.ends_with('\n')) << outcome.out;
    return outcome.out.substr(0, outcome.out.find('\n'));
}

std::string lumascan(std::vector<std::string> args) { return lumascan(Invocation{.args = std::move(args)}); }

std::string withWords(const std::string& path, const std::string& wordsJson) {
    return lumascan(Invocation{.args = {path}, .env = {{"VESKOR_OCR_WORDS", wordsJson}}});
}

// Where the renderer put the ink of a line; recognised boxes may differ by
// a few pixels of padding or anti-aliasing.
struct Ink {
    double left, top, right, bottom;
};
constexpr double boxSlack = 4;

void expectLine(const ParsedLine& line, const std::string& text, Ink ink) {
    EXPECT_EQ(line.text, text);
    EXPECT_GT(line.score, 0.5) << line.text;
    const std::array<std::array<double, 2>, 4> corners{{
        {ink.left, ink.top}, {ink.right, ink.top}, {ink.right, ink.bottom}, {ink.left, ink.bottom}}};
    for (std::size_t i = 0; i < corners.size(); ++i) {
        EXPECT_NEAR(line.box[i][0], corners[i][0], boxSlack) << text << " corner " << i;
        EXPECT_NEAR(line.box[i][1], corners[i][1], boxSlack) << text << " corner " << i;
    }
}

std::vector<ParsedLine> recognise(const std::string& name) {
    return parseOutput(lumascan({fixture(name)}));
}

TEST(Recognition, EnglishLine) {
    const auto lines = recognise("english.png");
    ASSERT_EQ(lines.size(), 1U);
    expectLine(lines[0], "Please bring the Q3 report", {16, 15, 254, 33});
}

TEST(Recognition, ChineseLineWithoutSpacesBetweenCharacters) {
    const auto lines = recognise("chinese.png");
    ASSERT_EQ(lines.size(), 1U);
    expectLine(lines[0], "今天下午三点开会", {16, 17, 176, 38});
}

TEST(Recognition, ChineseAndEnglishLinesInReadingOrder) {
    const auto lines = recognise("mixed.png");
    ASSERT_EQ(lines.size(), 2U);
    expectLine(lines[0], "会议室在三楼", {28, 22, 148, 44});
    expectLine(lines[1], "See you at 3pm", {28, 82, 166, 100});  // on a green bubble
}

TEST(Recognition, TextOverTransparentBackground) {
    const auto lines = recognise("transparent.png");
    ASSERT_EQ(lines.size(), 1U);
    expectLine(lines[0], "Seen at 10:42", {16, 18, 144, 33});
}

TEST(Recognition, ImageWithoutTextGivesEmptyList) {
    EXPECT_EQ(lumascan({fixture("blank.png")}), "[]");
}

TEST(Input, StdinGivesTheSameAnswerAsTheFile) {
    const auto fromFile = lumascan({fixture("mixed.png")});
    EXPECT_EQ(lumascan(Invocation{.stdinFile = fixture("mixed.png")}), fromFile);
}

TEST(Input, NothingToRecogniseGivesEmptyList) {
    const TempDir dir;
    const auto png = readFile(fixture("english.png"));
    const auto truncated = dir.write("truncated.png", png.substr(0, png.size() / 2));

    EXPECT_EQ(lumascan(Invocation{}), "[]") << "empty stdin";
    EXPECT_EQ(lumascan({fixture("not_an_image.png")}), "[]");
    EXPECT_EQ(lumascan({truncated}), "[]");
    EXPECT_EQ(lumascan({dir.path() + "/missing.png"}), "[]");
    EXPECT_EQ(lumascan({dir.path()}), "[]") << "a directory";
}

TEST(Input, OnlyTheFirstArgumentIsRead) {
    const auto english = lumascan({fixture("english.png")});
    EXPECT_EQ(lumascan({fixture("english.png"), fixture("chinese.png")}), english);
    EXPECT_EQ(lumascan({fixture("english.png"), "/missing/file.png"}), english);
    EXPECT_EQ(lumascan({"/missing/file.png", fixture("english.png")}), "[]");
    EXPECT_EQ(lumascan(Invocation{.args = {fixture("english.png")}, .stdinFile = fixture("chinese.png")}),
              english)
        << "stdin is not read when a file is named";
}

// Rendered chat screenshots (tests/ocr/chats/render_chats.py): lists and
// bubbles, light, dark and coloured, 12 to 16 px, 1x and 2x. Each picture's
// lines as they were rendered, and the lines the program read in it.
struct ChatPicture {
    std::string name;
    std::vector<std::string> truth;
    std::vector<std::string> read;
};

std::vector<ChatPicture> readChatPictures() {
    std::vector<ChatPicture> pictures;
    for (const auto& entry : std::filesystem::directory_iterator(LUMASCAN_CHATS)) {
        if (entry.path().extension() != ".png") continue;
        ChatPicture picture{entry.path().filename().string(), {}, {}};
        auto truthPath = entry.path();
        std::ifstream truth(truthPath.replace_extension(".txt"));
        for (std::string line; std::getline(truth, line);) picture.truth.push_back(line);
        // Accuracy, not speed: sanitizer builds on a busy machine may need
        // more than the deadline.
        const Invocation run{.args = {entry.path().string()}, .env = {{"LUMASCAN_DEADLINE_MS", "60000"}}};
        for (const auto& line : parseOutput(lumascan(run))) picture.read.push_back(line.text);
        pictures.push_back(std::move(picture));
    }
    return pictures;
}

std::size_t truthLines(const std::vector<ChatPicture>& pictures) {
    std::size_t lines = 0;
    for (const auto& picture : pictures) lines += picture.truth.size();
    return lines;
}

// The lines of the pictures' truth that no line read in the same picture
// matches, each followed by its picture's name.
template <typename Match>
std::vector<std::string> unread(const std::vector<ChatPicture>& pictures, Match matches) {
    std::vector<std::string> missing;
    for (const auto& picture : pictures) {
        for (const auto& want : picture.truth) {
            const bool read = std::any_of(picture.read.begin(), picture.read.end(),
                                          [&](const std::string& got) { return matches(got, want); });
            if (!read) missing.push_back(want + " in " + picture.name);
        }
    }
    return missing;
}

constexpr std::size_t chatLines = 58;
const std::vector<std::string> none;

#ifdef __APPLE__
// What a line says whoever reads it: its ASCII letters and digits and its
// Chinese characters, in order, without spaces, punctuation and symbols,
// which engines write each their own way (full width or not, ¥ or ￥).
std::string content(const std::string& text) {
    std::string kept;
    for (std::size_t i = 0; i < text.size();) {
        const auto lead = static_cast<unsigned char>(text[i]);
        const std::size_t length = lead < 0x80 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
        char32_t code = length == 1 ? lead : lead & (0x3F >> (length - 1));
        for (std::size_t k = 1; k < length && i + k < text.size(); ++k) {
            code = code << 6 | (static_cast<unsigned char>(text[i + k]) & 0x3F);
        }
        const bool asciiWord = code < 0x80 && std::isalnum(static_cast<int>(code));
        const bool chinese = (code >= 0x3400 && code <= 0x4DBF) || (code >= 0x4E00 && code <= 0x9FFF);
        if (asciiWord || chinese) kept += text.substr(i, length);
        i += length;
    }
    return kept;
}

// Vision's readings of these pictures are its own and are not measured
// here: a line is read when what it says is within a line read (a row's
// name and time may come as one line).
bool lineRead(const std::string& got, const std::string& want) {
    return content(got).find(content(want)) != std::string::npos;
}
#else
// PP-OCR's readings were measured (docs/lumascan.md): a line is read when
// it is read as it is, spaces aside.
bool lineRead(std::string got, std::string want) {
    std::erase(got, ' ');
    std::erase(want, ' ');
    return got == want;
}
#endif

TEST(ChatScreenshots, EveryLineIsRead) {
    const auto pictures = readChatPictures();
    EXPECT_EQ(truthLines(pictures), chatLines);
    EXPECT_EQ(unread(pictures, lineRead), none);
#ifndef __APPLE__
    EXPECT_LE(unread(pictures, std::equal_to<std::string>()).size(), chatLines - 55)
        << "lines not read exactly, spaces and punctuation included";
#endif
}

// "Q3" is no dictionary word; as a custom word it raises the confidence of
// english.png's line above what other custom words give, which makes the use
// of the vocabulary visible.
class Vocabulary : public ::testing::Test {
protected:
    const std::string image = fixture("english.png");
    const std::string withoutWords = lumascan({image});

    // 60 words that are not in the image, with "Q3" at `position`.
    static std::string sixtyWordsWithQ3At(std::size_t position) {
        std::string json = "[";
        for (std::size_t i = 0; i < 60; ++i) {
            if (i > 0) json += ',';
            json += i == position ? "\"Q3\"" : "\"filler" + std::to_string(i) + "\"";
        }
        return json + "]";
    }
};

#ifdef __APPLE__
// Vision ignores custom words while language correction is off, as it is
// here (docs/lumascan.md): the words are read and checked, and then change
// nothing of what is read.
TEST_F(Vocabulary, WordsChangeNothingOfVisionsReading) {
    EXPECT_EQ(withWords(image, R"(["Q3"])"), withoutWords);
    EXPECT_EQ(withWords(image, sixtyWordsWithQ3At(49)), withoutWords);
}
#else
TEST_F(Vocabulary, CustomWordIsUsed) {
    const auto withQ3 = parseOutput(withWords(image, R"(["Q3"])"));
    const auto plain = parseOutput(withWords(image, R"(["filler"])"));
    ASSERT_EQ(withQ3.size(), 1U);
    ASSERT_EQ(plain.size(), 1U);
    EXPECT_EQ(withQ3[0].text, plain[0].text);
    EXPECT_GT(withQ3[0].score, plain[0].score);
}

TEST_F(Vocabulary, OnlyTheFirstFiftyWordsAreUsed) {
    const std::string fillersOnly = withWords(image, sixtyWordsWithQ3At(60));
    EXPECT_NE(withWords(image, sixtyWordsWithQ3At(49)), fillersOnly);
    EXPECT_EQ(withWords(image, sixtyWordsWithQ3At(50)), fillersOnly);
}
#endif

TEST_F(Vocabulary, AnythingButANonEmptyArrayOfStringsIsIgnored) {
    // The parser's finer points are unit-tested; these are the kinds of value.
    for (const char* value : {R"({"words":["Q3"]})", "Q3", R"(["Q3",1])", "[]", R"(["Q3")"}) {
        EXPECT_EQ(withWords(image, value), withoutWords) << value;
    }
}

std::string withDeadline(const char* ms) {
    return lumascan(Invocation{.args = {fixture("english.png")}, .env = {{"LUMASCAN_DEADLINE_MS", ms}}});
}

#ifdef __APPLE__
// The variable sets PP-OCR's deadline; Vision keeps its own 3 seconds.
TEST(Robustness, DeadlineVariableChangesNothingOfVisionsReading) {
    EXPECT_EQ(withDeadline("1"), lumascan({fixture("english.png")}));
}
#else
TEST(Robustness, RecognitionPastTheDeadlineAnswersEmptyList) {
    EXPECT_EQ(withDeadline("1"), "[]");
    EXPECT_NE(withDeadline("60000"), "[]");
    EXPECT_NE(withDeadline("soon"), "[]") << "not a number: the usual 3 seconds";
}
#endif

// True once the process has a handler for `signal`: the kernel's process
// record on a Mac, /proc on Linux.
#ifdef __APPLE__
bool catches(int pid, int signal) {
    int name[] = {CTL_KERN, KERN_PROC, KERN_PROC_PID, pid};
    kinfo_proc process{};
    size_t size = sizeof process;
    if (sysctl(name, 4, &process, &size, nullptr, 0) != 0 || size == 0) return false;
    return (process.kp_proc.p_sigcatch & sigmask(signal)) != 0;
}
const bool handlersListed = true;
#else
bool catches(int pid, int signal) {
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    for (std::string line; std::getline(status, line);) {
        if (line.starts_with("SigCgt:")) {
            return (std::stoull(line.substr(7), nullptr, 16) >> (signal - 1)) & 1U;
        }
    }
    return false;
}
const bool handlersListed = std::filesystem::exists("/proc/self/status");
#endif

TEST(Robustness, AbortInsideTheProgramStillAnswersEmptyListWithStatusZero) {
    if (!handlersListed) GTEST_SKIP() << "no per-process signal handler list here";
    Invocation run;
    run.whileWaitingForInput = [](int pid) {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
        while (!catches(pid, SIGABRT) && std::chrono::steady_clock::now() < deadline) {
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        kill(pid, SIGABRT);
    };
    EXPECT_EQ(lumascan(run), "[]");
}

#ifndef __APPLE__  // Tesseract's OpenMP threads; the Vision engine has none of its own
// Threads of a running process, 0 once it has ended (Linux /proc).
int threadsOf(int pid) {
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    for (std::string line; std::getline(status, line);) {
        if (line.starts_with("State:") && line.find('Z') != std::string::npos) return 0;
        if (line.starts_with("Threads:")) return std::stoi(line.substr(8));
    }
    return 0;
}

TEST(Robustness, RecognisesOnOneThreadWhateverOpenMpLimitItIsStartedWith) {
    if (!std::filesystem::exists("/proc/self/status")) GTEST_SKIP() << "needs Linux /proc";
    for (std::optional<std::string> given : {std::optional<std::string>(), std::optional<std::string>("4")}) {
        Invocation run{.args = {fixture("english.png")}};
        run.env = {{"OMP_THREAD_LIMIT", given}};
        int most = 0;
        run.whileWaitingForInput = [&](int pid) {
            // The image comes from the file; the open stdin only lets us watch
            // the whole run, until the process has ended.
            for (int now = threadsOf(pid); now > 0; now = threadsOf(pid)) {
                most = std::max(most, now);
                std::this_thread::sleep_for(std::chrono::milliseconds(1));
            }
        };
        EXPECT_NE(lumascan(run), "[]");
        EXPECT_EQ(most, 1) << (given ? *given : "unset");
    }
}
#endif

}  // namespace
}  // namespace lumascan::testing
