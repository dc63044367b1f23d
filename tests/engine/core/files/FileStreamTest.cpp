// FileStream: the text extraction table run over the three kinds of stream (a file on disk,
// a file read whole into memory, an archive entry), block reads and writes, seeking, and
// the bounds that keep reads inside the data.
#include <cstring>
#include <functional>
#include <string>

#include "engine/core/files/FileStream.h"
#include "tests/engine/support/ArchiveTestSupport.h"
#include "tests/engine/support/EngineTestSupport.h"

namespace {

enum class StreamKind { Disk, Whole, Archive };

struct ExtractionCase {
    const char* name;
    std::string content;
    DWORD flags;
    // Runs operations on the stream and writes what they gave, one item after another.
    std::function<std::string(FileStream&)> run;
    std::string expected;
};

std::string Word(FileStream& stream, std::size_t capacity = 64) {
    char buffer[64];
    stream.ReadWord(buffer, capacity);
    return std::string("[") + buffer + "]" + (stream.AtEnd() ? "$" : "");
}

std::string Line(FileStream& stream, std::size_t capacity = 64) {
    char buffer[64] = "untouched";
    const int result = stream.ReadLine(buffer, capacity);
    return std::to_string(result) + "[" + buffer + "]";
}

// Runs `read` `times` times, in order.
std::string Times(int times, const std::function<std::string()>& read) {
    std::string all;
    for (int i = 0; i < times; ++i) all += read();
    return all;
}

std::string Next(FileStream& stream) {
    char c = 0;
    return stream.Read(&c, 1) == 1 ? std::string("<") + c + ">" : std::string("<none>");
}

void PrintTo(const ExtractionCase& testCase, std::ostream* out) { *out << testCase.name; }

const ExtractionCase kExtractionCases[] = {
    {"WordsAfterBlanks", "  abc def", 0, [](FileStream& s) { return Times(3, [&] { return Word(s); }); }, "[abc][def][]$"},
    {"OnlyBlanks", "  \t\r\n", 0, [](FileStream& s) { return Word(s); }, "[]$"},
    {"LastByteIsTheWord", "   x", 0, [](FileStream& s) { return Times(2, [&] { return Word(s); }); }, "[x][]$"},
    {"LongWordIsCutToTheBuffer", "abcdefgh ij", 0, [](FileStream& s) { return Times(2, [&] { return Word(s, 4); }); },
     "[abc][ij]"},
    {"HighBytesAreNotBlanks", "\xE9t\xE9 x", 0, [](FileStream& s) { return Word(s); }, "[\xE9t\xE9]"},
    {"FloatStopsAtOtherCharacters", "1.5e3,", 0,
     [](FileStream& s) {
         float value = 0;
         s.ReadFloat(value);
         return std::to_string(value) + Next(s);
     },
     "1500.000000<,>"},
    {"FloatTakesLowerCaseExponentOnly", "1.5E3", 0,
     [](FileStream& s) {
         float value = 0;
         s.ReadFloat(value);
         return std::to_string(value) + Next(s);
     },
     "1.500000<E>"},
    {"FloatOfNothingLeavesTheValue", "   ", 0,
     [](FileStream& s) {
         float value = 7;
         s.ReadFloat(value);
         return std::to_string(value) + (s.AtEnd() ? "$" : "");
     },
     "7.000000$"},
    {"HexIntegers", "ff -1a", kStreamHexIntegers,
     [](FileStream& s) {
         std::int32_t a = 0, b = 0;
         s.ReadInt(a);
         s.ReadInt(b);
         return std::to_string(a) + "," + std::to_string(b);
     },
     "255,-26"},
    {"DecimalIntegersWrapLikeTheirBits", "-7 4294967295 99999999999999999999", 0,
     [](FileStream& s) {
         std::uint32_t a = 0, b = 0;
         std::int32_t c = 0;
         s.ReadUInt(a);
         s.ReadUInt(b);
         s.ReadInt(c);
         return std::to_string(a) + "," + std::to_string(b) + "," + std::to_string(c);
     },
     "4294967289,4294967295,-1"},
    // The cut leaves the line break to the next call, which gives an empty line.
    {"LinesCutAtTheCapacity", "abcdef\n", 0, [](FileStream& s) { return Times(4, [&] { return Line(s, 4); }); },
     "1[abc]1[def]1[]0[]"},
    {"DoubledLineFeedIsOneBreak", "a\n\nb", 0, [](FileStream& s) { return Times(3, [&] { return Line(s); }); },
     "1[a]1[b]0[]"},
    {"CrLfPairsEachEndALine", "a\r\n\r\nb", 0,
     [](FileStream& s) { return Times(4, [&] { return Line(s); }); }, "1[a]1[]1[b]0[]"},
    {"TinyCapacities", "abc", 0, [](FileStream& s) {
         std::string seen = Line(s, 0);
         seen += Line(s, 1);
         return seen + Line(s);
     },
     "0[untouched]0[]1[abc]"},
    {"SkipToTokenStopsBeforeTheToken", " \t q", 0,
     [](FileStream& s) {
         s.SkipToToken();
         std::string seen = Next(s);
         s.SkipWhitespace();  // runs out of data
         return seen + (s.AtEnd() ? "$" : "");
     },
     "<q>$"},
};

class ExtractionTest : public engine_test::ArchiveTest,
                       public ::testing::WithParamInterface<std::tuple<StreamKind, ExtractionCase>> {};

TEST_P(ExtractionTest, GivesTheSameOnEveryKindOfStream) {
    const auto& [kind, testCase] = GetParam();
    if (kind == StreamKind::Archive) {
        WriteDataArchive("startup.par", {{"case.txt", testCase.content}});
        ASSERT_EQ(MountArchive("startup.par"), 1);
    } else {
        engine_test::WriteWholeFile(DataPath("case.txt"), engine_test::ToBytes(testCase.content));
    }
    FileStream stream;
    ASSERT_EQ(stream.Open("case.txt", testCase.flags | (kind == StreamKind::Whole ? kStreamReadWhole : 0)), 1);
    EXPECT_EQ(stream.IsMemory(), kind != StreamKind::Disk);
    EXPECT_EQ(testCase.run(stream), testCase.expected);
}

INSTANTIATE_TEST_SUITE_P(Streams, ExtractionTest,
                         ::testing::Combine(::testing::Values(StreamKind::Disk, StreamKind::Whole,
                                                              StreamKind::Archive),
                                            ::testing::ValuesIn(kExtractionCases)),
                         [](const auto& info) {
                             const StreamKind kind = std::get<0>(info.param);
                             return std::string(kind == StreamKind::Disk    ? "Disk_"
                                                : kind == StreamKind::Whole ? "Whole_"
                                                                            : "Archive_") +
                                    std::get<1>(info.param).name;
                         });

class FileStreamTest : public engine_test::ArchiveTest {};

TEST_F(FileStreamTest, MemoryReadsStayInsideTheData) {
    engine_test::WriteWholeFile(DataPath("ten.bin"), engine_test::ToBytes("0123456789"));
    FileStream stream;
    ASSERT_EQ(stream.Open("ten.bin", kStreamReadWhole), 1);
    char buffer[16] = {};
    stream.Seek(-4, 2);
    EXPECT_EQ(stream.Tell(), 6u);
    stream.Seek(1, 1);
    EXPECT_EQ(stream.Read(buffer, 8), 0u);  // 3 remain: nothing is copied
    EXPECT_EQ(stream.Tell(), 7u);
    EXPECT_EQ(stream.Read(buffer, 3), 3u);
    EXPECT_STREQ(buffer, "789");
    // A position near 4 GB: position + n wraps round to a small number, which must not pass.
    stream.Seek(-16, 0);
    EXPECT_EQ(stream.Tell(), 0xFFFFFFF0u);
    EXPECT_EQ(stream.Read(buffer, 20), 0u);
    stream.Seek(100, 0);
    EXPECT_EQ(stream.Read(buffer, 1), 0u);
    stream.Close();
    EXPECT_TRUE(stream.AtEnd());
    EXPECT_EQ(stream.Read(buffer, 1), 0u);  // a closed memory stream has no data left
    stream.Close();
}

TEST_F(FileStreamTest, WritesGoToDiskAndReadBack) {
    FileStream out;
    ASSERT_EQ(out.Open("saved.bin", kStreamWrite | kStreamBinary), 1);
    EXPECT_EQ(out.Size(), 0u);
    out.WriteString("Tag ");
    out.WriteString(nullptr);
    EXPECT_TRUE(StreamWrite4(out, 0x04030201));
    out.WriteVector3(Vector3{1.0f, -2.0f, 0.5f});
    out.Flush();
    out.Close();

    const engine_test::Bytes bytes = engine_test::ReadWholeFile(DataPath("saved.bin"));
    const engine_test::Bytes expected = {'T', 'a', 'g', ' ', 1, 2, 3, 4, 0, 0, 0x80, 0x3F, 0, 0, 0, 0xC0, 0, 0, 0, 0x3F};
    EXPECT_EQ(bytes, expected);

    FileStream in;
    ASSERT_EQ(in.Open("\\data\\saved.bin", kStreamAbsolutePath | kStreamReadWhole), 1);
    EXPECT_EQ(in.Size(), 20u);
    in.Seek(4, 0);
    std::uint32_t word = 0;
    EXPECT_TRUE(StreamRead4(in, &word));
    EXPECT_EQ(word, 0x04030201u);
    EXPECT_FALSE(StreamWrite4(in, 1));  // memory images are not written
    EXPECT_EQ(in.Write("x", 1), 0u);
    in.Seek(-1, 2);
    EXPECT_FALSE(StreamRead4(in, &word));
}

TEST_F(FileStreamTest, FailedOpensLeaveAStreamThatCanBeOpenedAgain) {
    FileStream stream;
    EXPECT_EQ(stream.Open("nothing.txt", kStreamReadWhole), 0);
    EXPECT_TRUE(stream.AtEnd());
    EXPECT_EQ(stream.Open("missing/folder/out.bin", kStreamWrite), 0);
    EXPECT_EQ(stream.Open(std::string(600, 'a').c_str(), 0), 0);  // beyond the path buffer
    EXPECT_EQ(stream.Open(nullptr, 0), 0);
    engine_test::WriteWholeFile(DataPath("there.txt"), engine_test::ToBytes("here"));
    ASSERT_EQ(stream.Open("there.txt", 0), 1);
    EXPECT_FALSE(stream.AtEnd());
    EXPECT_EQ(stream.Size(), 4u);
    stream.Seek(2, 0);
    EXPECT_EQ(stream.Tell(), 2u);
    // Opening again while open closes the first file.
    ASSERT_EQ(stream.Open("there.txt", kStreamReadWhole), 1);
    EXPECT_EQ(stream.Tell(), 0u);
    // Only the archive file system makes archive images: the flag from a caller is dropped.
    ASSERT_EQ(stream.Open("there.txt", kStreamArchiveImage), 1);
    EXPECT_FALSE(stream.IsMemory());
    char text[5] = {};
    EXPECT_EQ(stream.Read(text, 4), 4u);
    EXPECT_STREQ(text, "here");
}

}  // namespace
