// The request service as the host sees it: one line in, one line out.

#include <gtest/gtest.h>

#include "core/failure.h"
#include "support/harness.h"
#include "support/scenes.h"

namespace quillgate {
namespace {

using testing::Harness;

const std::string native = R"({"error":"MAC_NATIVE_FAILED: 原生操作未完成，已停止；请检查权限与所选窗口。","ok":false})";
const std::string invalid = R"({"error":"invalid request","ok":false})";
const std::string bindingRequired = R"({"error":"window binding is required","ok":false})";
const std::string unsupported = R"({"error":"MAC_UNSUPPORTED_OPERATION: 此操作尚未完成 Mac 适配，未执行。","ok":false})";

TEST(RequestLine, MapsEveryMalformedLineToOneEnvelope) {
    Harness h(testing::chatScene());
    EXPECT_EQ(h.send(""), native);
    EXPECT_EQ(h.send("42"), native);  // top-level scalars are not read at all
    EXPECT_EQ(h.send("{"), native);
    EXPECT_EQ(h.send("[]"), invalid);
    EXPECT_EQ(h.send(R"(["a"])"), invalid);
    EXPECT_EQ(h.send("\"text\""), native);
    // Not UTF-8, wherever the bytes stand, even where the JSON is broken too;
    // well-formed non-ASCII text is read.
    for (const char* line : {"{\"op\":\"list\"}\xff", "{\"op\":\"li\xffst\"}", "{\"op\":\"\xc0\xaf\"}",
                             "{\"op\":\"\xed\xa0\x80\"}", "{\"op\xff\"", "{\"op\":\"list\",\"x\":\"\xe4\xb8\"}"})
        EXPECT_EQ(h.send(line), invalid) << line;
    EXPECT_EQ(h.send("{\"op\":\"list\",\"x\":\"\xe4\xb8\xad\"}").substr(0, 11), R"({"ok":true,)");
    EXPECT_EQ(h.send(std::string("{\"op\":\"li\0st\"}", 14)), native);
    EXPECT_EQ(h.send(std::string(2000, '[') + std::string(2000, ']')), native);
}

TEST(RequestLine, RefusesALineOverTheLimitCountedInBytes) {
    Harness h(testing::chatScene());
    // {"op":"list","pad":"…"}: pad with three-byte characters up to the limit.
    const std::string head = R"({"op":"list","pad":")";
    const std::string tail = R"("})";
    size_t room = requestLimit - head.size() - tail.size();
    std::string pad;
    for (size_t i = 0; i < room / 3; ++i) pad += "中";
    pad.append(room % 3, 'x');
    std::string line = head + pad + tail;
    ASSERT_EQ(line.size(), requestLimit);
    EXPECT_NE(h.send(line).find("\"ok\":true"), std::string::npos);
    line.insert(head.size(), "x");
    EXPECT_EQ(h.send(line), invalid);
}

TEST(Dispatcher, SelectsTheOperationByName) {
    Harness h(testing::chatScene());
    auto list = h.send(R"({"op":"list"})");
    EXPECT_EQ(h.send(R"({"operation":"list"})"), list);
    EXPECT_EQ(h.send(R"({"operation":"list","op":"probe"})"), list);
    EXPECT_EQ(h.send(R"({"operation":null,"op":"list"})"), bindingRequired);
    EXPECT_EQ(h.send(R"({"operation":5})"), bindingRequired);
    EXPECT_EQ(h.send(R"({"op":"LIST"})"), bindingRequired);
    EXPECT_EQ(h.send(R"({"op":"nothing"})"), bindingRequired);
    EXPECT_EQ(h.send(R"({"op":"nothing","bound":"60"})"), bindingRequired);
}

TEST(Dispatcher, RefusesAnUnknownNameOnlyAfterTheBindingVerifies) {
    Harness h(testing::chatScene());
    Object request{{"op", "nothing"}, {"bound", testing::chatBinding()}};
    EXPECT_EQ(h.send(testing::jsonText(request)), unsupported);

    Object stale = testing::chatBinding();
    stale["title"] = "Other";
    request["bound"] = stale;
    EXPECT_EQ(h.send(testing::jsonText(request)),
              R"({"error":"selected window identity or size changed; change=title","ok":false})");
}

TEST(StatusOperations, AnswerPermissionsWithoutPrompting) {
    Object scene = testing::chatScene();
    scene["accessibility"] = false;
    scene["screenRecording"] = false;
    Harness h(scene);
    EXPECT_EQ(h.send(R"({"op":"permissions"})"), R"({"accessibility":false,"ok":true,"screen":false})");
    EXPECT_TRUE(h.events().empty());
}

}  // namespace
}  // namespace quillgate
