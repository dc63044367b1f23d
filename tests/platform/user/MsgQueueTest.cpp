// Message queues: named ends share one queue, alerts go first, sizes and limits are kept,
// and a queue without its other end reports it.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "platform/base/Errors.h"
#include "platform/user/MsgQueue.h"

namespace {

MSGQUEUEOPTIONS Options(bool read, DWORD maxMessages = 0, DWORD maxBytes = 16, DWORD flags = 0) {
    return MSGQUEUEOPTIONS{sizeof(MSGQUEUEOPTIONS), flags, maxMessages, maxBytes, read ? TRUE : FALSE};
}

std::string ReadText(HANDLE queue, DWORD* flags = nullptr) {
    char buffer[16] = {};
    DWORD read = 0;
    if (!ReadMsgQueue(queue, buffer, sizeof buffer, &read, 0, flags)) return "<" + std::to_string(GetLastError()) + ">";
    return std::string(buffer, read);
}

TEST(MsgQueueTest, NamedEndsShareOneQueueAndAlertsComeFirst) {
    const MSGQUEUEOPTIONS readOptions = Options(true);
    HANDLE reader = CreateMsgQueue(u"TestQueue", &readOptions);
    ASSERT_NE(reader, nullptr);
    EXPECT_EQ(GetLastError(), ERROR_SUCCESS);
    const MSGQUEUEOPTIONS writeOptions = Options(false, 0, 999);
    HANDLE writer = CreateMsgQueue(u"TestQueue", &writeOptions);
    ASSERT_NE(writer, nullptr);
    EXPECT_EQ(GetLastError(), ERROR_ALREADY_EXISTS);

    ASSERT_TRUE(WriteMsgQueue(writer, "one", 3, 0, 0));
    ASSERT_TRUE(WriteMsgQueue(writer, "two", 3, 0, 0));
    ASSERT_TRUE(WriteMsgQueue(writer, "alert", 5, 0, MSGQUEUE_MSGALERT));
    EXPECT_FALSE(WriteMsgQueue(writer, "seventeen bytes!!", 17, 0, 0)) << "the first end's size holds";
    EXPECT_EQ(GetLastError(), ERROR_INSUFFICIENT_BUFFER);

    DWORD flags = 99;
    EXPECT_EQ(ReadText(reader, &flags), "alert");
    EXPECT_EQ(flags, MSGQUEUE_MSGALERT);
    char tiny[2];
    DWORD read = 0;
    EXPECT_FALSE(ReadMsgQueue(reader, tiny, sizeof tiny, &read, 0, nullptr));
    EXPECT_EQ(GetLastError(), ERROR_INSUFFICIENT_BUFFER);
    EXPECT_EQ(read, 3u) << "the message is kept and its size told";
    EXPECT_EQ(ReadText(reader), "one");
    EXPECT_EQ(ReadText(reader), "two");
    EXPECT_EQ(ReadText(reader), "<" + std::to_string(ERROR_TIMEOUT) + ">");

    EXPECT_FALSE(WriteMsgQueue(reader, "x", 1, 0, 0));
    EXPECT_EQ(GetLastError(), ERROR_ACCESS_DENIED);
    EXPECT_FALSE(ReadMsgQueue(writer, tiny, sizeof tiny, &read, 0, nullptr));
    EXPECT_EQ(GetLastError(), ERROR_ACCESS_DENIED);
    EXPECT_TRUE(CloseMsgQueue(writer));
    EXPECT_TRUE(CloseMsgQueue(reader));
    EXPECT_FALSE(CloseMsgQueue(reader));
    EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
}

TEST(MsgQueueTest, LimitsAndBrokenQueues) {
    const MSGQUEUEOPTIONS readOptions = Options(true, 2);
    HANDLE reader = CreateMsgQueue(nullptr, &readOptions);
    ASSERT_NE(reader, nullptr);
    // An unnamed queue: only the system writes into it.
    EXPECT_TRUE(platform::PostToMsgQueue(reader, "a", 1));
    EXPECT_TRUE(platform::PostToMsgQueue(reader, "b", 1));
    EXPECT_FALSE(platform::PostToMsgQueue(reader, "c", 1)) << "two messages at most";
    EXPECT_EQ(GetLastError(), ERROR_TIMEOUT);
    EXPECT_EQ(ReadText(reader), "a");
    EXPECT_EQ(ReadText(reader), "b");
    EXPECT_EQ(ReadText(reader), "<" + std::to_string(ERROR_PIPE_NOT_CONNECTED) + ">") << "no writer";
    HANDLE writer = platform::OpenMsgQueueWriter(reader);
    ASSERT_NE(writer, nullptr);
    EXPECT_EQ(ReadText(reader), "<" + std::to_string(ERROR_TIMEOUT) + ">");
    CloseMsgQueue(reader);
    EXPECT_FALSE(WriteMsgQueue(writer, "x", 1, 0, 0)) << "no reader";
    EXPECT_EQ(GetLastError(), ERROR_PIPE_NOT_CONNECTED);
    CloseMsgQueue(writer);

    const MSGQUEUEOPTIONS broken = Options(true, 0, 16, MSGQUEUE_ALLOW_BROKEN);
    HANDLE lone = CreateMsgQueue(u"Lone", &broken);
    EXPECT_EQ(ReadText(lone), "<" + std::to_string(ERROR_TIMEOUT) + ">") << "broken queues are allowed";
    CloseMsgQueue(lone);

    const MSGQUEUEOPTIONS badSize{sizeof(MSGQUEUEOPTIONS) + 1, 0, 0, 16, TRUE};
    const MSGQUEUEOPTIONS noBytes = Options(true, 0, 0);
    EXPECT_EQ(CreateMsgQueue(u"Bad", &badSize), nullptr);
    EXPECT_EQ(CreateMsgQueue(u"Bad", &noBytes), nullptr);
    EXPECT_EQ(CreateMsgQueue(u"Bad", nullptr), nullptr);
    EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
}

TEST(MsgQueueTest, ANameIsFreedWithItsLastEnd) {
    const MSGQUEUEOPTIONS small = Options(true, 0, 4, MSGQUEUE_ALLOW_BROKEN);
    HANDLE first = CreateMsgQueue(u"Again", &small);
    CloseMsgQueue(first);
    const MSGQUEUEOPTIONS large = Options(true, 0, 64, MSGQUEUE_ALLOW_BROKEN);
    HANDLE second = CreateMsgQueue(u"Again", &large);
    EXPECT_EQ(GetLastError(), ERROR_SUCCESS);
    EXPECT_TRUE(platform::PostToMsgQueue(second, "more than four", 14)) << "a fresh queue with the new sizes";
    CloseMsgQueue(second);
}

}  // namespace
