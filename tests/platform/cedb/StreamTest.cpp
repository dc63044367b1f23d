// Record streams: committed and dropped writes, the opening modes, seeking, and streams
// going with their property and record.
#include "tests/platform/cedb/CedbFixture.h"

namespace cedb_test {
namespace {

constexpr CEPROPID kPicture = MAKEPROPID(0xFF, CEVT_STREAM);

class StreamTest : public CedbTest {
protected:
    void SetUp() override {
        CedbTest::SetUp();
        CreateDatabase(u"Contacts Database");
        db_ = Open(u"Contacts Database");
        record_ = Write(db_, 0, {Text(0x82, u"Anna")});
        ASSERT_EQ(CeSeekDatabaseEx(db_, CEDB_SEEK_CEOID, record_, 0, nullptr), record_);
    }
    void TearDown() override {
        CloseHandle(db_);
        CedbTest::TearDown();
    }
    bool Save(const std::string& bytes, DWORD mode = GENERIC_WRITE) {
        HANDLE stream = CeOpenStream(db_, kPicture, mode);
        if (stream == INVALID_HANDLE_VALUE) return false;
        DWORD written = 0;
        bool ok = CeStreamWrite(stream, reinterpret_cast<const BYTE*>(bytes.data()), static_cast<DWORD>(bytes.size()),
                                &written) &&
                  written == bytes.size() && CeStreamSaveChanges(stream);
        CloseHandle(stream);
        return ok;
    }
    std::string Load() {
        HANDLE stream = CeOpenStream(db_, kPicture, GENERIC_READ);
        if (stream == INVALID_HANDLE_VALUE) return "<none>";
        std::string bytes;
        char chunk[3];
        DWORD read = 0;
        while (CeStreamRead(stream, reinterpret_cast<BYTE*>(chunk), sizeof chunk, &read) && read > 0)
            bytes.append(chunk, read);
        CloseHandle(stream);
        return bytes;
    }
    HANDLE db_ = nullptr;
    CEOID record_ = 0;
};

TEST_F(StreamTest, SavedDataIsReadBackAndUnsavedDataIsDropped) {
    EXPECT_EQ(Load(), "<none>");
    EXPECT_EQ(GetLastError(), ERROR_NOT_FOUND);
    ASSERT_TRUE(Save("JPEG old picture"));
    EXPECT_EQ(Load(), "JPEG old picture");

    // Written but closed without saving: the old picture stays.
    HANDLE stream = CeOpenStream(db_, kPicture, GENERIC_WRITE);
    ASSERT_NE(stream, INVALID_HANDLE_VALUE);
    DWORD written = 0;
    ASSERT_TRUE(CeStreamWrite(stream, reinterpret_cast<const BYTE*>("broken"), 6, &written));
    CloseHandle(stream);
    EXPECT_EQ(Load(), "JPEG old picture");

    // Opened for writing alone a stream starts empty, so a shorter picture leaves no tail.
    ASSERT_TRUE(Save("new"));
    EXPECT_EQ(Load(), "new");
    // Read and write keeps the data: an edit in place.
    stream = CeOpenStream(db_, kPicture, GENERIC_READ | GENERIC_WRITE);
    DWORD position = 0;
    ASSERT_TRUE(CeStreamSeek(stream, 1, 0, &position));
    EXPECT_EQ(position, 1u);
    ASSERT_TRUE(CeStreamWrite(stream, reinterpret_cast<const BYTE*>("E"), 1, &written));
    ASSERT_TRUE(CeStreamSaveChanges(stream));
    CloseHandle(stream);
    EXPECT_EQ(Load(), "nEw");
}

TEST_F(StreamTest, SeekSizeAndAccessRules) {
    ASSERT_TRUE(Save("0123456789"));
    HANDLE stream = CeOpenStream(db_, kPicture, GENERIC_READ);
    ASSERT_NE(stream, INVALID_HANDLE_VALUE);
    DWORD position = 0;
    EXPECT_TRUE(CeStreamSeek(stream, static_cast<DWORD>(-3), 2, &position));
    EXPECT_EQ(position, 7u);
    EXPECT_TRUE(CeStreamSeek(stream, static_cast<DWORD>(-2), 1, &position));
    EXPECT_EQ(position, 5u);
    BYTE byte = 0;
    DWORD read = 0;
    EXPECT_TRUE(CeStreamRead(stream, &byte, 1, &read));
    EXPECT_EQ(byte, '5');
    EXPECT_FALSE(CeStreamSeek(stream, static_cast<DWORD>(-1), 0, &position));  // before the start
    EXPECT_FALSE(CeStreamSeek(stream, 0, 3, &position));                       // unknown origin
    EXPECT_TRUE(CeStreamSeek(stream, 20, 0, &position));                       // past the end: reads nothing
    EXPECT_TRUE(CeStreamRead(stream, &byte, 1, &read));
    EXPECT_EQ(read, 0u);
    EXPECT_FALSE(CeStreamWrite(stream, &byte, 1, &read));
    EXPECT_EQ(GetLastError(), ERROR_ACCESS_DENIED);
    EXPECT_FALSE(CeStreamSetSize(stream, 2));
    EXPECT_FALSE(CeStreamSaveChanges(stream));
    CloseHandle(stream);

    stream = CeOpenStream(db_, kPicture, GENERIC_READ | GENERIC_WRITE);
    ASSERT_TRUE(CeStreamSetSize(stream, 4));
    EXPECT_TRUE(CeStreamSeek(stream, 6, 0, &position));
    EXPECT_TRUE(CeStreamWrite(stream, reinterpret_cast<const BYTE*>("X"), 1, &read));
    EXPECT_FALSE(CeStreamSetSize(stream, CEDB_MAXSTREAMSIZE + 1));
    ASSERT_TRUE(CeStreamSaveChanges(stream));
    CloseHandle(stream);
    EXPECT_EQ(Load(), std::string("0123\0\0X", 7));

    EXPECT_EQ(CeOpenStream(db_, MAKEPROPID(0xFF, CEVT_BLOB), GENERIC_READ), INVALID_HANDLE_VALUE);
    EXPECT_EQ(CeOpenStream(db_, kPicture, 0), INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
    EXPECT_FALSE(CeStreamRead(db_, &byte, 1, &read));  // a database handle is no stream
    EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
}

TEST_F(StreamTest, StreamsGoWithTheirPropertyAndRecord) {
    ASSERT_TRUE(Save("picture"));
    // Reading every property lists the stream with its size.
    ReadBack back = ReadCurrent(db_);
    const CEPROPVAL* picture = back.Find(kPicture);
    ASSERT_NE(picture, nullptr);
    EXPECT_EQ(picture->val.ulVal, 7u);

    CEPROPVAL remove = Delete(kPicture);
    ASSERT_EQ(CeWriteRecordProps(db_, record_, 1, &remove), record_);
    EXPECT_EQ(Load(), "<none>");
    EXPECT_EQ(ReadCurrent(db_).Find(kPicture), nullptr);

    // A stream open while its record is deleted cannot be saved into nothing.
    HANDLE stream = CeOpenStream(db_, kPicture, GENERIC_WRITE);
    ASSERT_NE(stream, INVALID_HANDLE_VALUE);
    ASSERT_TRUE(CeDeleteRecord(db_, record_));
    EXPECT_FALSE(CeStreamSaveChanges(stream));
    EXPECT_EQ(GetLastError(), ERROR_KEY_DELETED);
    CloseHandle(stream);
    EXPECT_EQ(CeOpenStream(db_, kPicture, GENERIC_READ), INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), ERROR_KEY_DELETED);
}

}  // namespace
}  // namespace cedb_test
